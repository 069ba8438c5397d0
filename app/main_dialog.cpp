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

#include "app/number_text.h"
#include "app/reservation_list.h"
#include "audiofile/nwa_module.h"
#include "audiofile/paths.h"
#include "audiofile/sample_loops.h"
#include "audiofile/sector_file.h"
#include "export/fade.h"
#include "playback/volume_settings.h"
#include "resources/dialog_templates.h"
#include "resources/menu_template.h"

namespace snipora {

namespace {

constexpr uint32_t kHeaderFileRing = 524288;
constexpr uint32_t kFileAttributes = 32;

void PlaybackEnded(int /*code*/, CDSStreamPlayer* /*player*/, void* context) {
  static_cast<CMainDlg*>(context)->OnPlaybackEnded();
}

}  // namespace

CMainDlg::CMainDlg(IUiServices& ui, ISoundDevice& device, std::string commandLine, QWidget* parent)
    : QDialog(parent),
      ui_(ui),
      commandLine_(std::move(commandLine)),
      player_(device),
      volumeDlg_(player_, this) {
  setWindowTitle(QString::fromUtf8(main_text::kCaption));
  // A fixed-size window with a minimise box and no maximise box.
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setWindowIcon(QIcon(QString::fromUtf8(kIconResource)));
  BuildControls();
  BuildMenu();
  ConnectControls();
  // Enter is swallowed for every control of this window.
  qApp->installEventFilter(this);

  player_.Attach(this, 1, kPlayerTimer);
  player_.SetOwner(this);
  player_.SetOptions(CDS_NOTIFY_STOP);
  player_.SetNotification(&PlaybackEnded, this);
  player_.AddDecoderModule(new Cdeclib_h_nwa, 1);
  LoadVolumeSettings(player_);
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

void CMainDlg::SetEnabled(int id, bool enabled) {
  controls_.at(id)->setEnabled(enabled);
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
  return format_.formatBlock.blockAlign;
}

uint32_t CMainDlg::AvgBytesPerSec() const {
  return format_.formatBlock.avgBytesPerSec;
}

uint32_t CMainDlg::PlayerBytes() {
  return player_.GetPosition(1);
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
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    auto* widget = qobject_cast<QWidget*>(watched);
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && widget && widget->window() == this)
      return true;
  }
  return QDialog::eventFilter(watched, event);
}

void CMainDlg::OnStartupOpen() {
  std::optional<std::string> path;
  if (!commandLine_.empty() && !RefusedForChannels(commandLine_)) {
    path = commandLine_;
  } else {
    // A file with more channels than the device plays was named: ask for another.
    do {
      while (!(path = ui_.AskOpenFile({main_text::kOpenFilter}))) {
        if (ui_.ShowMessage(102, MessageButtons::YesNo) == MessageAnswer::No) {
          reject();
          return;
        }
      }
    } while (RefusedForChannels(*path));
  }
  if (!OpenAudioFile(*path)) {
    ui_.ShowMessage(103, MessageButtons::Ok);
    reject();
    setResult(kResultCannotOpen);
  }
}

// ---------------------------------------------------------------- opening

void CMainDlg::OnMenuOpen() {
  if (unsavedReservations_ && ui_.ShowMessage(108, MessageButtons::YesNo) == MessageAnswer::No)
    return;
  const std::optional<std::string> path = ui_.AskOpenFile({main_text::kOpenFilter});
  if (!path || RefusedForChannels(*path)) return;
  const std::string previousPath = fullPath_;
  const SoundFormatInfo previousFormat = format_;
  const uint32_t previousPosition = PlayerBytes();
  player_.Close();
  if (!OpenAudioFile(*path)) {
    ui_.ShowMessage(103, MessageButtons::Ok);
    reject();
    if (!ended_) ReopenAfterFailedOpen(previousPath, previousFormat, previousPosition);
  }
}

// The dialog stayed open after a failed open (the user kept unsaved
// reservations): give the player the previous file back, at its position, so
// that the player and the displays agree about what is open.
void CMainDlg::ReopenAfterFailedOpen(const std::string& path, const SoundFormatInfo& format,
                                     uint32_t position) {
  format_ = format;
  if (player_.Open(path.c_str()) != 0) return;
  player_.Seek(position, 1);
  RefreshPosition(true, 0);
}

bool CMainDlg::RefusedForChannels(const std::string& path) {
  SoundFormatInfo format;
  if (!ReadFormat(path, format) || format.formatBlock.channels <= kMaxDeviceChannels) return false;
  ui_.ShowText(main_text::TooManyChannels(format.formatBlock.channels, kMaxDeviceChannels),
               MessageButtons::Ok);
  return true;
}

bool CMainDlg::ReadFormat(const std::string& path, SoundFormatInfo& format) {
  if (CMainPlayer::ProbeWaveFile(path.c_str(), format) == 0) return true;
  // Not a PCM RIFF WAVE file: NWA, another RIFF coding, or unreadable.
  CSectorFile file(kHeaderFileRing);
  if (file.Open(path.c_str(), "rb", kFileAttributes) != 0) return false;
  Cdeclib* module = player_.FirstDecoderModule();
  const bool read = module && module->ReadHeader(file, format) == 0;
  file.Close();
  return read;
}

bool CMainDlg::OpenAudioFile(const std::string& path) {
  if (playing_) TogglePlay();
  SoundFormatInfo format;
  if (!ReadFormat(path, format)) return false;
  if (player_.Open(path.c_str()) != 0) return false;
  format_ = format;

  displayName_ = FileTitle(path);
  fullPath_ = path;
  setWindowTitle(QString::fromUtf8(displayName_) + QString::fromUtf8(main_text::kTitleSuffix));
  unsavedReservations_ = false;

  const uint32_t samples = BlockAlign() ? format_.dataSize / BlockAlign() : 0;
  SetText(1031, TwoLineText(static_cast<uint32_t>(format_.lengthMs), samples));
  for (int id : {1032, 1033, 1034}) SetText(id, QString::fromUtf8(main_text::kZeroDisplay));
  SetText(1024, QString::fromUtf8(main_text::kMarkerAdd));
  SetText(1025, QString::fromUtf8(main_text::kMarkerAdd));
  for (int id : {1026, 1028, 1030, 1029, 1035, 1036, 1037, 1038, 1039}) SetEnabled(id, false);
  SetEnabled(1041, CanFade(format_));
  markers_[0] = {};
  markers_[1] = {};
  boundedPlayback_ = false;
  list_->DeleteAllRows();
  const std::optional<SampleChunk> loops = ReadSampleChunk(path);
  fileLoop_ = loops ? FirstLoopBytes(*loops, format_) : std::nullopt;
  MenuAction(kCmdMarkersFromFileLoop)->setEnabled(fileLoop_.has_value());

  // The slider counts samples; Qt's range is signed.
  const uint32_t samplesPerSecond = BlockAlign() ? AvgBytesPerSec() / BlockAlign() : 0;
  slider_->setRange(0, static_cast<int>(std::min<uint32_t>(samples, INT32_MAX)));
  slider_->setValue(0);
  slider_->setSingleStep(static_cast<int>(samplesPerSecond / 1000));
  slider_->setPageStep(static_cast<int>(samplesPerSecond / 4));
  return true;
}

// ---------------------------------------------------------------- closing

void CMainDlg::reject() {
  if (unsavedReservations_ && ui_.ShowMessage(108, MessageButtons::YesNo) == MessageAnswer::No)
    return;
  SaveVolumeSettings(player_);
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
  }
}

// ---------------------------------------------------------------- position

void CMainDlg::RefreshPosition(bool fromPlayer, uint32_t samplePosition) {
  uint32_t milliseconds = 0;
  uint32_t samples = samplePosition;
  if (fromPlayer) {
    milliseconds = player_.GetPosition(2);
    samples = BlockAlign() ? PlayerBytes() / BlockAlign() : 0;
    slider_->setValue(static_cast<int>(std::min<uint32_t>(samples, INT32_MAX)));
  } else {
    const uint32_t rate = format_.formatBlock.samplesPerSec;
    if (rate) milliseconds = (samples / rate) * 1000 + ((samples % rate) * 1000) / rate;
  }

  const uint32_t position = PlayerBytes();
  const Marker& m1 = markers_[0];
  const Marker& m2 = markers_[1];
  bool betweenMarkers = false;
  if (!playing_) {
    if (m1.set && m2.set) {
      betweenMarkers = true;
    } else if (m1.set || m2.set) {
      betweenMarkers = position < (m1.set ? m1.position : m2.position);
    }
  }
  SetEnabled(1028, betweenMarkers);
  SetEnabled(1037, !boundedPlayback_ &&
                       ((m1.set && position < m1.position) || (m2.set && position < m2.position)));
  SetText(1032, TwoLineText(milliseconds, samples));
}

void CMainDlg::OnSliderScroll(bool endOfScroll) {
  if (playing_) {
    player_.Stop();
    KillTimer(kDisplayTimer);
    resumeAfterDrag_ = true;
    ShowPlaying(false);
  }
  const uint32_t samples = static_cast<uint32_t>(slider_->sliderPosition());
  if (!endOfScroll) {
    // The player does not move until the drag ends.
    RefreshPosition(false, samples);
    return;
  }
  player_.Seek(samples * BlockAlign(), 1);
  if (resumeAfterDrag_) TogglePlay();
  resumeAfterDrag_ = false;
  RefreshPosition(true, 0);
}

// ---------------------------------------------------------------- accessors

int CMainDlg::ReservationCount() const {
  return list_->RowCount();
}

std::string CMainDlg::ReservationText(int row, int column) const {
  return list_->Cell(row, column).toStdString();
}

std::string CMainDlg::LengthText() const {
  return static_cast<QLabel*>(controls_.at(1031))->text().toStdString();
}

bool CMainDlg::FadeOutChecked() const {
  return static_cast<QCheckBox*>(controls_.at(1041))->isChecked();
}

bool CMainDlg::FadeOutEnabled() const {
  return controls_.at(1041)->isEnabled();
}

std::string CMainDlg::FadeOutLengthText() const {
  return static_cast<QLineEdit*>(controls_.at(1042))->text().toStdString();
}

bool CMainDlg::JoinChecked() const {
  return static_cast<QCheckBox*>(controls_.at(1043))->isChecked();
}

}  // namespace snipora
