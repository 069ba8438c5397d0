// Plain play/stop and the four marker play modes of the main dialog.
#include "app/main_dialog.h"
#include "playback/player_flags.h"
#include "resources/string_table.h"

namespace snipora {

void CMainDlg::SetPlaying(bool playing) {
  model_.SetPlaying(playing);
  if (playing) {
    ShowSilenceOnce();
    SetTimer(kDisplayTimer, kDisplayPeriodMs);
  } else {
    KillTimer(kDisplayTimer);
  }
}

void CMainDlg::TogglePlay() {
  if (model_.IsPlaying()) {
    player_.SetFlags(CDS_LOOP, false);
    player_.Stop();
    SetPlaying(false);
  } else {
    player_.Play(kPlayNormal);
    SetPlaying(true);
  }
  RefreshPosition(true, 0);
}

void CMainDlg::StartBounded(ByteRange range) {
  player_.SetEndPoint(range.end);
  player_.Seek(range.start, kUnitBytes);
  model_.SetBoundedPlayback(true);
  TogglePlay();
}

void CMainDlg::EndBoundedPlayback() {
  model_.SetBoundedPlayback(false);
  ApplyView();
}

void CMainDlg::PlayBetweenMarkers() {
  if (model_.IsPlaying()) return;
  if (const auto range = model_.BetweenMarkers(PlayerBytes())) StartBounded(*range);
}

void CMainDlg::PlayToMarker() {
  const uint64_t position = PlayerBytes();
  if (model_.IsPlaying()) TogglePlay();
  if (const auto end = model_.MarkerAfter(position)) StartBounded({position, *end});
}

void CMainDlg::PlayTwoSecondsBeforeMarker() {
  if (model_.IsPlaying()) TogglePlay();
  if (const auto range = model_.TwoSecondsBeforeMarker()) StartBounded(*range);
}

void CMainDlg::LoopBetweenMarkers() {
  if (model_.IsPlaying()) TogglePlay();
  const std::optional<ByteRange> loop = model_.LoopRange();
  if (!loop) return;
  // Start playing five seconds of data (at 100 %) before the loop's end.
  // In 64 bits, whatever source rates and speeds the player accepts.
  const uint64_t leadIn = uint64_t{static_cast<uint32_t>(player_.GetSpeedPercent())} *
                          model_.Format().formatBlock.avgBytesPerSec / 20;
  player_.Seek(loop->end < leadIn ? 0 : loop->end - leadIn, kUnitBytes);
  if (player_.SetLoop(loop->start, loop->end, kUnitBytes) != 0) {
    ui_.ShowMessage(kStrLoopFailed, MessageButtons::Ok);
    // The lead-in seek has moved the player: show where it is.
    RefreshPosition(true, 0);
    return;
  }
  player_.Play(kPlayLoop);
  SetPlaying(true);
  RefreshPosition(true, 0);
}

void CMainDlg::OnDecodingFailed() {
  SetPlaying(false);
  ui_.ShowText(tr("ファイルの壊れた箇所を読んだため、再生を止めました。\n"
                  "ファイルは先頭から開き直しました。")
                   .toStdString(),
               MessageButtons::Ok);
  // The player has closed the file: open it again, so that it agrees with the window.
  if (player_.Open(model_.FullPath().c_str()) == 0) RefreshPosition(true, 0);
}

void CMainDlg::OnPlaybackEnded() {
  const uint64_t position = PlayerBytes();
  player_.ClearEndPoint();
  SetPlaying(false);
  player_.Seek(position, kUnitBytes);
  RefreshPosition(true, 0);
}

}  // namespace snipora
