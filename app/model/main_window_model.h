#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "audiofile/sound_format.h"

// The main window's state without any widget: the open file, the position,
// the two markers, the reservation rows with the highlighted row, the play
// state and the unsaved flag, with the rules that change them. The dialog
// reads the player, calls these operations and then shows what
// DeriveMainWindowView (main_window_view.h) makes of the result.
namespace snipora {

struct WindowMarker {
  bool set = false;
  uint64_t position = 0;      // bytes into the sample data
  uint32_t milliseconds = 0;  // as its display shows it
};

// One reservation: its length, its frame range [startFrame, endFrame) and
// the label it goes by (named pieces, range lists).
struct ReservationRow {
  uint32_t lengthMs = 0;
  uint64_t startFrame = 0;
  uint64_t endFrame = 0;
  std::string label;
};

// A byte range of the sample data.
struct ByteRange {
  uint64_t start = 0;
  uint64_t end = 0;
};

class CMainWindowModel {
 public:
  // A file is open: resets markers, rows, selection, play state and the
  // unsaved flag; the position is 0.
  void OpenFile(std::string fullPath, std::string displayName, const SoundFormatInfo& format);
  bool HasFile() const { return hasFile_; }
  const SoundFormatInfo& Format() const { return format_; }
  const std::string& FullPath() const { return fullPath_; }
  const std::string& DisplayName() const { return displayName_; }
  // The first loop stored in the open file (its "smpl" chunk), in bytes.
  void SetFileLoop(ByteRange loop) { fileLoop_ = loop; }
  std::optional<ByteRange> FileLoop() const { return fileLoop_; }

  // --- position ---
  // The player's position; the display shows it (a drag display ends).
  void SetPlayerPosition(uint64_t bytes, uint32_t milliseconds);
  // While the slider is dragged the display shows the slider's frame and
  // the player stays where it is.
  void ShowDragPosition(uint64_t frames);
  uint64_t PlayerBytes() const { return playerBytes_; }
  uint32_t PlayerMilliseconds() const { return playerMs_; }
  std::optional<uint64_t> DragFrames() const { return dragFrames_; }

  // --- markers (k = 1 or 2) ---
  // Clears marker k, or sets it at the given player position.
  void ToggleMarker(int k, uint64_t bytes, uint32_t milliseconds);
  const WindowMarker& Marker(int k) const { return markers_[k - 1]; }
  bool AnyMarkerSet() const { return markers_[0].set || markers_[1].set; }
  bool BothMarkersSet() const { return markers_[0].set && markers_[1].set; }

  // --- reservations ---
  // Adds the range between the markers, or between the one set marker and
  // `position` (bytes; that marker then moves to `position`). False when no
  // marker is set or the range is empty.
  bool AddReservation(uint64_t position);
  // The highlighted row, -1 for none. Out-of-range rows count as none.
  void SelectRow(int row);
  int SelectedRow() const { return selectedRow_; }
  // Removes the highlighted row; nothing stays highlighted. An empty list
  // has nothing unsaved. False when no row is highlighted.
  bool RemoveSelectedRow();
  // Sets both markers to the highlighted row's start and end. False when no
  // row is highlighted.
  bool ReadSelectedRow();
  // Appends rows made elsewhere (an imported range list); they are unsaved.
  void AddRows(const std::vector<ReservationRow>& rows);
  // Renames a row; the list is then unsaved. False for no such row or the
  // same label.
  bool SetRowLabel(int row, const std::string& label);
  const std::vector<ReservationRow>& Rows() const { return rows_; }
  // The text of a cell as the list shows it and export reads it: column 0
  // length in ms, 1 start frame, 2 end frame, 3 label.
  std::string RowText(int row, int column) const;
  // Changes with every change of the rows (not of the selection).
  uint32_t RowsRevision() const { return rowsRevision_; }
  bool HasUnsavedReservations() const { return unsaved_; }
  void ClearUnsavedReservations() { unsaved_ = false; }

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

 private:
  // The position of the one set marker (call only when exactly one is set).
  WindowMarker& OnlyMarker() { return markers_[0].set ? markers_[0] : markers_[1]; }
  const WindowMarker& OnlyMarker() const { return markers_[0].set ? markers_[0] : markers_[1]; }

  bool hasFile_ = false;
  SoundFormatInfo format_;
  std::string fullPath_;
  std::string displayName_;
  std::optional<ByteRange> fileLoop_;
  uint64_t playerBytes_ = 0;
  uint32_t playerMs_ = 0;
  std::optional<uint64_t> dragFrames_;
  WindowMarker markers_[2];
  std::vector<ReservationRow> rows_;
  int selectedRow_ = -1;
  uint32_t rowsRevision_ = 0;
  bool unsaved_ = false;
  bool playing_ = false;
  bool bounded_ = false;
};

}  // namespace snipora
