#include "ranges/sounds_between_silences.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "audiofile/flac_file.h"
#include "audiofile/wave_reader.h"
#include "tests/support/flac_files.h"
#include "tests/support/wave_bytes.h"

namespace snipora::ranges {
namespace {

using snipora::test::Bytes;

struct NoProgress : IScanProgress {
  void Advance(uint64_t, uint64_t) override {}
  bool IsCancelled() const override { return false; }
};

// `frames` frames holding `value` in channel `channel` (-1: every channel),
// 0 in the others.
struct Stretch {
  uint32_t frames;
  double value;
  int channel = -1;
};

struct Format {
  uint16_t channels;
  uint16_t bits;
  bool isFloat = false;
  bool extensible = false;
};

std::vector<double> Samples(const Format& format, const std::vector<Stretch>& stretches) {
  std::vector<double> samples;
  for (const Stretch& s : stretches) {
    for (uint32_t f = 0; f < s.frames; ++f) {
      for (int c = 0; c < format.channels; ++c) {
        samples.push_back(s.channel < 0 || s.channel == c ? s.value : 0.0);
      }
    }
  }
  return samples;
}

SoundFormatInfo WriteFile(const std::string& path, const Format& format, uint32_t rate,
                          const std::vector<double>& samples) {
  snipora::test::WriteFileBytes(
      path,
      snipora::test::PlainWave(format.channels, rate, format.bits, format.isFloat,
                               snipora::test::EncodeSamples(samples, format.bits, format.isFloat),
                               format.extensible));
  SoundFormatInfo info;
  EXPECT_EQ(ProbeWaveFile(path.c_str(), info), 0);
  return info;
}

// At 1000 Hz a millisecond is a frame. L: a loud stretch (half scale).
TEST(SoundsBetweenSilences, RulesToTheFrame) {
  const Format s16{2, 16};
  constexpr double L = 16000;
  using Spans = std::vector<std::pair<uint64_t, uint64_t>>;
  const std::vector<Stretch> thresholdEdges{{5, L},    {10, 103}, {1, 104}, {10, -103},
                                            {1, -104}, {10, 0},   {5, L}};
  const Spans edgeSounds{{0, 5}, {15, 16}, {26, 27}, {37, 42}};
  struct Row {
    const char* name;
    Format format;
    std::vector<Stretch> stretches;
    SilenceRules rules;  // dB, min silence, min sound, pad
    Spans expected;
  };
  const Row rows[] = {
      {"sound at both ends",
       s16,
       {{30, L}, {20, 0}, {30, L}},
       {-50, 10, 5, 3},
       {{0, 33}, {47, 80}}},
      {"silence at both ends, pads within the file",
       s16,
       {{4, 0}, {20, L}, {15, 0}},
       {-50, 3, 5, 6},
       {{0, 30}}},
      {"a short silence belongs to the sound",
       s16,
       {{10, L}, {9, 0}, {10, L}},
       {-50, 10, 5, 0},
       {{0, 29}}},
      {"overlapping pads meet half-way, rounded down",
       s16,
       {{20, L}, {11, 0}, {20, L}},
       {-50, 10, 5, 8},
       {{0, 25}, {25, 51}}},
      {"pads that do not overlap",
       s16,
       {{20, L}, {10, 0}, {20, L}},
       {-50, 10, 5, 4},
       {{0, 24}, {26, 50}}},
      {"a short sound dropped, its neighbours padded across it",
       s16,
       {{20, L}, {10, 0}, {3, L}, {10, 0}, {20, L}},
       {-50, 10, 4, 5},
       {{0, 25}, {38, 63}}},
      {"16-bit: floor(32768 * 10^(-50/20)) = 103",
       s16,
       thresholdEdges,
       {-50, 10, 1, 0},
       edgeSounds},
      {"8-bit from 128: 12 at -20 dB",
       {1, 8},
       {{5, 100}, {10, 12}, {1, 13}, {10, -12}, {1, -13}, {10, 0}, {5, 100}},
       {-20, 10, 1, 0},
       edgeSounds},
      {"32-bit float: 0.1 at -20 dB",
       {1, 32, true},
       {{5, .5}, {10, .0999}, {1, .1001}, {10, -.0999}, {1, -.1001}, {10, 0}, {5, .5}},
       {-20, 10, 1, 0},
       edgeSounds},
      {"64-bit float, a noise floor under the threshold",
       {2, 64, true},
       {{30, .25}, {40, .0031}, {30, -.25}},
       {-50, 20, 5, 0},
       {{0, 30}, {70, 100}}},
      {"6 channels of 24 bits (26527 at -50 dB): one loud channel makes a loud frame",
       {6, 24, false, true},
       {{20, 4e6}, {15, 0}, {1, 26528, 5}, {15, 26527, 4}, {20, -4e6, 2}},
       {-50, 12, 1, 2},
       {{0, 22}, {33, 38}, {49, 71}}},
      {"32-bit integers", {1, 32}, {{25, 0}, {25, 1e9}, {25, 0}}, {-50, 10, 5, 10}, {{15, 60}}},
      {"no sound at all", s16, {{50, 0}}, {-50, 10, 5, 5}, {}},
  };
  snipora::test::TempDir dir;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = dir.File("s.wav");
    const SoundFormatInfo info =
        WriteFile(path, row.format, 1000, Samples(row.format, row.stretches));
    NoProgress progress;
    std::vector<LabeledRange> sounds;
    ASSERT_EQ(FindSoundsBetweenSilences(path, info, row.rules, progress, sounds),
              SilenceScanEnd::kDone);
    Spans found;
    for (const LabeledRange& r : sounds) found.emplace_back(r.startFrame, r.endFrame);
    EXPECT_EQ(found, row.expected);
  }
}

TEST(SoundsBetweenSilences, DurationsRoundToTheNearestFrame) {
  EXPECT_EQ(FramesForMilliseconds(1000, 44100), 44100u);
  EXPECT_EQ(FramesForMilliseconds(50, 44100), 2205u);
  EXPECT_EQ(FramesForMilliseconds(1, 22050), 22u);  // 22.05
  EXPECT_EQ(FramesForMilliseconds(1, 1500), 2u);    // 1.5 rounds up
  EXPECT_EQ(FramesForMilliseconds(3, 500), 2u);     // 1.5 rounds up
}

// 24-bit stereo over several read blocks (frames of 6 bytes straddle them):
// stretches of random lengths and levels around the threshold. sox decodes
// the file independently and a frame-by-frame loop finds the runs.
TEST(SoundsBetweenSilences, SilencesMatchAFrameByFrameReadingOfSoxsDecoding) {
  if (!snipora::test::HaveProgram("sox")) GTEST_SKIP() << "sox not installed";
  const Format format{2, 24};
  constexpr double kDb = -40;
  const auto limit = static_cast<int64_t>(std::floor(std::ldexp(1.0, 23) * std::pow(10, kDb / 20)));
  std::vector<Stretch> stretches;
  uint32_t state = 99;
  auto next = [&](uint32_t n) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state % n;
  };
  for (uint32_t frames = 0; frames < 600000;) {
    const uint32_t length = 1 + next(next(4) == 0 ? 3000 : 40);
    const double value = static_cast<double>(limit - 3 + next(7)) * (next(2) ? 1 : -1);
    stretches.push_back({length, value, static_cast<int>(next(3)) - 1});
    frames += length;
  }
  snipora::test::TempDir dir;
  const std::string path = dir.File("mixed.wav");
  const SoundFormatInfo info = WriteFile(path, format, 48000, Samples(format, stretches));
  const std::string raw = dir.File("mixed.f64");
  ASSERT_EQ(snipora::test::RunCommand("sox " + snipora::test::ShellQuote(path) + " -t f64 " +
                                      snipora::test::ShellQuote(raw))
                .exitCode,
            0);
  const Bytes decoded = snipora::test::ReadFileBytes(raw);
  const double threshold = std::ldexp(static_cast<double>(limit), -23);
  std::vector<bool> silent(decoded.size() / 16);
  for (size_t f = 0; f < silent.size(); ++f) {
    double l, r;
    std::memcpy(&l, &decoded[16 * f], 8);
    std::memcpy(&r, &decoded[16 * f + 8], 8);
    silent[f] = std::fabs(l) <= threshold && std::fabs(r) <= threshold;
  }
  ASSERT_EQ(silent.size(), info.dataSize / 6);
  // The same sound as FLAC is found the same, decoded.
  const std::string flac = dir.File("mixed.flac");
  std::string why;
  ASSERT_TRUE(snipora::test::EncodeFlacFile(path, flac, why)) << why;
  SoundFormatInfo flacInfo;
  ASSERT_EQ(ReadFlacFile(flac, flacInfo), FlacProblem::kNone);
  for (uint64_t minRun : {1u, 7u, 100u, 2500u}) {
    SCOPED_TRACE(minRun);
    std::vector<FrameSpan> expected;
    for (size_t f = 0; f < silent.size();) {
      size_t end = f;
      while (end < silent.size() && silent[end]) ++end;
      if (end - f >= minRun) expected.push_back({f, end});
      f = end == f ? f + 1 : end;
    }
    ASSERT_GT(expected.size(), 2u);
    NoProgress progress;
    std::vector<FrameSpan> found;
    ASSERT_EQ(FindSilences(path, info, kDb, minRun, progress, found), SilenceScanEnd::kDone);
    EXPECT_EQ(found, expected);
    ASSERT_EQ(FindSilences(flac, flacInfo, kDb, minRun, progress, found), SilenceScanEnd::kDone);
    EXPECT_EQ(found, expected) << "FLAC";
  }
}

}  // namespace
}  // namespace snipora::ranges
