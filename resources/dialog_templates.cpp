#include "resources/dialog_templates.h"

#include "platform/ui/ui_text.h"
#include "resources/control_ids.h"

namespace snipora {

namespace {

using K = ControlKind;

constexpr ControlTemplate kMainControls[] = {
    {kCtlPositionSlider, K::Slider, "", false},
    {1001, K::Button, "-10000", false},
    {1002, K::Button, "-1000", false},
    {1003, K::Button, "-100", false},
    {1004, K::Button, "-10", false},
    {1005, K::Button, "-1", false},
    {1006, K::Button, "+1", false},
    {1007, K::Button, "+10", false},
    {1008, K::Button, "+100", false},
    {1009, K::Button, "+1000", false},
    {1010, K::Button, "+10000", false},
    {1011, K::Button, "-10000", false},
    {1012, K::Button, "-1000", false},
    {1013, K::Button, "-100", false},
    {1014, K::Button, "-10", false},
    {1015, K::Button, "-1", false},
    {1016, K::Button, "+1", false},
    {1017, K::Button, "+10", false},
    {1018, K::Button, "+100", false},
    {1019, K::Button, "+1000", false},
    {1020, K::Button, "+10000", false},
    {kCtlPositionDisplay, K::Text, "0\n0", false},
    {kCtlLengthDisplay, K::Text, "0\n0", false},
    {kCtlPlay, K::Button, QT_TRANSLATE_NOOP("Snipora", "再生"), false},
    {kCtlJump, K::Button, QT_TRANSLATE_NOOP("Snipora", "座標指定"), false},
    {kCtlMarkerLoop, K::Button, QT_TRANSLATE_NOOP("Snipora", "マーカループ"), true},
    {kCtlPlayBetweenMarkers, K::Button, QT_TRANSLATE_NOOP("Snipora", "マーカ間再生"), false},
    {kCtlPlayToMarker, K::Button, QT_TRANSLATE_NOOP("Snipora", "マーカまで再生"), false},
    {kCtlPlayTwoSecondsBeforeMarker, K::Button, QT_TRANSLATE_NOOP("Snipora", "マーカまで2秒"),
     false},
    {kCtlAddReservation, K::Button, QT_TRANSLATE_NOOP("Snipora", "分割指定"), false},
    {kCtlReadReservation, K::Button, QT_TRANSLATE_NOOP("Snipora", "指定読取"), false},
    {kCtlRemoveReservation, K::Button, QT_TRANSLATE_NOOP("Snipora", "指定解除"), false},
    {kCtlMarker1Display, K::Text, "0\n0", false},
    {kCtlMarker1Toggle, K::Button, QT_TRANSLATE_NOOP("Snipora", "付加"), false},
    {kCtlMarker1GoTo, K::Button, QT_TRANSLATE_NOOP("Snipora", "移動"), false},
    {kCtlMarker2Display, K::Text, "0\n0", false},
    {kCtlMarker2Toggle, K::Button, QT_TRANSLATE_NOOP("Snipora", "付加"), false},
    {kCtlMarker2GoTo, K::Button, QT_TRANSLATE_NOOP("Snipora", "移動"), false},
    {kCtlFadeOut, K::CheckBox, QT_TRANSLATE_NOOP("Snipora", "フェードアウト処理を行う"), false},
    {kCtlFadeLength, K::Edit, "", false},
    {kCtlJoinAll, K::CheckBox, QT_TRANSLATE_NOOP("Snipora", "全て連結して出力する"), false},
    {kCtlNameByLabels, K::CheckBox, QT_TRANSLATE_NOOP("Snipora", "ラベル名でファイル名を付ける"),
     false},
    {kCtlFadeIn, K::CheckBox, QT_TRANSLATE_NOOP("Snipora", "フェードイン処理を行う"), false},
    {kCtlFadeInLength, K::Edit, "", false},
    {kCtlDeclick, K::CheckBox, QT_TRANSLATE_NOOP("Snipora", "クリックノイズを防ぐ"), false},
    {kCtlDeclickLength, K::Edit, "5", false},
    {kCtlStripMetadata, K::CheckBox, QT_TRANSLATE_NOOP("Snipora", "メタデータを書き出さない"),
     false},
    {kCtlVerifyAfterSaving, K::CheckBox, QT_TRANSLATE_NOOP("Snipora", "保存後に検証する"), false},
    {kCtlReservationList, K::List, "", false},
};

constexpr ControlTemplate kJumpControls[] = {
    {kJumpInMilliseconds, K::Radio, QT_TRANSLATE_NOOP("Snipora", "ミリ秒単位で指定"), false},
    {kJumpInSamples, K::Radio, QT_TRANSLATE_NOOP("Snipora", "サンプル単位で指定"), false},
    {kJumpValue, K::Edit, "", false},
    {kJumpMaximum, K::Text, "0\n0", false},
    {1, K::DefaultButton, "OK", false},
    {2, K::Button, QT_TRANSLATE_NOOP("Snipora", "ｷｬﾝｾﾙ"), false},
};

}  // namespace

std::span<const ControlTemplate> MainDialogControls() {
  return kMainControls;
}

std::span<const ControlTemplate> JumpDialogControls() {
  return kJumpControls;
}

const ControlTemplate* FindControlTemplate(std::span<const ControlTemplate> controls, int id) {
  for (const ControlTemplate& control : controls) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

}  // namespace snipora
