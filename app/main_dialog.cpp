#include "app/main_dialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimerEvent>

#include "app/main_window_tooltips.h"
#include "app/model/format_summary.h"
#include "app/model/main_window_view.h"
#include "app/model/silence_settings.h"
#include "app/recent_files.h"
#include "app/reservation_list.h"
#include "app/status_line.h"
#include "audiofile/flac_module.h"
#include "audiofile/nwa_module.h"
#include "audiofile/paths.h"
#include "audiofile/sample_loops.h"
#include "audiofile/sector_file.h"
#include "audiofile/zero_crossing.h"
#include "platform/ui/qt_ui_text.h"
#include "playback/player_flags.h"
#include "playback/volume_settings.h"
#include "resources/control_ids.h"
#include "resources/dialog_templates.h"
#include "resources/menu_template.h"
#include "resources/string_table.h"
#include "waveform/widgets/waveform_view.h"

namespace snipora {

namespace {

constexpr uint32_t kHeaderFileRing = 524288;
constexpr uint32_t kFileAttributes = 32;

void PlaybackEnded(int code, CDSStreamPlayer* /*player*/, void* context) {
  auto* dialog = static_cast<CMainDlg*>(context);
  if (code == kNotifyDecoderError) {
    // Told after the player's own work, which this notice interrupts.
    QMetaObject::invokeMethod(
        dialog, [dialog] { dialog->OnDecodingFailed(); }, Qt::QueuedConnection);
  } else {
    dialog->OnPlaybackEnded();
  }
}

}  // namespace

CMainDlg::CMainDlg(IUiServices& ui, ISoundDevice& device, std::string commandLine, QWidget* parent)
    : QDialog(parent),
      ui_(ui),
      device_(device),
      commandLine_(std::move(commandLine)),
      player_(device),
      volumeDlg_(player_, this) {
  setWindowTitle(QString::fromUtf8(main_text::kCaption));
  // A fixed-size window with a minimise box and no maximise box.
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setWindowIcon(QIcon(QString::fromUtf8(kIconResource)));
  // A file dropped on the window opens as File → Open would open it.
  setAcceptDrops(true);
  BuildControls();
  BuildMenu();
  AddRecentFilesMenu();
  AddEditMenu();
  AddLanguageMenu();
  AddKeyboardCommands();
  AddMainWindowTooltips(*this);
  ConnectControls();
  // Enter is swallowed for every control of this window.
  qApp->installEventFilter(this);

  player_.Attach(this, 1, kPlayerTimer);
  player_.SetOwner(this);
  player_.SetOptions(CDS_NOTIFY_STOP);
  player_.SetNotification(&PlaybackEnded, this);
  player_.AddDecoderModule(new Cdeclib_h_nwa, 1);
  player_.AddDecoderModule(new Cdeclib_flac, 1);
  LoadVolumeSettings(player_);
  silenceRules_ = LoadSilenceRules();
  // Damage found while a file plays (FLAC) is reported, not only the end.
  player_.SetFlags(CDS_NOTIFY_ERROR, true);
  // Until a file is open every control that needs one is disabled.
  ApplyView();
}

CMainDlg::~CMainDlg() {
  // The player stops its timer through this host; stop it while we still exist.
  player_.Stop();
  player_.Close();
}

QWidget* CMainDlg::Control(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

QAction* CMainDlg::MenuAction(int id) const {
  auto it = menuActions_.find(id);
  return it == menuActions_.end() ? nullptr : it->second;
}

void CMainDlg::SetText(int id, const QString& text) {
  QWidget* control = controls_.at(id);
  if (auto* button = qobject_cast<QPushButton*>(control)) {
    button->setText(text);
  } else if (auto* label = qobject_cast<QLabel*>(control)) {
    label->setText(text);
  }
}

uint32_t CMainDlg::BlockAlign() const {
  return model_.Format().formatBlock.blockAlign;
}

uint64_t CMainDlg::PlayerBytes() {
  return player_.GetPosition(kUnitBytes);
}

void CMainDlg::ApplyView() {
  const MainWindowView view = DeriveMainWindowView(model_);
  for (const auto& [id, control] : view.controls) {
    QWidget* widget = controls_.at(id);
    widget->setEnabled(control.enabled);
    if (control.text) SetText(id, UiText(control.text->c_str()));
  }
  for (const auto& [id, enabled] : view.commands) MenuAction(id)->setEnabled(enabled);
  ApplyEditMenu(view);
  setWindowTitle(QString::fromUtf8(view.title));
  // Qt's range is signed.
  const auto clamp = [](uint32_t value) {
    return static_cast<int>(std::min<uint32_t>(value, INT32_MAX));
  };
  slider_->setRange(0, clamp(view.slider.maximum));
  slider_->setSingleStep(clamp(view.slider.lineStep));
  slider_->setPageStep(clamp(view.slider.pageStep));
  if (view.slider.value) slider_->setValue(clamp(*view.slider.value));
  sliderShift_ = view.slider.frameShift;
  const auto markerFrame = [this](int k) -> std::optional<uint64_t> {
    const WindowMarker& marker = model_.Marker(k);
    if (!marker.set) return std::nullopt;
    return marker.position / BlockAlign();
  };
  waveform_->SetMarkers(markerFrame(1), markerFrame(2));
  ApplyRows();
}

// The list and the waveform's regions show the model's rows and selection.
void CMainDlg::ApplyRows() {
  // What the list shows may be ahead of what was applied: the user's click.
  const bool rows = appliedRowsRevision_ != model_.RowsRevision();
  if (!rows && appliedSelection_ == model_.SelectedRows() &&
      appliedHighlight_ == model_.SelectedRow())
    return;
  const QSignalBlocker blocker(list_);
  appliedRowsRevision_ = model_.RowsRevision();
  appliedSelection_ = model_.SelectedRows();
  appliedHighlight_ = model_.SelectedRow();
  const std::vector<RowConflict>& conflicts = model_.Conflicts();
  if (rows) list_->SetRows(model_, conflicts);
  list_->SetSelection(model_.SelectedRows(), model_.SelectedRow());
  std::vector<WaveRegion> regions;
  regions.reserve(model_.Rows().size());
  for (const ReservationRow& row : model_.Rows()) {
    const size_t i = regions.size();
    regions.push_back({{row.startFrame, row.endFrame},
                       row.label,
                       std::binary_search(model_.SelectedRows().begin(),
                                          model_.SelectedRows().end(), static_cast<int>(i)),
                       conflicts[i] != RowConflict::None});
  }
  waveform_->SetRegions(std::move(regions));
}

// ---------------------------------------------------------------- start-up

void CMainDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!startupPosted_) {
    startupPosted_ = true;
    QMetaObject::invokeMethod(this, &CMainDlg::OnStartupOpen, Qt::QueuedConnection);
  }
}

bool CMainDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == slider_ && event->type() == QEvent::MouseButtonPress) sliderPressed_ = true;
  if (watched == slider_ && event->type() == QEvent::MouseButtonRelease) {
    sliderPressed_ = false;
    if (sliderScrollOpen_) {
      sliderScrollOpen_ = false;
      OnSliderScroll(true);
    }
  }
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    auto* widget = qobject_cast<QWidget*>(watched);
    // ...but for the editor of a label in the list, where it ends the edit.
    const bool labelEditor = widget && widget != list_ && list_->isAncestorOf(widget);
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && widget && widget->window() == this &&
        !labelEditor)
      return true;
    if (HandleWindowKey(watched, static_cast<QKeyEvent*>(event))) return true;
  }
  return QDialog::eventFilter(watched, event);
}

// Without a file named the window starts empty, for File → Open, a drop or
// a recent file. A named file that does not open ends the program, after
// saying so, with the status that tells scripts it failed.
void CMainDlg::OnStartupOpen() {
  if (commandLine_.empty()) return;
  if (RefusedForChannels(commandLine_)) {
    // Its own message has named the reason.
  } else if (!OpenAudioFile(commandLine_)) {
    ui_.ShowMessage(kStrCannotOpenFile, MessageButtons::Ok);
  } else {
    return;
  }
  reject();
  setResult(kResultCannotOpen);
}

// ---------------------------------------------------------------- opening

bool CMainDlg::RefusedForChannels(const std::string& path) {
  SoundFormatInfo format;
  if (!ReadFormat(path, format) || format.formatBlock.channels <= kMaxDeviceChannels) return false;
  ui_.ShowText(UiText(main_text::kTooManyChannels)
                   .arg(format.formatBlock.channels)
                   .arg(kMaxDeviceChannels)
                   .toStdString(),
               MessageButtons::Ok);
  return true;
}

bool CMainDlg::ReadFormat(const std::string& path, SoundFormatInfo& format) {
  if (CMainPlayer::ProbeWaveFile(path.c_str(), format) == 0) return true;
  // Not a PCM RIFF WAVE file: NWA, FLAC, another RIFF coding, or unreadable.
  CSectorFile file(kHeaderFileRing);
  if (file.Open(path.c_str(), "rb", kFileAttributes) != kFileOk) return false;
  for (Cdeclib* module = player_.FirstDecoderModule(); module != nullptr; module = module->next) {
    file.Seek(0, 0);
    if (module->ReadHeader(file, format) == 0) return true;
  }
  return false;
}

bool CMainDlg::OpenAudioFile(const std::string& path) {
  if (model_.IsPlaying()) TogglePlay();
  SoundFormatInfo format;
  if (!ReadFormat(path, format)) return false;
  if (player_.Open(path.c_str()) != 0) return false;
  model_.OpenFile(path, FileTitle(path), format);
  waveform_->SetFile(path, format);
  OpenSnapReader(path, format);
  const std::optional<SampleChunk> loops = ReadSampleChunk(path);
  const auto loop = loops ? FirstLoopBytes(*loops, format) : std::nullopt;
  if (loop) model_.SetFileLoop(ByteRange{loop->first, loop->second});
  ApplyView();
  RememberRecentFile(path);
  // What was said about the file before is gone; the new file's format stays.
  status_->ClearMessage();
  status_->ShowFormat(QString::fromStdString(FormatSummary(format, ContainerName(path, format))));
  ShowSilenceOnce();
  return true;
}

void CMainDlg::ShowSilenceOnce() {
  if (silenceShown_ || !device_.IsSilent()) return;
  silenceShown_ = true;
  status_->ShowNote(
      tr("音声出力を開けなかったため、再生は無音で進みます (位置の移動や保存はできます)。"));
}

// ---------------------------------------------------------------- closing

void CMainDlg::reject() {
  if (model_.HasUnsavedReservations() &&
      ui_.ShowMessage(kStrDiscardUnsaved, MessageButtons::YesNo) == MessageAnswer::No)
    return;
  SaveVolumeSettings(player_);
  // After the volume settings, which rewrite the settings file from nothing.
  SaveRecentFiles(recentFiles_);
  SaveLanguageSetting(languageSetting_);
  StoreEditSettings();
  SaveSilenceRules(silenceRules_);
  ended_ = true;
  QDialog::reject();
}

// ---------------------------------------------------------------- timers

void CMainDlg::SetTimer(uint32_t id, uint32_t ms) {
  KillTimer(id);
  timers_[id] = startTimer(static_cast<int>(ms));
}

void CMainDlg::KillTimer(uint32_t id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  killTimer(it->second);
  timers_.erase(it);
}

bool CMainDlg::IsTimerRunning(uint32_t id) const {
  return timers_.count(id) != 0;
}

void CMainDlg::timerEvent(QTimerEvent* event) {
  for (const auto& [id, qtId] : timers_) {
    if (qtId == event->timerId()) {
      OnTimer(id);
      return;
    }
  }
  QDialog::timerEvent(event);
}

void CMainDlg::OnTimer(uint32_t id) {
  if (id == kPlayerTimer) {
    player_.OnTimer();
    // The automatic volume control moves the software volume while playing.
    if (volumeDlg_.IsOpen()) volumeDlg_.ShowSoftwareVolume(player_.GetSoftwareVolume());
  } else if (id == kDisplayTimer) {
    RefreshPosition(true, 0);
  } else if (id == kSeamTimer) {
    StopSeam();
  }
}

// ---------------------------------------------------------------- position

void CMainDlg::RefreshPosition(bool fromPlayer, uint64_t samplePosition) {
  // The play buttons' rules read the player's position also during a drag.
  model_.SetPlayerPosition(PlayerBytes());
  if (!fromPlayer) model_.ShowDragPosition(samplePosition);
  if (model_.HasFile())
    waveform_->SetPosition(fromPlayer ? PlayerBytes() / BlockAlign() : samplePosition);
  ApplyView();
}

void CMainDlg::OnSliderScroll(bool endOfScroll) {
  if (model_.IsPlaying()) {
    player_.Stop();
    resumeAfterDrag_ = true;
    SetPlaying(false);
  }
  const uint64_t samples = static_cast<uint64_t>(slider_->sliderPosition()) << sliderShift_;
  if (!endOfScroll) {
    // The player does not move until the scroll ends.
    RefreshPosition(false, samples);
    return;
  }
  player_.Seek(samples * BlockAlign(), kUnitBytes);
  if (resumeAfterDrag_) TogglePlay();
  resumeAfterDrag_ = false;
  RefreshPosition(true, 0);
}

void CMainDlg::OnSliderAction(int action) {
  if (slider_->isSliderDown() || action == QAbstractSlider::SliderNoAction) return;
  OnSliderScroll(false);
  // Held on the groove the action repeats; the scroll ends with the release.
  if (sliderPressed_) {
    sliderScrollOpen_ = true;
  } else {
    OnSliderScroll(true);
  }
}

// ---------------------------------------------------------------- accessors

int CMainDlg::ReservationCount() const {
  return static_cast<int>(model_.Rows().size());
}

std::string CMainDlg::ReservationText(int row, int column) const {
  return model_.RowText(row, column);
}

std::string CMainDlg::LengthText() const {
  return static_cast<QLabel*>(controls_.at(kCtlLengthDisplay))->text().toStdString();
}

bool CMainDlg::JoinChecked() const {
  return static_cast<QCheckBox*>(controls_.at(kCtlJoinAll))->isChecked();
}

ExportChoices CMainDlg::ExportOptions() const {
  // A box counts only while enabled: the fades are off for samples that
  // cannot be faded, whatever the box shows.
  const auto ticked = [this](int id) {
    const auto* box = static_cast<QCheckBox*>(controls_.at(id));
    return box->isEnabled() && box->isChecked();
  };
  const auto length = [&](int box, int field) {
    return ExportChoices::Length{
        ticked(box), static_cast<QLineEdit*>(controls_.at(field))->text().toStdString()};
  };
  ExportChoices choices;
  choices.fadeOut = length(kCtlFadeOut, kCtlFadeLength);
  choices.fadeIn = length(kCtlFadeIn, kCtlFadeInLength);
  choices.declick = length(kCtlDeclick, kCtlDeclickLength);
  choices.join = JoinChecked();
  choices.nameByLabels = ticked(kCtlNameByLabels);
  choices.stripMetadata = ticked(kCtlStripMetadata);
  choices.verify = ticked(kCtlVerifyAfterSaving);
  return choices;
}

}  // namespace snipora
