#pragma once

#include <QTreeWidget>
#include <string>
#include <vector>

#include "app/model/list_cells.h"

namespace snipora {

class CMainWindowModel;

// The reservations list (control 1022): a report view of the length, start
// and end columns in the unit the headers name and a label column. Several
// rows can be selected (click, Shift and Ctrl with clicks or arrow keys);
// the highlighted row is the one the window acts on. A double click edits
// the cell under the mouse, F2 the row's label. Rows that overlap or
// duplicate another carry a warning mark.
class CReservationList : public QTreeWidget {
  Q_OBJECT

 public:
  static constexpr int kLabelColumn = 3;
  static constexpr int kMinimumWidth = 4 * 150 + 4;

  explicit CReservationList(QWidget* parent = nullptr);

  // What a number column shows: 0 the length, 1 the start, 2 the end.
  static RowField FieldOfColumn(int column);

  // The selected rows, ascending.
  std::vector<int> SelectedRows() const;
  // The highlighted row: the current row when selected, else the first
  // selected; -1 for none.
  int SelectedRow() const;
  int CurrentRow() const;
  // Selects `rows` and makes `current` the current row (scrolled into view),
  // without a SelectionChanged.
  void SetSelection(const std::vector<int>& rows, int current);
  // Shows the model's rows in its unit; the items stay while their number does.
  void SetRows(const CMainWindowModel& model, const std::vector<RowConflict>& conflicts);

 signals:
  // The selection changed by the user's hand.
  void SelectionChanged();
  // The user finished editing cell `column` of `row` (while the editor
  // commits: no question may be asked here).
  void CellEdited(int row, int column, const std::string& text);

 protected:
  // F2 edits the label of the current row, a double click the cell clicked.
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

 private:
  void ShowUnit(ListUnit unit);
  ListUnit unit_ = ListUnit::Samples;
  bool unitShown_ = false;
};

}  // namespace snipora
