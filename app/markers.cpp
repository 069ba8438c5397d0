// Steps, markers and the jump dialog of the main dialog.
#include "app/jump_dialog.h"
#include "app/main_dialog.h"
#include "app/number_text.h"
#include "resources/dialog_templates.h"

namespace snipora {

namespace {

// pos - step, or 0 when the step reaches past the start (unsigned, no wrap).
uint32_t StepBack(uint32_t position, uint32_t step) {
  return position > step ? position - step : 0;
}

// pos + step, or total when the step reaches the end or beyond.
uint32_t StepForward(uint32_t position, uint32_t step, uint32_t total) {
  return total >= step && position < total - step ? position + step : total;
}

}  // namespace

void CMainDlg::StepBackMilliseconds(uint32_t n) {
  player_.Seek(StepBack(player_.GetPosition(2), n), 2);
  RefreshPosition(true, 0);
}

void CMainDlg::StepForwardMilliseconds(uint32_t n) {
  const uint32_t total = static_cast<uint32_t>(format_.lengthMs);
  const uint32_t target = StepForward(player_.GetPosition(2), n, total);
  // The player maps a time to the block after it, which for the whole length
  // lies past the data; the end itself is sought in bytes.
  if (target == total) {
    player_.Seek(format_.dataSize, 1);
  } else {
    player_.Seek(target, 2);
  }
  RefreshPosition(true, 0);
}

void CMainDlg::StepBackSamples(uint32_t n) {
  player_.Seek(StepBack(PlayerBytes(), n * BlockAlign()), 1);
  RefreshPosition(true, 0);
}

void CMainDlg::StepForwardSamples(uint32_t n) {
  player_.Seek(StepForward(PlayerBytes(), n * BlockAlign(), format_.dataSize), 1);
  RefreshPosition(true, 0);
}

void CMainDlg::ToggleMarker(int k) {
  Marker& marker = markers_[k - 1];
  const Marker& other = markers_[2 - k];
  const int toggle = k == 1 ? 1024 : 1025;
  const int goTo = k == 1 ? 1029 : 1035;
  if (marker.set) {
    marker = {};
    SetText(toggle, QString::fromUtf8(main_text::kMarkerAdd));
    SetEnabled(goTo, false);
    SetEnabled(1039, false);
    ShowMarker(k, 0, 0);
    if (!other.set) {
      SetEnabled(1026, false);
      SetEnabled(1038, false);
    }
  } else {
    marker.set = true;
    marker.position = PlayerBytes();
    SetText(toggle, QString::fromUtf8(main_text::kMarkerClear));
    SetEnabled(goTo, true);
    if (other.set) SetEnabled(1039, true);
    ShowMarker(k, player_.GetPosition(2), BlockAlign() ? marker.position / BlockAlign() : 0);
    SetEnabled(1026, true);
    SetEnabled(1038, true);
  }
  RefreshPosition(true, 0);
}

void CMainDlg::OnMenuMarkersFromFileLoop() {
  if (!fileLoop_) return;
  // Each marker is set where the marker buttons would set it: at the player's position.
  const uint32_t positions[2] = {fileLoop_->first, fileLoop_->second};
  for (int k = 1; k <= 2; ++k) {
    if (markers_[k - 1].set) ToggleMarker(k);
    player_.Seek(positions[k - 1], 1);
    ToggleMarker(k);
  }
  GoToMarker(1);
}

void CMainDlg::ShowMarker(int k, uint32_t milliseconds, uint32_t samples) {
  SetText(k == 1 ? 1033 : 1034, TwoLineText(milliseconds, samples));
}

void CMainDlg::GoToMarker(int k) {
  player_.Seek(markers_[k - 1].position, 1);
  RefreshPosition(true, 0);
}

void CMainDlg::OnJump() {
  CJumpDlg jump(this, ui_, {LengthText(), AvgBytesPerSec(), BlockAlign(), format_.dataSize});
  if (jump.exec() != QDialog::Accepted) return;
  player_.Seek(jump.Result(), 1);
  RefreshPosition(true, 0);
}

}  // namespace snipora
