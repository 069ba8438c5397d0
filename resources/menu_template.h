#pragma once

#include <span>

// Menu 129 of the main dialog: popups, their items and command ids.
namespace snipora {

enum MenuCommand : int {
  kCmdOpen = 32771,
  kCmdSave = 32772,
  kCmdVolume = 32773,
  kCmdAbout = 32774,
  kCmdSpeed = 32775,
  kCmdLoopSearch = 32776,
  kCmdMarkersFromFileLoop = 32777,
  kCmdImportRanges = 32778,
  kCmdExportRanges = 32779,
  kCmdFindSounds = 32780,
  // The Edit menu, built by the window beside the template's menus.
  kCmdUndo = 32800,
  kCmdRedo = 32801,
  kCmdSnapToZero = 32802,
  kCmdSortRows = 32803,
  kCmdMoveRowsUp = 32804,
  kCmdMoveRowsDown = 32805,
};

struct MenuItemTemplate {
  int id;
  const char* text;  // '&' marks the mnemonic
  bool grayed;
};

struct MenuPopupTemplate {
  const char* text;
  std::span<const MenuItemTemplate> items;
};

// The popups of menu 129 in menu-bar order.
std::span<const MenuPopupTemplate> MainMenuTemplate();

}  // namespace snipora
