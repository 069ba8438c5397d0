#pragma once

#include <cstdint>
#include <algorithm>
#include <cstring>
#include <vector>

#include "tests/support/test_support.h"

// Builders for RIFF WAVE bytes, written independently of the product's writer.
namespace snipora::test {

inline void PutU16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void PutU32(std::vector<uint8_t>& b, uint32_t v) {
  PutU16(b, v & 0xFFFF);
  PutU16(b, v >> 16);
}
inline void PutText(std::vector<uint8_t>& b, const char* text) {
  b.insert(b.end(), text, text + std::strlen(text));
}

// A chunk as it appears in a file; pad adds the word-alignment byte after an
// odd-sized body.
inline std::vector<uint8_t> Chunk(const char* id, const std::vector<uint8_t>& body,
                                  bool pad = true) {
  std::vector<uint8_t> b;
  PutText(b, id);
  PutU32(b, static_cast<uint32_t>(body.size()));
  b.insert(b.end(), body.begin(), body.end());
  if (pad && body.size() % 2 == 1) b.push_back(0);
  return b;
}

// The 16 bytes every "fmt " chunk starts with.
inline std::vector<uint8_t> FmtBody(uint16_t tag, uint16_t channels, uint32_t rate,
                                    uint32_t byteRate, uint16_t align, uint16_t bits) {
  std::vector<uint8_t> b;
  PutU16(b, tag);
  PutU16(b, channels);
  PutU32(b, rate);
  PutU32(b, byteRate);
  PutU16(b, align);
  PutU16(b, bits);
  return b;
}

// A WAVE_FORMAT_EXTENSIBLE "fmt " body (40 bytes) with the given sub-format
// tag (1 PCM, 3 float) in the standard GUID.
inline std::vector<uint8_t> ExtensibleFmtBody(uint16_t channels, uint32_t rate, uint16_t bits,
                                              uint16_t validBits, uint32_t channelMask,
                                              uint16_t subFormat) {
  const auto align = static_cast<uint16_t>(channels * bits / 8);
  std::vector<uint8_t> b = FmtBody(0xFFFE, channels, rate, rate * align, align, bits);
  PutU16(b, 22);
  PutU16(b, validBits);
  PutU32(b, channelMask);
  PutU16(b, subFormat);
  const uint8_t tail[14] = {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
  b.insert(b.end(), tail, tail + sizeof tail);
  return b;
}

// Seeded sample bytes (see SeededBytes); with isFloat the samples are 32- or 64-bit
// floats in -1 ... 1 rather than arbitrary bit patterns.
inline std::vector<uint8_t> SeededSamples(size_t bytes, unsigned sampleBytes, bool isFloat,
                                          uint32_t seed) {
  std::vector<uint8_t> data = SeededBytes(bytes, seed);
  if (!isFloat) return data;
  for (size_t at = 0; at + sampleBytes <= data.size(); at += sampleBytes) {
    const double value = (static_cast<int>(data[at]) - 128) / 128.0 + data[at + 1] / 1e6;
    if (sampleBytes == 4) {
      const auto single = static_cast<float>(value);
      std::memcpy(&data[at], &single, 4);
    } else {
      std::memcpy(&data[at], &value, 8);
    }
  }
  return data;
}

inline std::vector<uint8_t> Riff(const std::vector<std::vector<uint8_t>>& chunks) {
  std::vector<uint8_t> body;
  PutText(body, "WAVE");
  for (const auto& chunk : chunks) body.insert(body.end(), chunk.begin(), chunk.end());
  std::vector<uint8_t> file;
  PutText(file, "RIFF");
  PutU32(file, static_cast<uint32_t>(body.size()));
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

// The body of the first chunk `id` of a RIFF file (empty when there is none).
inline std::vector<uint8_t> ChunkBody(const std::vector<uint8_t>& wave, const char* id) {
  size_t at = 12;
  while (at + 8 <= wave.size()) {
    const uint32_t size = GetU32(wave, at + 4);
    const size_t end = std::min(wave.size(), at + 8 + size);
    if (std::memcmp(wave.data() + at, id, 4) == 0) return {wave.begin() + at + 8, wave.begin() + end};
    at += 8 + size + (size & 1);
  }
  return {};
}

}  // namespace snipora::test
