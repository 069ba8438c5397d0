// Edit: undo and redo of every change to markers and reservations, snapping
// to zero crossings, and the order and unit of the reservation list. The
// snap and the unit are kept in the settings file.
#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "app/choice_actions.h"
#include "app/main_dialog.h"
#include "app/model/edit_settings.h"
#include "app/model/main_window_view.h"
#include "app/reservation_list.h"
#include "platform/ui/qt_ui_text.h"
#include "resources/menu_template.h"

namespace snipora {

void CMainDlg::AddEditMenu() {
  const EditSettings settings = LoadEditSettings();
  model_.SetSnapToZeroCrossings(settings.snapToZeroCrossings);
  model_.SetListUnit(settings.listUnit);
  list_->SetRows(model_, {});  // the headers name the unit

  auto* bar = qobject_cast<QMenuBar*>(layout()->menuBar());
  auto* tools = qobject_cast<QMenu*>(MenuAction(kCmdVolume)->parent());
  auto* edit = new QMenu(tr("編集(&E)"), bar);
  bar->insertMenu(tools->menuAction(), edit);
  const auto add = [&](int id, const QString& text, QList<QKeySequence> keys, auto handler) {
    QAction* action = edit->addAction(text);
    action->setObjectName(QString::number(id));
    action->setShortcuts(keys);
    connect(action, &QAction::triggered, this, handler);
    menuActions_[id] = action;
    return action;
  };
  add(kCmdUndo, tr("元に戻す(&U)"), {QKeySequence::Undo}, &CMainDlg::Undo);
  add(kCmdRedo, tr("やり直す(&R)"),
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
      &CMainDlg::Redo);
  edit->addSeparator();
  QAction* snap = add(kCmdSnapToZero, tr("ゼロクロスにスナップ(&Z)"), {QKeySequence(Qt::Key_Z)},
                      [this](bool on) { SetSnapToZeroCrossings(on); });
  snap->setCheckable(true);
  snap->setChecked(model_.SnapsToZeroCrossings());
  edit->addSeparator();
  add(kCmdSortRows, tr("開始位置で並べ替え(&S)"), {}, &CMainDlg::SortRows);
  add(kCmdMoveRowsUp, tr("選択した行を上へ(&P)"), {QKeySequence(Qt::ALT | Qt::Key_Up)},
      [this] { MoveRows(-1); });
  add(kCmdMoveRowsDown, tr("選択した行を下へ(&N)"), {QKeySequence(Qt::ALT | Qt::Key_Down)},
      [this] { MoveRows(1); });
  for (int id : {kCmdUndo, kCmdRedo, kCmdSortRows, kCmdMoveRowsUp, kCmdMoveRowsDown})
    menuActions_[id]->setEnabled(false);  // until a file is open

  QMenu* units = edit->addMenu(tr("リストの単位(&L)"));
  units->setObjectName(QStringLiteral("listUnit"));
  const std::pair<ListUnit, QString> choices[] = {
      {ListUnit::Samples, tr("サンプル(&S)")},
      {ListUnit::Milliseconds, tr("ミリ秒(&M)")},
      {ListUnit::Clock, QStringLiteral("h:mm:ss.mmm (&H)")},
  };
  AddChoiceActions<ListUnit>(units, choices, model_.Unit(), &ListUnitWord,
                             [this](ListUnit unit) { SetListUnit(unit); });
}

void CMainDlg::ApplyEditMenu(const MainWindowView& view) {
  MenuAction(kCmdUndo)->setText(
      view.undoStep ? tr("「%1」を元に戻す(&U)").arg(UiText(view.undoStep)) : tr("元に戻す(&U)"));
  MenuAction(kCmdRedo)->setText(
      view.redoStep ? tr("「%1」をやり直す(&R)").arg(UiText(view.redoStep)) : tr("やり直す(&R)"));
}

void CMainDlg::Undo() {
  if (!model_.Undo()) return;
  RefreshPosition(true, 0);
  ShowHighlightedRegion();
}

void CMainDlg::Redo() {
  if (!model_.Redo()) return;
  RefreshPosition(true, 0);
  ShowHighlightedRegion();
}

void CMainDlg::SetSnapToZeroCrossings(bool snap) {
  model_.SetSnapToZeroCrossings(snap);
  MenuAction(kCmdSnapToZero)->setChecked(snap);
  StoreEditSettings();
}

void CMainDlg::SetListUnit(ListUnit unit) {
  model_.SetListUnit(unit);
  list_->SetRows(model_, model_.Conflicts());
  if (QAction* action = findChild<QAction*>(QString::fromLatin1(ListUnitWord(unit))))
    action->setChecked(true);
  StoreEditSettings();
}

void CMainDlg::StoreEditSettings() {
  SaveEditSettings({model_.SnapsToZeroCrossings(), model_.Unit()});
}

}  // namespace snipora
