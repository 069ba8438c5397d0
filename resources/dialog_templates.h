#pragma once

#include <span>
#include <string>

// Texts and initial states of the controls of the program's dialogs: the main
// dialog (template 102), the jump dialog (131) and the about box (100).
// The layout itself is built by the dialogs in app/.
namespace snipora {

enum class ControlKind { Slider, Button, DefaultButton, Text, CheckBox, Edit, Radio, List };

struct ControlTemplate {
  int id;
  ControlKind kind;
  const char* text;  // initial text, "" for none
  bool initiallyDisabled;
};

// Controls with an id of the main dialog, in template order.
std::span<const ControlTemplate> MainDialogControls();

// Controls with an id of the jump dialog, in template order.
std::span<const ControlTemplate> JumpDialogControls();

// The control `id` of `controls`, or nullptr.
const ControlTemplate* FindControlTemplate(std::span<const ControlTemplate> controls, int id);

// Texts of the main dialog that belong to no control id or change at run time.
namespace main_text {
inline constexpr char kCaption[] = "Snipora";
inline constexpr char kTitleSuffix[] = " - Snipora";
inline constexpr char kMilliseconds[] = "ミリ秒";
inline constexpr char kSamples[] = "サンプル";
inline constexpr char kUnitsLabel[] = "ミリ秒\nサンプル";
inline constexpr char kPositionGroup[] = "再生アドレス";
inline constexpr char kSlash[] = "/\n/";
inline constexpr char kMarker1Group[] = "マーカー1アドレス";
inline constexpr char kMarker2Group[] = "マーカー2アドレス";
inline constexpr char kZeroDisplay[] = "0\n0";
inline constexpr char kPlay[] = "再生";
inline constexpr char kStop[] = "停止";
inline constexpr char kMarkerAdd[] = "付加";
inline constexpr char kMarkerClear[] = "消去";
inline constexpr char kColumnLength[] = "長さ(ミリ秒)";
inline constexpr char kColumnStart[] = "開始アドレス";
inline constexpr char kColumnEnd[] = "終了アドレス";
inline constexpr char kColumnLabel[] = "ラベル";
inline constexpr char kOpenFilter[] = "WAVE サウンド(*.wav)|*.wav;*.nwa|全てのファイル(*.*)|*.*||";
// A file with more channels than the sound device plays.
inline std::string TooManyChannels(int channels, int playable) {
  return "このファイルは" + std::to_string(channels) + "チャンネルです。再生できるのは" +
         std::to_string(playable) + "チャンネルまでなので開けません。\n" +
         "切り出しはコマンドラインの snipora-cut でできます。";
}
}  // namespace main_text

namespace jump_text {
inline constexpr char kCaption[] = "座標指定移動";
inline constexpr char kMethodGroup[] = "指定方法";
inline constexpr char kMaximumLabel[] = "ミリ秒最大値\nサンプル最大値";
}  // namespace jump_text

namespace about_text {
inline constexpr char kCaption[] = "Sniporaのﾊﾞｰｼﾞｮﾝ情報";
inline constexpr char kVersion[] = "Snipora Version 3.16";
inline constexpr char kSecondLine[] = "PCM WAVE / NWA を無劣化で分割します";
inline constexpr char kOk[] = "OK";
}  // namespace about_text

// Resource path of icon 128 (a Qt resource, available when the GUI is built).
inline constexpr char kIconResource[] = ":/snipora/icon128.png";

}  // namespace snipora
