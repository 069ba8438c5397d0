#pragma once

#include <QTreeWidget>

namespace snipora {

class CMainWindowModel;

// The reservations list (control 1022): a report view of three text columns
// with single selection. The highlighted row is the row the window acts on;
// arrow keys, Home/End, clicks, drags and Ctrl+click all move it.
class CReservationList : public QTreeWidget {
  Q_OBJECT

 public:
  explicit CReservationList(QWidget* parent = nullptr);

  // The highlighted row, -1 for none.
  int SelectedRow() const;
  // Highlights `row` (-1: nothing) without a SelectionChanged.
  void SetSelectedRow(int row);
  // Shows the model's rows.
  void SetRows(const CMainWindowModel& model);

 signals:
  // The highlighted row changed by the user's hand.
  void SelectionChanged();
};

}  // namespace snipora
