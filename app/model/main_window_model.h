#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/model/edit_changes.h"
#include "app/model/edit_history.h"
#include "app/model/list_cells.h"
#include "audiofile/sound_format.h"

// The main window's state without any widget: the open file, the position,
// the two markers, the reservation rows with their selection, the play state
// and the undo history, with the rules that change them. Every edit of the
// markers and rows is one step of the history. The dialog reads the player,
// turns input into these operations and then shows what
// DeriveMainWindowView (main_window_view.h) makes of the result.
namespace snipora {

// A byte range of the sample data.
struct ByteRange {
  uint64_t start = 0;
  uint64_t end = 0;
};

// The frame a frame snaps to (itself when nothing is near).
using ZeroCrossingFinder = std::function<uint64_t(uint64_t frame)>;

class CMainWindowModel {
 public:
  // A file is open: resets markers, rows, selection, history, play state and
  // the unsaved flag; the position is 0. The snap and list settings stay.
  void OpenFile(std::string fullPath, std::string displayName, const SoundFormatInfo& format);
  bool HasFile() const { return hasFile_; }
  const SoundFormatInfo& Format() const { return format_; }
  const std::string& FullPath() const { return fullPath_; }
  const std::string& DisplayName() const { return displayName_; }
  uint64_t TotalFrames() const;
  // The first loop stored in the open file (its "smpl" chunk), in bytes.
  void SetFileLoop(ByteRange loop) { fileLoop_ = loop; }
  std::optional<ByteRange> FileLoop() const { return fileLoop_; }

  // --- position ---
  // The player's position in bytes; the display shows it (a drag display ends).
  void SetPlayerPosition(uint64_t bytes);
  // While the slider is dragged the display shows the slider's frame and
  // the player stays where it is.
  void ShowDragPosition(uint64_t frames);
  uint64_t PlayerBytes() const { return playerBytes_; }
  std::optional<uint64_t> DragFrames() const { return dragFrames_; }
  // Where a step of `deltaMs` milliseconds (negative: back) from the position
  // goes, in bytes: from the millisecond the display shows to the frame at or
  // before the new time, no further than either end of the data.
  uint64_t MillisecondStepTarget(int64_t deltaMs) const;
  // The same for a step of whole frames.
  uint64_t FrameStepTarget(int64_t deltaFrames) const;

  // --- zero crossings ---
  // How frames snap in the open file (set after each open).
  void SetZeroCrossingFinder(ZeroCrossingFinder finder) { finder_ = std::move(finder); }
  void SetSnapToZeroCrossings(bool snap) { snap_ = snap; }
  bool SnapsToZeroCrossings() const { return snap_; }
  // `frame` as a marker or edge set by mouse or keys takes it.
  uint64_t Snapped(uint64_t frame) const;

  // --- markers (k = 1 or 2); each call is one step ---
  // Clears marker k, or sets it at the frame of `positionBytes` (snapped).
  void ToggleMarker(int k, uint64_t positionBytes);
  const WindowMarker& Marker(int k) const { return doc_.markers[k - 1]; }
  bool AnyMarkerSet() const { return Marker(1).set || Marker(2).set; }
  bool BothMarkersSet() const { return Marker(1).set && Marker(2).set; }
  // The selection is the span between the markers: marker 1 at the earlier,
  // marker 2 at the later of two frames (both snapped).
  void SelectFrames(uint64_t a, uint64_t b);
  // Shift+click: the selection reaches `frame` (snapped) from the marker
  // that is set, or from the nearer end of the selection, or from the position.
  void ExtendSelection(uint64_t frame);
  // Both markers at the first loop of the file; false without one.
  bool MarkersFromFileLoop();
  // Marker 1 at the range's start, marker 2 at its end, as they are (not
  // snapped: a loop's frames matter), as one step named stepName.
  void SetMarkersTo(ByteRange range, const char* stepName);
  // The loop Save writes into the piece that holds it ("use as the file's
  // loop"), in place of the file's own; none after OpenFile.
  void SetLoopForSave(std::optional<ByteRange> loop) { loopForSave_ = loop; }
  std::optional<ByteRange> LoopForSave() const { return loopForSave_; }

  // --- drags: what changes between BeginDrag and EndDrag is one step ---
  void BeginDrag(const char* stepName);
  bool IsDragging() const { return dragStep_ != nullptr; }
  // Each returns the frame it set (snapped and kept inside its limits).
  uint64_t DragSelection(uint64_t anchor, uint64_t frame);
  uint64_t DragMarker(int k, uint64_t frame);
  // A row cannot be dragged to zero length or past the file.
  uint64_t DragRowEdge(int row, bool end, uint64_t frame);
  void EndDrag();

  // --- reservations ---
  // Adds the range between the markers, or between the one set marker and
  // `position` (bytes, snapped; that marker then moves there). False when no
  // marker is set or the range is empty.
  bool AddReservation(uint64_t position);
  // The selected rows and the highlighted one among them (-1: none).
  // Rows out of range are ignored.
  void SelectRows(std::vector<int> rows, int current);
  void SelectRow(int row) { SelectRows({row}, row); }
  // The row the window acts on: the current row when selected, else the
  // first selected row; -1 for none.
  int SelectedRow() const;
  const std::vector<int>& SelectedRows() const { return selectedRows_; }
  // Removes the selected rows; the row after them (or the new last row) is
  // highlighted, so that Delete goes on.
  bool RemoveSelectedRows();
  // Sets both markers to the highlighted row's start and end.
  bool ReadSelectedRow();
  // Appends rows made elsewhere (a range list, found silences) as one step.
  void AddRows(std::vector<ReservationRow> rows, const char* stepName);
  // False for no such row or the same label.
  bool SetRowLabel(int row, const std::string& label);
  // Text typed into a Length, Start or End cell in the list's unit: null
  // when taken (or nothing changed), else why it is refused (the row keeps
  // its value).
  const char* EditCell(int row, RowField field, const std::string& text);
  // Orders the rows by start (then end); false when they already are.
  bool SortRowsByStart();
  // Moves the selected rows one place up (-1) or down (+1); false when none moves.
  bool MoveSelectedRows(int direction);
  const std::vector<ReservationRow>& Rows() const { return doc_.rows; }
  void SetListUnit(ListUnit unit);
  ListUnit Unit() const { return unit_; }
  // A Length, Start or End cell as the list shows it in its unit.
  std::string CellText(int row, RowField field) const;
  // The row in plain numbers, whatever the list's unit: column 0 length in
  // ms, 1 start frame, 2 end frame, 3 label.
  std::string RowText(int row, int column) const;
  // Changes with every change of the rows or of how they read.
  uint32_t RowsRevision() const { return rowsRevision_; }
  // How each row stands to the others, for the marks of the list and regions.
  const std::vector<RowConflict>& Conflicts() const;
  // Rows differ from those saved last (or were never saved); an empty list
  // has nothing unsaved.
  bool HasUnsavedReservations() const;
  void ClearUnsavedReservations() { history_.MarkRowsSaved(); }

  // --- undo ---
  bool Undo();
  bool Redo();
  // The names of the steps Undo and Redo take (texts marked for
  // translation); null for none.
  const char* UndoName() const { return history_.UndoName(); }
  const char* RedoName() const { return history_.RedoName(); }

  // --- play state ---
  void SetPlaying(bool playing) { playing_ = playing; }
  bool IsPlaying() const { return playing_; }
  // Playback that the player ends by itself at a marker.
  void SetBoundedPlayback(bool bounded) { bounded_ = bounded; }
  bool IsBoundedPlayback() const { return bounded_; }

  // --- what the play modes play; none: the mode does nothing ---
  // Both markers: from the smaller to the larger. One marker: from
  // `position` to it when `position` lies before it.
  std::optional<ByteRange> BetweenMarkers(uint64_t position) const;
  // The nearest marker strictly after `position`.
  std::optional<uint64_t> MarkerAfter(uint64_t position) const;
  // The two seconds of data before the larger (or the only) marker, from
  // the start of the data when it is closer.
  std::optional<ByteRange> TwoSecondsBeforeMarker() const;
  // The smaller and the larger marker when both are set.
  std::optional<ByteRange> LoopRange() const;
  // The bytes of row `row`.
  ByteRange RowBytes(int row) const;

 private:
  // The one set marker (call only when exactly one is set).
  const WindowMarker& OnlyMarker() const { return Marker(1).set ? Marker(1) : Marker(2); }
  uint64_t FrameOf(uint64_t bytes) const;
  uint64_t BytesOf(uint64_t frame) const;
  // Applies `changes` as one step named `name` (ends a drag first).
  void Do(const char* name, std::vector<EditChange> changes);
  // Applies a change to the document and carries the selection along.
  void Apply(const EditChange& change);
  MarkersChange MarkersTo(WindowMarker marker1, WindowMarker marker2) const;
  void SetMarkersLive(WindowMarker marker1, WindowMarker marker2);
  // Highlights the rows a change put in or changed (after undo and redo).
  void SelectTouched(const EditChange& change);

  bool hasFile_ = false;
  SoundFormatInfo format_;
  std::string fullPath_;
  std::string displayName_;
  std::optional<ByteRange> fileLoop_;
  std::optional<ByteRange> loopForSave_;
  uint64_t playerBytes_ = 0;
  std::optional<uint64_t> dragFrames_;
  EditDocument doc_;
  CEditHistory history_;
  const char* dragStep_ = nullptr;
  EditDocument beforeDrag_;
  std::vector<int> selectedRows_;  // ascending
  int currentRow_ = -1;
  uint32_t rowsRevision_ = 0;
  mutable std::optional<uint32_t> conflictsRevision_;
  mutable std::vector<RowConflict> conflicts_;
  ListUnit unit_ = ListUnit::Samples;
  bool snap_ = false;
  ZeroCrossingFinder finder_;
  bool playing_ = false;
  bool bounded_ = false;
};

}  // namespace snipora
