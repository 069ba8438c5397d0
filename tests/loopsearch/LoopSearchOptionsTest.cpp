#include "loopsearch/loop_search_options.h"

#include <gtest/gtest.h>

#include "tests/loopsearch/loop_search_fixture.h"

namespace snipora {
namespace {

TEST(LoopSearchOptionsTest, WindowLengthsAndTolerancesOfTheLists) {
  const uint64_t at44100[] = {11025, 22050, 44100, 88200, 220500, 441000};
  const uint64_t at22051[] = {5512, 11025, 22051, 44102, 110255, 220510};
  const uint32_t tolerances[] = {0, 32, 64, 128, 256, 512};
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(LoopWindowValues(44100, i), at44100[i]);
    EXPECT_EQ(LoopWindowValues(22051, i), at22051[i]);
    EXPECT_EQ(LoopTolerance(i), tolerances[i]);
  }
  // Ten seconds at the largest 32-bit rate do not wrap.
  EXPECT_EQ(LoopWindowValues(UINT32_MAX, 5), uint64_t{UINT32_MAX} * 10);
}

TEST(LoopSearchOptionsTest, DistanceFieldReadsLikeADecimalConversion) {
  struct Row {
    const char* text;
    int32_t seconds;
  } rows[] = {
      {"", 0},
      {"0", 0},
      {"abc", 0},
      {"-", 0},
      {"12", 12},
      {"  7", 7},
      {"+3", 3},
      {"-5", -5},
      {"9x", 9},
      {"1.5", 1},
      {"99999999999", INT32_MAX},
      {"-99999999999", INT32_MIN},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ParseDistanceSeconds(row.text), row.seconds) << '"' << row.text << '"';
  }
}

TEST(LoopSearchOptionsTest, DistanceIsSecondsTimesByteRateOrTheWholeData) {
  SoundFormatInfo info;
  info.formatBlock.avgBytesPerSec = 176400;
  info.dataSize = 5000000;
  EXPECT_EQ(LoopSearchDistance(10, info), 1764000u);
  EXPECT_EQ(LoopSearchDistance(1, info), 176400u);
  EXPECT_EQ(LoopSearchDistance(0, info), 5000000u);
  EXPECT_EQ(LoopSearchDistance(-4, info), 5000000u);
  // A huge number of seconds is not wrapped into a short distance.
  EXPECT_EQ(LoopSearchDistance(INT32_MAX, info), uint64_t{INT32_MAX} * 176400);
}

TEST(LoopSearchOptionsTest, StartsComeFromTheChosenOptions) {
  using S = LoopSourceOption;
  using C = LoopCompareOption;
  struct Row {
    S source;
    C compare;
    uint32_t sourceStart;
    uint32_t compareStart;
    bool asksPlayer;
  } rows[] = {
      {S::Marker1, C::SourceStart, 1000, 1000, false},
      {S::Marker2, C::SourceStart, 2000, 2000, false},
      {S::CurrentPosition, C::SourceStart, 3000, 3000, true},
      {S::Marker1, C::Marker2, 1000, 2000, false},
      {S::Marker2, C::Marker1, 2000, 1000, false},
      {S::Marker1, C::CurrentPosition, 1000, 3000, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message() << int(row.source) << "/" << int(row.compare));
    test::FakeHost host;
    host.marker1 = 1000;
    host.marker2 = 2000;
    host.playerPosition = 3000;
    host.path = "/music/song.wav";
    host.info.formatBlock.samplesPerSec = 44100;
    host.info.formatBlock.avgBytesPerSec = 176400;
    LoopSearchSettings settings;
    settings.source = row.source;
    settings.compare = row.compare;
    settings.lengthIndex = 4;
    settings.precisionIndex = 5;
    settings.distanceText = "2";
    const LoopSearchInput input = MakeLoopSearchInput(host, settings);
    EXPECT_EQ(input.sourceStart, row.sourceStart);
    EXPECT_EQ(input.compareStart, row.compareStart);
    EXPECT_EQ(host.playerQueries > 0, row.asksPlayer);
    EXPECT_EQ(input.windowValues, 220500u);
    EXPECT_EQ(input.tolerance, 512u);
    EXPECT_EQ(input.distance, 352800u);
    EXPECT_EQ(input.path, "/music/song.wav");
  }
}

}  // namespace
}  // namespace snipora
