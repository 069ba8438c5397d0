// The edits of the main window's model: each is one step of the undo
// history, made of changes that know their inverse.
#include <algorithm>
#include <numeric>

#include "app/model/edit_steps.h"
#include "app/model/main_window_model.h"
#include "audiofile/sound_units.h"

namespace snipora {

// ---------------------------------------------------------------- steps

void CMainWindowModel::Apply(const EditChange& change) {
  ApplyChange(doc_, change);
  if (!ChangesRows(change)) return;
  ++rowsRevision_;
  std::vector<int> kept;
  for (int row : selectedRows_) {
    if (const auto after = RowAfter(change, static_cast<size_t>(row)))
      kept.push_back(static_cast<int>(*after));
  }
  std::sort(kept.begin(), kept.end());
  selectedRows_ = std::move(kept);
  if (currentRow_ >= 0) {
    const auto after = RowAfter(change, static_cast<size_t>(currentRow_));
    currentRow_ = after ? static_cast<int>(*after) : -1;
  }
}

void CMainWindowModel::Do(const char* name, std::vector<EditChange> changes) {
  if (IsDragging()) EndDrag();
  for (const EditChange& change : changes) Apply(change);
  history_.Record({name, std::move(changes)});
}

void CMainWindowModel::SelectTouched(const EditChange& change) {
  const std::vector<size_t> touched = RowsTouched(change);
  if (touched.empty()) return;
  selectedRows_.assign(touched.begin(), touched.end());
  currentRow_ = selectedRows_.front();
}

bool CMainWindowModel::Undo() {
  if (IsDragging()) EndDrag();
  const EditStep* step = history_.Undo();
  if (step == nullptr) return false;
  for (auto it = step->changes.rbegin(); it != step->changes.rend(); ++it) {
    const EditChange inverse = Inverse(*it);
    Apply(inverse);
    SelectTouched(inverse);
  }
  return true;
}

bool CMainWindowModel::Redo() {
  if (IsDragging()) EndDrag();
  const EditStep* step = history_.Redo();
  if (step == nullptr) return false;
  for (const EditChange& change : step->changes) {
    Apply(change);
    SelectTouched(change);
  }
  return true;
}

bool CMainWindowModel::HasUnsavedReservations() const {
  return !doc_.rows.empty() && !history_.RowsSaved();
}

// ---------------------------------------------------------------- markers

MarkersChange CMainWindowModel::MarkersTo(WindowMarker marker1, WindowMarker marker2) const {
  return {{doc_.markers[0], doc_.markers[1]}, {marker1, marker2}};
}

void CMainWindowModel::ToggleMarker(int k, uint64_t positionBytes) {
  WindowMarker markers[2] = {doc_.markers[0], doc_.markers[1]};
  WindowMarker& marker = markers[k - 1];
  const bool set = !marker.set;
  marker = set ? WindowMarker{true, BytesOf(Snapped(FrameOf(positionBytes)))} : WindowMarker{};
  const char* name = set ? (k == 1 ? edit_step::kSetMarker1 : edit_step::kSetMarker2)
                         : (k == 1 ? edit_step::kClearMarker1 : edit_step::kClearMarker2);
  Do(name, {MarkersTo(markers[0], markers[1])});
}

void CMainWindowModel::SelectFrames(uint64_t a, uint64_t b) {
  a = std::min(Snapped(a), TotalFrames());
  b = std::min(Snapped(b), TotalFrames());
  Do(edit_step::kSelect,
     {MarkersTo({true, BytesOf(std::min(a, b))}, {true, BytesOf(std::max(a, b))})});
}

void CMainWindowModel::ExtendSelection(uint64_t frame) {
  frame = std::min(Snapped(frame), TotalFrames());
  uint64_t from = FrameOf(playerBytes_);
  if (const auto selection = LoopRange()) {
    const uint64_t lo = FrameOf(selection->start);
    const uint64_t hi = FrameOf(selection->end);
    // The end nearer the click moves; the other stays as the anchor.
    from = frame < lo || (frame <= hi && frame - lo < hi - frame) ? hi : lo;
  } else if (AnyMarkerSet()) {
    from = FrameOf(OnlyMarker().position);
  }
  Do(edit_step::kSelect,
     {MarkersTo({true, BytesOf(std::min(from, frame))}, {true, BytesOf(std::max(from, frame))})});
}

bool CMainWindowModel::MarkersFromFileLoop() {
  if (!fileLoop_) return false;
  SetMarkersTo(*fileLoop_, edit_step::kFileLoop);
  return true;
}

void CMainWindowModel::SetMarkersTo(ByteRange range, const char* stepName) {
  Do(stepName, {MarkersTo({true, range.start}, {true, range.end})});
}

// ---------------------------------------------------------------- drags

void CMainWindowModel::BeginDrag(const char* stepName) {
  if (IsDragging()) EndDrag();
  dragStep_ = stepName;
  beforeDrag_ = doc_;
}

void CMainWindowModel::SetMarkersLive(WindowMarker marker1, WindowMarker marker2) {
  doc_.markers[0] = marker1;
  doc_.markers[1] = marker2;
}

uint64_t CMainWindowModel::DragSelection(uint64_t anchor, uint64_t frame) {
  const uint64_t a = std::min(Snapped(anchor), TotalFrames());
  const uint64_t b = std::min(Snapped(frame), TotalFrames());
  SetMarkersLive({true, BytesOf(std::min(a, b))}, {true, BytesOf(std::max(a, b))});
  return b;
}

uint64_t CMainWindowModel::DragMarker(int k, uint64_t frame) {
  frame = std::min(Snapped(frame), TotalFrames());
  WindowMarker markers[2] = {doc_.markers[0], doc_.markers[1]};
  markers[k - 1] = {true, BytesOf(frame)};
  SetMarkersLive(markers[0], markers[1]);
  return frame;
}

uint64_t CMainWindowModel::DragRowEdge(int row, bool end, uint64_t frame) {
  ReservationRow& r = doc_.rows.at(row);
  frame = Snapped(frame);
  // Never empty, never past the data.
  if (end) {
    r.endFrame = std::clamp(frame, r.startFrame + 1, std::max(TotalFrames(), r.startFrame + 1));
  } else {
    r.startFrame = std::min(frame, r.endFrame - 1);
  }
  ++rowsRevision_;
  return end ? r.endFrame : r.startFrame;
}

void CMainWindowModel::EndDrag() {
  const char* name = dragStep_;
  dragStep_ = nullptr;
  if (name == nullptr) return;
  std::vector<EditChange> changes;
  if (!(beforeDrag_.markers[0] == doc_.markers[0] && beforeDrag_.markers[1] == doc_.markers[1])) {
    changes.push_back(MarkersChange{{beforeDrag_.markers[0], beforeDrag_.markers[1]},
                                    {doc_.markers[0], doc_.markers[1]}});
  }
  // A drag moves bounds only: the rows stay where they are.
  for (size_t i = 0; i < doc_.rows.size() && i < beforeDrag_.rows.size(); ++i) {
    if (!(beforeDrag_.rows[i] == doc_.rows[i]))
      changes.push_back(RowReplace{i, beforeDrag_.rows[i], doc_.rows[i]});
  }
  beforeDrag_ = {};
  history_.Record({name, std::move(changes)});
}

// ---------------------------------------------------------------- rows

bool CMainWindowModel::AddReservation(uint64_t position) {
  WindowMarker markers[2] = {doc_.markers[0], doc_.markers[1]};
  ByteRange range;
  if (BothMarkersSet()) {
    range = *LoopRange();
  } else if (AnyMarkerSet()) {
    // One marker: cut between it and the position, then move the marker to
    // the position, so repeated presses cut consecutive pieces.
    position = BytesOf(Snapped(FrameOf(position)));
    WindowMarker& marker = markers[Marker(1).set ? 0 : 1];
    range = {std::min(marker.position, position), std::max(marker.position, position)};
    marker.position = position;
  } else {
    return false;
  }
  const uint64_t startFrame = FrameOf(range.start);
  const uint64_t endFrame = FrameOf(range.end);
  if (startFrame == endFrame) return false;
  std::vector<EditChange> changes;
  if (!(markers[0] == doc_.markers[0] && markers[1] == doc_.markers[1]))
    changes.push_back(MarkersTo(markers[0], markers[1]));
  changes.push_back(RowsInsert{{doc_.rows.size()}, {{startFrame, endFrame, {}}}});
  Do(edit_step::kAddRange, std::move(changes));
  return true;
}

void CMainWindowModel::SelectRows(std::vector<int> rows, int current) {
  const int count = static_cast<int>(doc_.rows.size());
  std::erase_if(rows, [count](int row) { return row < 0 || row >= count; });
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  selectedRows_ = std::move(rows);
  currentRow_ = current >= 0 && current < count ? current : -1;
}

int CMainWindowModel::SelectedRow() const {
  if (selectedRows_.empty()) return -1;
  return std::binary_search(selectedRows_.begin(), selectedRows_.end(), currentRow_)
             ? currentRow_
             : selectedRows_.front();
}

bool CMainWindowModel::RemoveSelectedRows() {
  if (selectedRows_.empty()) return false;
  RowsErase erase;
  for (int row : selectedRows_) {
    erase.at.push_back(static_cast<size_t>(row));
    erase.rows.push_back(doc_.rows[row]);
  }
  const int next = selectedRows_.front();
  Do(edit_step::kRemoveRanges, {std::move(erase)});
  // The row after the removed ones, or the new last row.
  SelectRow(std::min(next, static_cast<int>(doc_.rows.size()) - 1));
  return true;
}

bool CMainWindowModel::ReadSelectedRow() {
  const int selected = SelectedRow();
  if (selected < 0) return false;
  const ReservationRow& row = doc_.rows[selected];
  Do(edit_step::kReadRange,
     {MarkersTo({true, BytesOf(row.startFrame)}, {true, BytesOf(row.endFrame)})});
  return true;
}

void CMainWindowModel::AddRows(std::vector<ReservationRow> rows, const char* stepName) {
  if (rows.empty()) return;
  RowsInsert insert;
  for (size_t i = 0; i < rows.size(); ++i) insert.at.push_back(doc_.rows.size() + i);
  insert.rows = std::move(rows);
  Do(stepName, {std::move(insert)});
}

bool CMainWindowModel::SetRowLabel(int row, const std::string& label) {
  if (row < 0 || row >= static_cast<int>(doc_.rows.size()) || doc_.rows[row].label == label)
    return false;
  ReservationRow renamed = doc_.rows[row];
  renamed.label = label;
  Do(edit_step::kLabel, {RowReplace{static_cast<size_t>(row), doc_.rows[row], renamed}});
  return true;
}

const char* CMainWindowModel::EditCell(int row, RowField field, const std::string& text) {
  const ReservationRow& before = doc_.rows.at(row);
  const CellEdit edit =
      EditedRow(before, field, text, unit_, format_.formatBlock.samplesPerSec, TotalFrames());
  if (!edit.row) return edit.refusal;
  if (!(*edit.row == before))
    Do(edit_step::kChangeRange, {RowReplace{static_cast<size_t>(row), before, *edit.row}});
  return nullptr;
}

bool CMainWindowModel::SortRowsByStart() {
  RowsReorder reorder{std::vector<size_t>(doc_.rows.size())};
  std::iota(reorder.order.begin(), reorder.order.end(), 0);
  const auto& rows = doc_.rows;
  std::stable_sort(reorder.order.begin(), reorder.order.end(), [&](size_t a, size_t b) {
    return rows[a].startFrame != rows[b].startFrame ? rows[a].startFrame < rows[b].startFrame
                                                    : rows[a].endFrame < rows[b].endFrame;
  });
  if (std::is_sorted(reorder.order.begin(), reorder.order.end())) return false;
  Do(edit_step::kSort, {std::move(reorder)});
  return true;
}

bool CMainWindowModel::MoveSelectedRows(int direction) {
  const size_t count = doc_.rows.size();
  std::vector<char> selected(count, 0);
  for (int row : selectedRows_) selected[row] = 1;
  RowsReorder reorder{std::vector<size_t>(count)};
  std::iota(reorder.order.begin(), reorder.order.end(), 0);
  // Each selected row changes place with the unselected row beside it; a
  // block at the edge of the list stays.
  for (size_t step = 1; step < count; ++step) {
    const size_t i = direction < 0 ? step : count - 1 - step;
    const size_t j = direction < 0 ? i - 1 : i + 1;
    if (selected[i] && !selected[j]) {
      std::swap(reorder.order[i], reorder.order[j]);
      std::swap(selected[i], selected[j]);
    }
  }
  if (std::is_sorted(reorder.order.begin(), reorder.order.end())) return false;
  Do(edit_step::kMoveRows, {std::move(reorder)});
  return true;
}

void CMainWindowModel::SetListUnit(ListUnit unit) {
  if (unit == unit_) return;
  unit_ = unit;
  ++rowsRevision_;
}

}  // namespace snipora
