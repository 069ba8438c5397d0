#include "audiofile/rf64_sizes.h"

#include <cstring>

namespace snipora {
namespace {

uint64_t Le64(const uint8_t* p) {
  uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = value << 8 | p[i];
  return value;
}

void PutLe64(uint8_t* p, uint64_t value) {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

bool IsWaveFormId(const uint8_t* id) {
  return std::memcmp(id, "RIFF", 4) == 0 || std::memcmp(id, "RF64", 4) == 0 ||
         std::memcmp(id, "BW64", 4) == 0;
}

std::optional<Ds64Sizes> ParseDs64(const uint8_t* body, size_t size) {
  if (size < 16) return std::nullopt;
  Ds64Sizes sizes;
  sizes.riffSize = Le64(body);
  sizes.dataSize = Le64(body + 8);
  if (size >= 24) sizes.sampleCount = Le64(body + 16);
  return sizes;
}

void Ds64Body(const Ds64Sizes& sizes, uint8_t (&body)[kDs64BodySize]) {
  PutLe64(body, sizes.riffSize);
  PutLe64(body + 8, sizes.dataSize);
  PutLe64(body + 16, sizes.sampleCount);
  std::memset(body + 24, 0, 4);  // no table entries
}

}  // namespace snipora
