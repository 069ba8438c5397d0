#include "app/model/main_window_model.h"

#include <algorithm>

#include "audiofile/sound_units.h"

namespace snipora {

void CMainWindowModel::OpenFile(std::string fullPath, std::string displayName,
                                const SoundFormatInfo& format) {
  hasFile_ = true;
  format_ = format;
  fullPath_ = std::move(fullPath);
  displayName_ = std::move(displayName);
  fileLoop_.reset();
  loopForSave_.reset();
  playerBytes_ = 0;
  dragFrames_.reset();
  doc_ = {};
  history_.Reset();
  dragStep_ = nullptr;
  selectedRows_.clear();
  currentRow_ = -1;
  ++rowsRevision_;
  finder_ = nullptr;
  playing_ = false;
  bounded_ = false;
}

uint64_t CMainWindowModel::TotalFrames() const {
  return snipora::TotalFrames(format_);
}

uint64_t CMainWindowModel::FrameOf(uint64_t bytes) const {
  return BytesToFrames(format_, bytes);
}

uint64_t CMainWindowModel::BytesOf(uint64_t frame) const {
  return FramesToBytes(format_, frame);
}

void CMainWindowModel::SetPlayerPosition(uint64_t bytes) {
  playerBytes_ = bytes;
  dragFrames_.reset();
}

void CMainWindowModel::ShowDragPosition(uint64_t frames) {
  dragFrames_ = frames;
}

uint64_t CMainWindowModel::MillisecondStepTarget(int64_t deltaMs) const {
  const uint32_t rate = format_.formatBlock.samplesPerSec;
  const uint64_t shown = MillisecondOfFrame(FrameOf(playerBytes_), rate);
  const uint64_t n = deltaMs < 0 ? 0 - static_cast<uint64_t>(deltaMs) : deltaMs;
  if (deltaMs < 0) return BytesOf(MillisecondsToFrames(shown > n ? shown - n : 0, rate));
  const auto total = static_cast<uint64_t>(std::max<int64_t>(format_.lengthMs, 0));
  // The whole length and beyond go to the end of the data itself.
  if (total < n || shown >= total - n) return format_.dataSize;
  return std::min(BytesOf(MillisecondsToFrames(shown + n, rate)), format_.dataSize);
}

uint64_t CMainWindowModel::FrameStepTarget(int64_t deltaFrames) const {
  const uint64_t n = BytesOf(deltaFrames < 0 ? 0 - static_cast<uint64_t>(deltaFrames)
                                             : static_cast<uint64_t>(deltaFrames));
  const uint64_t total = format_.dataSize;
  if (deltaFrames < 0) return playerBytes_ > n ? playerBytes_ - n : 0;
  return total >= n && playerBytes_ < total - n ? playerBytes_ + n : total;
}

uint64_t CMainWindowModel::Snapped(uint64_t frame) const {
  return snap_ && finder_ ? finder_(frame) : frame;
}

std::string CMainWindowModel::CellText(int row, RowField field) const {
  return snipora::CellText(doc_.rows.at(row), field, unit_, format_.formatBlock.samplesPerSec);
}

const std::vector<RowConflict>& CMainWindowModel::Conflicts() const {
  if (conflictsRevision_ != rowsRevision_) {
    conflicts_ = FindRowConflicts(doc_.rows);
    conflictsRevision_ = rowsRevision_;
  }
  return conflicts_;
}

std::string CMainWindowModel::RowText(int row, int column) const {
  if (row < 0 || row >= static_cast<int>(doc_.rows.size())) return {};
  const ReservationRow& r = doc_.rows[row];
  if (column == 3) return r.label;
  if (column == 0) return std::to_string(FramesToMilliseconds(format_, r.endFrame - r.startFrame));
  // Frame indices are written unsigned, as they are read back.
  return std::to_string(column == 1 ? r.startFrame : r.endFrame);
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
  for (const WindowMarker& marker : doc_.markers) {
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
  const uint64_t a = Marker(1).position;
  const uint64_t b = Marker(2).position;
  return ByteRange{std::min(a, b), std::max(a, b)};
}

ByteRange CMainWindowModel::RowBytes(int row) const {
  const ReservationRow& r = doc_.rows.at(row);
  return {BytesOf(r.startFrame), BytesOf(r.endFrame)};
}

}  // namespace snipora
