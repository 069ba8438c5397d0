#include "export/fade.h"

#include <algorithm>
#include <cstring>

#include "audiofile/sound_units.h"

namespace snipora {
namespace {

constexpr int64_t kFactorOne = 100000000;  // the factor that stands for 1
// Frames of up to this size fit the export's copy blocks many times over.
constexpr uint32_t kMaxFrameBytes = 4096;

// A little-endian signed integer sample of `size` bytes (2 to 4).
int64_t ReadSigned(const uint8_t* at, uint32_t size) {
  uint32_t value = 0;
  for (uint32_t i = 0; i < size; ++i) value |= uint32_t{at[i]} << (8 * i);
  const uint32_t shift = 32 - 8 * size;
  return static_cast<int32_t>(value << shift) >> shift;  // sign-extended
}

void WriteSigned(uint8_t* at, uint32_t size, int64_t sample) {
  const auto value = static_cast<uint32_t>(sample);
  for (uint32_t i = 0; i < size; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

template <typename Float>
void ScaleFloat(uint8_t* at, int64_t factor) {
  Float value;
  std::memcpy(&value, at, sizeof value);
  value = static_cast<Float>(value * (static_cast<double>(factor) / kFactorOne));
  std::memcpy(at, &value, sizeof value);
}

}  // namespace

uint64_t FadeBytes(uint32_t bytesPerSecond, uint32_t fadeMs, uint32_t blockAlign,
                   uint64_t pieceLength) {
  if (blockAlign == 0) return 0;
  return std::min(MillisecondsToBytes(fadeMs, bytesPerSecond, blockAlign), pieceLength);
}

bool CanFade(const SoundFormatInfo& format) {
  const WaveFormatBlock& block = format.formatBlock;
  if (format.decoderType != 0 || block.channels == 0 || block.blockAlign % block.channels != 0) {
    return false;
  }
  if (block.blockAlign > kMaxFrameBytes) return false;
  const uint32_t sampleBytes = block.blockAlign / block.channels;
  if (CodingOf(block) == SampleCoding::kFloat) return sampleBytes == 4 || sampleBytes == 8;
  return sampleBytes >= 1 && sampleBytes <= 4;
}

FadeRamp::FadeRamp(uint64_t fadeBytes, uint32_t blockAlign, uint16_t channels, SampleCoding coding,
                   uint32_t paddingBits)
    : step_(static_cast<int64_t>(kFullGain / (fadeBytes / blockAlign))),
      frameBytes_(blockAlign),
      sampleBytes_(blockAlign / channels),
      coding_(coding),
      paddingBits_(paddingBits) {}

FadeRamp FadeRamp::ForFormat(uint64_t fadeBytes, const WaveFormatBlock& format) {
  return FadeRamp(fadeBytes, format.blockAlign, format.channels, CodingOf(format),
                  format.bitsPerSample - ValidBitsOf(format));
}

void FadeRamp::Apply(uint8_t* bytes, uint32_t count) {
  for (uint32_t frame = 0; frame + frameBytes_ <= count; frame += frameBytes_) {
    gain_ = gain_ >= step_ ? gain_ - step_ : 0;
    const int64_t factor = gain_ / 32767;  // 0 ... 10^8 - 1, standing for 0 ... 1
    for (uint32_t at = frame; at < frame + frameBytes_; at += sampleBytes_) {
      uint8_t* sample = bytes + at;
      if (coding_ == SampleCoding::kFloat) {
        sampleBytes_ == 4 ? ScaleFloat<float>(sample, factor) : ScaleFloat<double>(sample, factor);
      } else if (sampleBytes_ == 1) {
        // Unsigned around 128; the product truncates toward zero as for wider samples.
        *sample = static_cast<uint8_t>(128 + (*sample - 128) * factor / kFactorOne);
      } else {
        // Signed 64-bit product; the division truncates toward zero.
        const int64_t value = ReadSigned(sample, sampleBytes_) >> paddingBits_;
        WriteSigned(sample, sampleBytes_,
                    value * factor / kFactorOne * (int64_t{1} << paddingBits_));
      }
    }
  }
}

}  // namespace snipora
