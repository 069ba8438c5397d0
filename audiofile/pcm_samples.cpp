#include "audiofile/pcm_samples.h"

#include "audiofile/sample_source.h"

namespace snipora {

std::optional<PcmLayout> PcmLayoutOf(const SoundFormatInfo& info) {
  if (info.decoderType != 0) return std::nullopt;
  return FrameLayoutOf(info);
}

std::optional<PcmLayout> FrameLayoutOf(const SoundFormatInfo& info) {
  const WaveFormatBlock& block = info.formatBlock;
  const uint32_t bits = block.bitsPerSample;
  if (!HasSampleData(info) || block.channels == 0 || bits == 0 || bits % 8 != 0) {
    return std::nullopt;
  }
  const uint32_t bytes = bits / 8;
  if (uint64_t{bytes} * block.channels > block.blockAlign) return std::nullopt;
  PcmSampleType type;
  if (CodingOf(block) == SampleCoding::kFloat) {
    if (bytes != 4 && bytes != 8) return std::nullopt;
    type = bytes == 4 ? PcmSampleType::kF32 : PcmSampleType::kF64;
  } else {
    switch (bytes) {
      case 1:
        type = PcmSampleType::kU8;
        break;
      case 2:
        type = PcmSampleType::kS16;
        break;
      case 3:
        type = PcmSampleType::kS24;
        break;
      case 4:
        type = PcmSampleType::kS32;
        break;
      default:
        return std::nullopt;
    }
  }
  return PcmLayout{type, block.channels, block.blockAlign, bytes, bits};
}

}  // namespace snipora
