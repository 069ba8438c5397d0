#include "audiofile/wave_reader.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "audiofile/rf64_sizes.h"
#include "audiofile/riff_chunks.h"

namespace snipora {
namespace {

constexpr uint32_t kMaxExtraSize = 109;  // extra size + 18 must stay below 128
constexpr uint32_t kPcmFieldsSize = 16;
constexpr uint32_t kFieldsWithExtraSize = 18;
constexpr uint64_t kMaxDataOffset = 0x7FFFFFFF;
constexpr uint16_t kExtensibleExtraSize = 22;  // valid bits, channel mask, sub-format

// The sub-format GUIDs of WAVE_FORMAT_EXTENSIBLE for PCM and IEEE float: the
// plain format tag in the first two bytes, then a fixed tail.
constexpr uint8_t kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                        0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// Reads the "fmt " chunk body of `size` bytes, at the file's position, into
// the block; fields beyond those are not read. 0, 4 (cut short or unusable) or 7.
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

}  // namespace

int ReadRiffWaveHeader(CSectorFile& file, SoundFormatInfo& info) {
  info.format = &info.formatBlock;
  SectorFileBytes bytes(file);
  RiffChunkWalker walker(bytes);
  if (!walker.IsWave()) return 2;
  info.containerLength = int64_t{walker.RiffSizeField()} + 8;
  // Chunks before "fmt " are passed over whatever they are, and so are
  // those between it and "data".
  ChunkHeader chunk;
  bool haveFormat = false, haveData = false;
  while (!haveData && walker.Next(chunk)) {
    if (!haveFormat && chunk.Is("fmt ")) {
      if (file.SeekLarge(chunk.BodyOffset()) != 0) return 4;
      const int formatResult = ReadFormatChunk(file, static_cast<uint32_t>(chunk.size), info);
      if (formatResult != 0) return formatResult;
      haveFormat = true;
    } else {
      haveData = haveFormat && chunk.Is("data");
    }
  }
  if (!haveData || chunk.BodyOffset() > kMaxDataOffset) return 4;
  info.dataOffset = static_cast<int32_t>(chunk.BodyOffset());
  // "ds64" states the sizes whose 32-bit fields say 0xFFFFFFFF.
  const std::optional<Ds64Sizes>& ds64 = walker.Ds64();
  if (ds64 && walker.RiffSizeField() == kSizeInDs64) {
    info.containerLength = static_cast<int64_t>(ds64->riffSize + 8);
  }
  // A size beyond the end of the file is cut to the bytes the file holds.
  const uint64_t fileSize = file.GetSize();
  const auto dataOffset = static_cast<uint64_t>(info.dataOffset);
  const uint64_t available = fileSize > dataOffset ? fileSize - dataOffset : 0;
  FillFromData(info, std::min(chunk.size, available));
  return file.SeekLarge(dataOffset) == 0 ? 0 : 4;
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
