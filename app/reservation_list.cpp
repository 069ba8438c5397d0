#include "app/reservation_list.h"

#include <QHeaderView>
#include <QItemSelection>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <algorithm>

#include "app/model/main_window_model.h"

namespace snipora {

CReservationList::CReservationList(QWidget* parent) : QTreeWidget(parent) {
  setColumnCount(kLabelColumn + 1);
  for (int column = 0; column <= kLabelColumn; ++column) setColumnWidth(column, 150);
  header()->setSectionsClickable(false);
  header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setSortingEnabled(false);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setUniformRowHeights(true);
  // The warning mark of a row fits the row's text.
  const int mark = fontMetrics().height() - 2;
  setIconSize(QSize(mark, mark));
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
  ShowUnit(ListUnit::Samples);
  connect(this, &QTreeWidget::itemSelectionChanged, this, &CReservationList::SelectionChanged);
  connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
    emit CellEdited(indexOfTopLevelItem(item), column, item->text(column).toStdString());
  });
}

RowField CReservationList::FieldOfColumn(int column) {
  constexpr RowField kFields[] = {RowField::Length, RowField::Start, RowField::End};
  return kFields[column];
}

bool CReservationList::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  if (!index.isValid() || trigger != EditKeyPressed || index.column() == kLabelColumn)
    return QTreeWidget::edit(index, trigger, event);
  return QTreeWidget::edit(index.siblingAtColumn(kLabelColumn), trigger, event);
}

std::vector<int> CReservationList::SelectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& index : selectionModel()->selectedRows()) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

int CReservationList::CurrentRow() const {
  return currentIndex().isValid() ? currentIndex().row() : -1;
}

int CReservationList::SelectedRow() const {
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) return -1;
  const int current = CurrentRow();
  return std::binary_search(rows.begin(), rows.end(), current) ? current : rows.front();
}

void CReservationList::SetSelection(const std::vector<int>& rows, int current) {
  if (rows == SelectedRows() && current == SelectedRow()) return;
  const QSignalBlocker blocker(this);
  QItemSelection selection;
  for (size_t i = 0; i < rows.size();) {
    // Runs of neighbouring rows as one range each.
    size_t j = i;
    while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1) ++j;
    selection.select(model()->index(rows[i], 0), model()->index(rows[j], kLabelColumn));
    i = j + 1;
  }
  selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  if (current >= 0) {
    const QModelIndex index = model()->index(current, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    scrollTo(index);
  }
}

void CReservationList::ShowUnit(ListUnit unit) {
  if (unitShown_ && unit == unit_) return;
  unit_ = unit;
  unitShown_ = true;
  const QString name = unit == ListUnit::Samples        ? tr("サンプル")
                       : unit == ListUnit::Milliseconds ? tr("ミリ秒")
                                                        : QStringLiteral("h:mm:ss.mmm");
  setHeaderLabels(
      {tr("長さ(%1)").arg(name), tr("開始(%1)").arg(name), tr("終了(%1)").arg(name), tr("ラベル")});
}

void CReservationList::SetRows(const CMainWindowModel& model,
                               const std::vector<RowConflict>& conflicts) {
  const QSignalBlocker blocker(this);
  ShowUnit(model.Unit());
  const int count = static_cast<int>(model.Rows().size());
  if (topLevelItemCount() != count) {
    const int scrolled = verticalScrollBar()->value();
    clear();
    QList<QTreeWidgetItem*> items;
    for (int row = 0; row < count; ++row) {
      auto* item = new QTreeWidgetItem;
      item->setFlags(item->flags() | Qt::ItemIsEditable);
      items << item;
    }
    addTopLevelItems(items);
    verticalScrollBar()->setValue(scrolled);
  }
  const QIcon warning = style()->standardIcon(QStyle::SP_MessageBoxWarning);
  for (int row = 0; row < count; ++row) {
    QTreeWidgetItem* item = topLevelItem(row);
    for (int column = 0; column < kLabelColumn; ++column)
      item->setText(column, QString::fromStdString(model.CellText(row, FieldOfColumn(column))));
    item->setText(kLabelColumn, QString::fromStdString(model.Rows()[row].label));
    const RowConflict conflict = conflicts[row];
    const QString why = conflict == RowConflict::Duplicates ? tr("他の行と同じ範囲です")
                        : conflict == RowConflict::Overlaps ? tr("他の行の範囲と重なっています")
                                                            : QString();
    item->setIcon(0, why.isEmpty() ? QIcon() : warning);
    for (int column = 0; column <= kLabelColumn; ++column) item->setToolTip(column, why);
  }
}

}  // namespace snipora
