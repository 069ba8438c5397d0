#include "audiofile/sound_format.h"

#include <cstring>
#include "platform/ui/ui_text.h"

namespace snipora {

SoundFormatInfo::SoundFormatInfo() {
  std::memset(static_cast<void*>(this), 0, sizeof *this);
  format = &formatBlock;
}

SoundFormatInfo::SoundFormatInfo(const SoundFormatInfo& other) {
  *this = other;
}

SoundFormatInfo& SoundFormatInfo::operator=(const SoundFormatInfo& other) {
  if (this != &other) std::memcpy(static_cast<void*>(this), &other, sizeof *this);
  format = &formatBlock;  // the copy describes its own block, never the source's
  return *this;
}

void SoundFormatInfo::SetTypeName(const char* name) {
  std::strncpy(typeName, name, sizeof typeName - 1);
  typeName[sizeof typeName - 1] = '\0';
}

const char* WaveTypeName(uint16_t formatTag) {
  switch (formatTag) {
    case kWaveFormatPcm:
      return "RIFF PCM";
    case kWaveFormatMsAdpcm:
      return "RIFF Microsoft ADPCM";
    case kWaveFormatImaAdpcm:
      return "RIFF IMA ADPCM";
    case kWaveFormatMpegLayer3:
      return "RIFF MPEG Audio Layer3";
    default:
      return QT_TRANSLATE_NOOP("Snipora", "不明");
  }
}

SampleCoding CodingOf(const WaveFormatBlock& block) {
  if (block.formatTag == kWaveFormatIeeeFloat) return SampleCoding::kFloat;
  // The sub-format GUID begins with the plain format tag (extra bytes 6 and 7).
  const bool floatSubFormat = block.formatTag == kWaveFormatExtensible && block.extraSize >= 8 &&
                              (block.extra[6] | block.extra[7] << 8) == kWaveFormatIeeeFloat;
  return floatSubFormat ? SampleCoding::kFloat : SampleCoding::kPcm;
}

uint16_t ValidBitsOf(const WaveFormatBlock& block) {
  if (block.formatTag != kWaveFormatExtensible || block.extraSize < 2) return block.bitsPerSample;
  const auto valid = static_cast<uint16_t>(block.extra[0] | block.extra[1] << 8);
  return valid == 0 ? block.bitsPerSample : valid;
}

}  // namespace snipora
