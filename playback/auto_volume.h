#pragma once

#include <cstdint>

namespace snipora {

// Level measures over one contiguous piece of 16-bit signed samples (`bytes` is halved
// to a sample count; channels are not told apart). A level runs from 0 to 32768; 0
// means nothing is known.

// The largest absolute sample value (-32768 counts as 32768).
int32_t PeakLevel(const int16_t* samples, uint32_t bytes);
// The loudest 256-wide band of absolute values holding more than a few samples (at most
// 16, fewer in short blocks), so that rare outliers are ignored; capped at 32767.
int32_t LoudnessLevel(const int16_t* samples, uint32_t bytes);
// The width of the range of values holding more than a few samples, x 128.
int32_t SpreadLevel(const int16_t* samples, uint32_t bytes);

// The percentage that brings `level` (1..32768) to full scale.
inline int32_t GainForLevel(int32_t level) {
  return 3276800 / level;
}

// Which measure the option bits choose: spread over loudness over peak.
using LevelMeasure = int32_t (*)(const int16_t*, uint32_t);
LevelMeasure ChooseLevelMeasure(uint32_t options);

// The automatic control's decision for one measured block.
struct GainDecision {
  int16_t target;  // the new target gain
  bool changed;    // the target moved
};
// `level` of the block about to be written, the options, the current target gain.
GainDecision DecideGain(int32_t level, uint32_t options, int16_t target);

}  // namespace snipora
