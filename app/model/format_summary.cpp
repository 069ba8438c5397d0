#include "app/model/format_summary.h"

#include <fstream>

#include "audiofile/sound_units.h"
#include "waveform/clock_text.h"

namespace snipora {

namespace {

constexpr char kSeparator[] = " \u00b7 ";

// 44100 -> "44.1", 48000 -> "48", 11025 -> "11.025".
std::string Kilohertz(uint32_t rate) {
  std::string text = std::to_string(rate / 1000);
  if (uint32_t rest = rate % 1000; rest != 0) {
    std::string fraction = std::to_string(1000 + rest).substr(1);
    while (fraction.back() == '0') fraction.pop_back();
    text += "." + fraction;
  }
  return text;
}

}  // namespace

std::string ContainerName(const std::string& path, const SoundFormatInfo& format) {
  if (format.decoderType == kFlacDecoderType) return "FLAC";
  char id[4] = {};
  std::ifstream(path, std::ios::binary).read(id, sizeof id);
  const std::string first(id, sizeof id);
  if (first == "RF64" || first == "BW64") return first;
  // Besides those the window opens only NWA files, through their decoder module.
  return first == "RIFF" ? "WAVE" : "NWA";
}

std::string FormatSummary(const SoundFormatInfo& format, const std::string& container) {
  const WaveFormatBlock& block = format.formatBlock;
  std::string bits = std::to_string(block.bitsPerSample) + "-bit";
  const uint16_t valid = ValidBitsOf(block);
  if (valid != 0 && valid < block.bitsPerSample) bits = std::to_string(valid) + "/" + bits;
  if (CodingOf(block) == SampleCoding::kFloat) bits += " float";
  return Kilohertz(block.samplesPerSec) + " kHz" + kSeparator + bits + kSeparator +
         std::to_string(block.channels) + " ch" + kSeparator +
         ClockText(TotalFrames(format), block.samplesPerSec) + kSeparator + container;
}

}  // namespace snipora
