// Label bounds whose frame does not fit 64 bits (possible with a header's
// sample rate near 2^32) are refused instead of wrapping to a wrong frame.
#include <gtest/gtest.h>

#include "cli/label_file.h"

namespace snipora::cli {
namespace {

TEST(LabelFileFault, FramesBeyond64BitsAreRefusedNotWrapped) {
  constexpr uint32_t kTopRate = 0xFFFFFFFFu;
  const struct {
    const char* text;
    uint32_t rate;
    bool accepted;
    uint64_t start, end;
  } cases[] = {
      // (2^32 + 1)(2^32 - 1) = 2^64 - 1: the largest frame there is.
      {"0\t4294967297\tx", kTopRate, true, 0, UINT64_MAX},
      {"0\t4294967297.5\tx", kTopRate, false, 0, 0},
      {"0\t9999999999\tx", kTopRate, false, 0, 0},
      {"9999999999\t0\tx", kTopRate, false, 0, 0},
      {"0\t9999999999.5\tx", 44100, true, 0, 440999999977950ull},
  };
  for (const auto& c : cases) {
    const LabelParse parse = ParseLabels(c.text, c.rate);
    if (!c.accepted) {
      EXPECT_FALSE(parse.error.empty()) << c.text;
      EXPECT_TRUE(parse.ranges.empty()) << c.text;
      continue;
    }
    ASSERT_TRUE(parse.error.empty()) << c.text << ": " << parse.error;
    ASSERT_EQ(parse.ranges.size(), 1u) << c.text;
    EXPECT_EQ(parse.ranges[0].startFrame, c.start) << c.text;
    EXPECT_EQ(parse.ranges[0].endFrame, c.end) << c.text;
  }
}

}  // namespace
}  // namespace snipora::cli
