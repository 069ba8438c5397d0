#pragma once

#include <span>

#include "platform/ui/ui_text.h"

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
inline constexpr char kMilliseconds[] = QT_TRANSLATE_NOOP("Snipora", "ミリ秒");
inline constexpr char kSamples[] = QT_TRANSLATE_NOOP("Snipora", "サンプル");
inline constexpr char kUnitsLabel[] = QT_TRANSLATE_NOOP("Snipora", "ミリ秒\nサンプル");
inline constexpr char kPositionGroup[] = QT_TRANSLATE_NOOP("Snipora", "再生アドレス");
inline constexpr char kSlash[] = "/\n/";
inline constexpr char kMarker1Group[] = QT_TRANSLATE_NOOP("Snipora", "マーカー1アドレス");
inline constexpr char kMarker2Group[] = QT_TRANSLATE_NOOP("Snipora", "マーカー2アドレス");
inline constexpr char kZeroDisplay[] = "0\n0";
inline constexpr char kPlay[] = QT_TRANSLATE_NOOP("Snipora", "再生");
inline constexpr char kStop[] = QT_TRANSLATE_NOOP("Snipora", "停止");
inline constexpr char kMarkerAdd[] = QT_TRANSLATE_NOOP("Snipora", "付加");
inline constexpr char kMarkerClear[] = QT_TRANSLATE_NOOP("Snipora", "消去");
// The label names every type the entry lists; "*" also lists names without a dot.
inline constexpr char kOpenFilter[] = QT_TRANSLATE_NOOP(
    "Snipora",
    "WAVE・NWA・FLAC サウンド(*.wav;*.nwa;*.flac)|*.wav;*.nwa;*.flac|全てのファイル(*)|*||");
// A file with more channels than the sound device plays: %1 its channels,
// %2 the most the device plays.
inline constexpr char kTooManyChannels[] = QT_TRANSLATE_NOOP(
    "Snipora",
    "このファイルは%1チャンネルです。再生できるのは%2チャンネルまでなので開けません。\n"
    "切り出しはコマンドラインの snipora-cut でできます。");
}  // namespace main_text

namespace jump_text {
inline constexpr char kCaption[] = QT_TRANSLATE_NOOP("Snipora", "座標指定移動");
inline constexpr char kMethodGroup[] = QT_TRANSLATE_NOOP("Snipora", "指定方法");
inline constexpr char kMaximumLabel[] =
    QT_TRANSLATE_NOOP("Snipora", "ミリ秒最大値\nサンプル最大値");
}  // namespace jump_text

namespace about_text {
inline constexpr char kCaption[] = QT_TRANSLATE_NOOP("Snipora", "Sniporaのﾊﾞｰｼﾞｮﾝ情報");
inline constexpr char kVersion[] = "Snipora Version 3.16";
inline constexpr char kSecondLine[] =
    QT_TRANSLATE_NOOP("Snipora", "PCM WAVE / NWA を無劣化で分割します");
inline constexpr char kOk[] = "OK";
}  // namespace about_text

// Resource path of icon 128 (a Qt resource, available when the GUI is built).
inline constexpr char kIconResource[] = ":/snipora/icon128.png";

}  // namespace snipora
