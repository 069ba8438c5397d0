#pragma once

#include "platform/ui/ui_text.h"

// The names of the undoable steps, as Edit → Undo and Redo name them.
namespace snipora::edit_step {

inline constexpr char kSetMarker1[] = QT_TRANSLATE_NOOP("Snipora", "マーカ1の設定");
inline constexpr char kSetMarker2[] = QT_TRANSLATE_NOOP("Snipora", "マーカ2の設定");
inline constexpr char kClearMarker1[] = QT_TRANSLATE_NOOP("Snipora", "マーカ1の解除");
inline constexpr char kClearMarker2[] = QT_TRANSLATE_NOOP("Snipora", "マーカ2の解除");
inline constexpr char kSelect[] = QT_TRANSLATE_NOOP("Snipora", "選択");
inline constexpr char kMoveMarker[] = QT_TRANSLATE_NOOP("Snipora", "マーカの移動");
inline constexpr char kAddRange[] = QT_TRANSLATE_NOOP("Snipora", "範囲の追加");
inline constexpr char kRemoveRanges[] = QT_TRANSLATE_NOOP("Snipora", "範囲の削除");
inline constexpr char kReadRange[] = QT_TRANSLATE_NOOP("Snipora", "範囲をマーカに読み取り");
inline constexpr char kImport[] = QT_TRANSLATE_NOOP("Snipora", "範囲リストの読み込み");
inline constexpr char kLabel[] = QT_TRANSLATE_NOOP("Snipora", "ラベルの変更");
inline constexpr char kChangeRange[] = QT_TRANSLATE_NOOP("Snipora", "範囲の変更");
inline constexpr char kSort[] = QT_TRANSLATE_NOOP("Snipora", "開始位置で並べ替え");
inline constexpr char kMoveRows[] = QT_TRANSLATE_NOOP("Snipora", "行の移動");
inline constexpr char kFileLoop[] = QT_TRANSLATE_NOOP("Snipora", "ループ点をマーカに設定");
inline constexpr char kLoopCandidate[] = QT_TRANSLATE_NOOP("Snipora", "ループ候補をマーカに設定");
inline constexpr char kFoundSounds[] = QT_TRANSLATE_NOOP("Snipora", "無音で区切った範囲の追加");

}  // namespace snipora::edit_step
