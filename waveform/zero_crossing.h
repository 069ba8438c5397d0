#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// Cut points where the sound passes through zero, so that a piece starts and
// ends without a click. The signal is the mono sum of the channels: a place
// where one channel crosses while the others do not is no cut point.
namespace snipora {

class CFrameReader;

// How far a snap looks either way: 10 ms of frames.
inline uint32_t SnapRadiusFrames(uint32_t sampleRate) {
  return sampleRate / 100;
}

// The cut point nearest `target`, at most `radius` frames away. A position p
// (a cut before frame p) qualifies when the mono sum at frame p is 0 or has
// the opposite sign of the sum at frame p - 1; the ends of the data, 0 and
// totalFrames, always qualify. `samples` holds frames [first, first + n)
// interleaved by `channels`; positions whose frames it lacks do not qualify.
// Of two equally near, the earlier; none when nothing qualifies.
std::optional<uint64_t> NearestZeroCrossing(const std::vector<float>& samples, uint32_t channels,
                                            uint64_t first, uint64_t totalFrames, uint64_t target,
                                            uint32_t radius);

// `frame` moved to the nearest cut point within 10 ms of the file `reader`
// reads; `frame` itself when there is none or the samples cannot be read.
uint64_t SnapToZeroCrossing(CFrameReader& reader, uint64_t frame, uint32_t sampleRate);

}  // namespace snipora
