// Builds the main dialog's controls and menu in the order and grouping of its
// template; each control carries its id as objectName.
#include <QAction>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "app/main_dialog.h"
#include "app/reservation_list.h"
#include "resources/dialog_templates.h"
#include "resources/menu_template.h"

namespace snipora {

namespace {

QString Utf8(const char* text) {
  return QString::fromUtf8(text);
}

QString TemplateText(int id) {
  return Utf8(FindControlTemplate(MainDialogControls(), id)->text);
}

QPushButton* NewButton(int id) {
  auto* button = new QPushButton(TemplateText(id));
  // Enter never presses a button of this dialog.
  button->setAutoDefault(false);
  // Room for the text in the CJK fallback font, which Qt's size hint underrates.
  button->setMinimumWidth(button->fontMetrics().horizontalAdvance(button->text()) + 16);
  return button;
}

// A right-aligned two-line display wide enough for "4294967295".
QLabel* NewDisplay(int id) {
  auto* display = new QLabel(TemplateText(id));
  display->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  display->setMinimumWidth(display->fontMetrics().horizontalAdvance(QStringLiteral("4294967295")) +
                           4);
  return display;
}

QGroupBox* NewMarkerGroup(const char* title, QLabel* display, QPushButton* toggle,
                          QPushButton* goTo) {
  auto* group = new QGroupBox(Utf8(title));
  auto* layout = new QHBoxLayout(group);
  layout->addWidget(new QLabel(Utf8(main_text::kUnitsLabel)));
  layout->addWidget(display, 1);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(toggle);
  buttons->addWidget(goTo);
  layout->addLayout(buttons);
  return group;
}

}  // namespace

template <class Widget>
Widget* CMainDlg::Add(Widget* widget, int id) {
  widget->setObjectName(QString::number(id));
  const ControlTemplate* control = FindControlTemplate(MainDialogControls(), id);
  widget->setEnabled(!control->initiallyDisabled);
  controls_[id] = widget;
  return widget;
}

void CMainDlg::BuildControls() {
  slider_ = Add(new QSlider(Qt::Horizontal), 1000);
  slider_->setTickPosition(QSlider::NoTicks);

  // Two rows of step buttons: milliseconds (1001-1010), samples (1011-1020).
  auto* steps = new QGridLayout;
  steps->setHorizontalSpacing(2);
  steps->addWidget(new QLabel(Utf8(main_text::kMilliseconds)), 0, 0);
  steps->addWidget(new QLabel(Utf8(main_text::kSamples)), 1, 0);
  for (int i = 0; i < 20; ++i) {
    steps->addWidget(Add(NewButton(1001 + i), 1001 + i), i / 10, 1 + i % 10);
  }

  auto* position = new QGroupBox(Utf8(main_text::kPositionGroup));
  auto* positionLayout = new QHBoxLayout(position);
  positionLayout->addWidget(new QLabel(Utf8(main_text::kUnitsLabel)));
  positionLayout->addStretch(1);
  positionLayout->addWidget(Add(NewDisplay(1032), 1032));
  positionLayout->addWidget(new QLabel(Utf8(main_text::kSlash)));
  positionLayout->addWidget(Add(NewDisplay(1031), 1031));

  // The play and reservation buttons, three a row in template order.
  auto* actions = new QGridLayout;
  const int actionIds[] = {1023, 1027, 1039, 1028, 1037, 1038, 1026, 1036, 1030};
  for (int i = 0; i < 9; ++i)
    actions->addWidget(Add(NewButton(actionIds[i]), actionIds[i]), i / 3, i % 3);

  auto* middle = new QHBoxLayout;
  middle->addWidget(position, 1);
  middle->addLayout(actions);

  auto* markers = new QHBoxLayout;
  markers->addWidget(NewMarkerGroup(main_text::kMarker1Group, Add(NewDisplay(1033), 1033),
                                    Add(NewButton(1024), 1024), Add(NewButton(1029), 1029)));
  markers->addWidget(NewMarkerGroup(main_text::kMarker2Group, Add(NewDisplay(1034), 1034),
                                    Add(NewButton(1025), 1025), Add(NewButton(1035), 1035)));

  auto* options = new QHBoxLayout;
  options->addWidget(Add(new QCheckBox(TemplateText(1041)), 1041));
  QLineEdit* fadeLength = Add(new QLineEdit, 1042);
  fadeLength->setAlignment(Qt::AlignRight);
  fadeLength->setFixedWidth(fadeLength->fontMetrics().horizontalAdvance(QStringLiteral("000000")) +
                            12);
  options->addWidget(fadeLength);
  options->addWidget(new QLabel(Utf8(main_text::kMilliseconds)));
  options->addStretch(1);
  options->addWidget(Add(new QCheckBox(TemplateText(1043)), 1043));

  list_ = Add(new CReservationList, 1022);
  list_->setMinimumHeight(list_->fontMetrics().height() * 8);
  list_->setMinimumWidth(3 * 150 + 4);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(slider_);
  layout->addLayout(steps);
  layout->addLayout(middle);
  layout->addLayout(markers);
  layout->addLayout(options);
  layout->addWidget(list_, 1);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CMainDlg::BuildMenu() {
  auto* bar = new QMenuBar(this);
  for (const MenuPopupTemplate& popup : MainMenuTemplate()) {
    QMenu* menu = bar->addMenu(Utf8(popup.text));
    for (const MenuItemTemplate& item : popup.items) {
      QAction* action = menu->addAction(Utf8(item.text));
      action->setObjectName(QString::number(item.id));
      action->setEnabled(!item.grayed);
      menuActions_[item.id] = action;
    }
  }
  layout()->setMenuBar(bar);

  connect(menuActions_[kCmdOpen], &QAction::triggered, this, &CMainDlg::OnMenuOpen);
  connect(menuActions_[kCmdSave], &QAction::triggered, this, &CMainDlg::OnMenuSave);
  connect(menuActions_[kCmdVolume], &QAction::triggered, this, &CMainDlg::OnMenuVolume);
  connect(menuActions_[kCmdSpeed], &QAction::triggered, this, &CMainDlg::OnMenuSpeed);
  connect(menuActions_[kCmdLoopSearch], &QAction::triggered, this, &CMainDlg::OnMenuLoopSearch);
  connect(menuActions_[kCmdMarkersFromFileLoop], &QAction::triggered, this,
          &CMainDlg::OnMenuMarkersFromFileLoop);
  connect(menuActions_[kCmdAbout], &QAction::triggered, this, &CMainDlg::OnMenuAbout);
}

void CMainDlg::ConnectControls() {
  auto onClick = [this](int id, auto handler) {
    connect(static_cast<QPushButton*>(controls_.at(id)), &QPushButton::clicked, this, handler);
  };
  static constexpr uint32_t kSteps[] = {10000, 1000, 100, 10, 1};
  for (int i = 0; i < 5; ++i) {
    const uint32_t back = kSteps[i];
    const uint32_t forward = kSteps[4 - i];
    onClick(1001 + i, [this, back] { StepBackMilliseconds(back); });
    onClick(1006 + i, [this, forward] { StepForwardMilliseconds(forward); });
    onClick(1011 + i, [this, back] { StepBackSamples(back); });
    onClick(1016 + i, [this, forward] { StepForwardSamples(forward); });
  }
  onClick(1024, [this] { ToggleMarker(1); });
  onClick(1025, [this] { ToggleMarker(2); });
  onClick(1029, [this] { GoToMarker(1); });
  onClick(1035, [this] { GoToMarker(2); });
  onClick(1027, [this] { OnJump(); });
  onClick(1026, [this] { AddReservation(); });
  onClick(1030, [this] { RemoveReservation(); });
  onClick(1036, [this] { ReadReservation(); });
  onClick(1023, [this] { TogglePlay(); });
  onClick(1028, [this] { PlayBetweenMarkers(); });
  onClick(1037, [this] { PlayToMarker(); });
  onClick(1038, [this] { PlayTwoSecondsBeforeMarker(); });
  onClick(1039, [this] { LoopBetweenMarkers(); });
  connect(list_, &CReservationList::Clicked, this, &CMainDlg::OnListClick);

  // A drag reports its moves and its end; clicks beside the handle and keys
  // are whole actions: one notification and then the end.
  connect(slider_, &QSlider::sliderPressed, this, [this] { OnSliderScroll(false); });
  connect(slider_, &QSlider::sliderMoved, this, [this] { OnSliderScroll(false); });
  connect(slider_, &QSlider::sliderReleased, this, [this] { OnSliderScroll(true); });
  connect(slider_, &QSlider::actionTriggered, this, [this](int action) {
    if (slider_->isSliderDown() || action == QAbstractSlider::SliderNoAction) return;
    OnSliderScroll(false);
    OnSliderScroll(true);
  });
}

}  // namespace snipora
