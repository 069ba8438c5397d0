#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

// The 64-bit sizes of RF64 and BW64 files (and of RIFF files that carry a
// "ds64" chunk): a 32-bit size field of 0xFFFFFFFF says that the real size is
// in the "ds64" chunk, which comes first after the form type.
namespace snipora {

// A 32-bit size field whose value is in the "ds64" chunk.
inline constexpr uint32_t kSizeInDs64 = 0xFFFFFFFF;
// Body bytes of the "ds64" chunk a writer makes: the RIFF size, the data size,
// the sample count and an empty table of other chunks' sizes.
inline constexpr uint32_t kDs64BodySize = 28;

struct Ds64Sizes {
  uint64_t riffSize = 0;
  uint64_t dataSize = 0;
  uint64_t sampleCount = 0;  // frames; 0 when the chunk is too short to state it
};

// True for the form identifiers of a WAVE container: "RIFF", "RF64", "BW64".
bool IsWaveFormId(const uint8_t* id);

// The sizes a "ds64" chunk body of `size` bytes states; nothing when it is too
// short to hold the RIFF and data sizes.
std::optional<Ds64Sizes> ParseDs64(const uint8_t* body, size_t size);

// The body of a "ds64" chunk (kDs64BodySize bytes) stating `sizes`.
void Ds64Body(const Ds64Sizes& sizes, uint8_t (&body)[kDs64BodySize]);

}  // namespace snipora
