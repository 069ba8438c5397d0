#include "app/reservation_list.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QSignalBlocker>

#include "app/model/main_window_model.h"
#include "platform/ui/qt_ui_text.h"
#include "resources/dialog_templates.h"

namespace snipora {

CReservationList::CReservationList(QWidget* parent) : QTreeWidget(parent) {
  setColumnCount(kLabelColumn + 1);
  setHeaderLabels({UiText(main_text::kColumnLength), UiText(main_text::kColumnStart),
                   UiText(main_text::kColumnEnd), UiText(main_text::kColumnLabel)});
  for (int column = 0; column <= kLabelColumn; ++column) setColumnWidth(column, 150);
  header()->setSectionsClickable(false);
  header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setSortingEnabled(false);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setUniformRowHeights(true);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
  connect(this, &QTreeWidget::itemSelectionChanged, this, &CReservationList::SelectionChanged);
  connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
    if (column == kLabelColumn)
      emit LabelEdited(indexOfTopLevelItem(item), item->text(column).toStdString());
  });
}

bool CReservationList::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  if (!index.isValid() || index.column() == kLabelColumn)
    return QTreeWidget::edit(index, trigger, event);
  return QTreeWidget::edit(index.siblingAtColumn(kLabelColumn), trigger, event);
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
    for (int column = 0; column <= kLabelColumn; ++column)
      cells << QString::fromStdString(model.RowText(row, column));
    auto* item = new QTreeWidgetItem(cells);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    items << item;
  }
  addTopLevelItems(items);
  verticalScrollBar()->setValue(scrolled);
}

}  // namespace snipora
