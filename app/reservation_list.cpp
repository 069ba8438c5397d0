#include "app/reservation_list.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QSignalBlocker>

#include "app/model/main_window_model.h"
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
  connect(this, &QTreeWidget::itemSelectionChanged, this, &CReservationList::SelectionChanged);
}

int CReservationList::SelectedRow() const {
  const QList<QTreeWidgetItem*> selected = selectedItems();
  return selected.isEmpty() ? -1 : indexOfTopLevelItem(selected.front());
}

void CReservationList::SetSelectedRow(int row) {
  if (row == SelectedRow()) return;
  const QSignalBlocker blocker(this);
  QTreeWidgetItem* item = row >= 0 ? topLevelItem(row) : nullptr;
  if (item) {
    setCurrentItem(item);
  } else {
    clearSelection();
  }
}

void CReservationList::SetRows(const CMainWindowModel& model) {
  const QSignalBlocker blocker(this);
  const int scrolled = verticalScrollBar()->value();
  clear();
  QList<QTreeWidgetItem*> items;
  for (int row = 0; row < static_cast<int>(model.Rows().size()); ++row) {
    QStringList cells;
    for (int column = 0; column < 3; ++column)
      cells << QString::fromStdString(model.RowText(row, column));
    items << new QTreeWidgetItem(cells);
  }
  addTopLevelItems(items);
  verticalScrollBar()->setValue(scrolled);
}

}  // namespace snipora
