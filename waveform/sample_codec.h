#pragma once

#include <cstdint>
#include <optional>

#include "audiofile/sound_format.h"

namespace snipora {

// The lowest and highest sample value of one channel over some frames, each
// in [-1, 1] (integer formats are scaled by their full range).
struct PeakPair {
  float min;
  float max;
};

// An empty pair: folding any sample into it gives that sample.
inline constexpr PeakPair kNoPeak{3.0e38f, -3.0e38f};

// How the samples of one frame are laid out.
struct FrameShape {
  uint32_t channels;
  uint32_t blockAlign;      // bytes per frame
  uint32_t bytesPerSample;  // bytes of one channel's sample within the frame
};

// One sample's value from its little-endian bytes.
using DecodeSample = float (*)(const uint8_t* bytes);
// Folds `frames` interleaved frames into perChannel[0 .. channels - 1].
using FoldFrames = void (*)(const uint8_t* data, uint32_t frames, const FrameShape& shape,
                            PeakPair* perChannel);

// The sample format of a file whose samples can be read straight from it.
struct SampleCodec {
  FrameShape shape;
  DecodeSample decode;
  FoldFrames fold;
};

// One decoder per sample format.
float DecodeU8(const uint8_t* bytes);
float DecodeS16(const uint8_t* bytes);
float DecodeS24(const uint8_t* bytes);
float DecodeS32(const uint8_t* bytes);
float DecodeF32(const uint8_t* bytes);
float DecodeF64(const uint8_t* bytes);

// The codec of the open file's samples as a sample source delivers them:
// unsigned 8-bit and signed 16/24/32-bit integers, 32/64-bit floats (format
// tag 3, or 0xFFFE with the float sub-format). None for data no sample source
// reads (see HasSampleData), when no channel or sample width fits the block
// alignment, or for other widths.
std::optional<SampleCodec> CodecFor(const SoundFormatInfo& info);

}  // namespace snipora
