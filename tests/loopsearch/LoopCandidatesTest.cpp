#include "loopsearch/loop_candidates.h"

#include <gtest/gtest.h>

#include "tests/loopsearch/loop_search_fixture.h"

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

}  // namespace
}  // namespace snipora
