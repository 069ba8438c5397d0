#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/model/edit_changes.h"

// The reservation list's Length, Start and End cells in the unit the list
// shows (its headers name it): how they read and what typing into them does.
namespace snipora {

enum class ListUnit { Samples, Milliseconds, Clock };  // Clock: h:mm:ss.mmm
enum class RowField { Length, Start, End };

// The unit as the settings file stores it, and back (none for an unknown word).
const char* ListUnitWord(ListUnit unit);
std::optional<ListUnit> ListUnitFromWord(std::string_view word);

// A cell's text. In milliseconds and h:mm:ss.mmm the bounds show the
// millisecond of their frame and the length is End minus Start as shown.
std::string CellText(const ReservationRow& row, RowField field, ListUnit unit, uint32_t sampleRate);

// What a typed cell makes of the row: the new row, or why it is refused
// (a text marked for translation).
struct CellEdit {
  std::optional<ReservationRow> row;
  const char* refusal = nullptr;
};

// `text` typed into `field` of `row`, in `unit`: the whole text must read
// (blanks around it aside); times map to the frame at or before them; the
// row must keep a start before its end and end within the file's frames.
CellEdit EditedRow(const ReservationRow& row, RowField field, std::string_view text, ListUnit unit,
                   uint32_t sampleRate, uint64_t totalFrames);

// How a row stands to the others: it has a twin with the same bounds, or it
// overlaps another. Allowed; the list marks it.
enum class RowConflict { None, Overlaps, Duplicates };
std::vector<RowConflict> FindRowConflicts(const std::vector<ReservationRow>& rows);

}  // namespace snipora
