#include <gtest/gtest.h>

#include <set>
#include <string>

#include "resources/dialog_templates.h"
#include "resources/menu_template.h"
#include "resources/string_table.h"

namespace snipora {
namespace {

TEST(StringTable, HoldsExactlyTheIds101To109) {
  for (int id = 95; id <= 115; ++id) {
    const bool inTable = id >= 101 && id <= 109;
    EXPECT_EQ(StringTableText(id) != nullptr, inTable) << id;
    if (inTable) {
      EXPECT_NE(std::string(StringTableText(id)), "") << id;
    }
  }
}

TEST(StringTable, KeepsTheLineBreaksOfTheQuestions) {
  for (int id : {102, 103, 104, 108}) {
    EXPECT_NE(std::string(StringTableText(id)).find('\n'), std::string::npos) << id;
  }
}

TEST(DialogTemplates, ControlIdsAreUniqueAndFindable) {
  for (auto controls : {MainDialogControls(), JumpDialogControls()}) {
    std::set<int> ids;
    for (const ControlTemplate& control : controls) {
      EXPECT_TRUE(ids.insert(control.id).second) << control.id;
      EXPECT_EQ(FindControlTemplate(controls, control.id), &control);
    }
  }
  EXPECT_EQ(FindControlTemplate(MainDialogControls(), 1021), nullptr);
}

TEST(DialogTemplates, MainDialogHasEveryNumberedControl) {
  // 1000-1020 slider and steps, 1022-1039 without 1040, 1041-1050 options.
  std::set<int> expected;
  for (int id = 1000; id <= 1020; ++id) expected.insert(id);
  for (int id = 1022; id <= 1039; ++id) expected.insert(id);
  for (int id = 1041; id <= 1050; ++id) expected.insert(id);
  std::set<int> actual;
  for (const ControlTemplate& control : MainDialogControls()) actual.insert(control.id);
  EXPECT_EQ(actual, expected);
  // Only the marker loop starts disabled.
  for (const ControlTemplate& control : MainDialogControls()) {
    EXPECT_EQ(control.initiallyDisabled, control.id == 1039) << control.id;
  }
}

TEST(MenuTemplate, OnlyTheCommandsOfAFileStartGrayedAndEveryCommandAppearsOnce) {
  std::set<int> ids;
  for (const MenuPopupTemplate& popup : MainMenuTemplate()) {
    for (const MenuItemTemplate& item : popup.items) {
      EXPECT_TRUE(ids.insert(item.id).second) << item.id;
      EXPECT_EQ(item.grayed, item.id == kCmdLoopSearch || item.id == kCmdMarkersFromFileLoop ||
                                 item.id == kCmdImportRanges || item.id == kCmdExportRanges ||
                                 item.id == kCmdFindSounds)
          << item.id;
    }
  }
  EXPECT_EQ(ids,
            (std::set<int>{32771, 32772, 32773, 32774, 32775, 32776, 32777, 32778, 32779, 32780}));
}

}  // namespace
}  // namespace snipora
