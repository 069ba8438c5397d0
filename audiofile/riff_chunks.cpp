#include "audiofile/riff_chunks.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "audiofile/sector_file.h"

namespace snipora {
namespace {

constexpr uint64_t kFormHeaderSize = 12;  // "RIFF", its size, "WAVE"
constexpr uint64_t kChunkHeaderSize = 8;

bool IsChunkId(const uint8_t* id) {
  return std::all_of(id, id + 4, [](uint8_t c) { return c >= 0x20 && c <= 0x7E; });
}

// Identifiers of chunks that WAVE writers commonly put beside "fmt " and
// "data".
bool IsKnownChunkId(const uint8_t* id) {
  static constexpr const char* kKnown[] = {
      "fmt ", "data", "fact", "LIST", "JUNK", "junk", "PAD ", "FLLR", "fllr", "cue ",
      "smpl", "inst", "bext", "iXML", "axml", "id3 ", "ID3 ", "ds64", "plst", "PEAK",
      "cart", "acid", "umid", "DISP", "wavl", "slnt", "labl", "note", "ltxt"};
  return std::any_of(std::begin(kKnown), std::end(kKnown),
                     [id](const char* known) { return std::memcmp(id, known, 4) == 0; });
}

// How much the 8 bytes at `at` look like a chunk header: 2 a known
// identifier, 1 a printable one whose body fits in the file, 0 neither.
int HeaderPlausibility(ByteSource& bytes, uint64_t at, uint64_t fileSize) {
  uint8_t header[kChunkHeaderSize];
  if (at > fileSize || fileSize - at < kChunkHeaderSize || bytes.ReadAt(at, header, 8) != 8) {
    return 0;
  }
  if (IsKnownChunkId(header)) return 2;
  return IsChunkId(header) && Le32(header + 4) <= fileSize - at - kChunkHeaderSize ? 1 : 0;
}

}  // namespace

size_t MemoryBytes::ReadAt(uint64_t offset, void* into, size_t count) {
  if (offset >= size_ || count == 0) return 0;
  const size_t n = std::min<uint64_t>(count, size_ - offset);
  std::memcpy(into, data_ + offset, n);
  return n;
}

uint64_t SectorFileBytes::Size() const {
  return file_.GetSize();
}

size_t SectorFileBytes::ReadAt(uint64_t offset, void* into, size_t count) {
  if (file_.SeekLarge(offset) != 0) return 0;
  return file_.ReadBlock(into, static_cast<uint32_t>(std::min<size_t>(count, UINT32_MAX)));
}

bool ChunkHeader::Is(const char* name) const {
  return std::memcmp(id, name, 4) == 0;
}

RiffChunkWalker::RiffChunkWalker(ByteSource& bytes) : bytes_(bytes), fileSize_(bytes.Size()) {
  uint8_t head[kFormHeaderSize];
  isWave_ = bytes.ReadAt(0, head, kFormHeaderSize) == kFormHeaderSize && IsWaveFormId(head) &&
            std::memcmp(head + 8, "WAVE", 4) == 0;
  if (!isWave_) {
    walk_.ended = true;
    return;
  }
  riffSize_ = Le32(head + 4);
  // A wrong guess at a pad byte derails the rest of the walk: where the
  // preference decided, the walk without the pad is tried as well.
  bool tie = false;
  const uint64_t padded = Reach(true, &tie);
  if (tie && padded < fileSize_) preferPadded_ = Reach(false, &tie) <= padded;
}

bool RiffChunkWalker::Step(Walk& walk, bool preferPadded, ChunkHeader& chunk) {
  uint8_t header[kChunkHeaderSize];
  if (walk.ended || walk.at > fileSize_ || fileSize_ - walk.at < kChunkHeaderSize ||
      bytes_.ReadAt(walk.at, header, kChunkHeaderSize) != kChunkHeaderSize || !IsChunkId(header)) {
    walk.ended = true;
    return false;
  }
  std::memcpy(chunk.id, header, 4);
  chunk.offset = walk.at;
  chunk.size = Le32(header + 4);
  const uint64_t room = fileSize_ - chunk.BodyOffset();
  if (chunk.Is("ds64")) {
    uint8_t body[kDs64BodySize] = {};
    const auto wanted = static_cast<size_t>(std::min<uint64_t>({chunk.size, room, kDs64BodySize}));
    const std::optional<Ds64Sizes> sizes =
        ParseDs64(body, bytes_.ReadAt(chunk.BodyOffset(), body, wanted));
    // A streaming writer leaves the sizes 0 for want of a way back.
    if (sizes && sizes->riffSize != 0) walk.ds64 = sizes;
  }
  if (chunk.Is("data") && chunk.size == kSizeInDs64) {
    chunk.size = walk.ds64 ? walk.ds64->dataSize : room;
  }
  if (chunk.size > room) {
    walk.ended = true;  // the last chunk: cut short or misread
    return true;
  }
  const uint64_t end = chunk.BodyOffset() + chunk.size;
  walk.at = end;
  if (chunk.size % 2 == 1) {
    const int unpadded = HeaderPlausibility(bytes_, end, fileSize_);
    const int padded = HeaderPlausibility(bytes_, end + 1, fileSize_);
    walk.tie = walk.tie || padded == unpadded;
    if (padded > unpadded || (padded == unpadded && preferPadded)) walk.at = end + 1;
  }
  return true;
}

uint64_t RiffChunkWalker::Reach(bool preferPadded, bool* tie) {
  Walk walk;
  ChunkHeader chunk;
  while (Step(walk, preferPadded, chunk)) {
    if (walk.ended) {
      // The chunk runs past the end of the file: a data chunk of a file that
      // was cut short, or any other where the walk went wrong.
      *tie = walk.tie;
      return chunk.Is("data") ? fileSize_ : chunk.offset;
    }
  }
  *tie = walk.tie;
  // Fewer than 8 bytes left over (a last pad byte) is a clean end.
  return fileSize_ - std::min(walk.at, fileSize_) < kChunkHeaderSize ? fileSize_ : walk.at;
}

bool RiffChunkWalker::Next(ChunkHeader& chunk) {
  const bool got = Step(walk_, preferPadded_, chunk);
  ds64_ = walk_.ds64;
  return got;
}

bool ReadListEntries(const std::vector<uint8_t>& listBody, std::vector<ListEntry>& entries) {
  for (size_t at = 4; at + kChunkHeaderSize <= listBody.size();) {
    const uint32_t size = Le32(&listBody[at + 4]);
    if (size > listBody.size() - at - kChunkHeaderSize) return false;
    const auto body = listBody.begin() + static_cast<std::ptrdiff_t>(at + kChunkHeaderSize);
    entries.push_back({std::string(listBody.begin() + static_cast<std::ptrdiff_t>(at),
                                   listBody.begin() + static_cast<std::ptrdiff_t>(at + 4)),
                       std::vector<uint8_t>(body, body + size)});
    at += kChunkHeaderSize + size + (size & 1);
  }
  return true;
}

}  // namespace snipora
