// Steps, markers and the jump dialog of the main dialog.
#include "app/jump_dialog.h"
#include "app/main_dialog.h"
#include "playback/player_flags.h"

namespace snipora {

// Millisecond steps are sought in bytes: the model maps the new time to the
// frame at or before it, the rule every time the window takes follows.
void CMainDlg::StepBackMilliseconds(uint32_t n) {
  player_.Seek(model_.MillisecondStepTarget(-int64_t{n}), kUnitBytes);
  RefreshPosition(true, 0);
}

void CMainDlg::StepForwardMilliseconds(uint32_t n) {
  player_.Seek(model_.MillisecondStepTarget(n), kUnitBytes);
  RefreshPosition(true, 0);
}

void CMainDlg::StepBackSamples(uint32_t n) {
  player_.Seek(model_.FrameStepTarget(-int64_t{n}), kUnitBytes);
  RefreshPosition(true, 0);
}

void CMainDlg::StepForwardSamples(uint32_t n) {
  player_.Seek(model_.FrameStepTarget(n), kUnitBytes);
  RefreshPosition(true, 0);
}

void CMainDlg::ToggleMarker(int k) {
  model_.ToggleMarker(k, PlayerBytes());
  RefreshPosition(true, 0);
}

void CMainDlg::OnMenuMarkersFromFileLoop() {
  if (!model_.MarkersFromFileLoop()) return;
  GoToMarker(1);
}

void CMainDlg::GoToMarker(int k) {
  player_.Seek(model_.Marker(k).position, kUnitBytes);
  RefreshPosition(true, 0);
}

void CMainDlg::OnJump() {
  const SoundFormatInfo& format = model_.Format();
  CJumpDlg jump(this, ui_,
                {LengthText(), format.formatBlock.samplesPerSec, BlockAlign(), format.dataSize});
  if (jump.exec() != QDialog::Accepted) return;
  player_.Seek(jump.Result(), kUnitBytes);
  RefreshPosition(true, 0);
}

}  // namespace snipora
