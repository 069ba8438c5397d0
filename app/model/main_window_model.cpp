#include "app/model/main_window_model.h"

#include <algorithm>

#include "audiofile/sound_units.h"

namespace snipora {

void CMainWindowModel::OpenFile(std::string fullPath, std::string displayName,
                                const SoundFormatInfo& format) {
  const uint32_t revision = rowsRevision_;
  *this = CMainWindowModel();
  hasFile_ = true;
  format_ = format;
  fullPath_ = std::move(fullPath);
  displayName_ = std::move(displayName);
  rowsRevision_ = revision + 1;
}

void CMainWindowModel::SetPlayerPosition(uint64_t bytes, uint32_t milliseconds) {
  playerBytes_ = bytes;
  playerMs_ = milliseconds;
  dragFrames_.reset();
}

void CMainWindowModel::ShowDragPosition(uint64_t frames) {
  dragFrames_ = frames;
}

void CMainWindowModel::ToggleMarker(int k, uint64_t bytes, uint32_t milliseconds) {
  WindowMarker& marker = markers_[k - 1];
  marker = marker.set ? WindowMarker{} : WindowMarker{true, bytes, milliseconds};
}

bool CMainWindowModel::AddReservation(uint64_t position) {
  ByteRange range;
  if (BothMarkersSet()) {
    range = *LoopRange();
  } else if (AnyMarkerSet()) {
    // One marker: cut between it and the position, then move the marker to
    // the position, so repeated presses cut consecutive pieces.
    WindowMarker& marker = OnlyMarker();
    range = {std::min(marker.position, position), std::max(marker.position, position)};
    marker.position = position;
    marker.milliseconds = BytesToMilliseconds(format_, position);
  } else {
    return false;
  }
  if (range.start == range.end || format_.formatBlock.blockAlign == 0) return false;

  const uint64_t startFrame = BytesToFrames(format_, range.start);
  const uint64_t endFrame = BytesToFrames(format_, range.end);
  rows_.push_back({FramesToMilliseconds(format_, endFrame - startFrame), startFrame, endFrame, {}});
  ++rowsRevision_;
  unsaved_ = true;
  return true;
}

void CMainWindowModel::SelectRow(int row) {
  selectedRow_ = row >= 0 && row < static_cast<int>(rows_.size()) ? row : -1;
}

bool CMainWindowModel::RemoveSelectedRow() {
  if (selectedRow_ < 0) return false;
  rows_.erase(rows_.begin() + selectedRow_);
  selectedRow_ = -1;
  ++rowsRevision_;
  // Rows that remain are still unsaved: only an empty list has nothing to lose.
  if (rows_.empty()) unsaved_ = false;
  return true;
}

bool CMainWindowModel::ReadSelectedRow() {
  if (selectedRow_ < 0) return false;
  const ReservationRow& row = rows_[selectedRow_];
  const uint64_t frames[2] = {row.startFrame, row.endFrame};
  for (int k = 0; k < 2; ++k) {
    markers_[k] = {true, FramesToBytes(format_, frames[k]),
                   FramesToMilliseconds(format_, frames[k])};
  }
  return true;
}

void CMainWindowModel::AddRows(const std::vector<ReservationRow>& rows) {
  if (rows.empty()) return;
  rows_.insert(rows_.end(), rows.begin(), rows.end());
  ++rowsRevision_;
  unsaved_ = true;
}

bool CMainWindowModel::SetRowLabel(int row, const std::string& label) {
  if (row < 0 || row >= static_cast<int>(rows_.size()) || rows_[row].label == label) return false;
  rows_[row].label = label;
  ++rowsRevision_;
  unsaved_ = true;
  return true;
}

std::string CMainWindowModel::RowText(int row, int column) const {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return {};
  const ReservationRow& r = rows_[row];
  if (column == 3) return r.label;
  // Frame indices are written unsigned, as they are read back.
  return std::to_string(column == 0 ? r.lengthMs : column == 1 ? r.startFrame : r.endFrame);
}

std::optional<ByteRange> CMainWindowModel::BetweenMarkers(uint64_t position) const {
  if (BothMarkersSet()) return LoopRange();
  if (!AnyMarkerSet()) return std::nullopt;
  const uint64_t end = OnlyMarker().position;
  if (position >= end) return std::nullopt;
  return ByteRange{position, end};
}

std::optional<uint64_t> CMainWindowModel::MarkerAfter(uint64_t position) const {
  std::optional<uint64_t> nearest;
  for (const WindowMarker& marker : markers_) {
    if (marker.set && marker.position > position && (!nearest || marker.position < *nearest))
      nearest = marker.position;
  }
  return nearest;
}

std::optional<ByteRange> CMainWindowModel::TwoSecondsBeforeMarker() const {
  if (!AnyMarkerSet()) return std::nullopt;
  const uint64_t end = BothMarkersSet() ? LoopRange()->end : OnlyMarker().position;
  const uint64_t lead = 2 * uint64_t{format_.formatBlock.avgBytesPerSec};
  return ByteRange{end >= lead ? end - lead : 0, end};
}

std::optional<ByteRange> CMainWindowModel::LoopRange() const {
  if (!BothMarkersSet()) return std::nullopt;
  const uint64_t a = markers_[0].position;
  const uint64_t b = markers_[1].position;
  return ByteRange{std::min(a, b), std::max(a, b)};
}

}  // namespace snipora
