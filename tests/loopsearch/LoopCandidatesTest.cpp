#include "loopsearch/loop_candidates.h"

#include <gtest/gtest.h>

#include "audiofile/wave_reader.h"
#include "tests/loopsearch/loop_search_fixture.h"
#include "tests/support/wave_bytes.h"

namespace snipora {
namespace {

using namespace snipora::test;

class LoopCandidates : public testing::Test {
 protected:
  std::vector<LoopCandidate> Find(const Samples& values, uint16_t channels, uint32_t start,
                                  uint32_t end, int precision = kDefaultLoopPrecision) {
    LoopCandidateRequest request;
    request.path = dir.File("s.wav");
    request.format = WriteWave16(request.path, values, channels, 8000);
    request.startFrame = start;
    request.endFrame = end;
    request.lengthIndex = 0;  // 2000 values at 8000 Hz
    request.precisionIndex = precision;
    LoopSearchEnd ended = LoopSearchEnd::Completed;
    auto found = FindLoopCandidates(request, progress, ui, ended);
    EXPECT_EQ(ended, LoopSearchEnd::Completed);
    return found;
  }
  TempDir dir;
  RecordingProgress progress;
  ScriptedUi ui;
};

// A burst of noise repeated exactly: its period is found first with a seam
// difference of 0, then its multiples; noise without repetition gives nothing
// (the window matching itself is not a loop).
TEST_F(LoopCandidates, ARepeatedBurstListsItsPeriodFirst) {
  const Samples burst = Noise(3000, 1);
  Samples values;
  for (int i = 0; i < 5; ++i) values.insert(values.end(), burst.begin(), burst.end());
  const std::vector<LoopCandidate> found = Find(values, 1, 100, 15000);
  ASSERT_EQ(found.size(), 4u);  // 3000, 6000, 9000, 12000; 12000's window ends at 14100
  for (size_t i = 0; i < found.size(); ++i) {
    EXPECT_EQ(found[i].startFrame, 100u);
    EXPECT_EQ(found[i].endFrame, 100 + 3000 * (i + 1));
    EXPECT_EQ(found[i].seamDifference, 0u);
  }
  // The window after a loop's end must lie inside the range.
  EXPECT_EQ(Find(values, 1, 100, 14099).size(), 3u);
  EXPECT_TRUE(Find(Noise(15000, 2), 1, 0, 15000).empty());
}

// Stereo: a distance inside a frame is no loop. With a tolerance, an exact
// repeat ranks before a nearer one that differs by 20 in every value.
TEST_F(LoopCandidates, StereoLoopsEndOnFramesAndRankBySeamDifference) {
  Samples values = Noise(16000, 3);  // 8000 frames; the window is frames 2000-2999
  const auto window = values.begin() + 4000;
  std::copy(window, window + 2000, values.begin() + 8001);   // half a frame off
  std::copy(window, window + 2000, values.begin() + 13000);  // frame 6500, exact
  for (size_t j = 0; j < 2000; ++j) {                        // frame 5500, all off by 20
    values[11000 + j] = static_cast<int16_t>(window[j] + (window[j] > 0 ? -20 : 20));
  }
  const std::vector<LoopCandidate> found = Find(values, 2, 2000, 8000, 1);  // tolerance 32
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].endFrame, 6500u);
  EXPECT_EQ(found[0].seamDifference, 0u);
  EXPECT_EQ(found[1].endFrame, 5500u);
  EXPECT_EQ(found[1].seamDifference, 20u * 2000);
}

// A 24-bit stereo file: its burst's period is found through the mono mix, in
// frames as for 16-bit files.
TEST_F(LoopCandidates, OtherFormatsRankTheirLoopsLikeSixteenBitOnes) {
  const Samples burst = Noise(3000, 4);
  std::vector<double> samples;
  for (int i = 0; i < 4; ++i) {
    for (int16_t v : burst) samples.insert(samples.end(), {v * 256.0, v * 128.0});
  }
  LoopCandidateRequest request;
  request.path = dir.File("s24.wav");
  WriteFileBytes(request.path, PlainWave(2, 8000, 24, false, EncodeSamples(samples, 24, false)));
  ASSERT_EQ(ProbeWaveFile(request.path.c_str(), request.format), 0);
  request.startFrame = 10;
  request.endFrame = 12000;
  request.lengthIndex = 0;
  LoopSearchEnd ended = LoopSearchEnd::Completed;
  const std::vector<LoopCandidate> found = FindLoopCandidates(request, progress, ui, ended);
  EXPECT_EQ(ended, LoopSearchEnd::Completed);
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0].endFrame, 3010u);
  EXPECT_EQ(found[0].seamDifference, 0u);
}

}  // namespace
}  // namespace snipora
