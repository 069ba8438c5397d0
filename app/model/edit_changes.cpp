#include "app/model/edit_changes.h"

#include <algorithm>

namespace snipora {

namespace {

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};

}  // namespace

EditChange Inverse(const EditChange& change) {
  return std::visit(
      Overloaded{
          [](const MarkersChange& c) -> EditChange {
            return MarkersChange{{c.after[0], c.after[1]}, {c.before[0], c.before[1]}};
          },
          [](const RowsInsert& c) -> EditChange {
            return RowsErase{c.at, c.rows};
          },
          [](const RowsErase& c) -> EditChange {
            return RowsInsert{c.at, c.rows};
          },
          [](const RowReplace& c) -> EditChange {
            return RowReplace{c.at, c.after, c.before};
          },
          [](const RowsReorder& c) -> EditChange {
            RowsReorder inverse{std::vector<size_t>(c.order.size())};
            for (size_t i = 0; i < c.order.size(); ++i) inverse.order[c.order[i]] = i;
            return inverse;
          },
      },
      change);
}

void ApplyChange(EditDocument& document, const EditChange& change) {
  std::vector<ReservationRow>& rows = document.rows;
  std::visit(Overloaded{
                 [&](const MarkersChange& c) {
                   document.markers[0] = c.after[0];
                   document.markers[1] = c.after[1];
                 },
                 [&](const RowsInsert& c) {
                   // Ascending: each index counts the rows put in before it.
                   for (size_t i = 0; i < c.at.size(); ++i)
                     rows.insert(rows.begin() + static_cast<ptrdiff_t>(c.at[i]), c.rows[i]);
                 },
                 [&](const RowsErase& c) {
                   for (size_t i = c.at.size(); i-- > 0;)
                     rows.erase(rows.begin() + static_cast<ptrdiff_t>(c.at[i]));
                 },
                 [&](const RowReplace& c) { rows[c.at] = c.after; },
                 [&](const RowsReorder& c) {
                   std::vector<ReservationRow> reordered;
                   reordered.reserve(rows.size());
                   for (size_t from : c.order) reordered.push_back(std::move(rows[from]));
                   rows = std::move(reordered);
                 },
             },
             change);
}

std::optional<size_t> RowAfter(const EditChange& change, size_t row) {
  return std::visit(
      Overloaded{
          [&](const MarkersChange&) -> std::optional<size_t> { return row; },
          [&](const RowReplace&) -> std::optional<size_t> { return row; },
          [&](const RowsInsert& c) -> std::optional<size_t> {
            // Walking up the final indices: every row put in at or before
            // the row's new place pushes it one further.
            size_t at = row;
            for (size_t inserted : c.at) {
              if (inserted <= at) ++at;
            }
            return at;
          },
          [&](const RowsErase& c) -> std::optional<size_t> {
            if (std::binary_search(c.at.begin(), c.at.end(), row)) return std::nullopt;
            return row - static_cast<size_t>(std::lower_bound(c.at.begin(), c.at.end(), row) -
                                             c.at.begin());
          },
          [&](const RowsReorder& c) -> std::optional<size_t> {
            const auto it = std::find(c.order.begin(), c.order.end(), row);
            if (it == c.order.end()) return std::nullopt;
            return static_cast<size_t>(it - c.order.begin());
          },
      },
      change);
}

std::vector<size_t> RowsTouched(const EditChange& change) {
  return std::visit(Overloaded{
                        [](const MarkersChange&) { return std::vector<size_t>{}; },
                        [](const RowsInsert& c) { return c.at; },
                        [](const RowsErase&) { return std::vector<size_t>{}; },
                        [](const RowReplace& c) { return std::vector<size_t>{c.at}; },
                        [](const RowsReorder& c) {
                          std::vector<size_t> moved;
                          for (size_t i = 0; i < c.order.size(); ++i) {
                            if (c.order[i] != i) moved.push_back(i);
                          }
                          return moved;
                        },
                    },
                    change);
}

bool ChangesRows(const EditChange& change) {
  return !std::holds_alternative<MarkersChange>(change);
}

}  // namespace snipora
