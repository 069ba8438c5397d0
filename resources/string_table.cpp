#include "resources/string_table.h"

namespace snipora {

const char* StringTableText(int id) {
  switch (id) {
    case kStrAboutMenu:
      return "Snipora のﾊﾞｰｼﾞｮﾝ情報(&A)...";
    case kStrAskFileAgain:
      return "ファイルを開いていないとプログラムを続行できません。\nファイルを選択しなおしますか？";
    case kStrCannotOpenFile:
      return "ファイルを開けません。\n強制終了します";
    case kStrFolderExists:
      return "既に同名のフォルダがあります。\n上書きしますか？";
    case kStrCannotWrite:
      return "ファイルを開けませんでした。";
    case kStrInvalidValue:
      return "指定された値が無効です";
    case kStrNothingToSave:
      return "保存可能なデータがありません";
    case kStrDiscardUnsaved:
      return "リストに保存していない分割予約があります。\n破棄してよろしいですか？";
    case kStrLoopFailed:
      return "ループ再生に失敗しました";
    default:
      return nullptr;
  }
}

}  // namespace snipora
