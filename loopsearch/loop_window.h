#pragma once

#include <cstdint>
#include <vector>

// The tolerance band of a source window and the comparison of data against it.
namespace snipora {

// lower[j] = max(v - T, -32767) and span[j] = min(v + T, 32767) - lower[j] for
// the `count` values v of `source`. A value is inside its band when
// (uint16_t)(data - lower) <= span, one unsigned comparison per value; this is
// exact for every 16-bit data value (-32768 always falls outside). Returns
// false when a band is empty (v = -32768 with T = 0): such a window matches
// nowhere.
bool BuildToleranceBand(const int16_t* source, uint32_t count, uint32_t tolerance, int16_t* lower,
                        uint16_t* span);

// Matches of a window of W values must be able to lie at least
// W / kLoopAnchorRatio values apart (and 2 at least) for it to anchor a loop.
inline constexpr uint32_t kLoopAnchorRatio = 256;

// False when the band of the window, shifted by fewer values than that limit,
// still overlaps itself at every value: then two candidates that close could
// both match. This is the window of silence, of a constant level, of noise
// within the tolerance, or of a steady tone: wherever the sound goes on like
// that, every position matches, and the search would list them all, each
// after comparing the whole window.
bool WindowCanAnchor(const int16_t* lower, const uint16_t* span, uint32_t count);

// Appends to `matches` every candidate k < candidates (in increasing order)
// for which each data[k + j], j < windowLength, lies inside band j. `data`
// must hold candidates + windowLength - 1 values.
void FindWindowMatches(const int16_t* data, uint32_t candidates, const int16_t* lower,
                       const uint16_t* span, uint32_t windowLength, std::vector<uint32_t>& matches);

}  // namespace snipora
