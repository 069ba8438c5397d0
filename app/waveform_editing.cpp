// What the mouse does on the waveform: a click seeks and highlights the
// region under it, a drag selects (both markers), Shift+click extends the
// selection, markers and region edges are dragged by their lines, and a
// double click plays a region. Every drag is one step of the undo history.
#include "app/main_dialog.h"
#include "app/model/edit_steps.h"
#include "audiofile/zero_crossing.h"
#include "playback/player_flags.h"
#include "waveform/widgets/wave_pane.h"
#include "waveform/widgets/waveform_view.h"

namespace snipora {

void CMainDlg::OpenSnapReader(const std::string& path, const SoundFormatInfo& format) {
  snap_ = std::make_unique<CZeroCrossingSnap>(path, format);
  model_.SetZeroCrossingFinder([this](uint64_t frame) { return snap_->Snap(frame); });
}

void CMainDlg::OnWaveformPosition(quint64 frame) {
  if (!model_.HasFile()) return;
  player_.Seek(frame * BlockAlign(), kUnitBytes);
  RefreshPosition(true, 0);
}

void CMainDlg::OnWaveformSelection(quint64 anchor, quint64 frame, bool finished) {
  if (!model_.HasFile()) return;
  if (!model_.IsDragging()) model_.BeginDrag(edit_step::kSelect);
  const uint64_t shown = model_.DragSelection(anchor, frame);
  waveform_->SetDragReadout(finished ? std::nullopt : std::optional<uint64_t>(shown));
  if (!finished) {
    ApplyView();
    return;
  }
  model_.EndDrag();
  // Play from the selection's start, as the play modes between markers would.
  player_.Seek(model_.LoopRange()->start, kUnitBytes);
  RefreshPosition(true, 0);
}

void CMainDlg::OnWaveformExtend(quint64 frame) {
  if (!model_.HasFile()) return;
  model_.ExtendSelection(frame);
  RefreshPosition(true, 0);
}

void CMainDlg::OnWaveformHandle(int kind, int index, quint64 frame, bool finished) {
  if (!model_.HasFile()) return;
  const bool marker = kind == WaveHandle::Marker;
  if (!model_.IsDragging())
    model_.BeginDrag(marker ? edit_step::kMoveMarker : edit_step::kChangeRange);
  const uint64_t shown = marker ? model_.DragMarker(index, frame)
                                : model_.DragRowEdge(index, kind == WaveHandle::RowEnd, frame);
  waveform_->SetDragReadout(finished ? std::nullopt : std::optional<uint64_t>(shown));
  if (finished) model_.EndDrag();
  RefreshPosition(true, 0);
}

void CMainDlg::OnRegionClicked(int row) {
  model_.SelectRow(row);
  ApplyView();
}

void CMainDlg::OnRegionActivated(int row) {
  if (row < 0 || row >= static_cast<int>(model_.Rows().size())) return;
  if (model_.IsPlaying()) TogglePlay();
  StartBounded(model_.RowBytes(row));
}

}  // namespace snipora
