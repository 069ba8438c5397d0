#include "waveform/clock_text.h"

#include <cstdio>

#include "audiofile/sound_units.h"

namespace snipora {

std::string MillisecondsClockText(uint64_t ms) {
  char text[32];
  std::snprintf(text, sizeof text, "%llu:%02u:%02u.%03u",
                static_cast<unsigned long long>(ms / 3600000),
                static_cast<unsigned>(ms / 60000 % 60), static_cast<unsigned>(ms / 1000 % 60),
                static_cast<unsigned>(ms % 1000));
  return text;
}

std::string ClockText(uint64_t frame, uint32_t sampleRate) {
  return MillisecondsClockText(MillisecondOfFrame(frame, sampleRate));
}

}  // namespace snipora
