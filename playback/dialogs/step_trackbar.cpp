#include "playback/dialogs/step_trackbar.h"
#include "platform/ui/qt_ui_text.h"

#include <QPushButton>
#include <QSignalBlocker>

namespace snipora {

QString ControlName(int id) {
  return QString::number(id);
}

StepTrackbar::StepTrackbar(QWidget* parent, int sliderId, int numberId, int minimum, int maximum,
                           int pageStep, int lineStep, std::function<void()> apply)
    : parent_(parent),
      slider_(new QSlider(Qt::Horizontal, parent)),
      number_(new QLabel(parent)),
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
  return row;
}

QHBoxLayout* StepTrackbar::ButtonRow(std::span<const StepButton> buttons) const {
  auto* row = new QHBoxLayout;
  for (const StepButton& step : buttons) {
    if (step.gapBefore > 0) row->addSpacing(step.gapBefore);
    auto* button = new QPushButton(UiText(step.text), parent_);
    button->setObjectName(ControlName(step.id));
    button->setAutoDefault(false);
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
}

}  // namespace snipora
