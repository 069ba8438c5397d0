#include "loopsearch/loop_search.h"

#include <gtest/gtest.h>

#include <cmath>

#include "audiofile/flac_file.h"
#include "audiofile/wave_reader.h"
#include "loopsearch/loop_search_options.h"
#include "tests/loopsearch/loop_search_fixture.h"
#include "tests/support/flac_files.h"
#include "tests/support/wave_bytes.h"

namespace snipora {
namespace {

using test::Distances;
using test::RecordingProgress;
using test::RecordingResults;
using test::Samples;
using test::ScriptedUi;

struct SearchRun {
  LoopSearchEnd end = LoopSearchEnd::Completed;
  RecordingResults results;
  RecordingProgress progress;
  ScriptedUi ui;
};

LoopSearchInput MakeInput(const std::string& path, const SoundFormatInfo& info,
                          uint32_t sourceStart, uint32_t compareStart, int lengthIndex,
                          int precisionIndex) {
  LoopSearchInput input;
  input.path = path;
  input.format = info;
  input.sourceStart = sourceStart;
  input.compareStart = compareStart;
  input.distance = info.dataSize;
  input.windowValues =
      static_cast<uint32_t>(LoopWindowValues(info.formatBlock.samplesPerSec, lengthIndex));
  input.tolerance = LoopTolerance(precisionIndex);
  return input;
}

void Search(SearchRun& run, const LoopSearchInput& input) {
  run.end = RunLoopSearch(input, run.results, run.progress, run.ui);
}

// Noise at 8000 Hz with "250ミリ秒" (W = 2000 values); the stretch of W values at
// value 3000 recurs 10601 values later, a distance that is no multiple of the
// block length, so the match lies across block boundaries.
constexpr uint32_t kRate = 8000;
constexpr uint32_t kWindow = 2000;
constexpr uint32_t kSourceValue = 3000;
constexpr uint32_t kRepeat = 10601;
constexpr uint32_t kSourceByte = 2 * kSourceValue;
constexpr uint32_t kRepeatBytes = 2 * kRepeat;

TEST(LoopSearchTest, ListsTheDistanceOfAKnownRecurrence) {
  test::TempDir dir;
  const Samples values =
      test::NoiseWithRepeat(40000, kSourceValue, kWindow, kSourceValue + kRepeat, 7);
  struct Row {
    const char* name;
    uint16_t channels;
    int precision;
    uint32_t compareStart;
    std::vector<std::string> expected;
  };
  const Row rows[] = {
      {"stereo, compare at source, exact", 2, 0, kSourceByte, Distances({0, kRepeatBytes})},
      {"stereo, compare at source, 32", 2, 1, kSourceByte, Distances({0, kRepeatBytes})},
      {"stereo, compare at source, 64", 2, 2, kSourceByte, Distances({0, kRepeatBytes})},
      {"stereo, compare at source, 128", 2, 3, kSourceByte, Distances({0, kRepeatBytes})},
      {"stereo, compare at source, 256", 2, 4, kSourceByte, Distances({0, kRepeatBytes})},
      {"stereo, compare at source, 512", 2, 5, kSourceByte, Distances({0, kRepeatBytes})},
      {"mono, compare at source", 1, 3, kSourceByte, Distances({0, kRepeatBytes})},
      {"compare before source", 2, 3, 0, Distances({kSourceByte, kSourceByte + kRepeatBytes})},
      {"compare between", 2, 3, kSourceByte + 2000, Distances({kRepeatBytes - 2000})},
      {"compare after the repeat", 2, 3, kSourceByte + kRepeatBytes + 2, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = dir.File(std::string(row.name) + ".wav");
    const SoundFormatInfo info = test::WriteWave16(path, values, row.channels, kRate);
    SearchRun run;
    Search(run, MakeInput(path, info, kSourceByte, row.compareStart, 0, row.precision));
    EXPECT_EQ(run.end, LoopSearchEnd::Completed);
    EXPECT_EQ(run.results.texts, row.expected);
    EXPECT_TRUE(run.ui.asked.empty());
  }
}

// A window of 100 values (400 Hz, "250ミリ秒") with value 37 set to `source`, a
// gap, and a copy of the window 150 values on with value 37 set to `data`.
TEST(LoopSearchTest, ToleranceBandBoundsOfEachPrecision) {
  test::TempDir dir;
  struct Row {
    int precision;
    int16_t source;
    int16_t data;
    bool selfMatches;
    bool copyMatches;
  };
  const Row rows[] = {
      {0, 100, 100, true, true},
      {0, 100, 101, true, false},
      {0, 100, 99, true, false},
      {0, -32767, -32768, true, false},
      {0, -32768, -32768, false, false},  // empty band: matches nowhere
      {1, 0, 32, true, true},
      {1, 0, 33, true, false},
      {1, 0, -32, true, true},
      {1, 0, -33, true, false},
      {2, 1000, 1064, true, true},
      {2, 1000, 1065, true, false},
      {2, 1000, 936, true, true},
      {2, 1000, 935, true, false},
      {3, -5000, -5128, true, true},
      {3, -5000, -5129, true, false},
      {3, -5000, -4872, true, true},
      {3, -5000, -4871, true, false},
      {4, 32600, 32767, true, true},  // upper bound clipped at 32767
      {4, 32600, 32344, true, true},
      {4, 32600, 32343, true, false},
      {5, -32767, -32767, true, true},
      {5, -32767, -32255, true, true},
      {5, -32767, -32254, true, false},
      {5, -32767, -32768, true, false},  // -32768 is never inside a band
      {5, 32767, 32255, true, true},
      {5, 32767, 32254, true, false},
      {5, -32768, -32256, false, true},  // band [-32767, -32256]; itself outside
      {5, -32768, -32255, false, false},
  };
  constexpr uint32_t kRate400 = 400, kW = 100, kAt = 37, kCopy = 150;
  int index = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message() << "precision " << row.precision << " source " << row.source
                                      << " data " << row.data);
    Samples values = test::NoiseWithRepeat(400, 0, kW, kCopy, 11);
    values[kAt] = row.source;
    values[kCopy + kAt] = row.data;
    const std::string path = dir.File("band" + std::to_string(index++) + ".wav");
    const SoundFormatInfo info = test::WriteWave16(path, values, 1, kRate400);
    SearchRun run;
    Search(run, MakeInput(path, info, 0, 0, 0, row.precision));
    std::vector<std::string> expected;
    if (row.selfMatches) expected.push_back("0");
    if (row.copyMatches) expected.push_back(std::to_string(2 * kCopy));
    EXPECT_EQ(run.results.texts, expected);
  }
}

TEST(LoopSearchTest, OnlyWindowsThatEndInsideTheDistanceAreExamined) {
  test::TempDir dir;
  const std::string path = dir.File("short.wav");
  const SoundFormatInfo info = test::WriteWave16(path, test::Noise(1000, 3), 1, 400);
  const uint32_t windowBytes = 2 * 100;
  struct Row {
    uint64_t distance;
    std::vector<std::string> expected;
  } rows[] = {{windowBytes - 2, {}}, {windowBytes, {}}, {windowBytes + 2, {"0"}}, {0, {}}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.distance);
    LoopSearchInput input = MakeInput(path, info, 0, 0, 0, 3);
    input.distance = row.distance;
    SearchRun run;
    Search(run, input);
    EXPECT_EQ(run.end, LoopSearchEnd::Completed);
    EXPECT_EQ(run.results.texts, row.expected);
  }
}

TEST(LoopSearchTest, RefusalsShowTheirMessageAndLeaveTheListEmpty) {
  test::TempDir dir;
  const std::string path12 = dir.File("twelve.wav");
  const SoundFormatInfo info12 = test::WriteWave(path12, test::SeededBytes(8000, 1), 1, 8000, 12);
  const std::string pathSilent = dir.File("silent.wav");
  const SoundFormatInfo infoSilent = test::WriteWave16(pathSilent, Samples(8000), 1, 8000);
  const std::string path16 = dir.File("sixteen.wav");
  const SoundFormatInfo info16 = test::WriteWave16(path16, test::Noise(8000, 4), 1, 8000);

  struct Row {
    const char* name;
    LoopSearchInput input;
    LoopSearchEnd end;
    const char* message;
  };
  LoopSearchInput tooLarge = MakeInput(path16, info16, 0, 0, 1, 3);
  tooLarge.windowValues = 0x40000000;
  const Row rows[] = {
      {"12 bits per sample", MakeInput(path12, info12, 0, 0, 1, 3), LoopSearchEnd::FormatRefused,
       kLoopFormatRefusedText},
      {"silence at the source start", MakeInput(pathSilent, infoSilent, 0, 0, 1, 3),
       LoopSearchEnd::ConstantWindow, kLoopConstantWindowText},
      {"missing file", MakeInput(dir.File("none.wav"), info16, 0, 0, 1, 3),
       LoopSearchEnd::OpenFailed, kLoopOpenFailedText},
      {"window too large to buffer", tooLarge, LoopSearchEnd::NoMemory, kLoopNoMemoryText},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SearchRun run;
    run.results.texts = {"from an earlier search"};
    Search(run, row.input);
    EXPECT_EQ(run.end, row.end);
    EXPECT_TRUE(run.results.texts.empty());
    ASSERT_EQ(run.ui.asked.size(), 1u);
    EXPECT_EQ(run.ui.asked[0].text, row.message);
    EXPECT_EQ(run.ui.asked[0].buttons, MessageButtons::Ok);
  }
}

// The first block holds 2W values (candidates below 2000); each further block
// adds W = 2000 candidates, so the recurrence at 10601 is reached in the sixth.
TEST(LoopSearchTest, CancelKeepsTheResultsFoundSoFar) {
  test::TempDir dir;
  const std::string path = dir.File("cancel.wav");
  const SoundFormatInfo info = test::WriteWave16(
      path, test::NoiseWithRepeat(40000, kSourceValue, kWindow, kSourceValue + kRepeat, 7), 2,
      kRate);
  struct Row {
    int pumpsBeforeCancel;
    std::vector<std::string> expected;
  } rows[] = {
      {0, {"0"}},
      {4, {"0"}},
      {5, Distances({0, kRepeatBytes})},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.pumpsBeforeCancel);
    SearchRun run;
    run.progress.cancelAfterPumps = row.pumpsBeforeCancel;
    Search(run, MakeInput(path, info, kSourceByte, kSourceByte, 0, 3));
    EXPECT_EQ(run.end, LoopSearchEnd::Cancelled);
    EXPECT_EQ(run.results.texts, row.expected);
    EXPECT_EQ(run.progress.pumps, row.pumpsBeforeCancel + 1);
  }
}

TEST(LoopSearchTest, DistanceFieldLimitsTheSearchOrReachesTheEndOfTheData) {
  test::TempDir dir;
  const std::string path = dir.File("end.wav");
  // One second is 16000 bytes; the recurrence lies at 20000 bytes, ending one
  // value before the end of the data.
  constexpr uint32_t kCount = 20000, kEndRepeat = kCount - kWindow - 1;
  test::FakeHost host;
  host.path = path;
  host.info =
      test::WriteWave16(path, test::NoiseWithRepeat(kCount, 0, kWindow, kEndRepeat, 5), 1, kRate);
  struct Row {
    const char* distance;
    std::vector<std::string> expected;
  } rows[] = {
      {"", Distances({0, 2 * kEndRepeat})},
      {"0", Distances({0, 2 * kEndRepeat})},
      {"-3", Distances({0, 2 * kEndRepeat})},
      {"abc", Distances({0, 2 * kEndRepeat})},
      {"1", {"0"}},
      {"3", Distances({0, 2 * kEndRepeat})},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.distance);
    LoopSearchSettings settings;
    settings.lengthIndex = 0;  // "250ミリ秒": W = 2000 values at 8000 Hz
    settings.distanceText = row.distance;
    const LoopSearchInput input = MakeLoopSearchInput(host, settings);
    SearchRun run;
    Search(run, input);
    EXPECT_EQ(run.end, LoopSearchEnd::Completed);
    EXPECT_EQ(run.results.texts, row.expected);
  }
}

// 44100 Hz stereo, "1秒": W = 44100 values (half a second), so the elapsed time
// grows by 500 per block; ten seconds are 1764000 bytes, a total of 10000.
TEST(LoopSearchTest, ProgressShowsElapsedTotalAndHits) {
  test::TempDir dir;
  const std::string path = dir.File("progress.wav");
  const SoundFormatInfo info =
      test::WriteWave16(path, test::Noise(44100 * 2 * 21 / 2, 9), 2, 44100);
  LoopSearchInput input = MakeInput(path, info, 0, 0, 2, 3);
  input.distance = LoopSearchDistance(ParseDistanceSeconds("10"), info);
  EXPECT_EQ(input.distance, 1764000u);
  EXPECT_EQ(input.windowValues, 44100u);

  SearchRun run;
  Search(run, input);
  EXPECT_EQ(run.end, LoopSearchEnd::Completed);
  EXPECT_EQ(run.progress.range, 10000u);
  // First block 4W bytes, then (1764000 - 176400) / 2W = 18 blocks.
  ASSERT_EQ(run.progress.texts.size(), 18u);
  EXPECT_EQ(run.progress.texts.front(), "500 / 10000\n1");
  EXPECT_EQ(run.progress.texts.back(), "9000 / 10000\n1");
  ASSERT_EQ(run.progress.positions.size(), 18u);
  EXPECT_EQ(run.progress.positions[1], 1000u);
  EXPECT_EQ(run.results.texts, Distances({0}));
}

TEST(LoopSearchTest, EndsCleanlyWhenNothingCanBeRead) {
  test::TempDir dir;
  const Samples values = test::Noise(8000, 12);
  const std::string whole = dir.File("whole.wav");
  const SoundFormatInfo wholeInfo = test::WriteWave16(whole, values, 1, 8000);
  // The header states twice the data the file holds.
  const std::string cut = dir.File("cut.wav");
  const SoundFormatInfo cutInfo =
      test::WriteWave(cut, test::SampleBytes(values), 1, 8000, 16, 4 * 8000);
  struct Row {
    const char* name;
    LoopSearchInput input;
    LoopSearchEnd end;
    std::vector<std::string> expected;
  } rows[] = {
      {"source at the end of the file",
       MakeInput(whole, wholeInfo, 16000, 0, 0, 3),
       LoopSearchEnd::EmptyWindow,
       {}},
      {"source past the end of the file",
       MakeInput(whole, wholeInfo, 90000, 0, 0, 3),
       LoopSearchEnd::EmptyWindow,
       {}},
      {"file shorter than its header",
       MakeInput(cut, cutInfo, 0, 0, 0, 3),
       LoopSearchEnd::DataEnded,
       {"0"}},
      {"compare start past the data",
       MakeInput(whole, wholeInfo, 0, 20000, 0, 3),
       LoopSearchEnd::Completed,
       {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SearchRun run;
    Search(run, row.input);
    EXPECT_EQ(run.end, row.end);
    EXPECT_EQ(run.results.texts, row.expected);
    EXPECT_TRUE(run.ui.asked.empty());
  }
}

// Other formats are searched as the mono mix at 16-bit precision: noise in
// 16-bit steps scaled to each format, at 8000 Hz ("250ミリ秒": 2000 frames from
// frame 500), copied 4800 frames on with every sample moved by `offset` (in
// the format's own units). T = 128 accepts 128 16-bit steps, not 129.
TEST(LoopSearchTest, EveryPlainFormatIsSearchedAsItsMonoMix) {
  struct Row {
    const char* name;
    uint16_t channels, bits;
    bool isFloat, extensible;
    double scale;   // of a 16-bit value in the format's units
    double offset;  // of the copy, in the format's units
    bool copyMatches;
  };
  const Row rows[] = {
      {"8-bit mono, exact copy", 1, 8, false, false, 1.0 / 256, 0, true},
      {"8-bit mono, one step off is 256 in 16 bits", 1, 8, false, false, 1.0 / 256, 1, false},
      {"24-bit stereo, 128 off", 2, 24, false, false, 256, 128 * 256, true},
      {"24-bit stereo, 129 off", 2, 24, false, false, 256, 129 * 256, false},
      {"32-bit mono, 128 off", 1, 32, false, false, 65536, -128 * 65536.0, true},
      {"32-bit mono, 129 off", 1, 32, false, false, 65536, -129 * 65536.0, false},
      {"32-bit float stereo, 128 off", 2, 32, true, false, 1 / 32768.0, 128 / 32768.0, true},
      {"32-bit float stereo, 129 off", 2, 32, true, false, 1 / 32768.0, 129 / 32768.0, false},
      {"64-bit float mono, extensible", 1, 64, true, true, 1 / 32768.0, 0, true},
      {"6 channels of 24 bits, extensible", 6, 24, false, true, 256, 0, true},
  };
  constexpr uint32_t kFrames = 8000, kFrom = 500, kCopyAt = 4800;
  test::TempDir dir;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Samples noise = test::NoiseWithRepeat(kFrames, kFrom, kWindow, kFrom + kCopyAt, 21);
    std::vector<double> samples;
    for (uint32_t f = 0; f < kFrames; ++f) {
      const bool copied = f >= kFrom + kCopyAt && f < kFrom + kCopyAt + kWindow;
      // 8-bit values span the whole range: -128 mixes to -32767, which can match.
      const double value =
          row.bits == 8 ? std::floor(noise[f] * row.scale) : noise[f] / 2 * row.scale;
      for (int c = 0; c < row.channels; ++c) samples.push_back(value + (copied ? row.offset : 0));
    }
    const std::string path = dir.File("mix.wav");
    test::WriteFileBytes(
        path, test::PlainWave(row.channels, kRate, row.bits, row.isFloat,
                              test::EncodeSamples(samples, row.bits, row.isFloat), row.extensible));
    SoundFormatInfo info;
    ASSERT_EQ(ProbeWaveFile(path.c_str(), info), 0);
    const uint32_t frameBytes = info.formatBlock.blockAlign;
    SearchRun run;
    Search(run, MakeInput(path, info, kFrom * frameBytes, kFrom * frameBytes, 0, 3));
    EXPECT_EQ(run.end, LoopSearchEnd::Completed);
    std::vector<std::string> expected{"0"};
    if (row.copyMatches) expected.push_back(std::to_string(kCopyAt * frameBytes));
    EXPECT_EQ(run.results.texts, expected);
  }
}

// sox writes the file (an independent writer): 0.3 s of white noise at half
// scale, 8000 Hz stereo, then 0.2 s of silence, repeated, so the burst recurs every 0.5 s
// (16000 bytes). The format record comes from the WAVE reader.
TEST(LoopSearchTest, FindsTheRepeatOfASoxGeneratedBurst) {
  if (!test::HaveProgram("sox")) GTEST_SKIP() << "sox not installed";
  test::TempDir dir;
  const std::string burst = dir.File("burst.wav");
  const std::string repeated = dir.File("repeated.wav");
  ASSERT_EQ(test::RunCommand("sox -D -R -n -r 8000 -c 2 -b 16 " + test::ShellQuote(burst) +
                             " synth 0.3 whitenoise vol 0.5")
                .exitCode,
            0);
  ASSERT_EQ(test::RunCommand("sox -D -R " + test::ShellQuote(burst) + " " +
                             test::ShellQuote(repeated) + " pad 0 0.2 repeat 2")
                .exitCode,
            0);
  SoundFormatInfo info;
  ASSERT_EQ(ProbeWaveFile(repeated.c_str(), info), 0);
  ASSERT_EQ(info.dataSize, 3u * 16000u);

  SearchRun run;
  Search(run, MakeInput(repeated, info, 0, 0, 0, 3));
  EXPECT_EQ(run.end, LoopSearchEnd::Completed);
  EXPECT_EQ(run.results.texts, Distances({0, 16000, 32000}));

  // The same sound as FLAC: the decoded samples give the same distances.
  const std::string flac = dir.File("repeated.flac");
  std::string why;
  ASSERT_TRUE(test::EncodeFlacFile(repeated, flac, why)) << why;
  ASSERT_EQ(ReadFlacFile(flac, info), FlacProblem::kNone);
  SearchRun decoded;
  Search(decoded, MakeInput(flac, info, 0, 0, 0, 3));
  EXPECT_EQ(decoded.end, LoopSearchEnd::Completed);
  EXPECT_EQ(decoded.results.texts, Distances({0, 16000, 32000}));
}

}  // namespace
}  // namespace snipora
