#include "loopsearch/loop_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace snipora {
namespace {

// The comparison written out plainly: bands of lower and upper values, every
// candidate compared value by value until the first value outside its band.
std::vector<uint32_t> PlainMatches(const std::vector<int16_t>& source, uint32_t tolerance,
                                   const std::vector<int16_t>& data) {
  const size_t w = source.size();
  std::vector<int16_t> lower(w), upper(w);
  for (size_t j = 0; j < w; ++j) {
    lower[j] = static_cast<int16_t>(std::max(source[j] - int(tolerance), -32767));
    upper[j] = static_cast<int16_t>(std::min(source[j] + int(tolerance), 32767));
  }
  std::vector<uint32_t> matches;
  for (size_t k = 0; k + w < data.size(); ++k) {
    size_t j = 0;
    while (j < w && lower[j] <= data[k + j] && data[k + j] <= upper[j]) ++j;
    if (j == w) matches.push_back(static_cast<uint32_t>(k));
  }
  return matches;
}

std::vector<uint32_t> FastMatches(const std::vector<int16_t>& source, uint32_t tolerance,
                                  const std::vector<int16_t>& data) {
  const uint32_t w = static_cast<uint32_t>(source.size());
  std::vector<int16_t> lower(w);
  std::vector<uint16_t> span(w);
  std::vector<uint32_t> matches;
  if (!BuildToleranceBand(source.data(), w, tolerance, lower.data(), span.data())) {
    return matches;
  }
  const uint32_t candidates = data.size() > w ? static_cast<uint32_t>(data.size() - w) : 0;
  FindWindowMatches(data.data(), candidates, lower.data(), span.data(), w, matches);
  return matches;
}

// Values drawn from a few clusters (including both ends of the range) so that
// partial and whole matches are frequent and every band edge is exercised.
int16_t ClusteredValue(std::mt19937& random) {
  static constexpr int kCentres[] = {-32768, -32767, -32300, -600, 0, 700, 32300, 32767};
  const int centre = kCentres[random() % std::size(kCentres)];
  const int offset = static_cast<int>(random() % 1101) - 550;
  return static_cast<int16_t>(std::clamp(centre + offset, -32768, 32767));
}

TEST(LoopWindowTest, MatchesEqualThePlainComparison) {
  std::mt19937 random(20261207);
  size_t totalMatches = 0;
  for (uint32_t tolerance : {0u, 32u, 64u, 128u, 256u, 512u}) {
    for (uint32_t w : {1u, 2u, 3u, 7u, 16u, 45u, 100u}) {
      for (int trial = 0; trial < 40; ++trial) {
        std::vector<int16_t> data(300);
        for (auto& v : data) v = ClusteredValue(random);
        // Take the window from the data itself and plant perturbed copies of it.
        const size_t from = random() % (data.size() - w);
        std::vector<int16_t> source(data.begin() + from, data.begin() + from + w);
        for (int copy = 0; copy < 5; ++copy) {
          const size_t to = random() % (data.size() - w);
          for (uint32_t j = 0; j < w; ++j) {
            const int jitter =
                static_cast<int>(random() % (2 * tolerance + 3)) - int(tolerance) - 1;
            data[to + j] = static_cast<int16_t>(std::clamp(source[j] + jitter, -32768, 32767));
          }
        }
        SCOPED_TRACE(::testing::Message() << "T " << tolerance << " W " << w << " trial " << trial);
        const std::vector<uint32_t> plain = PlainMatches(source, tolerance, data);
        ASSERT_EQ(FastMatches(source, tolerance, data), plain);
        totalMatches += plain.size();
      }
    }
  }
  // The material must produce matches, or the comparison above proves little.
  EXPECT_GT(totalMatches, 500u);
}

// Windows of 2000 values: matches may lie no closer than 2000 / 256 = 7 values.
TEST(LoopWindowTest, WindowsThatCannotAnchorALoop) {
  auto make = [](auto value) {
    std::vector<int16_t> v(2000);
    for (size_t i = 0; i < v.size(); ++i) v[i] = static_cast<int16_t>(value(i));
    return v;
  };
  std::mt19937 random(7);
  const auto quiet = make([&](size_t) { return int(random() % 201) - 100; });
  const auto loud = make([&](size_t) { return int(random() % 60001) - 30000; });
  struct Row {
    const char* name;
    std::vector<int16_t> window;
    uint32_t tolerance;
    bool anchors;
  } rows[] = {
      {"silence", make([](size_t) { return 0; }), 0, false},
      {"a constant level", make([](size_t) { return -5000; }), 0, false},
      {"noise within the tolerance", quiet, 128, false},
      {"the same noise compared exactly", quiet, 0, true},
      {"a steady tone of 5 values", make([](size_t i) { return i % 5 < 2 ? 20000 : -20000; }), 128,
       false},
      {"a steady tone of 9 values", make([](size_t i) { return i % 9 < 4 ? 20000 : -20000; }), 128,
       true},
      {"full-scale noise at the lowest precision", loud, 512, true},
      {"silence ending in a click", make([](size_t i) { return i == 1999 ? 3000 : 0; }), 128, true},
      {"one value", {0}, 0, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto n = static_cast<uint32_t>(row.window.size());
    std::vector<int16_t> lower(n);
    std::vector<uint16_t> span(n);
    ASSERT_TRUE(BuildToleranceBand(row.window.data(), n, row.tolerance, lower.data(), span.data()));
    EXPECT_EQ(WindowCanAnchor(lower.data(), span.data(), n), row.anchors);
  }
}

}  // namespace
}  // namespace snipora
