#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

// Builders for RIFF files byte by byte, as other programs lay them out, so
// that readers are tested against layouts our own writer never makes.
namespace snipora::test {

void PutU16(Bytes& bytes, uint32_t value);
void PutU32(Bytes& bytes, uint32_t value);
void PutText(Bytes& bytes, const std::string& text);

// A chunk: id, size, body and (with pad) the word-alignment byte after an
// odd-sized body.
Bytes Chunk(const std::string& id, const Bytes& body, bool pad = true);

// "RIFF" size "WAVE" followed by the chunks.
Bytes RiffWave(const std::vector<Bytes>& chunks);

// The body of a PCM "fmt " chunk.
Bytes PcmFormatBody(uint16_t channels, uint32_t rate, uint16_t bits);

}  // namespace snipora::test
