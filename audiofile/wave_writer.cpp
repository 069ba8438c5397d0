#include "audiofile/wave_writer.h"

#include <cstring>

#include "audiofile/rf64_sizes.h"
#include "platform/system/file_io.h"

namespace snipora {
namespace {

constexpr uint32_t kRiffHeaderSize = 12;  // "RIFF", its size, "WAVE"
constexpr uint32_t kChunkHeaderSize = 8;
constexpr uint32_t kPcmFormatChunkSize = 18;
constexpr uint32_t kFactChunkSize = 4;
constexpr uint32_t kDs64BodyOffset = kRiffHeaderSize + kChunkHeaderSize;
constexpr uint64_t kLargestRiffFile = 0xFFFFFFFF;  // positions are 32-bit below 4 GiB

// Where the header's parts lie; every offset is from the start of the file.
struct HeaderLayout {
  bool rf64;
  uint32_t formatSize;        // "fmt " chunk body, without its pad byte
  bool fact;                  // a "fact" chunk follows "fmt "
  uint32_t frameCountOffset;  // the "fact" chunk's value
  uint32_t dataSizeOffset;
  uint32_t size;
};

HeaderLayout Layout(const SoundFormatInfo& format, uint32_t extraChunkBytes,
                    WaveContainer container) {
  const WaveFormatBlock& block = format.formatBlock;
  HeaderLayout layout{};
  layout.rf64 = container == WaveContainer::kRf64;
  // Only PCM sources (tag 1, as NWA sources are described) have the
  // canonical header; the other plain sources are float and extensible ones.
  layout.fact = block.formatTag == kWaveFormatIeeeFloat || block.formatTag == kWaveFormatExtensible;
  if (!layout.fact) {
    layout.formatSize = kPcmFormatChunkSize;
  } else if (format.formatChunkSize != 0) {
    layout.formatSize = format.formatChunkSize;
  } else {
    layout.formatSize = kPcmFormatChunkSize + block.extraSize;  // a record not read from a file
  }
  uint32_t at = kRiffHeaderSize + kChunkHeaderSize + layout.formatSize + layout.formatSize % 2;
  if (layout.rf64) at += kChunkHeaderSize + kDs64BodySize;
  if (layout.fact) {
    layout.frameCountOffset = at + kChunkHeaderSize;
    at += kChunkHeaderSize + kFactChunkSize;
  }
  at += extraChunkBytes;
  layout.dataSizeOffset = at + 4;
  layout.size = at + kChunkHeaderSize;
  return layout;
}

// The data chunk is word-aligned like every chunk: an odd length is followed
// by a pad byte, which the RIFF size counts and the data size does not.
uint64_t PaddedLength(uint64_t dataLength) {
  return dataLength + dataLength % 2;
}

uint64_t RiffSize(const HeaderLayout& layout, uint64_t dataLength) {
  return layout.size - kChunkHeaderSize + PaddedLength(dataLength);
}

uint64_t FrameCount(const SoundFormatInfo& format, uint64_t dataLength) {
  const uint32_t blockAlign = format.formatBlock.blockAlign;
  return blockAlign == 0 ? 0 : dataLength / blockAlign;
}

// A 32-bit size field: its value, or in an RF64 file 0xFFFFFFFF ("see ds64")
// when the value does not fit.
uint32_t SizeField(const HeaderLayout& layout, uint64_t value) {
  return layout.rf64 && value > 0xFFFFFFFF ? kSizeInDs64 : static_cast<uint32_t>(value);
}

// The RF64 file's RIFF and data size fields always defer to "ds64".
uint32_t RiffSizeField(const HeaderLayout& layout, uint64_t dataLength) {
  return layout.rf64 ? kSizeInDs64 : static_cast<uint32_t>(RiffSize(layout, dataLength));
}
uint32_t DataSizeField(const HeaderLayout& layout, uint64_t dataLength) {
  return layout.rf64 ? kSizeInDs64 : static_cast<uint32_t>(dataLength);
}

void WriteDs64Body(CSectorFile& file, const SoundFormatInfo& format, const HeaderLayout& layout,
                   uint64_t dataLength) {
  uint8_t body[kDs64BodySize];
  Ds64Body({RiffSize(layout, dataLength), dataLength, FrameCount(format, dataLength)}, body);
  file.Write(body, 1, kDs64BodySize);
}

// The "fmt " chunk body: a tag-1 source gets the 18-byte form with extra
// size 0; any other gets back the bytes it was read from.
void WriteFormatBody(CSectorFile& file, const WaveFormatBlock& block, const HeaderLayout& layout) {
  file.WriteU16(block.formatTag);
  file.WriteU16(block.channels);
  file.WriteU32(block.samplesPerSec);
  file.WriteU32(block.avgBytesPerSec);
  file.WriteU16(block.blockAlign);
  file.WriteU16(block.bitsPerSample);
  if (!layout.fact) {
    file.WriteU16(0);
    return;
  }
  if (layout.formatSize < kPcmFormatChunkSize) return;
  file.WriteU16(block.extraSize);
  if (block.extraSize > 0) file.Write(block.extra, block.extraSize, 1);
  if (layout.formatSize % 2 == 1) file.Write("", 1, 1);  // the pad byte
}

}  // namespace

uint32_t WaveHeaderSize(const SoundFormatInfo& format, uint32_t extraChunkBytes,
                        WaveContainer container) {
  return Layout(format, extraChunkBytes, container).size;
}

bool FitsInRiff(const SoundFormatInfo& format, uint64_t dataLength, uint32_t extraChunkBytes) {
  return PaddedLength(dataLength) + WaveHeaderSize(format, extraChunkBytes) <= kLargestRiffFile;
}

std::optional<WaveContainer> ContainerFor(Rf64Policy policy, const SoundFormatInfo& format,
                                          uint64_t dataLength, uint32_t extraChunkBytes) {
  if (policy == Rf64Policy::kAlways) return WaveContainer::kRf64;
  if (FitsInRiff(format, dataLength, extraChunkBytes)) return WaveContainer::kRiff;
  if (policy == Rf64Policy::kAuto) return WaveContainer::kRf64;
  return std::nullopt;
}

void WriteWaveHeader(CSectorFile& file, const SoundFormatInfo& format, uint64_t dataLength,
                     const WaveExtraChunks& extraChunks, WaveContainer container) {
  const auto extraBytes = static_cast<uint32_t>(extraChunks.size());
  const HeaderLayout layout = Layout(format, extraBytes, container);
  file.Write(layout.rf64 ? "RF64" : "RIFF", 4, 1);
  file.WriteU32(RiffSizeField(layout, dataLength));
  if (layout.rf64) {
    file.Write("WAVEds64", 8, 1);
    file.WriteU32(kDs64BodySize);
    WriteDs64Body(file, format, layout, dataLength);
    file.Write("fmt ", 4, 1);
  } else {
    file.Write("WAVEfmt ", 8, 1);
  }
  file.WriteU32(layout.formatSize);
  WriteFormatBody(file, format.formatBlock, layout);
  if (layout.fact) {
    file.Write("fact", 4, 1);
    file.WriteU32(kFactChunkSize);
    file.WriteU32(SizeField(layout, FrameCount(format, dataLength)));
  }
  if (extraBytes > 0) file.Write(extraChunks.data(), 1, extraBytes);
  file.Write("data", 4, 1);
  file.WriteU32(DataSizeField(layout, dataLength));
}

void WriteDataPad(CSectorFile& file, uint64_t dataLength) {
  if (dataLength % 2 == 1) file.Write("", 1, 1);
}

void PatchWaveLengths(CSectorFile& file, const SoundFormatInfo& format, uint64_t dataLength,
                      uint32_t extraChunkBytes, WaveContainer container) {
  const HeaderLayout layout = Layout(format, extraChunkBytes, container);
  // Writing after a failed move would overwrite sample bytes.
  if (file.Seek(4, 0) != 0) return;
  file.WriteU32(RiffSizeField(layout, dataLength));
  uint32_t at = 8;
  if (layout.rf64) {
    if (file.Skip(kDs64BodyOffset - at) != 0) return;
    WriteDs64Body(file, format, layout, dataLength);
    at = kDs64BodyOffset + kDs64BodySize;
  }
  if (layout.fact) {
    if (file.Skip(layout.frameCountOffset - at) != 0) return;
    file.WriteU32(SizeField(layout, FrameCount(format, dataLength)));
    at = layout.frameCountOffset + 4;
  }
  if (file.Skip(layout.dataSizeOffset - at) != 0) return;
  file.WriteU32(DataSizeField(layout, dataLength));
}

bool WaveFileMatchesHeader(const std::string& path) {
  const fileio::OpenedFile opened = fileio::OpenFile(path.c_str(), fileio::OpenAccess::Read, false);
  if (opened.fd < 0) return false;
  // "RIFF", its size, "WAVE" and, in an RF64 file, the "ds64" chunk.
  uint8_t head[kDs64BodyOffset + kDs64BodySize];
  const ssize_t got = fileio::ReadFull(opened.fd, head, sizeof head);
  const int64_t size = fileio::FileSize(opened.fd);
  fileio::CloseFile(opened.fd);
  if (got < 8) return false;
  uint64_t riffSize = head[4] | head[5] << 8 | head[6] << 16 | uint32_t{head[7]} << 24;
  if (std::memcmp(head, "RF64", 4) == 0) {
    const auto sizes = got == static_cast<ssize_t>(sizeof head) &&
                               std::memcmp(head + kRiffHeaderSize, "ds64", 4) == 0
                           ? ParseDs64(head + kDs64BodyOffset, kDs64BodySize)
                           : std::nullopt;
    if (!sizes) return false;
    riffSize = sizes->riffSize;
  } else if (std::memcmp(head, "RIFF", 4) != 0) {
    return false;
  }
  return size >= 0 && static_cast<uint64_t>(size) == riffSize + 8;
}

}  // namespace snipora
