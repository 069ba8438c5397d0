#include "playback/auto_volume.h"

#include <algorithm>

#include "playback/player_flags.h"

namespace snipora {
namespace {

// The automatic control never raises the gain above what a user may set.
constexpr int32_t kMaximumGain = 10000;

}  // namespace

int32_t PeakLevel(const int16_t* samples, uint32_t bytes) {
  const uint32_t count = bytes / 2;
  // The largest and smallest sample in 16-bit lanes (vectorises well), then the larger
  // magnitude, so that -32768 counts as 32768.
  int16_t highest = 0;
  int16_t lowest = 0;
  for (uint32_t i = 0; i < count; ++i) {
    highest = std::max(highest, samples[i]);
    lowest = std::min(lowest, samples[i]);
  }
  return std::max<int32_t>(highest, -int32_t{lowest});
}

int32_t LoudnessLevel(const int16_t* samples, uint32_t bytes) {
  const uint32_t count = bytes / 2;
  uint32_t bins[129] = {};
  for (uint32_t i = 0; i < count; ++i) {
    const int32_t value = samples[i];
    ++bins[(value < 0 ? -value : value) >> 8];
  }
  const uint32_t threshold = std::min<uint32_t>(count / 1200, 16);
  for (int bin = 128; bin >= 1; --bin) {
    if (bins[bin] > threshold) return std::min(bin * 256, 32767);
  }
  return 0;
}

int32_t SpreadLevel(const int16_t* samples, uint32_t bytes) {
  const uint32_t count = bytes / 2;
  uint32_t bins[256] = {};
  for (uint32_t i = 0; i < count; ++i) ++bins[(samples[i] + 32768) >> 8];
  const uint32_t threshold = std::min<uint32_t>(count / 600, 16);
  int low = 255;
  for (int bin = 0; bin <= 255; ++bin) {
    if (bins[bin] > threshold) {
      low = bin;
      break;
    }
  }
  int high = 0;
  for (int bin = 255; bin >= 1; --bin) {
    if (bins[bin] > threshold) {
      high = bin;
      break;
    }
  }
  if (high < low) low = high;
  return (high - low) * 128;
}

LevelMeasure ChooseLevelMeasure(uint32_t options) {
  if (options & CDS_VOLCTL_SPREAD) return &SpreadLevel;
  if (options & CDS_VOLCTL_VER2) return &LoudnessLevel;
  return &PeakLevel;
}

GainDecision DecideGain(int32_t level, uint32_t options, int16_t target) {
  if (level <= 0) return {target, false};
  int32_t gain = GainForLevel(level);
  if (options & CDS_AUTOVOLDELAYRESERVE) gain = static_cast<int32_t>(int64_t{gain} * 80 / 100);
  if (gain < target) return {static_cast<int16_t>(gain), true};
  if ((options & CDS_AUTOVOLUPENABLE) && target < gain - 50 && target < kMaximumGain) {
    return {static_cast<int16_t>(std::min(target + 30, kMaximumGain)), true};
  }
  return {target, false};
}

}  // namespace snipora
