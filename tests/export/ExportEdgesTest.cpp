// The fades at the edges of outputs, over every sample width and channel
// count: a fade-in is the exact time mirror of the fade-out (reversing a
// faded-in piece gives the reversed piece faded out), de-click fades both
// edges of every piece and both sides of every seam of a joined file, and a
// longer fade asked at an edge applies there instead.
#include <algorithm>

#include <gtest/gtest.h>

#include "tests/export/export_test_support.h"
#include "tests/export/fade_reference.h"

namespace snipora {
namespace {

using namespace snipora::test;

struct Width {
  uint16_t bits;
  bool isFloat;
};

// Frames [first, first + count) of data in reverse order.
void ReverseFrames(Bytes& data, size_t first, size_t count, size_t frameBytes) {
  for (size_t i = 0, j = count - 1; i < j; ++i, --j) {
    std::swap_ranges(data.begin() + (first + i) * frameBytes,
                     data.begin() + (first + i + 1) * frameBytes,
                     data.begin() + (first + j) * frameBytes);
  }
}

// A fade-out by the reference formula over frames [first, first + count);
// a fade-in there is the same on the frames reversed.
void ReferenceSpan(Bytes& data, const FadeSpan& span, unsigned blockAlign, unsigned channels,
                   bool isFloat) {
  const bool in = span.direction == FadeDirection::kIn;
  if (in) ReverseFrames(data, span.firstFrame, span.frames, blockAlign);
  Bytes part(data.begin() + span.firstFrame * blockAlign,
             data.begin() + (span.firstFrame + span.frames) * blockAlign);
  ReferenceFade(part, part.size(), blockAlign, channels, isFloat);
  std::copy(part.begin(), part.end(), data.begin() + span.firstFrame * blockAlign);
  if (in) ReverseFrames(data, span.firstFrame, span.frames, blockAlign);
}

TEST(EdgeFades, MirrorAndDeclickForEveryWidthAndChannelCount) {
  constexpr auto kIn = FadeDirection::kIn;
  constexpr auto kOut = FadeDirection::kOut;
  // At 1000 frames a second a millisecond is a frame.
  const struct {
    const char* name;
    bool join;
    std::vector<ExportRange> ranges;
    EdgeOptions edges;
    std::vector<FadeSpan> expected;  // over the output's frames
  } rows[] = {
      {"fade-in", false, {{10, 110}}, {30, 0, 0}, {{0, 30, kIn}}},
      {"fade-in of all", false, {{10, 110}}, {500, 0, 0}, {{0, 100, kIn}}},
      {"de-click", false, {{10, 110}}, {0, 0, 5}, {{0, 5, kIn}, {95, 5, kOut}}},
      {"a longer fade wins at its edge",
       false,
       {{10, 110}},
       {20, 3, 5},
       {{0, 20, kIn}, {95, 5, kOut}}},
      {"joined: de-click at both ends and both sides of the seam",
       true,
       {{10, 60}, {200, 260}},
       {0, 0, 5},
       {{0, 5, kIn}, {45, 5, kOut}, {50, 5, kIn}, {105, 5, kOut}}},
      {"joined: a fade-in across the seam",
       true,
       {{10, 60}, {200, 260}},
       {70, 0, 0},
       {{0, 70, kIn}}},
  };
  const Width widths[] = {{8, false},  {16, false}, {24, false},
                          {32, false}, {32, true},  {64, true}};
  for (const Width& w : widths) {
    for (const uint16_t channels : {1, 2, 6}) {
      const unsigned blockAlign = channels * w.bits / 8;
      TempDir dir;
      const std::string source = dir.File("s.wav");
      const Bytes data = SeededSamples(300 * blockAlign, w.bits / 8, w.isFloat, w.bits + channels);
      WriteFileBytes(source, PlainWave(channels, 1000, w.bits, w.isFloat, data));
      for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.name << ", " << w.bits << " bits"
                                        << (w.isFloat ? " float, " : ", ") << channels << " ch");
        ExportRequest request;
        request.sourcePath = source;
        request.format = LoadFormat(source);
        request.ranges = CutRanges(row.ranges);
        request.edges = row.edges;
        RecordingProgress progress;
        ASSERT_EQ(row.join ? WriteJoined(request, dir.File("o.wav"), progress)
                           : WritePieces(request, {dir.File("o.wav")}, progress),
                  ExportOutcome::Done);
        Bytes expected;
        for (const ExportRange& r : row.ranges) {
          expected.insert(expected.end(), data.begin() + r.startFrame * blockAlign,
                          data.begin() + r.endFrame * blockAlign);
        }
        for (const FadeSpan& span : row.expected) {
          ReferenceSpan(expected, span, blockAlign, channels, w.isFloat);
        }
        EXPECT_TRUE(ChunkBody(ReadFileBytes(dir.File("o.wav")), "data") == expected);
      }
    }
  }
}

}  // namespace
}  // namespace snipora
