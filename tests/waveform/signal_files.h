#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "audiofile/wave_reader.h"
#include "tests/support/wave_bytes.h"

// 16-bit PCM files of known signals, and the min/max an independent loop finds
// in them.
namespace snipora::test {

// Sample of one channel at one frame, full scale 32767.
using Signal = std::function<int16_t(uint32_t channel, uint32_t frame)>;

inline Signal Sine(double amplitude, double periodFrames) {
  return [=](uint32_t channel, uint32_t frame) {
    const double phase = 2 * M_PI * frame / periodFrames + channel;  // channels differ
    return static_cast<int16_t>(std::lround(amplitude * 32767 * std::sin(phase)));
  };
}

inline Signal Silence() {
  return [](uint32_t, uint32_t) { return int16_t{0}; };
}

struct SignalFile {
  std::string path;
  SoundFormatInfo info;
  uint32_t channels;
  std::vector<int16_t> samples;  // interleaved

  // Min and max of `channel` over frames [first, last), scaled to [-1, 1].
  std::pair<float, float> Extremes(uint32_t channel, uint64_t first, uint64_t last) const {
    int lo = INT32_MAX, hi = INT32_MIN;
    for (uint64_t f = first; f < last; ++f) {
      lo = std::min<int>(lo, samples[f * channels + channel]);
      hi = std::max<int>(hi, samples[f * channels + channel]);
    }
    return {lo / 32768.0f, hi / 32768.0f};
  }
};

// Writes a 44100 Hz 16-bit file whose channel c is channelSignals[c].
inline SignalFile WriteSignalFile(const std::string& path, uint32_t frames,
                                  const std::vector<Signal>& channelSignals) {
  SignalFile file{path, {}, static_cast<uint32_t>(channelSignals.size()), {}};
  file.samples.reserve(size_t{frames} * file.channels);
  for (uint32_t f = 0; f < frames; ++f) {
    for (uint32_t c = 0; c < file.channels; ++c) file.samples.push_back(channelSignals[c](c, f));
  }
  WriteFileBytes(path, MakeWave(static_cast<uint16_t>(file.channels), 44100, 16,
                                SamplesToBytes(file.samples)));
  EXPECT_EQ(ProbeWaveFile(path.c_str(), file.info), 0) << path;
  return file;
}

}  // namespace snipora::test
