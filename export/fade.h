#pragma once

#include <cstdint>

// Linear fade-out of 16-bit little-endian samples to silence, in 64-bit
// integer fixed point: the gain starts at 32767 x 10^8 and drops by one step
// before each frame, so frame k of N is scaled by about (N - k) / N.
namespace snipora {

// Bytes to fade at the end of a piece: fadeMs of audio at bytesPerSecond,
// truncated to 32 bits, rounded down to whole blocks and at most pieceLength.
uint32_t FadeBytes(uint32_t bytesPerSecond, uint32_t fadeMs, uint32_t blockAlign,
                   uint32_t pieceLength);

class FadeRamp {
 public:
  static constexpr int64_t kFullGain = 3276700000000;  // 32767 x 10^8

  // A ramp over fadeBytes (> 0, at least one block). A frame is 4 bytes with 2
  // channels and 2 bytes otherwise; all samples of a frame share one factor.
  FadeRamp(uint32_t fadeBytes, uint32_t blockAlign, uint16_t channels);

  uint32_t FrameBytes() const { return frameBytes_; }

  // Scales the samples of count bytes in place (count a multiple of
  // FrameBytes()) and moves the ramp on by as many frames.
  void Apply(uint8_t* bytes, uint32_t count);

 private:
  int64_t gain_ = kFullGain;
  int64_t step_;
  uint32_t frameBytes_;
};

}  // namespace snipora
