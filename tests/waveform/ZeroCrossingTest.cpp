#include "waveform/zero_crossing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <vector>

#include "audiofile/wave_reader.h"
#include "tests/support/wave_bytes.h"
#include "waveform/frame_reader.h"

namespace snipora::test {
namespace {

TEST(ZeroCrossing, NearestCutPointOfTheMonoSum) {
  const float n = -0.5f, p = 0.5f;
  struct Case {
    const char* name;
    std::vector<float> samples;  // frames 0..k-1 of a file of 100 frames, interleaved
    uint32_t channels;
    uint64_t target;
    uint32_t radius;
    std::optional<uint64_t> expected;
  };
  const Case cases[] = {
      {"a sign change: the first frame of the new sign", {n, n, n, p, p, p, p, p}, 1, 6, 4, 3},
      {"a zero sample is a cut point itself", {p, p, p, p, 0, p, p, p}, 1, 2, 3, 4},
      {"the target itself when it qualifies", {n, n, p, n, n, n, n, n}, 1, 2, 3, 2},
      {"out of reach: none", {n, n, p, p, p, p, p, p, p, p}, 1, 8, 5, std::nullopt},
      {"just within reach", {n, n, p, p, p, p, p, p, p, p}, 1, 7, 5, 2},
      {"two equally near: the earlier", {p, p, n, n, n, n, p, p}, 1, 4, 3, 2},
      {"stereo: opposite channels sum to zero everywhere", {p, n, n, p, p, n, n, p}, 2, 2, 1, 2},
      {"stereo: one channel crosses, the louder one does not",
       {n, 0.75f, n, 0.75f, p, 0.75f, p, 0.75f, p, 0.75f},
       2,
       3,
       2,
       std::nullopt},
      {"stereo: one channel crosses over a silent one", {n, 0, n, 0, p, 0, p, 0, p, 0}, 2, 4, 2, 2},
  };
  for (const Case& c : cases) {
    // The samples stand for frames 10 onwards, away from the start.
    EXPECT_EQ(NearestZeroCrossing(c.samples, c.channels, 10, 100, 10 + c.target, c.radius),
              c.expected ? std::optional<uint64_t>(10 + *c.expected) : std::nullopt)
        << c.name;
  }
  // The ends of the data.
  EXPECT_EQ(NearestZeroCrossing({p, p, p, p}, 1, 0, 4, 3, 2), 4u);
  EXPECT_EQ(NearestZeroCrossing({p, p, p, p}, 1, 0, 4, 1, 2), 0u);
}

// One sample of value `v` (-1 .. 1) in a file's bytes.
using PutSample = std::function<void(Bytes&, float)>;

struct FormatCase {
  const char* name;
  Bytes fmt;
  PutSample put;
};

// 8000 Hz (10 ms = 80 frames); channel 0 is negative before frame 1000 and
// positive from it, the other channels hold `others`.
std::string WriteStepFile(const std::string& path, const FormatCase& format, uint16_t channels,
                          float others) {
  Bytes data;
  for (int f = 0; f < 2000; ++f) {
    format.put(data, f < 1000 ? -0.5f : 0.5f);
    for (uint16_t c = 1; c < channels; ++c) format.put(data, others);
  }
  WriteFileBytes(path, RiffWave({RiffChunk("fmt ", format.fmt), RiffChunk("data", data)}));
  return path;
}

TEST(ZeroCrossing, SnapReadsEverySampleFormat) {
  const auto put8 = [](Bytes& b, float v) { b.push_back(static_cast<uint8_t>(128 + v * 128)); };
  const auto put24 = [](Bytes& b, float v) {
    const auto s = static_cast<int32_t>(v * 8388607);
    for (int i = 0; i < 3; ++i) b.push_back(static_cast<uint8_t>(s >> (8 * i)));
  };
  const auto putFloat = [](Bytes& b, float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    PutU32(b, bits);
  };
  TempDir dir;
  for (const uint16_t channels : {1, 2}) {
    const FormatCase formats[] = {
        {"8-bit", PcmFormatBody(channels, 8000, 8), put8},
        {"24-bit", PcmFormatBody(channels, 8000, 24), put24},
        {"float", FmtBody(3, channels, 8000, 8000 * 4 * channels, 4 * channels, 32), putFloat},
    };
    for (const FormatCase& format : formats) {
      SCOPED_TRACE(std::string(format.name) + " " + std::to_string(channels));
      const std::string path = WriteStepFile(dir.File("a.wav"), format, channels, 0);
      SoundFormatInfo info;
      ASSERT_EQ(ProbeWaveFile(path.c_str(), info), 0);
      CFrameReader reader(path, info);
      EXPECT_EQ(SnapToZeroCrossing(reader, 1080, 8000), 1000u);  // 10 ms away
      EXPECT_EQ(SnapToZeroCrossing(reader, 919, 8000), 919u);    // 81 frames: out of reach
      EXPECT_EQ(SnapToZeroCrossing(reader, 1995, 8000), 2000u);  // the end of the data
    }
  }
}

}  // namespace
}  // namespace snipora::test
