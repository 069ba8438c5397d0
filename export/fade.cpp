#include "export/fade.h"

#include "audiofile/sound_units.h"
namespace snipora {

uint32_t FadeBytes(uint32_t bytesPerSecond, uint32_t fadeMs, uint32_t blockAlign,
                   uint32_t pieceLength) {
  if (blockAlign == 0) return 0;
  const uint32_t bytes = MillisecondsToBytes(fadeMs, bytesPerSecond, blockAlign);
  return bytes < pieceLength ? bytes : pieceLength;
}

FadeRamp::FadeRamp(uint32_t fadeBytes, uint32_t blockAlign, uint16_t channels)
    : step_(kFullGain / (fadeBytes / blockAlign)), frameBytes_(channels == 2 ? 4 : 2) {}

void FadeRamp::Apply(uint8_t* bytes, uint32_t count) {
  for (uint32_t frame = 0; frame + frameBytes_ <= count; frame += frameBytes_) {
    gain_ = gain_ >= step_ ? gain_ - step_ : 0;
    const int64_t factor = gain_ / 32767;  // 0 ... 10^8 - 1, standing for 0 ... 1
    for (uint32_t at = frame; at < frame + frameBytes_; at += 2) {
      const auto sample = static_cast<int16_t>(bytes[at] | bytes[at + 1] << 8);
      // Signed 64-bit product; the division truncates toward zero.
      const auto scaled = static_cast<uint16_t>(sample * factor / 100000000);
      bytes[at] = static_cast<uint8_t>(scaled);
      bytes[at + 1] = static_cast<uint8_t>(scaled >> 8);
    }
  }
}

}  // namespace snipora
