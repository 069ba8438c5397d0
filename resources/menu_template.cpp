#include "resources/menu_template.h"

namespace snipora {

namespace {

constexpr MenuItemTemplate kFileItems[] = {
    {kCmdOpen, "開く(&O)...", false},
    {kCmdSave, "保存(&S)", false},
    {kCmdImportRanges, "範囲リストの読み込み(&I)...", true},
    {kCmdExportRanges, "範囲リストの書き出し(&E)...", true},
};

// The range-list commands start grayed: import needs an open file, export a
// reservation. Loop detection is grayed: nothing in the program enables it. The file's
// loop points are enabled only for a file that has them.
constexpr MenuItemTemplate kToolItems[] = {
    {kCmdVolume, "音量(&V)...", false},
    {kCmdSpeed, "再生速度(&S)...", false},
    {kCmdLoopSearch, "ループ検出(&L)...", true},
    {kCmdMarkersFromFileLoop, "ファイルのループ点をマーカに設定(&M)", true},
};

constexpr MenuItemTemplate kHelpItems[] = {
    {kCmdAbout, "Sniporaのバージョン情報(&A)...", false},
};

constexpr MenuPopupTemplate kPopups[] = {
    {"ファイル(&F)", kFileItems},
    {"ツール(&T)", kToolItems},
    {"ヘルプ(&H)", kHelpItems},
};

}  // namespace

std::span<const MenuPopupTemplate> MainMenuTemplate() {
  return kPopups;
}

}  // namespace snipora
