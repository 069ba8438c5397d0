#pragma once

#include <cstdint>

namespace snipora {

// The WAVEFORMATEX layout plus room for the extra format bytes (at most 109
// are accepted). 128 bytes.
struct WaveFormatBlock {
  uint16_t formatTag;
  uint16_t channels;
  uint32_t samplesPerSec;
  uint32_t avgBytesPerSec;
  uint16_t blockAlign;
  uint16_t bitsPerSample;
  uint16_t extraSize;
  uint8_t extra[110];
};
static_assert(sizeof(WaveFormatBlock) == 128);

// Format tags with a name of their own.
inline constexpr uint16_t kWaveFormatPcm = 1;
inline constexpr uint16_t kWaveFormatMsAdpcm = 2;
inline constexpr uint16_t kWaveFormatImaAdpcm = 17;
inline constexpr uint16_t kWaveFormatMpegLayer3 = 85;
inline constexpr uint16_t kWaveFormatIeeeFloat = 3;
inline constexpr uint16_t kWaveFormatExtensible = 0xFFFE;

// Decoder types besides 0 (plain data read straight from the file) and 1 (a
// RIFF WAVE file of another coding, which no module decodes).
inline constexpr uint32_t kFlacDecoderType = 2;

// Bytes of a FLAC stream's STREAMINFO body.
inline constexpr uint32_t kFlacStreamInfoBytes = 34;

// How the samples of plain data (decoder type 0) are coded.
enum class SampleCoding : uint8_t { kPcm, kFloat };

// Everything the program knows about the open sound file. `format` always
// points at this record's own formatBlock, also after copying.
// Sizes and frame counts are 64-bit: RF64/BW64 files pass 4 GiB.
struct SoundFormatInfo {
  uint64_t lengthFrames;
  int32_t lengthMs;
  int64_t containerLength;  // RIFF size + 8 (NWA: the file size)
  int32_t dataOffset;       // file offset of the first sample byte
  uint64_t dataSize;
  uint32_t reserved;     // always 0
  int32_t bitRate;       // bits per second
  uint32_t decoderType;  // 0 plain PCM, otherwise the decoder module's type
  uint32_t sampleRate;
  int16_t channels;
  WaveFormatBlock* format;
  WaveFormatBlock formatBlock;
  char typeName[128];
  // Plain data only: the bits that carry signal in each bitsPerSample
  // container, and the speaker positions (0 when the file names none). NWA
  // and tag-1 files have valid bits = bits per sample.
  uint16_t validBits;
  uint32_t channelMask;
  // Bytes of the "fmt " chunk body that were read (16, or 18 + extra size), so
  // that a writer can reproduce the chunk.
  uint16_t formatChunkSize;
  // Decoder modules only: what the module needs to begin decoding at any frame
  // of the data (FLAC: its STREAMINFO body); zero for plain data.
  uint8_t decoderSetup[kFlacStreamInfoBytes];

  // All zero, typeName empty, format -> formatBlock.
  SoundFormatInfo();
  SoundFormatInfo(const SoundFormatInfo& other);
  SoundFormatInfo& operator=(const SoundFormatInfo& other);

  // Stores name (cut to 127 bytes) as the type name.
  void SetTypeName(const char* name);
};

// "RIFF PCM", "RIFF Microsoft ADPCM", "RIFF IMA ADPCM", "RIFF MPEG Audio
// Layer3" or "不明" for any other tag.
const char* WaveTypeName(uint16_t formatTag);

// kFloat for IEEE float samples (tag 3, or WAVE_FORMAT_EXTENSIBLE with the
// float sub-format), kPcm for anything else.
SampleCoding CodingOf(const WaveFormatBlock& block);

// Bits of signal in each bitsPerSample container: the valid bits that a
// WAVE_FORMAT_EXTENSIBLE block states (0 there means all), else bitsPerSample.
uint16_t ValidBitsOf(const WaveFormatBlock& block);

}  // namespace snipora
