#include "tests/support/flac_files.h"

#include <cmath>

#include "tests/support/wave_bytes.h"

namespace snipora::test {

namespace {

uint32_t UsualChannelMask(uint16_t channels) {
  static const uint32_t kMasks[] = {0, 0x4, 0x3, 0x7, 0x33, 0x37, 0x3F, 0x70F, 0x63F};
  return channels < 9 ? kMasks[channels] : 0;
}

}  // namespace

Bytes ToneWave(const FlacShape& shape, uint32_t seed) {
  const uint16_t container = static_cast<uint16_t>((shape.bits + 7) / 8 * 8);
  const Bytes noise = SeededBytes(shape.frames * shape.channels, seed);
  const double full = std::ldexp(1.0, shape.bits - 1);
  Bytes data;
  for (uint64_t f = 0; f < shape.frames; ++f) {
    for (uint16_t c = 0; c < shape.channels; ++c) {
      const double tone = 0.4 * std::sin(2 * M_PI * 220.0 * (c + 1) * f / shape.rate);
      const double grain = (noise[f * shape.channels + c] - 127.5) / 2048.0;
      const auto value = static_cast<int64_t>(std::floor((tone + grain) * full));
      const auto stored = static_cast<uint64_t>(value) << (container - shape.bits);
      const uint64_t unsignedShift = container == 8 ? 128 : 0;
      for (int b = 0; b < container / 8; ++b) {
        data.push_back(static_cast<uint8_t>((stored + unsignedShift) >> (8 * b)));
      }
    }
  }
  if (shape.channels <= 2 && shape.bits == container) {
    return PlainWave(shape.channels, shape.rate, container, false, data);
  }
  const Bytes fmt = ExtensibleFmtBody(shape.channels, shape.rate, container, shape.bits,
                                      UsualChannelMask(shape.channels), 1);
  return RiffWave({RiffChunk("fmt ", fmt), RiffChunk("data", data)});
}

bool EncodeFlacFile(const std::string& wavePath, const std::string& flacPath, std::string& why,
                    const std::string& options) {
  if (!HaveProgram("flac")) {
    why = "flac is not installed";
    return false;
  }
  const CommandResult result = RunCommand("flac -s -f " + options + " -o " + ShellQuote(flacPath) +
                                          " " + ShellQuote(wavePath));
  why = result.output;
  return result.exitCode == 0;
}

bool MakeFlac(const std::string& path, const FlacShape& shape, std::string& why,
              const std::string& options, uint32_t seed) {
  const std::string wave = path + ".source.wav";
  WriteFileBytes(wave, ToneWave(shape, seed));
  return EncodeFlacFile(wave, path, why, options);
}

Bytes FlacToolSamples(const std::string& path) {
  const std::string wave = path + ".oracle.wav";
  if (RunCommand("flac -s -d -f -o " + ShellQuote(wave) + " " + ShellQuote(path)).exitCode != 0) {
    return {};
  }
  return ChunkBody(ReadFileBytes(wave), "data");
}

}  // namespace snipora::test
