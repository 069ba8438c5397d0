#include "waveform/clock_text.h"

#include <cstdio>

namespace snipora {

std::string ClockText(uint64_t frame, uint32_t sampleRate) {
  const uint64_t ms =
      sampleRate == 0 ? 0 : frame / sampleRate * 1000 + frame % sampleRate * 1000 / sampleRate;
  char text[32];
  std::snprintf(text, sizeof text, "%llu:%02u:%02u.%03u",
                static_cast<unsigned long long>(ms / 3600000),
                static_cast<unsigned>(ms / 60000 % 60), static_cast<unsigned>(ms / 1000 % 60),
                static_cast<unsigned>(ms % 1000));
  return text;
}

}  // namespace snipora
