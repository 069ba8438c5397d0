#include "resources/menu_template.h"
#include "platform/ui/ui_text.h"

namespace snipora {

namespace {

constexpr MenuItemTemplate kFileItems[] = {
    {kCmdOpen, QT_TRANSLATE_NOOP("Snipora", "開く(&O)..."), false},
    {kCmdSave, QT_TRANSLATE_NOOP("Snipora", "保存(&S)"), false},
    {kCmdImportRanges, QT_TRANSLATE_NOOP("Snipora", "範囲リストの読み込み(&I)..."), true},
    {kCmdExportRanges, QT_TRANSLATE_NOOP("Snipora", "範囲リストの書き出し(&E)..."), true},
};

// The range-list commands start grayed: import needs an open file, export a
// reservation. Loop detection and finding sounds start grayed until a file is
// open. The file's loop points are enabled only for a file that has them.
constexpr MenuItemTemplate kToolItems[] = {
    {kCmdVolume, QT_TRANSLATE_NOOP("Snipora", "音量(&V)..."), false},
    {kCmdSpeed, QT_TRANSLATE_NOOP("Snipora", "再生速度(&S)..."), false},
    {kCmdLoopSearch, QT_TRANSLATE_NOOP("Snipora", "ループ検出(&L)..."), true},
    {kCmdFindSounds, QT_TRANSLATE_NOOP("Snipora", "無音で区切って音を探す(&F)..."), true},
    {kCmdMarkersFromFileLoop, QT_TRANSLATE_NOOP("Snipora", "ファイルのループ点をマーカに設定(&M)"),
     true},
};

constexpr MenuItemTemplate kHelpItems[] = {
    {kCmdAbout, QT_TRANSLATE_NOOP("Snipora", "Sniporaのバージョン情報(&A)..."), false},
};

constexpr MenuPopupTemplate kPopups[] = {
    {QT_TRANSLATE_NOOP("Snipora", "ファイル(&F)"), kFileItems},
    {QT_TRANSLATE_NOOP("Snipora", "ツール(&T)"), kToolItems},
    {QT_TRANSLATE_NOOP("Snipora", "ヘルプ(&H)"), kHelpItems},
};

}  // namespace

std::span<const MenuPopupTemplate> MainMenuTemplate() {
  return kPopups;
}

}  // namespace snipora
