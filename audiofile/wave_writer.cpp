#include "audiofile/wave_writer.h"

#include <cstring>

#include "platform/system/file_io.h"

namespace snipora {
namespace {

constexpr uint32_t kRiffHeaderSize = 12;  // "RIFF", its size, "WAVE"
constexpr uint32_t kChunkHeaderSize = 8;
constexpr uint32_t kPcmFormatChunkSize = 18;
constexpr uint32_t kFactChunkSize = 4;

// Where the header's parts lie; every offset is from the start of the file.
struct HeaderLayout {
  uint32_t formatSize;        // "fmt " chunk body, without its pad byte
  bool fact;                  // a "fact" chunk follows "fmt "
  uint32_t frameCountOffset;  // the "fact" chunk's value
  uint32_t dataSizeOffset;
  uint32_t size;
};

HeaderLayout Layout(const SoundFormatInfo& format, uint32_t extraChunkBytes) {
  const WaveFormatBlock& block = format.formatBlock;
  HeaderLayout layout{};
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
  if (layout.fact) {
    layout.frameCountOffset = at + kChunkHeaderSize;
    at += kChunkHeaderSize + kFactChunkSize;
  }
  at += extraChunkBytes;
  layout.dataSizeOffset = at + 4;
  layout.size = at + kChunkHeaderSize;
  return layout;
}

uint32_t RiffSize(const HeaderLayout& layout, uint32_t dataLength) {
  return layout.size - kChunkHeaderSize + dataLength;
}

uint32_t FrameCount(const SoundFormatInfo& format, uint32_t dataLength) {
  const uint32_t blockAlign = format.formatBlock.blockAlign;
  return blockAlign == 0 ? 0 : dataLength / blockAlign;
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

uint32_t WaveHeaderSize(const SoundFormatInfo& format, uint32_t extraChunkBytes) {
  return Layout(format, extraChunkBytes).size;
}

void WriteWaveHeader(CSectorFile& file, const SoundFormatInfo& format, uint32_t dataLength,
                     const WaveExtraChunks& extraChunks) {
  const auto extraBytes = static_cast<uint32_t>(extraChunks.size());
  const HeaderLayout layout = Layout(format, extraBytes);
  file.Write("RIFF", 4, 1);
  file.WriteU32(RiffSize(layout, dataLength));
  file.Write("WAVEfmt ", 8, 1);
  file.WriteU32(layout.formatSize);
  WriteFormatBody(file, format.formatBlock, layout);
  if (layout.fact) {
    file.Write("fact", 4, 1);
    file.WriteU32(kFactChunkSize);
    file.WriteU32(FrameCount(format, dataLength));
  }
  if (extraBytes > 0) file.Write(extraChunks.data(), 1, extraBytes);
  file.Write("data", 4, 1);
  file.WriteU32(dataLength);
}

void PatchWaveLengths(CSectorFile& file, const SoundFormatInfo& format, uint32_t dataLength,
                      uint32_t extraChunkBytes) {
  const HeaderLayout layout = Layout(format, extraChunkBytes);
  // Writing after a failed move would overwrite sample bytes.
  if (file.Seek(4, 0) != 0) return;
  file.WriteU32(RiffSize(layout, dataLength));
  uint32_t at = 8;
  if (layout.fact) {
    if (file.Skip(layout.frameCountOffset - at) != 0) return;
    file.WriteU32(FrameCount(format, dataLength));
    at = layout.frameCountOffset + 4;
  }
  if (file.Skip(layout.dataSizeOffset - at) != 0) return;
  file.WriteU32(dataLength);
}

bool WaveFileMatchesHeader(const std::string& path) {
  const fileio::OpenedFile opened = fileio::OpenFile(path.c_str(), fileio::OpenAccess::Read, false);
  if (opened.fd < 0) return false;
  uint8_t head[8];
  const bool read = fileio::ReadFull(opened.fd, head, sizeof head) == sizeof head;
  const int64_t size = fileio::FileSize(opened.fd);
  fileio::CloseFile(opened.fd);
  if (!read || std::memcmp(head, "RIFF", 4) != 0) return false;
  const uint32_t riffSize = head[4] | head[5] << 8 | head[6] << 16 | uint32_t{head[7]} << 24;
  return size == int64_t{riffSize} + 8;
}

}  // namespace snipora
