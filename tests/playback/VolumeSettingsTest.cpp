#include "playback/volume_settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/sound/test_sound_device.h"
#include "playback/main_player.h"
#include "playback/player_flags.h"
#include "tests/platform/system/file_size_limit.h"
#include "tests/support/test_support.h"

namespace snipora {
namespace {

constexpr uint32_t kAllSevenOptions = CDS_OPENVOLUMEMAXIMIZE | CDS_AUTOVOLUME | CDS_VOLCTL_VER2 |
                                      CDS_AUTOVOLDELAY | CDS_AUTOVOLUPENABLE |
                                      CDS_AUTOVOLDELAYRESERVE | CDS_AUTOVOLSLOWLYAPPLY;

// Points the settings location at a fresh folder for each test.
class VolumeSettingsTest : public ::testing::Test {
 protected:
  VolumeSettingsTest() {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    if (old != nullptr) oldConfigHome_ = old;
    hadConfigHome_ = old != nullptr;
    setenv("XDG_CONFIG_HOME", dir_.path().c_str(), 1);
  }
  ~VolumeSettingsTest() override {
    if (hadConfigHome_) {
      setenv("XDG_CONFIG_HOME", oldConfigHome_.c_str(), 1);
    } else {
      unsetenv("XDG_CONFIG_HOME");
    }
  }

  std::string SettingsPath() const { return dir_.File("snipora/snipora.ini"); }
  void WriteSettings(const std::string& text) const {
    std::filesystem::create_directories(dir_.path() / "snipora");
    test::WriteFileBytes(SettingsPath(), test::Bytes(text.begin(), text.end()));
  }
  std::string ReadSettings() const {
    test::Bytes bytes = test::ReadFileBytes(SettingsPath());
    return std::string(bytes.begin(), bytes.end());
  }

  // A player whose values all differ from the loader's defaults.
  void GiveNonDefaults(CMainPlayer& target) {
    target.SetDirectSoundVolume(-777);
    ASSERT_EQ(target.SetSoftwareVolume(333), 0);
    target.SetOptions(CDS_AUTOVOLUME | CDS_AUTOVOLDELAY);
  }

  test::TempDir dir_;
  std::string oldConfigHome_;
  bool hadConfigHome_ = false;
  TestSoundDevice device_;
  CMainPlayer player_{device_};
};

TEST_F(VolumeSettingsTest, MissingFileLeavesThePlayerAsItIs) {
  GiveNonDefaults(player_);
  EXPECT_FALSE(LoadVolumeSettings(player_));
  EXPECT_EQ(player_.GetDirectSoundVolume(), -777);
  EXPECT_EQ(player_.GetSoftwareVolume(), 333);
  EXPECT_EQ(player_.GetOptions(), CDS_AUTOVOLUME | CDS_AUTOVOLDELAY);
}

struct LoadCase {
  const char* name;
  const char* file;
  int32_t directSound;
  int16_t software;
  uint32_t options;
};

class VolumeSettingsLoadTest : public VolumeSettingsTest,
                               public ::testing::WithParamInterface<LoadCase> {};

TEST_P(VolumeSettingsLoadTest, LoadsValuesOrDefaults) {
  const LoadCase& row = GetParam();
  GiveNonDefaults(player_);
  WriteSettings(row.file);
  EXPECT_TRUE(LoadVolumeSettings(player_));
  EXPECT_EQ(player_.GetDirectSoundVolume(), row.directSound);
  EXPECT_EQ(player_.GetSoftwareVolume(), row.software);
  EXPECT_EQ(player_.GetOptions(), row.options);
}

INSTANTIATE_TEST_SUITE_P(
    Files, VolumeSettingsLoadTest,
    ::testing::Values(
        LoadCase{"EmptyFileGivesDefaults", "", 0, 100, CDS_NOTIFY_STOP},
        LoadCase{"EmptySectionGivesDefaults", "[VolumeSetting]\n[EndSection]\n", 0, 100,
                 CDS_NOTIFY_STOP},
        LoadCase{"AllKeys",
                 "[VolumeSetting]\n\tDSVolume=-1500\n\tNSVolume=45\n"
                 "\tCDS_OPENVOLUMEMAXIMIZE=ON\n\tCDS_AUTOVOLUME=ON\n\tCDS_VOLCTL_VER2=ON\n"
                 "\tCDS_AUTOVOLDELAY=ON\n\tCDS_AUTOVOLUPENABLE=ON\n"
                 "\tCDS_AUTOVOLDELAYRESERVE=ON\n\tCDS_AUTOVOLSLOWLYAPPLY=ON\n[EndSection]\n",
                 -1500, 45, CDS_NOTIFY_STOP | kAllSevenOptions},
        LoadCase{"OnlyExactUpperCaseOnCounts",
                 "[VolumeSetting]\nCDS_AUTOVOLUME=on\nCDS_VOLCTL_VER2=ON \n"
                 "CDS_AUTOVOLDELAY= ON\nCDS_AUTOVOLUPENABLE=OFF\nCDS_AUTOVOLSLOWLYAPPLY=ON\n"
                 "[EndSection]\n",
                 0, 100, CDS_NOTIFY_STOP | CDS_AUTOVOLSLOWLYAPPLY},
        LoadCase{"SoftwareVolumeAboveTheRangeKeeps100", "[VolumeSetting]\nNSVolume=20000\n", 0, 100,
                 CDS_NOTIFY_STOP},
        LoadCase{"NegativeSoftwareVolumeKeeps100", "[VolumeSetting]\nNSVolume=-5\n", 0, 100,
                 CDS_NOTIFY_STOP},
        LoadCase{"DirectSoundVolumeNotANumberGivesZero",
                 "[VolumeSetting]\nDSVolume=loud\nNSVolume=250\n", 0, 250, CDS_NOTIFY_STOP},
        LoadCase{"NumbersAreReadLikePercentD", "[VolumeSetting]\nDSVolume= -300dB\nNSVolume=+70%\n",
                 -300, 70, CDS_NOTIFY_STOP},
        LoadCase{"KeysOutsideTheSectionAreNotOurs",
                 "DSVolume=-200\nNSVolume=50\nCDS_AUTOVOLUME=ON\n[Other]\nNSVolume=60\n"
                 "[EndSection]\n",
                 0, 100, CDS_NOTIFY_STOP}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(VolumeSettingsTest, SaveWritesOnlyTheSectionInTheStoredOrder) {
  WriteSettings(
      "Top=1\n[Other]\n\tKey=Value\n[EndSection]\n[VolumeSetting]\n\tExtra=1\n"
      "[EndSection]\n");
  player_.SetDirectSoundVolume(-1234);
  ASSERT_EQ(player_.SetSoftwareVolume(45), 0);
  player_.SetOptions(CDS_NOTIFY_STOP | CDS_AUTOVOLUME | CDS_AUTOVOLSLOWLYAPPLY);

  ASSERT_TRUE(SaveVolumeSettings(player_));
  EXPECT_EQ(ReadSettings(),
            "[VolumeSetting]\n"
            "\tDSVolume=-1234\n"
            "\tCDS_VOLCTL_VER2=OFF\n"
            "\tCDS_AUTOVOLDELAYRESERVE=OFF\n"
            "\tNSVolume=45\n"
            "\tCDS_OPENVOLUMEMAXIMIZE=OFF\n"
            "\tCDS_AUTOVOLUME=ON\n"
            "\tCDS_AUTOVOLUPENABLE=OFF\n"
            "\tCDS_AUTOVOLDELAY=OFF\n"
            "\tCDS_AUTOVOLSLOWLYAPPLY=ON\n"
            "[EndSection]\n");
}

TEST_F(VolumeSettingsTest, SavedValuesAreThereAtTheNextStart) {
  // The automatic control leaves its target gain in the player; it is saved as it stands.
  player_.SetDirectSoundVolume(-2500);
  ASSERT_EQ(player_.SetSoftwareVolume(45), 0);
  player_.SetOptions(CDS_NOTIFY_STOP | kAllSevenOptions);
  ASSERT_TRUE(SaveVolumeSettings(player_));

  TestSoundDevice nextDevice;
  CMainPlayer next(nextDevice);
  next.SetOptions(CDS_NOTIFY_STOP);
  ASSERT_TRUE(LoadVolumeSettings(next));
  EXPECT_EQ(next.GetDirectSoundVolume(), -2500);
  EXPECT_EQ(next.GetSoftwareVolume(), 45);
  EXPECT_EQ(next.GetOptions(), CDS_NOTIFY_STOP | kAllSevenOptions);
}

TEST_F(VolumeSettingsTest, InterruptedSaveKeepsThePreviousFile) {
  const std::string previous = "[VolumeSetting]\n\tNSVolume=321\n[EndSection]\n";
  WriteSettings(previous);
  ASSERT_EQ(player_.SetSoftwareVolume(45), 0);
  {
    test::FileSizeLimit limit(40);  // the new file breaks off after 40 bytes
    ASSERT_TRUE(limit.active());
    EXPECT_FALSE(SaveVolumeSettings(player_));
  }
  EXPECT_EQ(ReadSettings(), previous);
  // Nothing but the settings file is left in its folder.
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path() / "snipora")) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 1);
}

}  // namespace
}  // namespace snipora
