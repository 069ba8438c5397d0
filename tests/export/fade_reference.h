#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

// An independent, deliberately plain statement of the fade formula, used as
// the oracle for the export's fade: frame k (1-based) of n gets the gain
// max(0, 32767e8 - k * (32767e8 / n)) and the factor gain / 32767; an integer
// sample becomes sample * factor / 10^8 truncated toward zero (8-bit samples
// are unsigned around 128), a float sample is multiplied by factor / 10^8.
namespace snipora::test {

inline int64_t ReferenceFactor(uint64_t k, uint64_t n) {
  const int64_t full = 3276700000000;
  const int64_t step = full / static_cast<int64_t>(n);
  const int64_t lowered = full - static_cast<int64_t>(k) * step;
  return (lowered > 0 ? lowered : 0) / 32767;
}

inline int64_t ReferenceScaled(int64_t sample, int64_t factor) {
  const int64_t magnitude = (sample < 0 ? -sample : sample) * factor / 100000000;
  return sample < 0 ? -magnitude : magnitude;
}

// One sample of `size` bytes at p, faded with `factor`; the low paddingBits of an
// integer sample carry no signal (they are zero before and after).
inline void ReferenceFadeSample(uint8_t* p, unsigned size, bool isFloat, int64_t factor,
                                unsigned paddingBits = 0) {
  if (isFloat && size == 4) {
    float v;
    std::memcpy(&v, p, 4);
    v = static_cast<float>(double{v} * (static_cast<double>(factor) / 1e8));
    std::memcpy(p, &v, 4);
  } else if (isFloat) {
    double v;
    std::memcpy(&v, p, 8);
    v = v * (static_cast<double>(factor) / 1e8);
    std::memcpy(p, &v, 8);
  } else if (size == 1) {
    *p = static_cast<uint8_t>(128 + ReferenceScaled(int64_t{*p} - 128, factor));
  } else {
    int64_t v = 0;
    for (unsigned i = 0; i < size; ++i) v += int64_t{p[i]} << (8 * i);
    if (p[size - 1] & 0x80) v -= int64_t{1} << (8 * size);  // negative
    const int64_t unit = int64_t{1} << paddingBits;
    const int64_t faded = ReferenceScaled(v / unit, factor) * unit;
    for (unsigned i = 0; i < size; ++i) p[i] = static_cast<uint8_t>((faded >> (8 * i)) & 0xFF);
  }
}

// Fades the last fadeBytes of a little-endian buffer in place: frames of
// blockAlign bytes each hold `channels` samples that share one factor.
inline void ReferenceFade(std::vector<uint8_t>& data, size_t fadeBytes, unsigned blockAlign,
                          unsigned channels, bool isFloat = false, unsigned paddingBits = 0) {
  if (fadeBytes == 0) return;
  const uint64_t n = fadeBytes / blockAlign;
  const unsigned size = blockAlign / channels;
  const size_t begin = data.size() - fadeBytes;
  for (uint64_t k = 1; k <= n; ++k) {
    const int64_t factor = ReferenceFactor(k, n);
    for (unsigned c = 0; c < channels; ++c) {
      ReferenceFadeSample(data.data() + begin + (k - 1) * blockAlign + c * size, size, isFloat,
                          factor, paddingBits);
    }
  }
}

}  // namespace snipora::test
