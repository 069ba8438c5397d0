#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/support/test_support.h"

// Byte builders for PCM WAVE files in tests.
namespace snipora::test {

// A canonical 44-byte-header PCM WAVE file holding `data`.
inline Bytes MakeWave(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& data) {
  const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
  Bytes file(44 + data.size());
  const auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&file[at], &v, 4); };
  const auto put16 = [&](size_t at, uint16_t v) { std::memcpy(&file[at], &v, 2); };
  std::memcpy(&file[0], "RIFF", 4);
  put32(4, static_cast<uint32_t>(36 + data.size()));
  std::memcpy(&file[8], "WAVEfmt ", 8);
  put32(16, 16);
  put16(20, 1);
  put16(22, channels);
  put32(24, rate);
  put32(28, rate * align);
  put16(32, align);
  put16(34, bits);
  std::memcpy(&file[36], "data", 4);
  put32(40, static_cast<uint32_t>(data.size()));
  std::copy(data.begin(), data.end(), file.begin() + 44);
  return file;
}

inline Bytes SamplesToBytes(const std::vector<int16_t>& samples) {
  Bytes bytes(samples.size() * 2);
  std::memcpy(bytes.data(), samples.data(), bytes.size());
  return bytes;
}

}  // namespace snipora::test
