#include "loopsearch/loop_window.h"

#include <algorithm>

namespace snipora {

namespace {

constexpr int32_t kLowestBound = -32767;  // -32768 is never inside a band
constexpr int32_t kHighestBound = 32767;

inline bool InsideBand(int16_t value, int16_t lower, uint16_t span) {
  return static_cast<uint16_t>(value - lower) <= span;
}

}  // namespace

bool BuildToleranceBand(const int16_t* source, uint32_t count, uint32_t tolerance, int16_t* lower,
                        uint16_t* span) {
  const int32_t t = static_cast<int32_t>(std::min<uint32_t>(tolerance, 65535));
  bool allNonEmpty = true;
  for (uint32_t j = 0; j < count; ++j) {
    const int32_t low = std::max(source[j] - t, kLowestBound);
    const int32_t high = std::min(source[j] + t, kHighestBound);
    if (high < low) {
      allNonEmpty = false;
      lower[j] = 0;
      span[j] = 0;
      continue;
    }
    lower[j] = static_cast<int16_t>(low);
    span[j] = static_cast<uint16_t>(high - low);
  }
  return allNonEmpty;
}

void FindWindowMatches(const int16_t* data, uint32_t candidates, const int16_t* lower,
                       const uint16_t* span, uint32_t windowLength,
                       std::vector<uint32_t>& matches) {
  const int16_t firstLower = lower[0];
  const uint16_t firstSpan = span[0];
  for (uint32_t k = 0; k < candidates; ++k) {
    // Most candidates fail on their first value; test it before entering the loop.
    if (!InsideBand(data[k], firstLower, firstSpan)) continue;
    const int16_t* window = data + k;
    uint32_t j = 1;
    while (j < windowLength && InsideBand(window[j], lower[j], span[j])) ++j;
    if (j == windowLength) matches.push_back(k);
  }
}

}  // namespace snipora
