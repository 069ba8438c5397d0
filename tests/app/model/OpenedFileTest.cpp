#include <gtest/gtest.h>

#include <filesystem>

#include "app/model/dialog_folders.h"
#include "app/model/format_summary.h"
#include "tests/support/test_support.h"

// Where the window's file dialogs start, and the line that describes the
// file it opened.
namespace snipora {
namespace {

TEST(DialogFolders, BesideTheOpenFileElseTheLastOneElseMusicElseHome) {
  test::TempDir dir;
  const std::string last = dir.File("last");
  const std::string music = dir.File("Music");
  std::filesystem::create_directories(last);
  std::filesystem::create_directories(music);
  const UserFolders folders{music, "/home/user"};
  const struct {
    const char* name;
    std::string openFile;
    std::vector<std::string> recent;
    UserFolders fallbacks;
    std::string expected;
  } cases[] = {
      {"open file", "/music/a/song.wav", {last + "/x.wav"}, folders, "/music/a"},
      {"last opened", "", {last + "/x.wav", "/music/b/y.wav"}, folders, last},
      {"last folder gone", "", {dir.File("gone/x.wav")}, folders, music},
      {"no music folder", "", {}, {dir.File("NoMusic"), "/home/user"}, "/home/user"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DialogStartFolder(c.openFile, c.recent, c.fallbacks), c.expected) << c.name;
}

TEST(FormatSummary, RateBitsChannelsLengthAndContainer) {
  const struct {
    uint32_t rate;
    uint16_t bits, channels, tag;
    uint64_t frames;
    const char* container;
    const char* expected;
  } cases[] = {
      {48000, 24, 6, 1, 48000 * 192 + 24000, "RF64",
       "48 kHz \u00b7 24-bit \u00b7 6 ch \u00b7 0:03:12.500 \u00b7 RF64"},
      {44100, 16, 2, 1, 44100, "WAVE",
       "44.1 kHz \u00b7 16-bit \u00b7 2 ch \u00b7 0:00:01.000 \u00b7 WAVE"},
      {11025, 32, 1, 3, 0, "WAVE",
       "11.025 kHz \u00b7 32-bit float \u00b7 1 ch \u00b7 0:00:00.000 \u00b7 WAVE"},
  };
  for (const auto& c : cases) {
    SoundFormatInfo info;
    info.formatBlock.formatTag = c.tag;
    info.formatBlock.samplesPerSec = c.rate;
    info.formatBlock.bitsPerSample = c.bits;
    info.formatBlock.channels = c.channels;
    info.formatBlock.blockAlign = static_cast<uint16_t>(c.bits / 8 * c.channels);
    info.dataSize = c.frames * info.formatBlock.blockAlign;
    EXPECT_EQ(FormatSummary(info, c.container), c.expected);
  }
}

TEST(ContainerName, ByTheDecoderElseByTheFirstBytes) {
  test::TempDir dir;
  const struct {
    const char* start;
    uint32_t decoderType;
    const char* expected;
  } cases[] = {
      {"RIFF", 0, "WAVE"},
      {"RF64", 0, "RF64"},
      {"BW64", 0, "BW64"},
      {"fLaC", kFlacDecoderType, "FLAC"},
      {"\x00\x01\x02\x03", 1, "NWA"},
  };
  for (const auto& c : cases) {
    const std::string path = dir.File("sound");
    test::WriteFileBytes(path, test::Bytes(c.start, c.start + 4));
    SoundFormatInfo format;
    format.decoderType = c.decoderType;
    EXPECT_EQ(ContainerName(path, format), c.expected) << c.expected;
  }
}

}  // namespace
}  // namespace snipora
