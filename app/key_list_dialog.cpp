#include "app/key_list_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace snipora {

CKeyListDlg::CKeyListDlg(QWidget* parent, const QString& note, const std::vector<KeyListRow>& rows)
    : QDialog(parent) {
  setWindowTitle(tr("キーボードショートカット"));
  auto* table = new QTableWidget(static_cast<int>(rows.size()), 2);
  table->setObjectName(QStringLiteral("keys"));
  table->setHorizontalHeaderLabels({tr("キー / マウス"), tr("操作")});
  table->verticalHeader()->hide();
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionMode(QAbstractItemView::NoSelection);
  table->setFocusPolicy(Qt::NoFocus);
  table->setShowGrid(false);
  table->setAlternatingRowColors(true);
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    table->setItem(row, 0, new QTableWidgetItem(rows[row].keys));
    table->setItem(row, 1, new QTableWidgetItem(rows[row].action));
  }
  // Compact rows, and room between a key and its action.
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
  table->resizeColumnsToContents();
  table->setColumnWidth(0, table->columnWidth(0) + 16);
  table->horizontalHeader()->setStretchLastSection(true);
  // The whole table shows without scrolling.
  const int width = table->horizontalHeader()->length() + 2 * table->frameWidth();
  const int height = table->horizontalHeader()->height() + table->verticalHeader()->length() +
                     2 * table->frameWidth();
  table->setMinimumSize(width + 24, height);

  auto* buttons = new QDialogButtonBox;
  QPushButton* close = buttons->addButton(tr("閉じる"), QDialogButtonBox::RejectRole);
  close->setObjectName(QStringLiteral("close"));
  close->setToolTip(tr("この一覧を閉じます"));
  close->setDefault(true);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* label = new QLabel(note);
  label->setWordWrap(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addWidget(table, 1);
  layout->addWidget(buttons);
}

}  // namespace snipora
