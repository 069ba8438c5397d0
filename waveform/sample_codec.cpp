#include "waveform/sample_codec.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "audiofile/sample_source.h"

namespace snipora {

namespace {

constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr uint16_t kExtensibleSize = 22;  // valid bits, channel mask, sub-format GUID
constexpr size_t kSubFormatAt = 6;        // the GUID's first two bytes are the sub-format's tag

uint32_t Le32(const uint8_t* b) {
  return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
}

// One loop per sample format, so that the decoder inlines into it.
template <float (*Decode)(const uint8_t*)>
void Fold(const uint8_t* data, uint32_t frames, const FrameShape& shape, PeakPair* perChannel) {
  for (uint32_t c = 0; c < shape.channels; ++c) {
    PeakPair peak = perChannel[c];
    const uint8_t* p = data + size_t{c} * shape.bytesPerSample;
    for (uint32_t f = 0; f < frames; ++f, p += shape.blockAlign) {
      const float v = Decode(p);
      peak.min = std::min(peak.min, v);
      peak.max = std::max(peak.max, v);
    }
    perChannel[c] = peak;
  }
}

// Packed samples whose raw values order as their decoded ones: min/max per
// lane of a 32-byte vector (which the compiler keeps in vector registers),
// then each lane to its channel. Several times faster than Fold for the
// common shapes; the others go through Fold.
template <class Raw, float (*Decode)(const uint8_t*)>
void FoldPacked(const uint8_t* data, uint32_t frames, const FrameShape& shape,
                PeakPair* perChannel) {
  constexpr uint32_t kLanes = 32 / sizeof(Raw);
  const size_t n = size_t{frames} * shape.channels;
  if (std::endian::native != std::endian::little || kLanes % shape.channels != 0 ||
      shape.blockAlign != shape.channels * sizeof(Raw) || n < kLanes) {
    Fold<Decode>(data, frames, shape, perChannel);
    return;
  }
  Raw lo[kLanes], hi[kLanes];
  std::memcpy(lo, data, sizeof lo);
  std::memcpy(hi, data, sizeof hi);
  const auto step = [&](const uint8_t* at) {
    Raw v[kLanes];
    std::memcpy(v, at, sizeof v);
    for (uint32_t j = 0; j < kLanes; ++j) {
      lo[j] = std::min(lo[j], v[j]);
      hi[j] = std::max(hi[j], v[j]);
    }
  };
  size_t i = kLanes;
  for (; i + kLanes <= n; i += kLanes) step(data + i * sizeof(Raw));
  // A last step overlapping the one before; as both n and the lane count are
  // multiples of the channel count, every lane keeps its channel.
  if (i < n) step(data + (n - kLanes) * sizeof(Raw));
  for (uint32_t j = 0; j < kLanes; ++j) {
    PeakPair& peak = perChannel[j % shape.channels];
    uint8_t bytes[sizeof(Raw)];
    std::memcpy(bytes, &lo[j], sizeof bytes);
    peak.min = std::min(peak.min, Decode(bytes));
    std::memcpy(bytes, &hi[j], sizeof bytes);
    peak.max = std::max(peak.max, Decode(bytes));
  }
}

uint16_t EffectiveTag(const WaveFormatBlock& block) {
  if (block.formatTag != kFormatExtensible || block.extraSize < kExtensibleSize) {
    return block.formatTag;
  }
  return static_cast<uint16_t>(block.extra[kSubFormatAt] | block.extra[kSubFormatAt + 1] << 8);
}

}  // namespace

float DecodeU8(const uint8_t* b) {
  return (int{b[0]} - 128) * (1.0f / 128);
}

float DecodeS16(const uint8_t* b) {
  return static_cast<int16_t>(b[0] | b[1] << 8) * (1.0f / 32768);
}

float DecodeS24(const uint8_t* b) {
  // The three bytes at the top of a 32-bit word, shifted down with their sign.
  const int32_t v =
      static_cast<int32_t>(uint32_t{b[0]} << 8 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 24) >> 8;
  return static_cast<float>(v) * (1.0f / 8388608);
}

float DecodeS32(const uint8_t* b) {
  return static_cast<float>(static_cast<int32_t>(Le32(b))) * (1.0f / 2147483648.0f);
}

float DecodeF32(const uint8_t* b) {
  return std::bit_cast<float>(Le32(b));
}

float DecodeF64(const uint8_t* b) {
  const uint64_t bits = uint64_t{Le32(b)} | uint64_t{Le32(b + 4)} << 32;
  return static_cast<float>(std::bit_cast<double>(bits));
}

std::optional<SampleCodec> CodecFor(const SoundFormatInfo& info) {
  const WaveFormatBlock& block = info.formatBlock;
  if (!HasSampleData(info) || block.channels == 0) return std::nullopt;
  const uint32_t bytes = block.bitsPerSample / 8u;
  if (bytes == 0 || block.bitsPerSample % 8 != 0 ||
      size_t{bytes} * block.channels > block.blockAlign) {
    return std::nullopt;
  }
  const FrameShape shape{block.channels, block.blockAlign, bytes};
  if (EffectiveTag(block) == kFormatFloat) {
    if (bytes == 4) return SampleCodec{shape, DecodeF32, FoldPacked<float, DecodeF32>};
    if (bytes == 8) return SampleCodec{shape, DecodeF64, Fold<DecodeF64>};
    return std::nullopt;
  }
  switch (bytes) {
    case 1:
      return SampleCodec{shape, DecodeU8, FoldPacked<uint8_t, DecodeU8>};
    case 2:
      return SampleCodec{shape, DecodeS16, FoldPacked<int16_t, DecodeS16>};
    case 3:
      return SampleCodec{shape, DecodeS24, Fold<DecodeS24>};
    case 4:
      return SampleCodec{shape, DecodeS32, FoldPacked<int32_t, DecodeS32>};
    default:
      return std::nullopt;
  }
}

}  // namespace snipora
