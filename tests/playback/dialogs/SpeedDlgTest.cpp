#include "playback/dialogs/speed_dialog.h"

#include <gtest/gtest.h>

#include "tests/playback/dialogs/player_rig.h"

namespace snipora {
namespace {

using test::Click;
using test::Find;
using test::NumberAt;
using test::SliderAt;

class SpeedDlgTest : public ::testing::Test {
 protected:
  test::DialogPlayerRig rig;
  CMainPlayer& player = rig.player;
};

TEST_F(SpeedDlgTest, OpeningShowsTheSpeedAndTheTrackbarKeepsItsRange) {
  ASSERT_EQ(player.SetSpeedPercent(3000), 0);
  {
    CSpeedDlg dialog(player);
    dialog.show();
    EXPECT_EQ(SliderAt(dialog, 1007), 1000);
    EXPECT_EQ(NumberAt(dialog, 1035), "3000");
    EXPECT_EQ(player.GetSpeedPercent(), 3000);  // showing writes nothing back
  }
  ASSERT_EQ(player.SetSpeedPercent(250), 0);
  CSpeedDlg dialog(player);
  dialog.show();
  EXPECT_EQ(SliderAt(dialog, 1007), 250);
  EXPECT_EQ(NumberAt(dialog, 1035), "250");

  Find<QSlider>(dialog, 1007).triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(player.GetSpeedPercent(), 260);
  EXPECT_EQ(NumberAt(dialog, 1035), "260");
}

TEST_F(SpeedDlgTest, ButtonsMoveWithinFiveToAThousand) {
  struct Case {
    int start, button, expected;
  };
  const Case cases[] = {
      {20, 1014, 5},    {100, 1009, 90},  {100, 1010, 99},   {700, 1008, 100},
      {100, 1011, 101}, {100, 1012, 110}, {990, 1013, 1000}, {5, 1010, 5},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(player.SetSpeedPercent(c.start), 0);
    CSpeedDlg dialog(player);
    dialog.show();
    Click(dialog, c.button);
    EXPECT_EQ(SliderAt(dialog, 1007), c.expected) << c.start << " button " << c.button;
    EXPECT_EQ(player.GetSpeedPercent(), c.expected) << c.start << " button " << c.button;
    EXPECT_EQ(NumberAt(dialog, 1035), std::to_string(c.expected));
  }
}

TEST_F(SpeedDlgTest, ChangeWithoutAFileAppliesToTheNextFile) {
  {
    CSpeedDlg dialog(player);
    dialog.show();
    Click(dialog, 1013);
    EXPECT_EQ(NumberAt(dialog, 1035), "150");
  }
  rig.OpenFile(16);
  EXPECT_EQ(player.GetSpeedPercent(), 150);
}

}  // namespace
}  // namespace snipora
