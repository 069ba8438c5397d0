#include "tests/support/riff_bytes.h"

namespace snipora::test {

void PutU16(Bytes& bytes, uint32_t value) {
  bytes.push_back(static_cast<uint8_t>(value));
  bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void PutU32(Bytes& bytes, uint32_t value) {
  PutU16(bytes, value & 0xFFFF);
  PutU16(bytes, value >> 16);
}

void PutText(Bytes& bytes, const std::string& text) {
  bytes.insert(bytes.end(), text.begin(), text.end());
}

Bytes Chunk(const std::string& id, const Bytes& body, bool pad) {
  Bytes chunk;
  PutText(chunk, id);
  PutU32(chunk, static_cast<uint32_t>(body.size()));
  chunk.insert(chunk.end(), body.begin(), body.end());
  if (pad && body.size() % 2 == 1) chunk.push_back(0);
  return chunk;
}

Bytes RiffWave(const std::vector<Bytes>& chunks) {
  Bytes body;
  PutText(body, "WAVE");
  for (const Bytes& chunk : chunks) body.insert(body.end(), chunk.begin(), chunk.end());
  Bytes file;
  PutText(file, "RIFF");
  PutU32(file, static_cast<uint32_t>(body.size()));
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

Bytes PcmFormatBody(uint16_t channels, uint32_t rate, uint16_t bits) {
  const uint16_t align = static_cast<uint16_t>(channels * ((bits + 7) / 8));
  Bytes body;
  PutU16(body, 1);
  PutU16(body, channels);
  PutU32(body, rate);
  PutU32(body, rate * align);
  PutU16(body, align);
  PutU16(body, bits);
  return body;
}

}  // namespace snipora::test
