#pragma once

#include <cstdint>

#include "audiofile/sound_format.h"

// Linear fade-out to silence in 64-bit integer fixed point: the gain starts at
// 32767 x 10^8 and drops by one step before each frame, so frame k of N is
// scaled by about (N - k) / N. The factor gain / 32767 (0 ... 10^8 - 1) scales
// integer samples with truncation toward zero (8-bit ones around 128) and
// multiplies float samples as factor / 10^8.
namespace snipora {

// Bytes to fade at the end of a piece: fadeMs of audio at bytesPerSecond,
// rounded down to whole blocks and at most pieceLength (64-bit throughout).
uint64_t FadeBytes(uint32_t bytesPerSecond, uint32_t fadeMs, uint32_t blockAlign,
                   uint64_t pieceLength);

// Whether FadeRamp can scale this file's samples: plain data in frames of at
// most 4096 bytes of whole samples of 1 to 4 bytes (integer) or 4 or 8 bytes
// (float).
bool CanFade(const SoundFormatInfo& format);

class FadeRamp {
 public:
  static constexpr int64_t kFullGain = 3276700000000;  // 32767 x 10^8

  // A ramp over fadeBytes (> 0, at least one frame of blockAlign bytes). A
  // sample is blockAlign / channels bytes; all samples of a frame share one
  // factor. An integer sample whose low paddingBits carry no signal is scaled
  // as the value above them, so that they stay zero.
  FadeRamp(uint64_t fadeBytes, uint32_t blockAlign, uint16_t channels,
           SampleCoding coding = SampleCoding::kPcm, uint32_t paddingBits = 0);

  // The ramp for samples in `format` (its coding and padding bits).
  static FadeRamp ForFormat(uint64_t fadeBytes, const WaveFormatBlock& format);

  uint32_t FrameBytes() const { return frameBytes_; }

  // Scales the samples of count bytes in place (count a multiple of
  // FrameBytes()) and moves the ramp on by as many frames.
  void Apply(uint8_t* bytes, uint32_t count);

 private:
  int64_t gain_ = kFullGain;
  int64_t step_;
  uint32_t frameBytes_;
  uint32_t sampleBytes_;
  SampleCoding coding_;
  uint32_t paddingBits_;
};

}  // namespace snipora
