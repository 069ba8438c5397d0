#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "audiofile/rf64_sizes.h"

// The chunks of a RIFF WAVE file ("RIFF", "RF64" or "BW64"), walked in file
// order by every reader that looks for a chunk: the header reader, the loop
// reader and the marker reader.
namespace snipora {

class CSectorFile;

// Random access to the bytes of a file.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t Size() const = 0;
  // Reads up to count bytes at offset; returns how many were read.
  virtual size_t ReadAt(uint64_t offset, void* into, size_t count) = 0;
};

// Bytes held in memory (tests, fuzzing, a file already read).
class MemoryBytes : public ByteSource {
 public:
  MemoryBytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint64_t Size() const override { return size_; }
  size_t ReadAt(uint64_t offset, void* into, size_t count) override;

 private:
  const uint8_t* data_;
  size_t size_;
};

// The bytes of a file open for reading in a CSectorFile (which it moves).
class SectorFileBytes : public ByteSource {
 public:
  explicit SectorFileBytes(CSectorFile& file) : file_(file) {}
  uint64_t Size() const override;
  size_t ReadAt(uint64_t offset, void* into, size_t count) override;

 private:
  CSectorFile& file_;
};

// One chunk: its identifier, where its 8-byte header starts and its body size.
struct ChunkHeader {
  char id[4] = {};
  uint64_t offset = 0;
  // The size field; for a "data" chunk whose field says 0xFFFFFFFF, the size
  // "ds64" states, or the bytes to the end of the file when nothing states
  // it (a writer that streamed and never came back). May reach past the end
  // of a file that was cut short.
  uint64_t size = 0;

  uint64_t BodyOffset() const { return offset + 8; }
  bool Is(const char* name) const;
};

// Walks the chunks after the form type. RIFF chunks are word-aligned: after
// an odd-sized chunk a pad byte is skipped, but some writers forget it. Then
// the position after the pad and the one without it are weighed by what
// stands there (a known chunk identifier, else a printable one whose body
// fits in the file); on a tie the pad is taken, unless the whole walk with
// the pad taken stops early at something that is not a chunk while the walk
// without it gets further.
class RiffChunkWalker {
 public:
  explicit RiffChunkWalker(ByteSource& bytes);

  // False when the file does not start with a WAVE form header.
  bool IsWave() const { return isWave_; }
  // The form header's 32-bit size field.
  uint32_t RiffSizeField() const { return riffSize_; }

  // The next chunk in file order; false after the last one, at the end of
  // the file or at bytes that are no chunk header. The last chunk may run
  // past the end of the file.
  bool Next(ChunkHeader& chunk);

  // The sizes of the "ds64" chunk once the walk has passed it. Sizes that
  // were never filled in (a RIFF size of 0, as a streaming writer leaves
  // them) are not reported.
  const std::optional<Ds64Sizes>& Ds64() const { return ds64_; }

 private:
  struct Walk {
    uint64_t at = 12;
    bool ended = false;
    bool tie = false;  // a pad byte was decided by the preference alone
    std::optional<Ds64Sizes> ds64;
  };
  bool Step(Walk& walk, bool preferPadded, ChunkHeader& chunk);
  // Where a walk preferring the pad (or not) stops: the end of the file when
  // it reads every chunk, else the position of what it could not read.
  uint64_t Reach(bool preferPadded, bool* tie);

  ByteSource& bytes_;
  uint64_t fileSize_;
  bool isWave_ = false;
  uint32_t riffSize_ = 0;
  bool preferPadded_ = true;
  Walk walk_;
  std::optional<Ds64Sizes> ds64_;
};

// A chunk's little-endian 32-bit field at p.
inline uint32_t Le32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

// Appends value as a little-endian 32-bit field.
inline void AppendLe32(std::vector<uint8_t>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// One entry of a LIST chunk (an INFO text, an adtl label): its id and body.
struct ListEntry {
  std::string id;
  std::vector<uint8_t> body;
};

// The entries of a LIST chunk's body (its 4-byte list type first), pad bytes
// after odd-sized entries skipped. False when an entry is cut short; the
// entries before it are given.
bool ReadListEntries(const std::vector<uint8_t>& listBody, std::vector<ListEntry>& entries);

}  // namespace snipora
