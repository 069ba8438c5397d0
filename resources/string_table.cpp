#include "resources/string_table.h"

namespace snipora {

const char* StringTableText(int id) {
  switch (id) {
    case 101:
      return "Snipora のﾊﾞｰｼﾞｮﾝ情報(&A)...";
    case 102:
      return "ファイルを開いていないとプログラムを続行できません。\nファイルを選択しなおしますか？";
    case 103:
      return "ファイルを開けません。\n強制終了します";
    case 104:
      return "既に同名のフォルダがあります。\n上書きしますか？";
    case 105:
      return "ファイルを開けませんでした。";
    case 106:
      return "指定された値が無効です";
    case 107:
      return "保存可能なデータがありません";
    case 108:
      return "リストに保存していない分割予約があります。\n破棄してよろしいですか？";
    case 109:
      return "ループ再生に失敗しました";
    default:
      return nullptr;
  }
}

}  // namespace snipora
