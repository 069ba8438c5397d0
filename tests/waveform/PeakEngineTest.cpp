#include "waveform/peak_engine.h"

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "audiofile/flac_file.h"
#include "tests/support/flac_files.h"
#include "tests/waveform/signal_files.h"
#include "waveform/frame_reader.h"

namespace snipora::test {
namespace {

constexpr uint32_t kN = CPeakEngine::kFramesPerPeak;

void WaitUntilFinished(const CPeakEngine& engine) {
  while (!engine.Finished()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

struct PeakCase {
  const char* name;
  uint32_t frames;
  std::vector<Signal> signals;
};

class OverviewPeaks : public testing::TestWithParam<PeakCase> {};

// The summary over whole entries, and over the whole file, against a plain
// loop over the samples written.
TEST_P(OverviewPeaks, MatchIndependentMinMax) {
  TempDir dir;
  const SignalFile file =
      WriteSignalFile(dir.File("signal.wav"), GetParam().frames, GetParam().signals);
  CPeakEngine engine(file.path, file.info);
  ASSERT_TRUE(engine.Supported());
  WaitUntilFinished(engine);
  EXPECT_FALSE(engine.ReadFailed());
  ASSERT_EQ(engine.ReadyFrames(), GetParam().frames);
  ASSERT_EQ(engine.Channels(), file.channels);

  const uint64_t total = GetParam().frames;
  const uint64_t bounds[][2] = {{0, total}, {0, kN}, {3 * kN, 10 * kN}, {7 * kN, total}};
  for (uint32_t c = 0; c < file.channels; ++c) {
    for (const auto& [first, last] : bounds) {
      PeakPair peak{};
      ASSERT_TRUE(engine.Peak(c, first, last, peak));
      const auto [lo, hi] = file.Extremes(c, first, last);
      EXPECT_EQ(peak.min, lo) << "channel " << c << " frames " << first << ".." << last;
      EXPECT_EQ(peak.max, hi) << "channel " << c << " frames " << first << ".." << last;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Signals, OverviewPeaks,
    testing::Values(PeakCase{"MonoSine", 44100, {Sine(0.8, 441)}},
                    PeakCase{"MonoSilence", 20000, {Silence()}},
                    // Not a whole number of entries: the last one is partial.
                    PeakCase{"StereoSineAndSilence", 44100 * 3 + 77, {Sine(0.5, 100), Silence()}},
                    PeakCase{"StereoSlowSine", 300000, {Sine(1.0, 200000), Sine(0.25, 1000)}},
                    // Long enough for every worker to take several pieces.
                    PeakCase{"StereoLong", 5000000, {Sine(0.6, 4410), Sine(0.9, 999)}}),
    [](const auto& row) { return std::string(row.param.name); });

// A data size that promises more than the file holds: the worker stops at the
// file's end, says so, and what it did compute is right.
TEST(PeakEngine, ShortFileStopsWithReadyPartCorrect) {
  TempDir dir;
  const SignalFile file = WriteSignalFile(dir.File("short.wav"), 6000000, {Sine(0.7, 300)});
  SoundFormatInfo promised = file.info;
  promised.dataSize *= 2;
  CPeakEngine engine(file.path, promised);
  WaitUntilFinished(engine);
  EXPECT_TRUE(engine.ReadFailed());
  const uint64_t ready = engine.ReadyFrames();
  EXPECT_LE(ready, 6000000u);
  PeakPair peak{};
  ASSERT_TRUE(engine.Peak(0, 0, ready, peak));
  const auto [lo, hi] = file.Extremes(0, 0, ready);
  EXPECT_EQ(peak.min, lo);
  EXPECT_EQ(peak.max, hi);
}

// Cancel (as destruction does) joins the worker: nothing changes afterwards
// and a cancel is not reported as a read failure.
TEST(PeakEngine, CancelStopsTheWorker) {
  TempDir dir;
  const SignalFile file = WriteSignalFile(dir.File("long.wav"), 4000000, {Sine(0.5, 1000)});
  CPeakEngine engine(file.path, file.info);
  engine.Cancel();
  EXPECT_TRUE(engine.Finished());
  EXPECT_FALSE(engine.ReadFailed());
  const uint64_t ready = engine.ReadyFrames();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(engine.ReadyFrames(), ready);
}

TEST(PeakEngine, UnreadableFormatStartsNothing) {
  SoundFormatInfo info;
  info.decoderType = 1;  // data behind a decoder module
  info.formatBlock = {1, 2, 44100, 176400, 4, 16, 0, {}};
  info.dataSize = 4000;
  CPeakEngine engine("/nonexistent.wav", info);
  EXPECT_FALSE(engine.Supported());
  EXPECT_TRUE(engine.Finished());
  PeakPair peak{};
  EXPECT_FALSE(engine.Peak(0, 0, 1000, peak));
}

// A FLAC file shows the peaks and frames of the WAVE file it was made from.
TEST(PeakEngine, FlacFileIsSummarisedFromItsDecodedSamples) {
  TempDir dir;
  const SignalFile file =
      WriteSignalFile(dir.File("s.wav"), 300001, {Sine(0.7, 3001), Sine(0.2, 77)});
  const std::string flac = dir.File("s.flac");
  std::string why;
  ASSERT_TRUE(EncodeFlacFile(file.path, flac, why)) << why;
  SoundFormatInfo info;
  ASSERT_EQ(ReadFlacFile(flac, info), FlacProblem::kNone);
  CPeakEngine engine(flac, info);
  WaitUntilFinished(engine);
  ASSERT_FALSE(engine.ReadFailed());
  ASSERT_EQ(engine.ReadyFrames(), 300001u);
  for (const auto& [first, last] : {std::pair<uint64_t, uint64_t>{0, 300001}, {2 * kN, 900 * kN}}) {
    PeakPair peak{};
    ASSERT_TRUE(engine.Peak(1, first, last, peak));
    EXPECT_EQ(std::make_pair(peak.min, peak.max), file.Extremes(1, first, last));
  }
  CFrameReader reader(flac, info);
  std::vector<float> samples;
  ASSERT_EQ(reader.Read(123457, 5, samples), 5u);
  EXPECT_EQ(samples[9], file.samples[123461 * 2 + 1] / 32768.0f);
}

TEST(FrameReader, ReadsExactFramesAndStopsAtTheEnd) {
  TempDir dir;
  const SignalFile file = WriteSignalFile(dir.File("s.wav"), 5000, {Sine(0.9, 37), Sine(0.3, 11)});
  CFrameReader reader(file.path, file.info);
  std::vector<float> samples;
  ASSERT_EQ(reader.Read(1234, 10, samples), 10u);
  for (uint32_t i = 0; i < 20; ++i) EXPECT_EQ(samples[i], file.samples[1234 * 2 + i] / 32768.0f);
  EXPECT_EQ(reader.Read(4995, 10, samples), 5u);
  EXPECT_EQ(samples.back(), file.samples.back() / 32768.0f);
  EXPECT_EQ(reader.Read(5000, 10, samples), 0u);
}

}  // namespace
}  // namespace snipora::test
