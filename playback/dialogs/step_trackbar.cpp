#include "playback/dialogs/step_trackbar.h"
#include "platform/ui/qt_ui_text.h"

#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>
#include <cstdlib>

namespace snipora {

QString ControlName(int id) {
  return QString::number(id);
}

QDialogButtonBox* NewCloseButtons(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(dialog);
  QPushButton* close = buttons->addButton(UiText(QT_TRANSLATE_NOOP("Snipora", "閉じる")),
                                          QDialogButtonBox::RejectRole);
  close->setObjectName(QStringLiteral("close"));
  close->setToolTip(UiText(QT_TRANSLATE_NOOP("Snipora", "閉じます。変更はそのまま効いています")));
  close->setDefault(true);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

TrackbarUnits PercentUnits() {
  return {[](int) { return QStringLiteral("%"); },
          [](int delta) { return QString::number(delta) + QLatin1Char('%'); }};
}

StepTrackbar::StepTrackbar(QWidget* parent, int sliderId, int numberId, int minimum, int maximum,
                           int pageStep, int lineStep, std::function<void()> apply)
    : parent_(parent),
      slider_(new QSlider(Qt::Horizontal, parent)),
      number_(new QLabel(parent)),
      unit_(new QLabel(parent)),
      apply_(std::move(apply)) {
  slider_->setObjectName(ControlName(sliderId));
  slider_->setRange(minimum, maximum);
  slider_->setPageStep(pageStep);
  slider_->setSingleStep(lineStep);
  number_->setObjectName(ControlName(numberId));
  number_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  number_->setMinimumWidth(number_->fontMetrics().horizontalAdvance(QStringLiteral("-00000")));
  // Programmatic positions are set with signals blocked, so this sees only the user's moves.
  QObject::connect(slider_, &QSlider::valueChanged, parent, [this] { apply_(); });
}

QHBoxLayout* StepTrackbar::TrackbarRow() const {
  auto* row = new QHBoxLayout;
  row->addWidget(slider_, 1);
  row->addWidget(number_);
  row->addWidget(unit_);
  return row;
}

QHBoxLayout* StepTrackbar::ButtonRow(std::span<const StepButton> buttons) const {
  auto* row = new QHBoxLayout;
  for (const StepButton& step : buttons) {
    if (step.gapBefore > 0) row->addSpacing(step.gapBefore);
    auto* button = new QPushButton(UiText(step.text), parent_);
    button->setObjectName(ControlName(step.id));
    button->setAutoDefault(false);
    if (step.resetTo100) {
      button->setToolTip(UiText(QT_TRANSLATE_NOOP("Snipora", "100% に戻します")));
    } else if (units_.step) {
      button->setToolTip(UiText(step.delta < 0 ? QT_TRANSLATE_NOOP("Snipora", "%1 下げます")
                                               : QT_TRANSLATE_NOOP("Snipora", "%1 上げます"))
                             .arg(units_.step(std::abs(step.delta))));
    }
    QObject::connect(button, &QPushButton::clicked, parent_, [this, step] {
      int target = step.resetTo100 ? 100 : slider_->value() + step.delta;
      QSignalBlocker quiet(slider_);
      slider_->setValue(target);  // the trackbar's range clamps the move
      apply_();
    });
    row->addWidget(button);
  }
  return row;
}

void StepTrackbar::SetPosition(int position) {
  QSignalBlocker quiet(slider_);
  slider_->setValue(position);
}

void StepTrackbar::SetNumber(int value) {
  number_->setText(QString::number(value));
  if (units_.value) unit_->setText(units_.value(value));
}

void StepTrackbar::SetUnits(TrackbarUnits units) {
  units_ = std::move(units);
  // As wide as the widest value, so that the row does not move as it changes.
  const QFontMetrics metrics = unit_->fontMetrics();
  unit_->setMinimumWidth(std::max(metrics.horizontalAdvance(units_.value(slider_->minimum())),
                                  metrics.horizontalAdvance(units_.value(slider_->maximum()))));
}

void StepTrackbar::SetToolTip(const QString& tip) {
  slider_->setToolTip(tip);
  number_->setToolTip(tip);
  unit_->setToolTip(tip);
}

}  // namespace snipora
