// Level measures, the automatic control's decisions, the opening estimate and how a new
// gain reaches the output (re-transfer, quiet frame, ramp).
#include <gtest/gtest.h>

#include "playback/auto_volume.h"
#include "tests/playback/player_rig.h"

namespace snipora::test {
namespace {

constexpr uint32_t kRate = 176400;  // 44.1 kHz 16-bit stereo

int32_t Measure(LevelMeasure measure, const std::vector<int16_t>& samples) {
  return measure(samples.data(), static_cast<uint32_t>(samples.size() * 2));
}

std::vector<int16_t> Block(size_t count, int16_t fill,
                           std::vector<std::pair<size_t, int16_t>> set) {
  std::vector<int16_t> samples(count, fill);
  for (const auto& [at, value] : set) samples[at] = value;
  return samples;
}

TEST(LevelMeasureTest, MeasuresAgreeWithTheirDefinitions) {
  std::vector<int16_t> alternating(6000);
  for (size_t i = 0; i < alternating.size(); ++i) alternating[i] = i % 2 ? 1000 : -1000;
  struct Case {
    const char* what;
    LevelMeasure measure;
    std::vector<int16_t> samples;
    int32_t level;
  };
  const Case cases[] = {
      {"peak counts -32768 as 32768", &PeakLevel, {1, -1, 32767, -32768}, 32768},
      {"peak of a negative sample", &PeakLevel, {100, -300, 0}, 300},
      {"peak of silence", &PeakLevel, {0, 0, 0}, 0},
      {"peak sees one outlier", &PeakLevel, Block(1200, 100, {{5, 30000}}), 30000},
      {"loudness ignores one outlier in 1200", &LoudnessLevel, Block(1200, 100, {{5, 30000}}), 0},
      {"loudness takes a band above the threshold", &LoudnessLevel,
       Block(2400, 100, {{1, 30000}, {2, -30000}, {3, 30100}}), 117 * 256},
      {"loudness threshold is at most 16", &LoudnessLevel,
       Block(24000, 0,
             {{0, 20000},
              {1, 20000},
              {2, 20000},
              {3, 20000},
              {4, 20000},
              {5, 20000},
              {6, 20000},
              {7, 20000},
              {8, 20000},
              {9, 20000},
              {10, 20000},
              {11, 20000},
              {12, 20000},
              {13, 20000},
              {14, 20000},
              {15, 20000},
              {16, 20000}}),
       78 * 256},
      {"loudness is capped at 32767", &LoudnessLevel, Block(1200, -32768, {}), 32767},
      {"spread of a symmetric square", &SpreadLevel, alternating, (131 - 124) * 128},
      {"spread of silence", &SpreadLevel, Block(600, 0, {}), 0},
      {"spread of nothing", &SpreadLevel, {}, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(Measure(c.measure, c.samples), c.level) << c.what;
  // Sixteen loud samples in 24000 stay below the capped threshold.
  EXPECT_EQ(Measure(&LoudnessLevel, Block(24000, 0, {{0, 20000}, {1, 20000}})), 0);
  EXPECT_EQ(ChooseLevelMeasure(CDS_VOLCTL_SPREAD | CDS_VOLCTL_VER2), &SpreadLevel);
  EXPECT_EQ(ChooseLevelMeasure(CDS_VOLCTL_VER2), &LoudnessLevel);
  EXPECT_EQ(ChooseLevelMeasure(0), &PeakLevel);
}

TEST(GainDecisionTest, FallsAtOnceRisesSlowlyAndStopsAt10000) {
  struct Case {
    int32_t level;
    uint32_t options;
    int16_t target;
    int16_t newTarget;
    bool changed;
  };
  const Case cases[] = {
      {32767, 0, 200, 100, true},
      {32767, CDS_AUTOVOLDELAYRESERVE, 200, 80, true},
      {32768, 0, 100, 100, false},
      {0, CDS_AUTOVOLUPENABLE, 100, 100, false},
      {1, CDS_AUTOVOLUPENABLE, 100, 130, true},
      {1, 0, 100, 100, false},
      {16384, CDS_AUTOVOLUPENABLE, 160, 160, false},  // room 200 is not more than 50 above
      {16384, CDS_AUTOVOLUPENABLE, 149, 179, true},
      {1, CDS_AUTOVOLUPENABLE, 9990, 10000, true},
      {1, CDS_AUTOVOLUPENABLE, 10000, 10000, false},
  };
  for (const Case& c : cases) {
    const GainDecision decision = DecideGain(c.level, c.options, c.target);
    EXPECT_EQ(decision.target, c.newTarget) << c.level << " from " << c.target;
    EXPECT_EQ(decision.changed, c.changed) << c.level << " from " << c.target;
  }
}

// 44.1 kHz stereo frames alternating between +v and -v, v given per time span.
class AutoVolumePlayerTest : public ::testing::Test {
 protected:
  struct Span {
    double from, to;  // seconds
    int16_t value;
  };
  std::string Write(const std::vector<Span>& spans, double seconds,
                    std::vector<double> quietFrames = {}) {
    samples_.assign(static_cast<size_t>(seconds * 44100) * 2, 0);
    for (const Span& span : spans) {
      for (size_t f = static_cast<size_t>(span.from * 44100); f < span.to * 44100; ++f) {
        samples_[2 * f] = samples_[2 * f + 1] =
            static_cast<int16_t>(f % 2 ? span.value : -span.value);
      }
    }
    for (const double at : quietFrames) {
      const size_t f = static_cast<size_t>(at * 44100);
      samples_[2 * f] = samples_[2 * f + 1] = 0;
    }
    const std::string path = dir_.File("levels.wav");
    WriteFileBytes(path, MakeWave(2, 44100, 16, SamplesToBytes(samples_)));
    return path;
  }
  // Magnitude of the left sample of the frame written at `seconds` into the buffer.
  static int Written(const PlayerRig& rig, double seconds) {
    const size_t frame = static_cast<size_t>(seconds * 44100);
    int16_t value;
    std::memcpy(&value, rig.device.Buffer().data() + frame * 4, 2);
    return std::abs(value);
  }

  TempDir dir_;
  std::vector<int16_t> samples_;
};

TEST_F(AutoVolumePlayerTest, OpeningEstimateSetsTheGainFromTheLoudestProbe) {
  struct Case {
    int16_t amplitude;
    uint32_t measure;
    int16_t gain;
  };
  const Case cases[] = {
      {16384, 0, 200}, {0, 0, 100}, {300, 0, 10000}, {32767, 0, 100}, {16384, CDS_VOLCTL_VER2, 200},
  };
  for (const Case& c : cases) {
    const std::string path = Write({{0, 4, c.amplitude}}, 4);
    PlayerRig rig;
    rig.player.SetOptions(CDS_OPENVOLUMEMAXIMIZE | c.measure);
    ASSERT_EQ(rig.player.SetSoftwareVolume(250), 0);
    ASSERT_EQ(rig.player.Open(path.c_str()), 0);
    EXPECT_EQ(rig.player.GetSoftwareVolume(), c.gain) << c.amplitude;
    // The gain in effect starts there too, and the file is read from its start.
    EXPECT_EQ(Written(rig, 0.5), std::min(32767, c.amplitude * c.gain / 100)) << c.amplitude;
  }
  // Without the option the target survives Open.
  const std::string path = Write({{0, 4, 1000}}, 4);
  PlayerRig rig;
  ASSERT_EQ(rig.player.SetSoftwareVolume(250), 0);
  ASSERT_EQ(rig.player.Open(path.c_str()), 0);
  EXPECT_EQ(rig.player.GetSoftwareVolume(), 250);
}

TEST_F(AutoVolumePlayerTest, ALoudBlockLowersTheGainAtOnceWithRetransfer) {
  const std::string path = Write({{0, 3, 10000}, {3, 6, 20000}}, 6);
  PlayerRig rig;
  rig.player.SetOptions(CDS_AUTOVOLUME);
  ASSERT_EQ(rig.player.SetSoftwareVolume(200), 0);
  ASSERT_EQ(rig.player.Open(path.c_str()), 0);
  EXPECT_EQ(rig.player.GetSoftwareVolume(), 200);  // 10000 leaves room for 327 %
  ASSERT_EQ(rig.player.Play(kPlayNormal), 0);
  rig.Run(kRate / 5, 1);
  EXPECT_EQ(rig.player.GetSoftwareVolume(), 163);
  // Rewritten from 50 ms ahead of the cursor (at 0.2 s) with the new gain.
  EXPECT_EQ(Written(rig, 0.24), 20000);
  EXPECT_EQ(Written(rig, 0.26), 16300);
  EXPECT_EQ(Written(rig, 3.05), 32600);
}

TEST_F(AutoVolumePlayerTest, DelayedChangeWaitsForAQuietFrame) {
  for (const bool quiet : {true, false}) {
    SCOPED_TRACE(quiet ? "with a quiet frame" : "without a quiet frame");
    const std::string path = Write({{0, 3, 10000}, {3, 6, 20000}}, 6,
                                   quiet ? std::vector<double>{3.1} : std::vector<double>{});
    PlayerRig rig;
    rig.player.SetOptions(CDS_AUTOVOLUME | CDS_AUTOVOLDELAY);
    ASSERT_EQ(rig.player.SetSoftwareVolume(200), 0);
    ASSERT_EQ(rig.player.Open(path.c_str()), 0);
    ASSERT_EQ(rig.player.Play(kPlayNormal), 0);
    rig.Run(kRate / 5, 1);
    EXPECT_EQ(rig.player.GetSoftwareVolume(), 163);
    EXPECT_EQ(Written(rig, 2.9), 20000) << "nothing already written changes";
    EXPECT_EQ(Written(rig, 3.05), 32767) << "the old gain until the quiet frame";
    EXPECT_EQ(Written(rig, 3.15), quiet ? 32600 : 32767);
    rig.Run(kRate / 5, 1);
    // Without a quiet frame the old gain is still in effect for the next block.
    EXPECT_EQ(Written(rig, 3.25), quiet ? 32600 : 32767);
  }
}

TEST_F(AutoVolumePlayerTest, RampReachesTheTargetAtTheEndOfTheBlock) {
  // One sample at 16384 sets the room to 200 %; the rest of the block is 8000.
  const std::string path = Write({{0, 3, 5000}, {3, 6, 8000}}, 6);
  samples_[static_cast<size_t>(3.1 * 44100) * 2] = 16384;
  WriteFileBytes(dir_.File("levels.wav"), MakeWave(2, 44100, 16, SamplesToBytes(samples_)));
  PlayerRig rig;
  rig.player.SetOptions(CDS_AUTOVOLUME | CDS_AUTOVOLSLOWLYAPPLY | CDS_AUTOVOLDELAY);
  ASSERT_EQ(rig.player.SetSoftwareVolume(300), 0);
  ASSERT_EQ(rig.player.Open(path.c_str()), 0);
  ASSERT_EQ(rig.player.Play(kPlayNormal), 0);
  rig.Run(kRate / 5, 1);
  EXPECT_EQ(rig.player.GetSoftwareVolume(), 200);
  const size_t first = 3 * 44100, frames = kRate / 5 / 4;
  int previous = 24000;
  for (size_t f = first; f < first + frames; ++f) {
    if (f == static_cast<size_t>(3.1 * 44100)) continue;
    const int value = Written(rig, (f + 0.5) / 44100.0);
    ASSERT_LE(value, previous) << "frame " << f - first;
    previous = value;
  }
  EXPECT_LT(Written(rig, (first + 0.5) / 44100.0), 24000) << "the first frame already steps";
  EXPECT_GT(Written(rig, (first + 0.5) / 44100.0), 23990);
  EXPECT_EQ(previous, 16000) << "the block ends exactly at the target";
  rig.Run(kRate / 5, 1);
  EXPECT_EQ(Written(rig, 3.3), 16000);
}

TEST_F(AutoVolumePlayerTest, RiseEnabledClimbsThirtyPointsPerTick) {
  const std::string path = Write({{0, 8, 1000}}, 8);
  PlayerRig rig;
  rig.player.SetOptions(CDS_AUTOVOLUME | CDS_AUTOVOLUPENABLE);
  ASSERT_EQ(rig.player.Open(path.c_str()), 0);
  EXPECT_EQ(rig.player.GetSoftwareVolume(), 130);
  ASSERT_EQ(rig.player.Play(kPlayNormal), 0);
  rig.Run(kRate / 5, 3);
  EXPECT_EQ(rig.player.GetSoftwareVolume(), 220);
  // Re-transferred: what is heard from 50 ms after the last tick on has the new gain.
  rig.device.ClearHeard();
  rig.device.MovePlayCursor(kRate / 10);
  const std::vector<int16_t> heard = BytesToSamples(rig.device.Heard());
  EXPECT_EQ(std::abs(heard.back()), 2200);
}

}  // namespace
}  // namespace snipora::test
