#include "app/main_window_tooltips.h"

#include "app/main_dialog.h"
#include "resources/control_ids.h"

namespace snipora {

namespace {

struct Tip {
  int control;
  const char* text;
};

constexpr Tip kTips[] = {
    {kCtlPositionSlider, QT_TRANSLATE_NOOP("snipora::CMainDlg", "再生位置。ドラッグで移動します")},
    {kCtlPositionDisplay,
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "再生位置: 上がミリ秒、下がサンプル")},
    {kCtlLengthDisplay,
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "ファイルの長さ: 上がミリ秒、下がサンプル")},
    {kCtlPlay, QT_TRANSLATE_NOOP("snipora::CMainDlg", "再生を始める / 止める")},
    {kCtlJump,
     QT_TRANSLATE_NOOP("snipora::CMainDlg",
                       "ミリ秒 (1:23.500 の形も可) かサンプルで位置を指定して移動します")},
    {kCtlMarkerLoop,
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "2 つのマーカの間を繰り返し再生します")},
    {kCtlPlayBetweenMarkers,
     QT_TRANSLATE_NOOP("snipora::CMainDlg",
                       "マーカの間を再生します (マーカが 1 つなら現在位置からそのマーカまで)")},
    {kCtlPlayToMarker,
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "現在位置から次のマーカまで再生します")},
    {kCtlPlayTwoSecondsBeforeMarker,
     QT_TRANSLATE_NOOP("snipora::CMainDlg",
                       "マーカの手前 2 秒を再生します (マーカが 2 つなら後ろのマーカ)")},
    {kCtlAddReservation,
     QT_TRANSLATE_NOOP(
         "snipora::CMainDlg",
         "マーカの間 (マーカが 1 つならそのマーカと現在位置の間) を、保存する範囲として"
         "一覧に加えます")},
    {kCtlReadReservation,
     QT_TRANSLATE_NOOP("snipora::CMainDlg",
                       "一覧で選んだ範囲の始めと終わりにマーカ 1 と 2 を置きます")},
    {kCtlRemoveReservation,
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "一覧で選んだ範囲を一覧から消します")},
    {kCtlMarker1Display,
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "マーカ1の位置: 上がミリ秒、下がサンプル")},
    {kCtlMarker2Display,
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "マーカ2の位置: 上がミリ秒、下がサンプル")},
    {kCtlMarker1Toggle,
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "現在位置にマーカ1を置きます (置いてあれば消します)")},
    {kCtlMarker2Toggle,
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "現在位置にマーカ2を置きます (置いてあれば消します)")},
    {kCtlMarker1GoTo, QT_TRANSLATE_NOOP("snipora::CMainDlg", "マーカ1の位置へ移動します")},
    {kCtlMarker2GoTo, QT_TRANSLATE_NOOP("snipora::CMainDlg", "マーカ2の位置へ移動します")},
    {kCtlFadeOut,
     QT_TRANSLATE_NOOP(
         "snipora::CMainDlg",
         "保存するファイルの終わりをフェードアウトします (連結するときは全体の終わり)")},
    {kCtlFadeLength, QT_TRANSLATE_NOOP("snipora::CMainDlg", "フェードアウトの長さ (ミリ秒)")},
    {kCtlJoinAll, QT_TRANSLATE_NOOP("snipora::CMainDlg",
                                    "一覧のすべての範囲を 1 つのファイルにつないで保存します")},
    {kCtlNameByLabels,
     QT_TRANSLATE_NOOP("snipora::CMainDlg",
                       "分割したファイルに「01 ラベル.wav」のようにラベルで名前を付けます")},
    {kCtlFadeIn,
     QT_TRANSLATE_NOOP("snipora::CMainDlg",
                       "保存するファイルの始めをフェードインします (連結するときは全体の始め)。"
                       "フェードアウトをちょうど逆向きにしたものです")},
    {kCtlFadeInLength, QT_TRANSLATE_NOOP("snipora::CMainDlg", "フェードインの長さ (ミリ秒)")},
    {kCtlDeclick,
     QT_TRANSLATE_NOOP("snipora::CMainDlg",
                       "各ファイルの始めと終わりを短くフェードしてクリックノイズを防ぎます "
                       "(連結するときはつなぎ目の両側も)。より長いフェードを指定した端では"
                       "そちらが使われます")},
    {kCtlDeclickLength,
     QT_TRANSLATE_NOOP("snipora::CMainDlg", "クリックノイズを防ぐフェードの長さ (ミリ秒)")},
    {kCtlStripMetadata,
     QT_TRANSLATE_NOOP("snipora::CMainDlg",
                       "元のファイルの情報 (INFO、bext、iXML、マーカ、ループ) を保存する"
                       "ファイルに書き出しません")},
    {kCtlVerifyAfterSaving,
     QT_TRANSLATE_NOOP("snipora::CMainDlg",
                       "保存したファイルを読み直し、元のファイルと一致するか確かめます")},
    {kCtlReservationList,
     QT_TRANSLATE_NOOP("snipora::CMainDlg",
                       "保存する範囲の一覧。ダブルクリックか F2 でラベルを編集します")},
};

QString StepTip(int id) {
  static constexpr int kSteps[] = {10000, 1000, 100, 10, 1};
  const int index = (id - kCtlFirstStepButton) % 10;
  const int n = index < 5 ? kSteps[index] : kSteps[9 - index];
  const bool back = index < 5;
  if (id < kCtlFirstSampleStepButton) {
    return back ? CMainDlg::tr("%n ミリ秒戻ります", nullptr, n)
                : CMainDlg::tr("%n ミリ秒進みます", nullptr, n);
  }
  return back ? CMainDlg::tr("%n サンプル戻ります", nullptr, n)
              : CMainDlg::tr("%n サンプル進みます", nullptr, n);
}

void SetTip(CMainDlg& dialog, int id, QString tip) {
  const QString keys = KeysOfControl(id);
  if (!keys.isEmpty()) tip += QStringLiteral(" (") + keys + QLatin1Char(')');
  dialog.Control(id)->setToolTip(tip);
}

}  // namespace

void AddMainWindowTooltips(CMainDlg& dialog) {
  for (int id = kCtlFirstStepButton; id <= kCtlLastStepButton; ++id)
    SetTip(dialog, id, StepTip(id));
  for (const Tip& tip : kTips) SetTip(dialog, tip.control, CMainDlg::tr(tip.text));
}

}  // namespace snipora
