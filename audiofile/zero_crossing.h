#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audiofile/pcm_samples.h"
#include "audiofile/sample_source.h"

// Cut points where the sound passes through zero, so that a piece starts and
// ends without a click. The signal is the exact sum of the channels: a place
// where one channel crosses while the others outweigh it is no cut point.
namespace snipora {

// How far a snap looks either way: 10 ms of frames.
inline uint32_t SnapRadiusFrames(uint32_t sampleRate) {
  return sampleRate / 100;
}

// The sign (-1, 0 or 1) of the sum of the channels of each of `frames`
// frames of `data`.
std::vector<int8_t> MonoSigns(const uint8_t* data, uint64_t frames, const PcmLayout& layout);

// The cut point nearest `target`, at most `radius` frames away. A position p
// (a cut before frame p) qualifies when the sum at frame p is 0 or has the
// opposite sign of the sum at frame p - 1; the ends of the data, 0 and
// totalFrames, always qualify. `signs` are those of frames [first, first +
// signs.size()); positions whose frames they lack do not qualify. Of two
// equally near, the earlier; none when nothing qualifies.
std::optional<uint64_t> NearestZeroCrossing(const std::vector<int8_t>& signs, uint64_t first,
                                            uint64_t totalFrames, uint64_t target, uint32_t radius);

// Snaps frames of one sound file, which it keeps open; one thread only.
class CZeroCrossingSnap {
 public:
  // Files whose samples cannot be read (see FrameLayoutOf; FLAC is read
  // decoded), or that cannot be opened, snap nothing.
  CZeroCrossingSnap(const std::string& path, const SoundFormatInfo& info);

  // False when the file's samples cannot be read (nothing snaps).
  bool CanSnap() const { return layout_.has_value(); }
  // `frame` moved to the nearest cut point within 10 ms; `frame` itself when
  // there is none or the samples cannot be read.
  uint64_t Snap(uint64_t frame);
  // The same within `radius` frames.
  uint64_t Snap(uint64_t frame, uint32_t radius);

 private:
  std::optional<PcmLayout> layout_;
  uint64_t totalFrames_ = 0;
  uint32_t sampleRate_ = 0;
  std::unique_ptr<ISampleData> data_;
  std::vector<uint8_t> bytes_;
};

}  // namespace snipora
