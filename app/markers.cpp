// Steps, markers and the jump dialog of the main dialog.
#include "app/jump_dialog.h"
#include "app/main_dialog.h"
#include "playback/player_flags.h"

namespace snipora {

namespace {

// pos - step, or 0 when the step reaches past the start (unsigned, no wrap).
uint64_t StepBack(uint64_t position, uint64_t step) {
  return position > step ? position - step : 0;
}

// pos + step, or total when the step reaches the end or beyond.
uint64_t StepForward(uint64_t position, uint64_t step, uint64_t total) {
  return total >= step && position < total - step ? position + step : total;
}

}  // namespace

void CMainDlg::StepBackMilliseconds(uint32_t n) {
  player_.Seek(StepBack(player_.GetPosition(kUnitMilliseconds), n), kUnitMilliseconds);
  RefreshPosition(true, 0);
}

void CMainDlg::StepForwardMilliseconds(uint32_t n) {
  const SoundFormatInfo& format = model_.Format();
  const uint32_t total = static_cast<uint32_t>(format.lengthMs);
  const uint64_t target = StepForward(player_.GetPosition(kUnitMilliseconds), n, total);
  // The player maps a time to the block after it, which for the whole length
  // lies past the data; the end itself is sought in bytes.
  if (target == total) {
    player_.Seek(format.dataSize, kUnitBytes);
  } else {
    player_.Seek(target, kUnitMilliseconds);
  }
  RefreshPosition(true, 0);
}

void CMainDlg::StepBackSamples(uint32_t n) {
  player_.Seek(StepBack(PlayerBytes(), uint64_t{n} * BlockAlign()), kUnitBytes);
  RefreshPosition(true, 0);
}

void CMainDlg::StepForwardSamples(uint32_t n) {
  player_.Seek(StepForward(PlayerBytes(), uint64_t{n} * BlockAlign(), model_.Format().dataSize),
               kUnitBytes);
  RefreshPosition(true, 0);
}

void CMainDlg::ToggleMarker(int k) {
  model_.ToggleMarker(k, PlayerBytes(), player_.GetPosition(kUnitMilliseconds));
  RefreshPosition(true, 0);
}

void CMainDlg::OnMenuMarkersFromFileLoop() {
  const std::optional<ByteRange> loop = model_.FileLoop();
  if (!loop) return;
  // Each marker is set where the marker buttons would set it: at the player's position.
  const uint64_t positions[2] = {loop->start, loop->end};
  for (int k = 1; k <= 2; ++k) {
    if (model_.Marker(k).set) ToggleMarker(k);
    player_.Seek(positions[k - 1], kUnitBytes);
    ToggleMarker(k);
  }
  GoToMarker(1);
}

void CMainDlg::GoToMarker(int k) {
  player_.Seek(model_.Marker(k).position, kUnitBytes);
  RefreshPosition(true, 0);
}

void CMainDlg::OnJump() {
  const SoundFormatInfo& format = model_.Format();
  CJumpDlg jump(this, ui_,
                {LengthText(), format.formatBlock.avgBytesPerSec, BlockAlign(), format.dataSize});
  if (jump.exec() != QDialog::Accepted) return;
  player_.Seek(jump.Result(), kUnitBytes);
  RefreshPosition(true, 0);
}

}  // namespace snipora
