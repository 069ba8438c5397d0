// Plain play/stop and the four marker play modes of the main dialog.
#include "app/main_dialog.h"
#include "resources/dialog_templates.h"

namespace snipora {

void CMainDlg::ShowPlaying(bool playing) {
  playing_ = playing;
  SetText(1023, QString::fromUtf8(playing ? main_text::kStop : main_text::kPlay));
}

void CMainDlg::TogglePlay() {
  if (playing_) {
    player_.SetFlags(CDS_LOOP, false);
    player_.Stop();
    KillTimer(kDisplayTimer);
    ShowPlaying(false);
  } else {
    player_.Play(kPlayNormal);
    SetTimer(kDisplayTimer, kDisplayPeriodMs);
    ShowPlaying(true);
  }
  RefreshPosition(true, 0);
}

void CMainDlg::StartBounded(uint32_t start, uint32_t end) {
  player_.SetEndPoint(end);
  player_.Seek(start, 1);
  boundedPlayback_ = true;
  SetEnabled(1038, false);
  TogglePlay();
}

void CMainDlg::EndBoundedPlayback() {
  boundedPlayback_ = false;
  SetEnabled(1038, true);
}

void CMainDlg::PlayBetweenMarkers() {
  if (playing_) return;
  const Marker& m1 = markers_[0];
  const Marker& m2 = markers_[1];
  if (m1.set && m2.set) {
    StartBounded(std::min(m1.position, m2.position), std::max(m1.position, m2.position));
  } else if (m1.set || m2.set) {
    const uint32_t end = m1.set ? m1.position : m2.position;
    const uint32_t position = PlayerBytes();
    if (position < end) StartBounded(position, end);
  }
}

void CMainDlg::PlayToMarker() {
  const uint32_t position = PlayerBytes();
  if (playing_) TogglePlay();
  const Marker& m1 = markers_[0];
  const Marker& m2 = markers_[1];
  uint32_t end = 0;
  if (m1.set && m2.set) {
    const uint32_t low = std::min(m1.position, m2.position);
    const uint32_t high = std::max(m1.position, m2.position);
    if (low > position) {
      end = low;
    } else if (high > position) {
      end = high;
    } else {
      return;
    }
  } else if (m1.set || m2.set) {
    end = m1.set ? m1.position : m2.position;
    if (end <= position) return;
  } else {
    return;
  }
  StartBounded(position, end);
}

void CMainDlg::PlayTwoSecondsBeforeMarker() {
  if (playing_) TogglePlay();
  const Marker& m1 = markers_[0];
  const Marker& m2 = markers_[1];
  if (!m1.set && !m2.set) return;
  const uint32_t end =
      m1.set && m2.set ? std::max(m1.position, m2.position) : (m1.set ? m1.position : m2.position);
  const uint32_t lead = 2 * AvgBytesPerSec();
  StartBounded(end >= lead ? end - lead : 0, end);
}

void CMainDlg::LoopBetweenMarkers() {
  if (playing_) TogglePlay();
  const Marker& m1 = markers_[0];
  const Marker& m2 = markers_[1];
  if (!m1.set || !m2.set) return;
  const uint32_t a = std::min(m1.position, m2.position);
  const uint32_t b = std::max(m1.position, m2.position);
  // Start playing five seconds of data (at 100 %) before the loop's end.
  // In 64 bits, whatever source rates and speeds the player accepts.
  const uint64_t leadIn =
      uint64_t{static_cast<uint32_t>(player_.GetSpeedPercent())} * AvgBytesPerSec() / 20;
  player_.Seek(b < leadIn ? 0 : static_cast<uint32_t>(b - leadIn), 1);
  if (player_.SetLoop(a, b, 1) != 0) {
    ui_.ShowMessage(109, MessageButtons::Ok);
    return;
  }
  player_.Play(kPlayLoop);
  SetTimer(kDisplayTimer, kDisplayPeriodMs);
  ShowPlaying(true);
  RefreshPosition(true, 0);
}

void CMainDlg::OnPlaybackEnded() {
  const uint32_t position = PlayerBytes();
  player_.ClearEndPoint();
  KillTimer(kDisplayTimer);
  ShowPlaying(false);
  player_.Seek(position, 1);
  RefreshPosition(true, 0);
}

}  // namespace snipora
