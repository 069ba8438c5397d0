#include "loopsearch/loop_window.h"

#include <algorithm>

namespace snipora {

namespace {

constexpr int32_t kLowestBound = -32767;  // -32768 is never inside a band
constexpr int32_t kHighestBound = 32767;

inline bool InsideBand(int16_t value, int16_t lower, uint16_t span) {
  return static_cast<uint16_t>(value - lower) <= span;
}

// Values compared together, branch-free, once a candidate has passed its first
// few values: a stretch the compiler turns into vector instructions.
constexpr uint32_t kStretch = 32;
constexpr uint32_t kSingleValues = 8;

// Whether all n values of data lie inside their bands.
bool WindowInside(const int16_t* data, const int16_t* lower, const uint16_t* span, uint32_t n) {
  uint32_t j = 0;
  // Most candidates that fail do so within a few values.
  for (; j < n && j < kSingleValues; ++j) {
    if (!InsideBand(data[j], lower[j], span[j])) return false;
  }
  for (; j + kStretch <= n; j += kStretch) {
    bool outside = false;
    for (uint32_t i = j; i < j + kStretch; ++i) {
      outside |= static_cast<uint16_t>(data[i] - lower[i]) > span[i];
    }
    if (outside) return false;
  }
  for (; j < n; ++j) {
    if (!InsideBand(data[j], lower[j], span[j])) return false;
  }
  return true;
}

// Whether band j and band j + shift share a value for every j.
bool OverlapsShifted(const int16_t* lower, const uint16_t* span, uint32_t count, uint32_t shift) {
  const uint32_t n = count - shift;
  const int16_t* lowerShifted = lower + shift;
  const uint16_t* spanShifted = span + shift;
  for (uint32_t j = 0; j < n; j += kStretch) {
    bool apart = false;
    for (uint32_t i = j; i < std::min(n, j + kStretch); ++i) {
      const int32_t a = lower[i], b = lowerShifted[i];
      apart |= a > b + spanShifted[i] || b > a + span[i];
    }
    if (apart) return false;
  }
  return true;
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

bool WindowCanAnchor(const int16_t* lower, const uint16_t* span, uint32_t count) {
  const uint32_t limit = std::max<uint32_t>(2, count / kLoopAnchorRatio);
  for (uint32_t shift = 1; shift < limit && shift < count; ++shift) {
    if (OverlapsShifted(lower, span, count, shift)) return false;
  }
  return true;
}

void FindWindowMatches(const int16_t* data, uint32_t candidates, const int16_t* lower,
                       const uint16_t* span, uint32_t windowLength,
                       std::vector<uint32_t>& matches) {
  const int16_t firstLower = lower[0];
  const uint16_t firstSpan = span[0];
  for (uint32_t k = 0; k < candidates; ++k) {
    // Most candidates fail on their first value; test it before the rest.
    if (!InsideBand(data[k], firstLower, firstSpan)) continue;
    if (WindowInside(data + k + 1, lower + 1, span + 1, windowLength - 1)) matches.push_back(k);
  }
}

}  // namespace snipora
