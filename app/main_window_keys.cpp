// The main window's keyboard: window-wide keys that press a button of the
// window, the menu shortcuts, and the Help list of all keys, made from the
// one table below. A key does exactly what its button does, and nothing when
// the button is disabled.
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTextEdit>

#include "app/key_list_dialog.h"
#include "app/main_dialog.h"
#include "app/main_window_tooltips.h"
#include "platform/ui/ui_text.h"
#include "playback/player_flags.h"
#include "resources/control_ids.h"
#include "resources/menu_template.h"

namespace snipora {

namespace {

// Home and End have no button of their own.
constexpr int kGoToStart = -1;
constexpr int kGoToEnd = -2;
// Keys that menus, the list or the waveform take themselves: listed only.
constexpr int kListedOnly = 0;

struct KeyBinding {
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  int control;         // the button the key presses, or kGoToStart / kGoToEnd
  bool listKeeps;      // in the reservation list the key moves the highlight
  bool repeats;        // held down, the key repeats its action
  const char* keys;    // as the Help list names the key (translated where marked)
  const char* action;  // translated in the context of CMainDlg
};

// Arrows step by the buttons' steps: alone 100 ms, with Shift 1 s, with Ctrl
// one sample, with Ctrl+Shift 100 samples.
constexpr KeyBinding kKeys[] = {
    {Qt::Key_Space, Qt::NoModifier, kCtlPlay, false, false, "Space",
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "再生 / 停止")},
    {Qt::Key_Left, Qt::NoModifier, kCtlFirstStepButton + 2, false, true, "←",
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "100 ミリ秒戻る")},
    {Qt::Key_Right, Qt::NoModifier, kCtlFirstStepButton + 7, false, true, "→",
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "100 ミリ秒進む")},
    {Qt::Key_Left, Qt::ShiftModifier, kCtlFirstStepButton + 1, false, true, "Shift+←",
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "1 秒戻る")},
    {Qt::Key_Right, Qt::ShiftModifier, kCtlFirstStepButton + 8, false, true, "Shift+→",
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "1 秒進む")},
    {Qt::Key_Left, Qt::ControlModifier, kCtlFirstSampleStepButton + 4, false, true, "Ctrl+←",
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "1 サンプル戻る")},
    {Qt::Key_Right, Qt::ControlModifier, kCtlFirstSampleStepButton + 5, false, true, "Ctrl+→",
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "1 サンプル進む")},
    {Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier, kCtlFirstSampleStepButton + 2, false,
     true, "Ctrl+Shift+←", QT_TRANSLATE_NOOP("snipora::CMainDlg", "100 サンプル戻る")},
    {Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier, kCtlFirstSampleStepButton + 7, false,
     true, "Ctrl+Shift+→", QT_TRANSLATE_NOOP("snipora::CMainDlg", "100 サンプル進む")},
    {Qt::Key_Home, Qt::NoModifier, kGoToStart, true, false, "Home",
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "先頭へ")},
    {Qt::Key_End, Qt::NoModifier, kGoToEnd, true, false, "End",
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "末尾へ")},
    {Qt::Key_1, Qt::NoModifier, kCtlMarker1Toggle, false, false, "1",
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "マーカ1の設定 / 解除")},
    {Qt::Key_2, Qt::NoModifier, kCtlMarker2Toggle, false, false, "2",
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "マーカ2の設定 / 解除")},
    {Qt::Key_1, Qt::ControlModifier, kCtlMarker1GoTo, false, false, "Ctrl+1",
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "マーカ1へ移動")},
    {Qt::Key_2, Qt::ControlModifier, kCtlMarker2GoTo, false, false, "Ctrl+2",
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "マーカ2へ移動")},
    {Qt::Key_R, Qt::NoModifier, kCtlAddReservation, false, false, "R",
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "分割予約")},
    {Qt::Key_Insert, Qt::NoModifier, kCtlAddReservation, false, false, "Insert",
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "分割予約")},
    {Qt::Key_Delete, Qt::NoModifier, kCtlRemoveReservation, false, false, "Delete",
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "選択中の予約を削除")},
    {Qt::Key_F2, Qt::NoModifier, kListedOnly, false, false, "F2",
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "選択中の予約のラベルを編集 (一覧で)")},
    {Qt::Key_O, Qt::ControlModifier, kListedOnly, false, false, "Ctrl+O",
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "ファイルを開く")},
    {Qt::Key_S, Qt::ControlModifier, kListedOnly, false, false, "Ctrl+S",
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "保存")},
    {Qt::Key_Q, Qt::ControlModifier, kListedOnly, false, false, "Ctrl+Q",
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "終了")},
    {Qt::Key_Z, Qt::ControlModifier, kListedOnly, false, false, "Ctrl+Z",
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "元に戻す")},
    {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, kListedOnly, false, false,
     "Ctrl+Shift+Z, Ctrl+Y", QT_TRANSLATE_NOOP("snipora::CMainDlg", "やり直す")},
    {Qt::Key_Z, Qt::NoModifier, kListedOnly, false, false, "Z",
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "ゼロクロスへのスナップの入 / 切")},
    {Qt::Key_Up, Qt::AltModifier, kListedOnly, false, false, "Alt+↑ / Alt+↓",
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "選択した行を上へ / 下へ")},
    {Qt::Key_unknown, Qt::NoModifier, kListedOnly, false, false,
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "ホイール、+ / -"),
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "波形の拡大 / 縮小 (波形の上で)")},
    {Qt::Key_unknown, Qt::NoModifier, kListedOnly, false, false,
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "ドラッグ"),
     QT_TRANSLATE_NOOP("snipora::CMainDlg",
                       "選択 (マーカ1 と 2)、Shift+クリックで広げる (波形の上で)")},
    {Qt::Key_unknown, Qt::NoModifier, kListedOnly, false, false,
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "線のドラッグ"),
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "マーカや範囲の端を動かす (拡大表示で)")},
    {Qt::Key_unknown, Qt::NoModifier, kListedOnly, false, false,
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "ダブルクリック"),
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "範囲を再生 (波形の上で) / セルを編集 (一覧で)")},
};

// Typing goes to text fields; the window's keys do not take it from them.
bool IsTextField(QObject* widget) {
  return qobject_cast<QLineEdit*>(widget) || qobject_cast<QAbstractSpinBox*>(widget) ||
         qobject_cast<QTextEdit*>(widget);
}

QMenu* MenuOf(QAction* action) {
  return qobject_cast<QMenu*>(action->parent());
}

}  // namespace

bool CMainDlg::HandleWindowKey(QObject* watched, QKeyEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != this || IsTextField(watched)) return false;
  const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
  for (const KeyBinding& binding : kKeys) {
    if (binding.control == kListedOnly) continue;
    if (binding.key != event->key() || binding.modifiers != modifiers) continue;
    if (binding.listKeeps && qobject_cast<QAbstractItemView*>(watched)) return false;
    if (event->isAutoRepeat() && !binding.repeats) return true;
    if (binding.control == kGoToStart || binding.control == kGoToEnd) {
      if (model_.HasFile()) {
        player_.Seek(binding.control == kGoToStart ? 0 : model_.Format().dataSize, kUnitBytes);
        RefreshPosition(true, 0);
      }
    } else {
      // click() does nothing for a disabled button, as a mouse click would.
      static_cast<QPushButton*>(controls_.at(binding.control))->click();
    }
    return true;
  }
  return false;
}

void CMainDlg::AddKeyboardCommands() {
  menuActions_.at(kCmdOpen)->setShortcut(QKeySequence::Open);
  menuActions_.at(kCmdSave)->setShortcut(QKeySequence::Save);

  QMenu* file = MenuOf(menuActions_.at(kCmdOpen));
  file->addSeparator();
  QAction* quit = file->addAction(tr("終了(&X)"));
  quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  quit->setObjectName(QStringLiteral("quit"));
  // Quitting asks about unsaved reservations as the close box does.
  connect(quit, &QAction::triggered, this, &CMainDlg::reject);

  QMenu* help = MenuOf(menuActions_.at(kCmdAbout));
  QAction* keys = new QAction(tr("キーボードショートカット(&K)..."), help);
  keys->setObjectName(QStringLiteral("shortcuts"));
  help->insertAction(menuActions_.at(kCmdAbout), keys);
  connect(keys, &QAction::triggered, this, &CMainDlg::OnMenuShortcuts);
}

void CMainDlg::OnMenuShortcuts() {
  std::vector<KeyListRow> rows;
  for (const KeyBinding& binding : kKeys) rows.push_back({tr(binding.keys), tr(binding.action)});
  CKeyListDlg keys(
      this, tr("文字を入力している間は、文字やスペース、矢印のキーは入力に使われます。"), rows);
  keys.exec();
}

QString KeysOfControl(int control) {
  QStringList keys;
  for (const KeyBinding& binding : kKeys) {
    if (binding.control == control) keys << QString::fromUtf8(binding.keys);
  }
  return keys.join(QStringLiteral(", "));
}

}  // namespace snipora
