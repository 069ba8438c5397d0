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
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QVBoxLayout>

#include "app/main_dialog.h"
#include "app/reservation_list.h"
#include "app/status_line.h"
#include "platform/ui/qt_ui_text.h"
#include "resources/control_ids.h"
#include "resources/dialog_templates.h"
#include "resources/menu_template.h"
#include "waveform/widgets/wave_pane.h"
#include "waveform/widgets/waveform_view.h"

namespace snipora {

namespace {

QString TemplateText(int id) {
  return UiText(FindControlTemplate(MainDialogControls(), id)->text);
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
  auto* group = new QGroupBox(UiText(title));
  auto* layout = new QHBoxLayout(group);
  layout->addWidget(new QLabel(UiText(main_text::kUnitsLabel)));
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

void CMainDlg::AddLengthOption(QHBoxLayout* row, int box, int length) {
  row->addWidget(Add(new QCheckBox(TemplateText(box)), box));
  auto* edit = Add(new QLineEdit(TemplateText(length)), length);
  edit->setAlignment(Qt::AlignRight);
  // Milliseconds as digits only: a sign or a number past 32 bits cannot be typed.
  edit->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), edit));
  edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
  row->addWidget(edit);
  row->addWidget(new QLabel(UiText(main_text::kMilliseconds)));
}

void CMainDlg::BuildControls() {
  slider_ = Add(new QSlider(Qt::Horizontal), kCtlPositionSlider);
  slider_->setTickPosition(QSlider::NoTicks);
  waveform_ = new CWaveformView;

  // Two rows of step buttons: milliseconds (1001-1010), samples (1011-1020).
  auto* steps = new QGridLayout;
  steps->setHorizontalSpacing(2);
  steps->addWidget(new QLabel(UiText(main_text::kMilliseconds)), 0, 0);
  steps->addWidget(new QLabel(UiText(main_text::kSamples)), 1, 0);
  for (int i = 0; i < 20; ++i) {
    const int id = kCtlFirstStepButton + i;
    steps->addWidget(Add(NewButton(id), id), i / 10, 1 + i % 10);
  }

  auto* position = new QGroupBox(UiText(main_text::kPositionGroup));
  auto* positionLayout = new QHBoxLayout(position);
  positionLayout->addWidget(new QLabel(UiText(main_text::kUnitsLabel)));
  positionLayout->addStretch(1);
  positionLayout->addWidget(Add(NewDisplay(kCtlPositionDisplay), kCtlPositionDisplay));
  positionLayout->addWidget(new QLabel(UiText(main_text::kSlash)));
  positionLayout->addWidget(Add(NewDisplay(kCtlLengthDisplay), kCtlLengthDisplay));

  // The play and reservation buttons, three a row in template order.
  auto* actions = new QGridLayout;
  const int actionIds[] = {kCtlPlay,
                           kCtlJump,
                           kCtlMarkerLoop,
                           kCtlPlayBetweenMarkers,
                           kCtlPlayToMarker,
                           kCtlPlayTwoSecondsBeforeMarker,
                           kCtlAddReservation,
                           kCtlReadReservation,
                           kCtlRemoveReservation};
  for (int i = 0; i < 9; ++i)
    actions->addWidget(Add(NewButton(actionIds[i]), actionIds[i]), i / 3, i % 3);

  auto* middle = new QHBoxLayout;
  middle->addWidget(position, 1);
  middle->addLayout(actions);

  auto* markers = new QHBoxLayout;
  markers->addWidget(NewMarkerGroup(main_text::kMarker1Group,
                                    Add(NewDisplay(kCtlMarker1Display), kCtlMarker1Display),
                                    Add(NewButton(kCtlMarker1Toggle), kCtlMarker1Toggle),
                                    Add(NewButton(kCtlMarker1GoTo), kCtlMarker1GoTo)));
  markers->addWidget(NewMarkerGroup(main_text::kMarker2Group,
                                    Add(NewDisplay(kCtlMarker2Display), kCtlMarker2Display),
                                    Add(NewButton(kCtlMarker2Toggle), kCtlMarker2Toggle),
                                    Add(NewButton(kCtlMarker2GoTo), kCtlMarker2GoTo)));

  // The export options, two rows: fades, then the edges' de-click and what
  // goes into the files.
  auto* options = new QHBoxLayout;
  AddLengthOption(options, kCtlFadeOut, kCtlFadeLength);
  AddLengthOption(options, kCtlFadeIn, kCtlFadeInLength);
  options->addStretch(1);
  options->addWidget(Add(new QCheckBox(TemplateText(kCtlJoinAll)), kCtlJoinAll));
  options->addWidget(Add(new QCheckBox(TemplateText(kCtlNameByLabels)), kCtlNameByLabels));
  auto* moreOptions = new QHBoxLayout;
  AddLengthOption(moreOptions, kCtlDeclick, kCtlDeclickLength);
  moreOptions->addStretch(1);
  moreOptions->addWidget(Add(new QCheckBox(TemplateText(kCtlStripMetadata)), kCtlStripMetadata));
  moreOptions->addWidget(
      Add(new QCheckBox(TemplateText(kCtlVerifyAfterSaving)), kCtlVerifyAfterSaving));

  list_ = Add(new CReservationList, kCtlReservationList);
  list_->setMinimumHeight(list_->fontMetrics().height() * 8);
  list_->setMinimumWidth(CReservationList::kMinimumWidth);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(slider_);
  layout->addWidget(waveform_);
  layout->addLayout(steps);
  layout->addLayout(middle);
  layout->addLayout(markers);
  layout->addLayout(options);
  layout->addLayout(moreOptions);
  layout->addWidget(list_, 1);
  status_ = new CStatusLine;
  layout->addWidget(status_);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CMainDlg::BuildMenu() {
  auto* bar = new QMenuBar(this);
  for (const MenuPopupTemplate& popup : MainMenuTemplate()) {
    QMenu* menu = bar->addMenu(UiText(popup.text));
    for (const MenuItemTemplate& item : popup.items) {
      QAction* action = menu->addAction(UiText(item.text));
      action->setObjectName(QString::number(item.id));
      action->setEnabled(!item.grayed);
      menuActions_[item.id] = action;
    }
  }
  layout()->setMenuBar(bar);

  connect(menuActions_[kCmdOpen], &QAction::triggered, this, &CMainDlg::OnMenuOpen);
  connect(menuActions_[kCmdSave], &QAction::triggered, this, &CMainDlg::OnMenuSave);
  connect(menuActions_[kCmdImportRanges], &QAction::triggered, this, &CMainDlg::OnMenuImportRanges);
  connect(menuActions_[kCmdExportRanges], &QAction::triggered, this, &CMainDlg::OnMenuExportRanges);
  connect(menuActions_[kCmdVolume], &QAction::triggered, this, &CMainDlg::OnMenuVolume);
  connect(menuActions_[kCmdSpeed], &QAction::triggered, this, &CMainDlg::OnMenuSpeed);
  connect(menuActions_[kCmdLoopSearch], &QAction::triggered, this, &CMainDlg::OnMenuLoopSearch);
  connect(menuActions_[kCmdFindSounds], &QAction::triggered, this, &CMainDlg::OnMenuFindSounds);
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
    onClick(kCtlFirstStepButton + i, [this, back] { StepBackMilliseconds(back); });
    onClick(kCtlFirstStepButton + 5 + i, [this, forward] { StepForwardMilliseconds(forward); });
    onClick(kCtlFirstSampleStepButton + i, [this, back] { StepBackSamples(back); });
    onClick(kCtlFirstSampleStepButton + 5 + i, [this, forward] { StepForwardSamples(forward); });
  }
  onClick(kCtlMarker1Toggle, [this] { ToggleMarker(1); });
  onClick(kCtlMarker2Toggle, [this] { ToggleMarker(2); });
  onClick(kCtlMarker1GoTo, [this] { GoToMarker(1); });
  onClick(kCtlMarker2GoTo, [this] { GoToMarker(2); });
  onClick(kCtlJump, [this] { OnJump(); });
  onClick(kCtlAddReservation, [this] { AddReservation(); });
  onClick(kCtlRemoveReservation, [this] { RemoveReservation(); });
  onClick(kCtlReadReservation, [this] { ReadReservation(); });
  onClick(kCtlPlay, [this] { TogglePlay(); });
  onClick(kCtlPlayBetweenMarkers, [this] { PlayBetweenMarkers(); });
  onClick(kCtlPlayToMarker, [this] { PlayToMarker(); });
  onClick(kCtlPlayTwoSecondsBeforeMarker, [this] { PlayTwoSecondsBeforeMarker(); });
  onClick(kCtlMarkerLoop, [this] { LoopBetweenMarkers(); });
  for (CWavePane* pane : waveform_->Panes()) {
    connect(pane, &CWavePane::PositionRequested, this, &CMainDlg::OnWaveformPosition);
    connect(pane, &CWavePane::SelectionDragged, this, &CMainDlg::OnWaveformSelection);
    connect(pane, &CWavePane::SelectionExtended, this, &CMainDlg::OnWaveformExtend);
    connect(pane, &CWavePane::HandleDragged, this, &CMainDlg::OnWaveformHandle);
    connect(pane, &CWavePane::RegionClicked, this, &CMainDlg::OnRegionClicked);
    connect(pane, &CWavePane::RegionActivated, this, &CMainDlg::OnRegionActivated);
  }
  connect(list_, &CReservationList::SelectionChanged, this, &CMainDlg::OnListSelectionChanged);
  connect(list_, &CReservationList::CellEdited, this, &CMainDlg::OnCellEdited);

  // A drag reports its moves and its end; keys are whole actions: one
  // notification and then the end; a press beside the handle ends at its release.
  connect(slider_, &QSlider::sliderPressed, this, [this] { OnSliderScroll(false); });
  connect(slider_, &QSlider::sliderMoved, this, [this] { OnSliderScroll(false); });
  connect(slider_, &QSlider::sliderReleased, this, [this] { OnSliderScroll(true); });
  connect(slider_, &QSlider::actionTriggered, this, &CMainDlg::OnSliderAction);
}

}  // namespace snipora
