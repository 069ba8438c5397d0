#include "playback/dialogs/volume_dialog.h"

#include <gtest/gtest.h>

#include "playback/player_flags.h"
#include "tests/playback/dialogs/player_rig.h"

namespace snipora {
namespace {

using test::Click;
using test::Find;
using test::NumberAt;
using test::SliderAt;

class VolumeDlgTest : public ::testing::Test {
 protected:
  test::DialogPlayerRig rig;
  CMainPlayer& player = rig.player;
};

TEST_F(VolumeDlgTest, OpeningShowsThePlayersValuesAndAppliesNothing) {
  player.SetDirectSoundVolume(-2500);
  ASSERT_EQ(player.SetSoftwareVolume(2000), 0);
  player.SetOptions(CDS_NOTIFY_STOP | CDS_AUTOVOLUME | CDS_VOLCTL_VER2 | CDS_AUTOVOLSLOWLYAPPLY);

  CVolumeDlg dialog(player);
  EXPECT_FALSE(dialog.IsOpen());
  dialog.show();
  EXPECT_TRUE(dialog.IsOpen());
  EXPECT_EQ(SliderAt(dialog, 1000), 7500);
  EXPECT_EQ(NumberAt(dialog, 1034), "7500");
  // Above the trackbar's range: both the trackbar and the number show its end.
  EXPECT_EQ(SliderAt(dialog, 1007), 1500);
  EXPECT_EQ(NumberAt(dialog, 1035), "1500");
  const std::pair<int, bool> boxes[] = {{1041, false}, {1043, true},  {1044, true}, {1045, false},
                                        {1046, false}, {1047, false}, {1048, true}};
  for (auto [id, checked] : boxes) {
    EXPECT_EQ(Find<QCheckBox>(dialog, id).isChecked(), checked) << id;
  }
  // Showing clamped values must not write them back.
  EXPECT_EQ(player.GetSoftwareVolume(), 2000);
  EXPECT_EQ(player.GetDirectSoundVolume(), -2500);

  // The timer refresh shows the true value in the number.
  dialog.ShowSoftwareVolume(player.GetSoftwareVolume());
  EXPECT_EQ(SliderAt(dialog, 1007), 1500);
  EXPECT_EQ(NumberAt(dialog, 1035), "2000");
  dialog.ShowSoftwareVolume(640);
  EXPECT_EQ(SliderAt(dialog, 1007), 640);
  EXPECT_EQ(NumberAt(dialog, 1035), "640");
  EXPECT_EQ(player.GetSoftwareVolume(), 2000);

  dialog.close();
  EXPECT_FALSE(dialog.IsOpen());

  // The kept dialog reads the player afresh at its next showing.
  ASSERT_EQ(player.SetSoftwareVolume(250), 0);
  player.SetOptions(CDS_NOTIFY_STOP | CDS_OPENVOLUMEMAXIMIZE);
  dialog.show();
  EXPECT_TRUE(dialog.IsOpen());
  EXPECT_EQ(NumberAt(dialog, 1035), "250");
  EXPECT_TRUE(Find<QCheckBox>(dialog, 1041).isChecked());
  EXPECT_FALSE(Find<QCheckBox>(dialog, 1043).isChecked());
}

struct StepCase {
  const char* name;
  int button;
  int trackbar;  // 1000 (DirectSound) or 1007 (software)
  int start;     // trackbar position before the click
  int expected;  // trackbar position after it
};

class VolumeStepTest : public VolumeDlgTest, public ::testing::WithParamInterface<StepCase> {};

TEST_P(VolumeStepTest, ButtonMovesTheTrackbarWithinItsRangeAndApplies) {
  const StepCase& step = GetParam();
  bool directSound = step.trackbar == 1000;
  if (directSound) {
    player.SetDirectSoundVolume(step.start - 10000);
  } else {
    ASSERT_EQ(player.SetSoftwareVolume(static_cast<int16_t>(step.start)), 0);
  }
  CVolumeDlg dialog(player);
  dialog.show();
  Click(dialog, step.button);
  EXPECT_EQ(SliderAt(dialog, step.trackbar), step.expected);
  EXPECT_EQ(NumberAt(dialog, directSound ? 1034 : 1035), std::to_string(step.expected));
  if (directSound) {
    EXPECT_EQ(player.GetDirectSoundVolume(), step.expected - 10000);
  } else {
    EXPECT_EQ(player.GetSoftwareVolume(), step.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(Buttons, VolumeStepTest,
                         ::testing::Values(StepCase{"Ds300DownToSilent", 1001, 1000, 100, 0},
                                           StepCase{"Ds30Down", 1002, 1000, 5000, 4970},
                                           StepCase{"Ds1Down", 1003, 1000, 5000, 4999},
                                           StepCase{"Ds1Up", 1004, 1000, 5000, 5001},
                                           StepCase{"Ds30Up", 1005, 1000, 5000, 5030},
                                           StepCase{"Ds300UpToFull", 1006, 1000, 9900, 10000},
                                           StepCase{"Soft50DownToZero", 1014, 1007, 20, 0},
                                           StepCase{"Soft10Down", 1009, 1007, 100, 90},
                                           StepCase{"Soft1Down", 1010, 1007, 100, 99},
                                           StepCase{"SoftBackTo100", 1008, 1007, 700, 100},
                                           StepCase{"Soft1Up", 1011, 1007, 100, 101},
                                           StepCase{"Soft10Up", 1012, 1007, 100, 110},
                                           StepCase{"Soft50UpToEnd", 1013, 1007, 1480, 1500}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(VolumeDlgTest, DirectSoundTrackbarReachesTheDeviceAndARefusalShowsTheOldValue) {
  rig.OpenFile(16);
  player.SetDirectSoundVolume(-1000);
  CVolumeDlg dialog(player);
  dialog.show();
  ASSERT_EQ(SliderAt(dialog, 1000), 9000);

  // A scroll by the user (page step 300) applies at once.
  Find<QSlider>(dialog, 1000).triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(player.GetDirectSoundVolume(), -700);
  EXPECT_EQ(rig.device.Volume(), -700);
  EXPECT_EQ(NumberAt(dialog, 1034), "9300");

  rig.device.volumeResult = -1;  // the device refuses from now on
  Click(dialog, 1006);
  EXPECT_EQ(SliderAt(dialog, 1000), 9600);
  EXPECT_EQ(player.GetDirectSoundVolume(), -700);
  EXPECT_EQ(NumberAt(dialog, 1034), "9300");
}

TEST_F(VolumeDlgTest, EachCheckBoxChangesOnlyItsOwnBit) {
  const std::pair<int, uint32_t> boxes[] = {
      {1041, CDS_OPENVOLUMEMAXIMIZE}, {1043, CDS_AUTOVOLUME},      {1044, CDS_VOLCTL_VER2},
      {1045, CDS_AUTOVOLDELAY},       {1046, CDS_AUTOVOLUPENABLE}, {1047, CDS_AUTOVOLDELAYRESERVE},
      {1048, CDS_AUTOVOLSLOWLYAPPLY},
  };
  uint32_t allSeven = 0;
  for (auto [id, bit] : boxes) allSeven |= bit;
  // From all off and from all on, with a loop and an unrelated option that must survive.
  for (uint32_t base : {CDS_NOTIFY_STOP, CDS_NOTIFY_STOP | CDS_REWIND | allSeven}) {
    for (auto [id, bit] : boxes) {
      player.SetOptions(base);
      player.SetFlags(CDS_LOOP, true);
      uint32_t before = player.State();
      CVolumeDlg dialog(player);
      dialog.show();
      Click(dialog, id);
      EXPECT_EQ(player.State(), before ^ bit) << "box " << id << " from " << std::hex << base;
      Click(dialog, id);
      EXPECT_EQ(player.State(), before) << "box " << id << " back from " << std::hex << base;
    }
  }
}

// The automatic control measures 16-bit samples only: with another file open its
// boxes are greyed out, while the software volume applies as for 16-bit.
TEST_F(VolumeDlgTest, AutomaticBoxesGreyOutForFilesThatAreNot16Bit) {
  for (const uint16_t bits : {8, 24, 16}) {
    rig.OpenFile(bits);
    ASSERT_EQ(player.SetSoftwareVolume(100), 0);
    CVolumeDlg dialog(player);
    dialog.show();
    for (int id : {1041, 1043, 1044, 1045, 1046, 1047, 1048}) {
      EXPECT_EQ(Find<QCheckBox>(dialog, id).isEnabled(), bits == 16) << bits << " box " << id;
    }
    Click(dialog, 1012);
    EXPECT_EQ(player.GetSoftwareVolume(), 110) << bits;
    EXPECT_EQ(NumberAt(dialog, 1035), "110");
    dialog.close();
  }
}

TEST_F(VolumeDlgTest, ChangesWithoutAFileApplyToTheNextFile) {
  CVolumeDlg dialog(player);
  dialog.show();
  Click(dialog, 1012);  // software +10
  Click(dialog, 1001);  // DirectSound -300
  dialog.close();
  EXPECT_EQ(NumberAt(dialog, 1035), "110");
  EXPECT_EQ(NumberAt(dialog, 1034), "9700");

  rig.OpenFile(16);
  EXPECT_EQ(player.GetSoftwareVolume(), 110);
  EXPECT_EQ(player.GetDirectSoundVolume(), -300);
  EXPECT_EQ(rig.device.Volume(), -300);  // the new buffer got the stored volume
}

}  // namespace
}  // namespace snipora
