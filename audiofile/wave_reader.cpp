#include "audiofile/wave_reader.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "audiofile/rf64_sizes.h"

namespace snipora {
namespace {

constexpr uint32_t kMaxExtraSize = 109;  // extra size + 18 must stay below 128
constexpr uint32_t kPcmFieldsSize = 16;
constexpr uint32_t kFieldsWithExtraSize = 18;
constexpr int64_t kMaxDataOffset = 0x7FFFFFFF;
constexpr uint16_t kExtensibleExtraSize = 22;  // valid bits, channel mask, sub-format

// The sub-format GUIDs of WAVE_FORMAT_EXTENSIBLE for PCM and IEEE float: the
// plain format tag in the first two bytes, then a fixed tail.
constexpr uint8_t kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                        0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

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

// How much the 8 bytes at position look like a chunk header: 2 a known
// identifier, 1 a printable one whose body fits in the file, 0 neither.
int HeaderPlausibility(const uint8_t* header, int64_t position, uint64_t fileSize) {
  if (IsKnownChunkId(header)) return 2;
  const uint32_t size = uint32_t{header[4]} | uint32_t{header[5]} << 8 | uint32_t{header[6]} << 16 |
                        uint32_t{header[7]} << 24;
  return IsChunkId(header) && static_cast<uint64_t>(position) + 8 + size <= fileSize ? 1 : 0;
}

// Walks the chunks of a RIFF WAVE file, keeping the offset of the byte after
// the last chunk header read.
class ChunkWalker {
 public:
  // preferPadded: which reading wins when both positions after an odd-sized
  // chunk look equally like a chunk header.
  ChunkWalker(CSectorFile& file, bool preferPadded) : file_(file), preferPadded_(preferPadded) {}

  // Reads a 4-byte identifier; false when the file ends first.
  bool ReadId(char id[4]) { return file_.Read(id, 4, 1) == 1; }

  // Reads a chunk's size and counts its 8-byte header.
  bool ReadSize(uint32_t& size) {
    if (static_cast<uint64_t>(file_.Tell()) + 4 > file_.GetSize()) return false;
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
  // followed by a pad byte, but some writers forget it: the position whose
  // header looks more like a chunk's (a known identifier, else a size that
  // fits in the file) is taken; a tie goes to the preferred reading.
  bool ReadNextId(uint32_t size, char id[4]) {
    if (size % 2 == 0) return ReadId(id);
    metOddChunk_ = true;
    const int64_t start = file_.Tell();
    uint8_t bytes[9];
    const uint32_t got = file_.Read(bytes, 1, 9);
    if (got < 4) return false;
    const uint64_t fileSize = file_.GetSize();
    const int unpadded = got >= 8 ? HeaderPlausibility(bytes, start, fileSize) : 0;
    const int padded = got >= 9 ? HeaderPlausibility(bytes + 1, start + 1, fileSize) : 0;
    const bool takePad = got >= 5 && (padded > unpadded || (padded == unpadded && preferPadded_));
    const uint32_t skip = takePad ? 1 : 0;
    std::memcpy(id, bytes + skip, 4);
    offset_ += skip;
    // Bytes read past the identifier belong to the next chunk's size.
    return file_.Seek(static_cast<int32_t>(skip + 4) - static_cast<int32_t>(got), 1) == 0;
  }

  // Reads the body of a "ds64" chunk of `size` bytes (what follows the sizes
  // is skipped) and keeps the sizes it states.
  bool ReadDs64(uint32_t size) {
    uint8_t body[kDs64BodySize] = {};
    const uint32_t wanted = std::min(size, kDs64BodySize);
    if (wanted > 0 && file_.Read(body, wanted, 1) != 1) return false;
    ds64_ = ParseDs64(body, wanted);
    offset_ += wanted;
    return SkipBody(size - wanted);
  }
  const std::optional<Ds64Sizes>& ds64() const { return ds64_; }

  int64_t offset() const { return offset_; }
  void AddOffset(int64_t n) { offset_ += n; }
  // True once a pad byte had to be decided on.
  bool metOddChunk() const { return metOddChunk_; }

 private:
  CSectorFile& file_;
  const bool preferPadded_;
  bool metOddChunk_ = false;
  std::optional<Ds64Sizes> ds64_;
  int64_t offset_ = 12;  // after "RIFF", its size and "WAVE"
};

// Reads the "fmt " chunk body of `size` bytes into the block and leaves the
// file at the chunk's stated end. 0, 4 (cut short or unusable) or 7.
int ReadFormatChunk(CSectorFile& file, uint32_t size, SoundFormatInfo& info) {
  WaveFormatBlock& block = info.formatBlock;
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
  info.formatChunkSize = static_cast<uint16_t>(file.Tell() - start);
  // Fields beyond what is read (a longer chunk) are skipped.
  const int64_t rest = start + size - file.Tell();
  if (rest > 0 && file.Skip(static_cast<uint32_t>(rest)) != 0) return 4;
  return 0;
}

uint16_t ExtraU16(const WaveFormatBlock& block, int at) {
  return static_cast<uint16_t>(block.extra[at] | block.extra[at + 1] << 8);
}

// Whole frames of whole-byte samples: what straight copying and scaling need.
bool WholeByteFrames(const WaveFormatBlock& block) {
  return block.bitsPerSample % 8 == 0 && block.channels > 0 &&
         block.blockAlign == block.channels * (block.bitsPerSample / 8);
}

// Fills the plain-data fields and the type name when the block describes
// samples that are read straight from the file: tag 1 as always, IEEE float
// (tag 3) of 32 or 64 bits, and WAVE_FORMAT_EXTENSIBLE with the PCM (8 to 32
// bits) or float sub-format. False: the data needs a decoder.
bool DescribePlainData(SoundFormatInfo& info) {
  const WaveFormatBlock& block = info.formatBlock;
  const uint16_t bits = block.bitsPerSample;
  info.validBits = bits;
  info.channelMask = 0;
  if (block.formatTag == kWaveFormatPcm) {
    info.SetTypeName("RIFF PCM");
    return true;
  }
  const bool floatBits = bits == 32 || bits == 64;
  if (block.formatTag == kWaveFormatIeeeFloat) {
    if (!floatBits || !WholeByteFrames(block)) return false;
    info.SetTypeName("RIFF IEEE Float");
    return true;
  }
  if (block.formatTag != kWaveFormatExtensible || block.extraSize < kExtensibleExtraSize ||
      !WholeByteFrames(block) ||
      std::memcmp(block.extra + 8, kSubFormatTail, sizeof kSubFormatTail) != 0) {
    return false;
  }
  const uint16_t subFormat = ExtraU16(block, 6);
  const uint16_t validBits = ValidBitsOf(block);
  if (validBits > bits) return false;
  if (subFormat == kWaveFormatPcm && bits >= 8 && bits <= 32) {
    info.SetTypeName("RIFF PCM (拡張)");
  } else if (subFormat == kWaveFormatIeeeFloat && floatBits) {
    info.SetTypeName("RIFF IEEE Float (拡張)");
  } else {
    return false;
  }
  info.validBits = validBits;
  info.channelMask = static_cast<uint32_t>(ExtraU16(block, 2) | ExtraU16(block, 4) << 16);
  return true;
}

void FillFromData(SoundFormatInfo& info, uint64_t dataSize) {
  const WaveFormatBlock& block = info.formatBlock;
  info.dataSize = dataSize;
  info.lengthMs = static_cast<int32_t>(BytesToMilliseconds(dataSize, block.avgBytesPerSec));
  info.bitRate = static_cast<int32_t>(block.avgBytesPerSec * 8);
  if (DescribePlainData(info)) {
    info.decoderType = 0;
    info.lengthFrames = dataSize / block.blockAlign;
  } else {
    info.decoderType = 1;
    info.SetTypeName(WaveTypeName(block.formatTag));
    info.lengthFrames =
        static_cast<uint64_t>(int64_t{info.lengthMs} * int64_t{block.samplesPerSec} / 1000);
  }
  info.reserved = 0;
  info.channels = static_cast<int16_t>(block.channels);
  info.sampleRate = block.samplesPerSec;
}

// Reads the chunks from the one after "WAVE" up to the first sample byte.
// Returns what ReadRiffWaveHeader does.
int WalkChunks(CSectorFile& file, ChunkWalker& walker, SoundFormatInfo& info) {
  char id[4];
  if (!walker.ReadId(id)) return 4;
  uint32_t size = 0;
  // A "ds64" chunk holds the 64-bit sizes; other chunks before "fmt " are
  // ignored whatever they are.
  const auto skipBody = [&](uint32_t bodySize) {
    return std::memcmp(id, "ds64", 4) == 0 ? walker.ReadDs64(bodySize) : walker.SkipBody(bodySize);
  };
  while (std::memcmp(id, "fmt ", 4) != 0) {
    if (!walker.ReadSize(size) || !skipBody(size) || !walker.ReadNextId(size, id)) return 4;
  }
  if (!walker.ReadSize(size)) return 4;
  const int formatResult = ReadFormatChunk(file, size, info);
  if (formatResult != 0) return formatResult;
  walker.AddOffset(size);
  if (!walker.ReadNextId(size, id)) return 4;

  while (true) {
    if (!walker.ReadSize(size)) return 4;
    if (std::memcmp(id, "data", 4) == 0) break;
    if (!skipBody(size) || !walker.ReadNextId(size, id)) return 4;
  }
  if (walker.offset() > kMaxDataOffset) return 4;
  info.dataOffset = static_cast<int32_t>(walker.offset());
  // "ds64" states the sizes whose 32-bit fields say 0xFFFFFFFF. Without it (a
  // writer that streamed and never came back) the data runs to the end of
  // the file, also past 4 GiB.
  const std::optional<Ds64Sizes>& ds64 = walker.ds64();
  if (ds64 && info.containerLength == int64_t{kSizeInDs64} + 8) {
    info.containerLength = static_cast<int64_t>(ds64->riffSize + 8);
  }
  uint64_t dataSize = size;
  if (size == kSizeInDs64) dataSize = ds64 ? ds64->dataSize : UINT64_MAX;
  // A size beyond the end of the file is cut to the bytes the file holds.
  const uint64_t fileSize = file.GetSize();
  const auto dataOffset = static_cast<uint64_t>(info.dataOffset);
  const uint64_t available = fileSize > dataOffset ? fileSize - dataOffset : 0;
  FillFromData(info, std::min(dataSize, available));
  return 0;
}

}  // namespace

int ReadRiffWaveHeader(CSectorFile& file, SoundFormatInfo& info) {
  info.format = &info.formatBlock;
  uint8_t id[4];
  if (file.Read(id, 4, 1) != 1 || !IsWaveFormId(id)) return 2;
  info.containerLength = int64_t{file.ReadU32()} + 8;
  if (file.Read(id, 4, 1) != 1 || std::memcmp(id, "WAVE", 4) != 0) return 2;

  const int64_t firstChunk = file.Tell();
  ChunkWalker padded(file, true);
  const int result = WalkChunks(file, padded, info);
  // A wrong guess at a pad byte derails the rest of the walk: when it fails,
  // the file is read again with the unpadded reading preferred.
  if (result == 0 || !padded.metOddChunk() || file.Seek(static_cast<int32_t>(firstChunk), 0) != 0) {
    return result;
  }
  ChunkWalker unpadded(file, false);
  return WalkChunks(file, unpadded, info) == 0 ? 0 : result;
}

int ProbeWaveFile(const char* path, SoundFormatInfo& info) {
  CSectorFile file(20480);
  if (file.Open(path, "rb", 32) != 0) return 1;
  const int result = ReadRiffWaveHeader(file, info);
  file.Close();
  if (result == 0 && info.decoderType != 0) return 3;
  return result;
}

}  // namespace snipora
