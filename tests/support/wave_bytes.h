#pragma once

#include <cstdint>
#include <vector>

#include "tests/support/test_support.h"

// WAVE files built byte by byte, independently of the code under test: the
// little-endian writers, RIFF chunks, the "fmt " body and whole files.
namespace snipora::test {

void PutU16(Bytes& bytes, uint32_t value);
void PutU32(Bytes& bytes, uint32_t value);
void PutText(Bytes& bytes, const char* text);

// A chunk as it appears in a file; pad adds the word-alignment byte after an
// odd-sized body.
Bytes RiffChunk(const char* id, const Bytes& body, bool pad = true);

// The 16 bytes of a "fmt " body (WAVEFORMAT plus bits per sample).
Bytes FmtBody(uint16_t tag, uint16_t channels, uint32_t rate, uint32_t byteRate, uint16_t align,
              uint16_t bits);

// "RIFF" <size> "WAVE" followed by the chunks.
Bytes RiffWave(const std::vector<Bytes>& chunks);

// A canonical PCM file: 44-byte header, then `data`.
Bytes MakeWave(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& data);

}  // namespace snipora::test
