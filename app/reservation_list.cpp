#include "app/reservation_list.h"

#include <QHeaderView>
#include <QMouseEvent>

#include "resources/dialog_templates.h"

namespace snipora {

CReservationList::CReservationList(QWidget* parent) : QTreeWidget(parent) {
  setColumnCount(3);
  setHeaderLabels({QString::fromUtf8(main_text::kColumnLength),
                   QString::fromUtf8(main_text::kColumnStart),
                   QString::fromUtf8(main_text::kColumnEnd)});
  for (int column = 0; column < 3; ++column) setColumnWidth(column, 150);
  header()->setSectionsClickable(false);
  header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setSortingEnabled(false);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setUniformRowHeights(true);
}

QString CReservationList::Cell(int row, int column) const {
  const QTreeWidgetItem* item = topLevelItem(row);
  return item ? item->text(column) : QString();
}

void CReservationList::AppendRow(const QString& length, const QString& start, const QString& end) {
  addTopLevelItem(new QTreeWidgetItem({length, start, end}));
}

void CReservationList::DeleteRow(int row) {
  if (row < 0 || row >= RowCount()) return;
  delete takeTopLevelItem(row);
  if (anchor_ == row) {
    anchor_ = -1;
    clearSelection();
  } else if (anchor_ > row) {
    --anchor_;
  }
}

void CReservationList::DeleteAllRows() {
  clear();
  anchor_ = -1;
}

void CReservationList::mousePressEvent(QMouseEvent* event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  anchor_ = index.isValid() ? index.row() : -1;
  QTreeWidget::mousePressEvent(event);
  emit Clicked();
}

}  // namespace snipora
