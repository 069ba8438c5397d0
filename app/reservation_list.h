#pragma once

#include <QString>
#include <QTreeWidget>

namespace snipora {

// The reservations list (control 1022): a report view of three text columns
// with single selection and a selection anchor, the row last clicked. A
// click on no row leaves no anchor, and deleting the anchor row removes it.
class CReservationList : public QTreeWidget {
  Q_OBJECT

 public:
  explicit CReservationList(QWidget* parent = nullptr);

  // Row of the anchor, -1 for none.
  int SelectionAnchor() const { return anchor_; }
  int RowCount() const { return topLevelItemCount(); }
  QString Cell(int row, int column) const;
  void AppendRow(const QString& length, const QString& start, const QString& end);
  void DeleteRow(int row);
  void DeleteAllRows();

 signals:
  // Sent after every mouse click in the list, on a row or not.
  void Clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  int anchor_ = -1;
};

}  // namespace snipora
