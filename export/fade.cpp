#include "export/fade.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "audiofile/sample_source.h"
#include "audiofile/sound_units.h"

namespace snipora {
namespace {

constexpr int64_t kFullGain = 3276700000000;  // 32767 x 10^8
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

// The factor of frame k (1 ... n) of an n-frame fade-out.
int64_t FadeOutFactor(uint64_t k, uint64_t n) {
  // k steps of a whole number never pass the full gain: no clamping needed.
  const int64_t step = kFullGain / static_cast<int64_t>(n);
  return (kFullGain - static_cast<int64_t>(k) * step) / 32767;
}

bool Covers(const FadeSpan& span, uint64_t frame) {
  return frame >= span.firstFrame && frame - span.firstFrame < span.frames;
}

}  // namespace

bool CanFade(const SoundFormatInfo& format) {
  const WaveFormatBlock& block = format.formatBlock;
  // Decoded samples (FLAC) are faded as they are read, like plain ones.
  if (!HasSampleData(format) || block.channels == 0 || block.blockAlign % block.channels != 0) {
    return false;
  }
  if (block.blockAlign > kMaxFrameBytes) return false;
  const uint32_t sampleBytes = block.blockAlign / block.channels;
  if (CodingOf(block) == SampleCoding::kFloat) return sampleBytes == 4 || sampleBytes == 8;
  return sampleBytes >= 1 && sampleBytes <= 4;
}

uint64_t FadeFrames(const SoundFormatInfo& format, uint32_t fadeMs, uint64_t limit) {
  const WaveFormatBlock& block = format.formatBlock;
  if (fadeMs == 0 || block.blockAlign == 0 || !CanFade(format)) return 0;
  return std::min(
      MillisecondsToBytes(fadeMs, block.avgBytesPerSec, block.blockAlign) / block.blockAlign,
      limit);
}

FrameScaler::FrameScaler(uint32_t blockAlign, uint16_t channels, SampleCoding coding,
                         uint32_t paddingBits)
    : frameBytes_(blockAlign),
      sampleBytes_(blockAlign / channels),
      coding_(coding),
      paddingBits_(paddingBits) {}

FrameScaler FrameScaler::ForFormat(const WaveFormatBlock& format) {
  return FrameScaler(format.blockAlign, format.channels, CodingOf(format),
                     format.bitsPerSample - ValidBitsOf(format));
}

void FrameScaler::Scale(uint8_t* frame, int64_t factor) const {
  for (uint32_t at = 0; at < frameBytes_; at += sampleBytes_) {
    uint8_t* sample = frame + at;
    if (coding_ == SampleCoding::kFloat) {
      sampleBytes_ == 4 ? ScaleFloat<float>(sample, factor) : ScaleFloat<double>(sample, factor);
    } else if (sampleBytes_ == 1) {
      // Unsigned around 128; the product truncates toward zero as for wider samples.
      *sample = static_cast<uint8_t>(128 + (*sample - 128) * factor / kFactorOne);
    } else {
      // Signed 64-bit product; the division truncates toward zero.
      const int64_t value = ReadSigned(sample, sampleBytes_) >> paddingBits_;
      WriteSigned(sample, sampleBytes_, value * factor / kFactorOne * (int64_t{1} << paddingBits_));
    }
  }
}

OutputFades::OutputFades(const FrameScaler& scaler, std::vector<FadeSpan> spans) : scaler_(scaler) {
  for (const FadeSpan& span : spans) {
    if (span.frames > 0) spans_.push_back(span);
  }
}

std::optional<int64_t> OutputFades::FadedFactor(uint64_t frame) const {
  std::optional<int64_t> factor;
  for (const FadeSpan& span : spans_) {
    if (!Covers(span, frame)) continue;
    const uint64_t k = span.direction == FadeDirection::kOut
                           ? frame - span.firstFrame + 1
                           : span.firstFrame + span.frames - frame;
    const int64_t own = FadeOutFactor(k, span.frames);
    // Both below 10^8: the product stays far inside 64 bits.
    factor = factor ? *factor * own / kFactorOne : own;
  }
  return factor;
}

uint64_t OutputFades::StretchEnd(uint64_t frame, uint64_t limit, bool& faded) const {
  uint64_t end = frame;
  faded = false;
  // Through touching and overlapping fades to the first frame none covers.
  for (bool extended = true; extended && end < limit;) {
    extended = false;
    for (const FadeSpan& span : spans_) {
      if (Covers(span, end)) {
        end = span.firstFrame + span.frames;
        extended = faded = true;
      }
    }
  }
  if (faded) return std::min(end, limit);
  // Unfaded up to where the next fade begins.
  for (const FadeSpan& span : spans_) {
    if (span.firstFrame > frame) limit = std::min(limit, span.firstFrame);
  }
  return limit;
}

void OutputFades::Apply(uint8_t* bytes, uint32_t count, uint64_t firstFrame) const {
  const uint32_t frameBytes = scaler_.FrameBytes();
  const uint64_t end = firstFrame + count / frameBytes;
  // Stretch by stretch, so that frames outside the fades cost nothing.
  for (uint64_t frame = firstFrame; frame < end;) {
    bool faded = false;
    const uint64_t stretchEnd = StretchEnd(frame, end, faded);
    for (; faded && frame < stretchEnd; ++frame) {
      scaler_.Scale(bytes + (frame - firstFrame) * frameBytes, *FadedFactor(frame));
    }
    frame = stretchEnd;
  }
}

}  // namespace snipora
