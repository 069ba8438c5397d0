#pragma once

#include <QTreeWidget>
#include <string>

namespace snipora {

class CMainWindowModel;

// The reservations list (control 1022): a report view of the length, start
// and end columns and an editable label column, with single selection. The
// highlighted row is the row the window acts on; arrow keys, Home/End,
// clicks, drags and Ctrl+click all move it. A double click or F2 edits the
// row's label.
class CReservationList : public QTreeWidget {
  Q_OBJECT

 public:
  static constexpr int kLabelColumn = 3;
  static constexpr int kMinimumWidth = 4 * 150 + 4;

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
  // The user finished editing the label of `row`.
  void LabelEdited(int row, const std::string& label);

 protected:
  // Every edit goes to the label cell of the row: the numbers are derived.
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
};

}  // namespace snipora
