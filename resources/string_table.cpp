#include "resources/string_table.h"
#include "platform/ui/ui_text.h"

namespace snipora {

namespace {

struct StringEntry {
  StringId id;
  const char* text;
};

constexpr StringEntry kStrings[] = {
    {kStrAboutMenu, QT_TRANSLATE_NOOP("Snipora", "Snipora のﾊﾞｰｼﾞｮﾝ情報(&A)...")},
    {kStrAskFileAgain,
     QT_TRANSLATE_NOOP(
         "Snipora",
         "ファイルを開いていないとプログラムを続行できません。\nファイルを選択しなおしますか？")},
    {kStrCannotOpenFile, QT_TRANSLATE_NOOP("Snipora", "ファイルを開けません。\n強制終了します")},
    {kStrFolderExists,
     QT_TRANSLATE_NOOP("Snipora", "既に同名のフォルダがあります。\n上書きしますか？")},
    {kStrCannotWrite, QT_TRANSLATE_NOOP("Snipora", "ファイルを開けませんでした。")},
    {kStrInvalidValue, QT_TRANSLATE_NOOP("Snipora", "指定された値が無効です")},
    {kStrNothingToSave, QT_TRANSLATE_NOOP("Snipora", "保存可能なデータがありません")},
    {kStrDiscardUnsaved,
     QT_TRANSLATE_NOOP("Snipora",
                       "リストに保存していない分割予約があります。\n破棄してよろしいですか？")},
    {kStrLoopFailed, QT_TRANSLATE_NOOP("Snipora", "ループ再生に失敗しました")},
};

}  // namespace

const char* StringTableText(int id) {
  for (const StringEntry& entry : kStrings) {
    if (entry.id == id) return entry.text;
  }
  return nullptr;
}

}  // namespace snipora
