#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>

#include "audiofile/sound_format.h"

// The samples of plain PCM data read exactly, in their own units: the engines
// that judge sample values (silence, the loop search's 16-bit mix) share these.
namespace snipora {

enum class PcmSampleType : uint8_t { kU8, kS16, kS24, kS32, kF32, kF64 };

// Bytes of one sample of the type.
constexpr uint32_t PcmSampleBytes(PcmSampleType type) {
  switch (type) {
    case PcmSampleType::kU8:
      return 1;
    case PcmSampleType::kS16:
      return 2;
    case PcmSampleType::kS24:
      return 3;
    case PcmSampleType::kS32:
    case PcmSampleType::kF32:
      return 4;
    case PcmSampleType::kF64:
      break;
  }
  return 8;
}

// How one frame of plain data is laid out: `channels` samples of
// `sampleBytes` each, one after the other, at the start of `blockAlign` bytes.
struct PcmLayout {
  PcmSampleType type;
  uint32_t channels;
  uint32_t blockAlign;
  uint32_t sampleBytes;
  uint32_t bits;  // of the sample container: 8, 16, 24, 32 or 64
};

// The layout of the frames a sample source delivers (see sample_source.h:
// plain data as stored, FLAC decoded): unsigned 8-bit, signed 16/24/32-bit
// integers and 32/64-bit floats (tag 3, or extensible with the float
// sub-format); none for other widths, no channel, frames too short for their
// samples, or data no sample source reads.
std::optional<PcmLayout> FrameLayoutOf(const SoundFormatInfo& info);

// The same for data read straight from the file (decoder type 0) only.
std::optional<PcmLayout> PcmLayoutOf(const SoundFormatInfo& info);

// One sample from its little-endian bytes: integers as signed values in their
// own units (8-bit measured from 128), floats as stored.
inline int32_t ReadU8(const uint8_t* b) {
  return int32_t{b[0]} - 128;
}
inline int32_t ReadS16(const uint8_t* b) {
  return static_cast<int16_t>(b[0] | b[1] << 8);
}
inline int32_t ReadS24(const uint8_t* b) {
  // The three bytes at the top of a 32-bit word, shifted down with their sign.
  return static_cast<int32_t>(uint32_t{b[0]} << 8 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 24) >>
         8;
}
inline int32_t ReadS32(const uint8_t* b) {
  return static_cast<int32_t>(uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 |
                              uint32_t{b[3]} << 24);
}
inline double ReadF32(const uint8_t* b) {
  return std::bit_cast<float>(static_cast<uint32_t>(ReadS32(b)));
}
inline double ReadF64(const uint8_t* b) {
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = bits << 8 | b[i];
  return std::bit_cast<double>(bits);
}

}  // namespace snipora
