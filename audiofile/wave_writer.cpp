#include "audiofile/wave_writer.h"

#include <cstring>

#include "platform/system/file_io.h"

namespace snipora {
namespace {

constexpr uint32_t kRiffSizeOverData = kWaveHeaderSize - 8;
constexpr uint32_t kFormatChunkSize = 18;
// From after the RIFF size to the data length: "WAVE", the "fmt " chunk, "data".
constexpr uint32_t kRiffSizeToDataLength = kWaveHeaderSize - 12;

}  // namespace

void WriteWaveHeader(CSectorFile& file, const WaveFormatBlock& format, uint32_t dataLength,
                     const WaveExtraChunks& extraChunks) {
  const auto extraBytes = static_cast<uint32_t>(extraChunks.size());
  file.Write("RIFF", 4, 1);
  file.WriteU32(dataLength + kRiffSizeOverData + extraBytes);
  file.Write("WAVEfmt ", 8, 1);
  file.WriteU32(kFormatChunkSize);
  file.WriteU16(format.formatTag);
  file.WriteU16(format.channels);
  file.WriteU32(format.samplesPerSec);
  file.WriteU32(format.avgBytesPerSec);
  file.WriteU16(format.blockAlign);
  file.WriteU16(format.bitsPerSample);
  file.WriteU16(0);
  if (extraBytes > 0) file.Write(extraChunks.data(), 1, extraBytes);
  file.Write("data", 4, 1);
  file.WriteU32(dataLength);
}

void PatchWaveLengths(CSectorFile& file, uint32_t dataLength, uint32_t extraChunkBytes) {
  // Writing after a failed move would overwrite sample bytes.
  if (file.Seek(4, 0) != 0) return;
  file.WriteU32(dataLength + kRiffSizeOverData + extraChunkBytes);
  if (file.Skip(kRiffSizeToDataLength + extraChunkBytes) != 0) return;
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
