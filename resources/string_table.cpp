#include "resources/string_table.h"

namespace snipora {

namespace {

struct StringEntry {
  StringId id;
  const char* text;
};

constexpr StringEntry kStrings[] = {
    {kStrAboutMenu, "Snipora のﾊﾞｰｼﾞｮﾝ情報(&A)..."},
    {kStrAskFileAgain,
     "ファイルを開いていないとプログラムを続行できません。\nファイルを選択しなおしますか？"},
    {kStrCannotOpenFile, "ファイルを開けません。\n強制終了します"},
    {kStrFolderExists, "既に同名のフォルダがあります。\n上書きしますか？"},
    {kStrCannotWrite, "ファイルを開けませんでした。"},
    {kStrInvalidValue, "指定された値が無効です"},
    {kStrNothingToSave, "保存可能なデータがありません"},
    {kStrDiscardUnsaved, "リストに保存していない分割予約があります。\n破棄してよろしいですか？"},
    {kStrLoopFailed, "ループ再生に失敗しました"},
};

}  // namespace

const char* StringTableText(int id) {
  for (const StringEntry& entry : kStrings) {
    if (entry.id == id) return entry.text;
  }
  return nullptr;
}

}  // namespace snipora
