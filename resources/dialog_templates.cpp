#include "resources/dialog_templates.h"

namespace snipora {

namespace {

using K = ControlKind;

constexpr ControlTemplate kMainControls[] = {
    {1000, K::Slider, "", false},
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
    {1032, K::Text, "0\n0", false},
    {1031, K::Text, "0\n0", false},
    {1023, K::Button, "再生", false},
    {1027, K::Button, "座標指定", false},
    {1039, K::Button, "マーカループ", true},
    {1028, K::Button, "マーカ間再生", false},
    {1037, K::Button, "マーカまで再生", false},
    {1038, K::Button, "マーカまで2秒", false},
    {1026, K::Button, "分割指定", false},
    {1036, K::Button, "指定読取", false},
    {1030, K::Button, "指定解除", false},
    {1033, K::Text, "0\n0", false},
    {1024, K::Button, "付加", false},
    {1029, K::Button, "移動", false},
    {1034, K::Text, "0\n0", false},
    {1025, K::Button, "付加", false},
    {1035, K::Button, "移動", false},
    {1041, K::CheckBox, "フェードアウト処理を行う", false},
    {1042, K::Edit, "", false},
    {1043, K::CheckBox, "全て連結して出力する", false},
    {1022, K::List, "", false},
};

constexpr ControlTemplate kJumpControls[] = {
    {1035, K::Radio, "ミリ秒単位で指定", false},
    {1036, K::Radio, "サンプル単位で指定", false},
    {1037, K::Edit, "", false},
    {1038, K::Text, "0\n0", false},
    {1, K::DefaultButton, "OK", false},
    {2, K::Button, "ｷｬﾝｾﾙ", false},
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
