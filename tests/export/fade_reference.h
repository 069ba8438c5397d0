#pragma once

#include <cstdint>
#include <vector>

// An independent, deliberately plain statement of the fade formula, used as
// the oracle for the export's fade: frame k (1-based) of n gets the gain
// max(0, 32767e8 - k * (32767e8 / n)), the factor gain / 32767 and each
// sample becomes sample * factor / 10^8 truncated toward zero.
namespace snipora::test {

inline int16_t ReferenceFadedSample(int16_t sample, uint64_t k, uint64_t n) {
  const int64_t full = 3276700000000;
  const int64_t step = full / static_cast<int64_t>(n);
  const int64_t lowered = full - static_cast<int64_t>(k) * step;
  const int64_t factor = (lowered > 0 ? lowered : 0) / 32767;
  const int64_t magnitude = (sample < 0 ? -int64_t{sample} : int64_t{sample}) * factor / 100000000;
  return static_cast<int16_t>(sample < 0 ? -magnitude : magnitude);
}

// Fades the last fadeBytes of a 16-bit little-endian buffer in place: frames of
// blockAlign bytes are counted for n; a gain step covers 4 bytes with 2 channels
// and 2 bytes otherwise.
inline void ReferenceFade(std::vector<uint8_t>& data, size_t fadeBytes, unsigned blockAlign,
                          unsigned channels) {
  if (fadeBytes == 0) return;
  const uint64_t n = fadeBytes / blockAlign;
  const size_t unit = channels == 2 ? 4 : 2;
  const size_t begin = data.size() - fadeBytes;
  for (size_t at = begin; at + unit <= data.size(); at += unit) {
    const uint64_t k = (at - begin) / unit + 1;
    for (size_t s = at; s < at + unit; s += 2) {
      const auto sample = static_cast<int16_t>(data[s] | data[s + 1] << 8);
      const auto faded = static_cast<uint16_t>(ReferenceFadedSample(sample, k, n));
      data[s] = static_cast<uint8_t>(faded & 0xFF);
      data[s + 1] = static_cast<uint8_t>(faded >> 8);
    }
  }
}

}  // namespace snipora::test
