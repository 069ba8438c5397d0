#include "waveform/zero_crossing.h"

#include <algorithm>

#include "waveform/frame_reader.h"

namespace snipora {

namespace {

int SignOf(double value) {
  return (value > 0) - (value < 0);
}

}  // namespace

std::optional<uint64_t> NearestZeroCrossing(const std::vector<float>& samples, uint32_t channels,
                                            uint64_t first, uint64_t totalFrames, uint64_t target,
                                            uint32_t radius) {
  if (channels == 0) return std::nullopt;
  const uint64_t frames = samples.size() / channels;
  // Sums in double: integer samples scaled by a power of two add exactly.
  std::vector<int> signs(frames);
  for (uint64_t f = 0; f < frames; ++f) {
    double sum = 0;
    for (uint32_t c = 0; c < channels; ++c) sum += samples[f * channels + c];
    signs[f] = SignOf(sum);
  }
  const auto qualifies = [&](uint64_t p) {
    if (p == 0 || p == totalFrames) return true;
    if (p < first + 1 || p - first >= frames) return false;
    const int here = signs[p - first];
    return here == 0 || here == -signs[p - first - 1];
  };
  for (uint64_t d = 0; d <= radius; ++d) {
    if (d <= target && target - d <= totalFrames && qualifies(target - d)) return target - d;
    if (d > 0 && target + d <= totalFrames && qualifies(target + d)) return target + d;
  }
  return std::nullopt;
}

uint64_t SnapToZeroCrossing(CFrameReader& reader, uint64_t frame, uint32_t sampleRate) {
  const uint64_t total = reader.TotalFrames();
  if (reader.Channels() == 0 || frame > total) return frame;
  const uint32_t radius = SnapRadiusFrames(sampleRate);
  // One frame more before the window: a crossing at its first position needs it.
  const uint64_t first = frame > radius ? frame - radius - 1 : 0;
  const uint64_t last = std::min(total, frame + radius + 1);
  std::vector<float> samples;
  reader.Read(first, static_cast<uint32_t>(last - first), samples);
  return NearestZeroCrossing(samples, reader.Channels(), first, total, frame, radius)
      .value_or(frame);
}

}  // namespace snipora
