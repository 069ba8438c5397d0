#include "audiofile/nwa_module.h"

#include <cstring>
#include <string>

#include "audiofile/sound_units.h"

namespace snipora {
namespace {

constexpr uint32_t kNwaHeaderSize = 44;
constexpr int kNwaVersionNumber = 102;

}  // namespace

const char* Cdeclib_h_nwa::GetInfo(int id, int* number) {
  switch (id) {
    case 1:
      return "*.nwa";
    case 2:
      return "NWA サウンド(*.nwa)|*.nwa|";
    case 3:
      return "NWA Header";
    case 4:
      return "declib_h_nwa";
    case 5:
      return "Cdeclib_h_nwa";
    case 6:
      return "1.02";
    case 7:
      if (number != nullptr) *number = kNwaVersionNumber;
      return "102";
    case 8:
      return "Snipora 2026";
    case 11:
      return "NWA PCMヘッダー取得専用";
    default:
      return nullptr;
  }
}

int Cdeclib_h_nwa::ReadHeader(CSectorFile& file, SoundFormatInfo& info) {
  std::string path;
  if (file.GetPath(path) != 0) return -1;
  if (path.size() < 3 || path.compare(path.size() - 3, 3, "nwa") != 0) return -1;
  // Shorter than the header: there is no sample data to describe.
  const uint64_t fileSize = file.GetSize();
  if (fileSize < kNwaHeaderSize) return -1;

  const uint16_t channels = file.ReadU16();
  const uint16_t bitsPerSample = file.ReadU16();
  const uint32_t sampleRate = file.ReadU32();
  if (channels != 1 && channels != 2) return -1;
  static const uint8_t kUncompressed[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
  uint8_t compression[8];
  if (file.Read(compression, 8, 1) != 1 || std::memcmp(compression, kUncompressed, 8) != 0) {
    return -1;
  }
  // Under 8 bits a sample has no whole bytes and the block alignment is 0.
  if (bitsPerSample < 8) return -1;

  const uint32_t bytesPerSample = bitsPerSample / 8u;
  WaveFormatBlock& block = info.formatBlock;
  std::memset(&block, 0, sizeof block);
  block.formatTag = kWaveFormatPcm;
  block.channels = channels;
  block.samplesPerSec = sampleRate;
  block.avgBytesPerSec = bytesPerSample * sampleRate * channels;
  block.blockAlign = static_cast<uint16_t>(bytesPerSample * channels);
  block.bitsPerSample = bitsPerSample;
  block.extraSize = 0;
  info.format = &info.formatBlock;

  info.bitRate = static_cast<int32_t>(sampleRate * bitsPerSample * channels);
  info.channels = static_cast<int16_t>(channels);
  info.sampleRate = sampleRate;
  info.dataOffset = kNwaHeaderSize;
  info.dataSize = fileSize - kNwaHeaderSize;
  info.containerLength = static_cast<int64_t>(fileSize);
  info.decoderType = 0;
  info.reserved = 0;
  info.SetTypeName("NWA PCM");
  info.validBits = bitsPerSample;
  info.channelMask = 0;
  info.lengthMs = static_cast<int32_t>(BytesToMilliseconds(info.dataSize, block.avgBytesPerSec));
  info.lengthFrames = info.dataSize / block.blockAlign;
  return 0;
}

}  // namespace snipora
