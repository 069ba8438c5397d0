#include "audiofile/wave_reader.h"

#include <algorithm>
#include <cstring>

namespace snipora {
namespace {

constexpr uint32_t kMaxExtraSize = 109;  // extra size + 18 must stay below 128
constexpr uint32_t kPcmFieldsSize = 16;
constexpr uint32_t kFieldsWithExtraSize = 18;
constexpr int64_t kMaxDataOffset = 0x7FFFFFFF;

bool IsChunkId(const uint8_t* id) {
  return std::all_of(id, id + 4, [](uint8_t c) { return c >= 0x20 && c <= 0x7E; });
}

// Walks the chunks of a RIFF WAVE file, keeping the offset of the byte after
// the last chunk header read.
class ChunkWalker {
 public:
  explicit ChunkWalker(CSectorFile& file) : file_(file) {}

  // Reads a 4-byte identifier; false when the file ends first.
  bool ReadId(char id[4]) { return file_.Read(id, 4, 1) == 1; }

  // Reads a chunk's size and counts its 8-byte header.
  bool ReadSize(uint32_t& size) {
    if (file_.Tell() + 4 > file_.GetSize()) return false;
    size = file_.ReadU32();
    offset_ += 8;
    return true;
  }

  // Moves over `size` bytes of chunk body the caller did not read.
  bool SkipBody(uint32_t size) {
    if (size > 0 && file_.Skip(size) != 0) return false;
    offset_ += size;
    return offset_ <= kMaxDataOffset;
  }

  // Reads the identifier after a chunk of `size` bytes. An odd-sized chunk is
  // followed by a pad byte; a file whose writer forgot the pad still opens
  // when the unpadded position holds an identifier and the padded does not.
  bool ReadNextId(uint32_t size, char id[4]) {
    if (size % 2 == 0) return ReadId(id);
    uint8_t bytes[5];
    const uint32_t got = file_.Read(bytes, 1, 5);
    if (got == 5 && (IsChunkId(bytes + 1) || !IsChunkId(bytes))) {
      std::memcpy(id, bytes + 1, 4);
      offset_ += 1;
      return true;
    }
    if (got < 4) return false;
    std::memcpy(id, bytes, 4);
    // The fifth byte already belongs to the next chunk's size.
    return got == 4 || file_.Seek(-1, 1) == 0;
  }

  int64_t offset() const { return offset_; }
  void AddOffset(int64_t n) { offset_ += n; }

 private:
  CSectorFile& file_;
  int64_t offset_ = 12;  // after "RIFF", its size and "WAVE"
};

// Reads the "fmt " chunk body of `size` bytes into the block and leaves the
// file at the chunk's stated end. 0, 4 (cut short or unusable) or 7.
int ReadFormatChunk(CSectorFile& file, uint32_t size, WaveFormatBlock& block) {
  if (size < kPcmFieldsSize) return 4;
  const int64_t start = file.Tell();
  block.formatTag = file.ReadU16();
  block.channels = file.ReadU16();
  block.samplesPerSec = file.ReadU32();
  block.avgBytesPerSec = file.ReadU32();
  block.blockAlign = file.ReadU16();
  block.bitsPerSample = file.ReadU16();
  block.extraSize = size >= kFieldsWithExtraSize ? file.ReadU16() : 0;
  if (block.formatTag == kWaveFormatPcm) block.extraSize = 0;
  if (block.extraSize > kMaxExtraSize) return 7;
  if (file.Tell() - start + block.extraSize > size) return 4;  // extra bytes past the chunk
  if (block.extraSize > 0 && file.Read(block.extra, block.extraSize, 1) != 1) return 4;
  if (file.Tell() < start + static_cast<int64_t>(kPcmFieldsSize)) return 4;
  // Both would divide by zero in every position conversion.
  if (block.blockAlign == 0 || block.avgBytesPerSec == 0) return 4;
  // Fields beyond what is read (a longer chunk) are skipped.
  const int64_t rest = start + size - file.Tell();
  if (rest > 0 && file.Skip(static_cast<uint32_t>(rest)) != 0) return 4;
  return 0;
}

void FillFromData(SoundFormatInfo& info, uint32_t dataSize) {
  const WaveFormatBlock& block = info.formatBlock;
  info.dataSize = dataSize;
  info.lengthMs = static_cast<int32_t>(BytesToMilliseconds(dataSize, block.avgBytesPerSec));
  info.bitRate = static_cast<int32_t>(block.avgBytesPerSec * 8);
  if (block.formatTag == kWaveFormatPcm) {
    info.decoderType = 0;
    info.lengthFrames = dataSize / block.blockAlign;
  } else {
    info.decoderType = 1;
    info.lengthFrames =
        static_cast<uint32_t>(int64_t{info.lengthMs} * int64_t{block.samplesPerSec} / 1000);
  }
  info.reserved = 0;
  info.channels = static_cast<int16_t>(block.channels);
  info.sampleRate = block.samplesPerSec;
  info.SetTypeName(WaveTypeName(block.formatTag));
}

}  // namespace

int ReadRiffWaveHeader(CSectorFile& file, SoundFormatInfo& info) {
  info.format = &info.formatBlock;
  char id[4];
  if (file.Read(id, 4, 1) != 1 || std::memcmp(id, "RIFF", 4) != 0) return 2;
  info.containerLength = static_cast<int32_t>(file.ReadU32() + 8);
  if (file.Read(id, 4, 1) != 1 || std::memcmp(id, "WAVE", 4) != 0) return 2;

  ChunkWalker walker(file);
  if (!walker.ReadId(id)) return 4;
  uint32_t size = 0;
  // Chunks before "fmt " are ignored whatever they are.
  while (std::memcmp(id, "fmt ", 4) != 0) {
    if (!walker.ReadSize(size) || !walker.SkipBody(size) || !walker.ReadNextId(size, id)) {
      return 4;
    }
  }
  if (!walker.ReadSize(size)) return 4;
  const int formatResult = ReadFormatChunk(file, size, info.formatBlock);
  if (formatResult != 0) return formatResult;
  walker.AddOffset(size);
  if (!walker.ReadNextId(size, id)) return 4;

  while (true) {
    if (!walker.ReadSize(size)) return 4;
    if (std::memcmp(id, "data", 4) == 0) break;
    if (!walker.SkipBody(size) || !walker.ReadNextId(size, id)) return 4;
  }
  if (walker.offset() > kMaxDataOffset) return 4;
  info.dataOffset = static_cast<int32_t>(walker.offset());
  // A size beyond the end of the file is cut to the bytes the file holds.
  const uint32_t fileSize = file.GetSize();
  const auto dataOffset = static_cast<uint32_t>(info.dataOffset);
  const uint32_t available = fileSize > dataOffset ? fileSize - dataOffset : 0;
  FillFromData(info, std::min(size, available));
  return 0;
}

int ProbeWaveFile(const char* path, SoundFormatInfo& info) {
  CSectorFile file(20480);
  if (file.Open(path, "rb", 32) != 0) return 1;
  const int result = ReadRiffWaveHeader(file, info);
  file.Close();
  if (result == 0 && info.formatBlock.formatTag != kWaveFormatPcm) return 3;
  return result;
}

}  // namespace snipora
