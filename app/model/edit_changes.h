#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// What an edit of the main window changes: the two markers and the
// reservation rows, as changes that each know their inverse.
namespace snipora {

struct WindowMarker {
  bool set = false;
  uint64_t position = 0;  // bytes into the sample data
  bool operator==(const WindowMarker&) const = default;
};

// One reservation: the frame range [startFrame, endFrame) and the label it
// goes by (named pieces, range lists).
struct ReservationRow {
  uint64_t startFrame = 0;
  uint64_t endFrame = 0;
  std::string label;
  bool operator==(const ReservationRow&) const = default;
};

// What the edits change.
struct EditDocument {
  WindowMarker markers[2];
  std::vector<ReservationRow> rows;
};

// Both markers, before and after.
struct MarkersChange {
  WindowMarker before[2];
  WindowMarker after[2];
};
// Rows put in; `at` are their ascending indices in the list they end up in.
struct RowsInsert {
  std::vector<size_t> at;
  std::vector<ReservationRow> rows;
};
// Rows taken out; `at` are their ascending indices in the list they leave.
struct RowsErase {
  std::vector<size_t> at;
  std::vector<ReservationRow> rows;
};
struct RowReplace {
  size_t at = 0;
  ReservationRow before;
  ReservationRow after;
};
// Row i of the new list is row order[i] of the old one.
struct RowsReorder {
  std::vector<size_t> order;
};

using EditChange = std::variant<MarkersChange, RowsInsert, RowsErase, RowReplace, RowsReorder>;

// The change that undoes `change`.
EditChange Inverse(const EditChange& change);

void ApplyChange(EditDocument& document, const EditChange& change);

// Where row `row` of the list before `change` is after it; none when erased.
std::optional<size_t> RowAfter(const EditChange& change, size_t row);

// The rows of the list after `change` that it put in or changed.
std::vector<size_t> RowsTouched(const EditChange& change);

bool ChangesRows(const EditChange& change);

}  // namespace snipora
