#include "app/model/silence_preview.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "audiofile/wave_reader.h"
#include "tests/support/wave_bytes.h"

// The preview reads the file only when the values need it and otherwise
// filters what it found; either way its sounds are exactly the engine's.
namespace snipora {
namespace {

using ranges::SilenceRules;

struct NoProgress : ranges::IScanProgress {
  void Advance(uint64_t, uint64_t) override {}
  bool IsCancelled() const override { return false; }
};

// Waits (boundedly) until the preview's read has ended.
void AwaitRead(CSilencePreview& preview) {
  for (int i = 0; i < 5000 && !preview.Poll(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TEST(SilencePreview, ReadsOnlyForANewThresholdOrAShorterSilence) {
  // 1000 Hz mono: a millisecond is a frame. Loud stretches part silences of
  // 300, 700 and 1500 frames; a quiet stretch (about -44 dB) sits in the last.
  std::vector<int16_t> values;
  const auto add = [&values](size_t frames, int16_t value) {
    values.insert(values.end(), frames, value);
  };
  add(400, 12000), add(300, 0), add(200, -12000), add(700, 0), add(150, 9000);
  add(600, 0), add(300, 200), add(600, 0), add(500, 12000);
  test::TempDir dir;
  const std::string path = dir.File("s.wav");
  test::WriteFileBytes(path, test::MakeWave(1, 1000, 16, test::SamplesToBytes(values)));
  SoundFormatInfo info;
  ASSERT_EQ(ProbeWaveFile(path.c_str(), info), 0);

  const struct {
    const char* name;
    SilenceRules rules;
    bool readyAtOnce;
    uint32_t reads;
  } steps[] = {
      {"the first values read the file", {-50, 1000, 100, 50}, false, 1},
      {"a longer minimum silence filters", {-50, 1400, 100, 50}, true, 1},
      {"sound and padding only derive", {-50, 1000, 200, 0}, true, 1},
      {"a shorter minimum silence reads again", {-50, 250, 100, 20}, false, 2},
      {"the same scope again, longer", {-50, 700, 0, 20}, true, 2},
      {"another threshold reads again", {-40, 700, 100, 50}, false, 3},
      {"back to a threshold read before reads again", {-50, 700, 100, 50}, false, 4},
  };
  CSilencePreview preview(path, info);
  for (const auto& step : steps) {
    SCOPED_TRACE(step.name);
    EXPECT_EQ(preview.Request(step.rules), step.readyAtOnce);
    if (!step.readyAtOnce) {
      EXPECT_TRUE(preview.Sounds().empty());
      AwaitRead(preview);
    }
    EXPECT_EQ(preview.Reads(), step.reads);
    ASSERT_EQ(preview.End(), ranges::SilenceScanEnd::kDone);
    NoProgress progress;
    std::vector<ranges::LabeledRange> direct;
    ASSERT_EQ(ranges::FindSoundsBetweenSilences(path, info, step.rules, progress, direct),
              ranges::SilenceScanEnd::kDone);
    ASSERT_EQ(preview.Sounds().size(), direct.size());
    for (size_t i = 0; i < direct.size(); ++i) {
      EXPECT_EQ(preview.Sounds()[i].startFrame, direct[i].startFrame) << i;
      EXPECT_EQ(preview.Sounds()[i].endFrame, direct[i].endFrame) << i;
    }
  }
}

}  // namespace
}  // namespace snipora
