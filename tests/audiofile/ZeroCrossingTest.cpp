#include "audiofile/zero_crossing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <vector>

#include "audiofile/flac_file.h"
#include "audiofile/wave_reader.h"
#include "tests/support/flac_files.h"
#include "tests/support/wave_bytes.h"

namespace snipora::test {
namespace {

TEST(ZeroCrossing, NearestCutPointOfTheSignedSums) {
  struct Case {
    const char* name;
    std::vector<int8_t> signs;  // of frames 10.. of a file of 100 frames
    uint64_t target;            // from frame 10
    uint32_t radius;
    std::optional<uint64_t> expected;
  };
  const Case cases[] = {
      {"a sign change: the first frame of the new sign", {-1, -1, -1, 1, 1, 1, 1, 1}, 6, 4, 3},
      {"a zero sum is a cut point itself", {1, 1, 1, 1, 0, 1, 1, 1}, 2, 3, 4},
      {"the target itself when it qualifies", {-1, -1, 1, -1, -1, -1}, 2, 3, 2},
      {"out of reach: none", {-1, -1, 1, 1, 1, 1, 1, 1, 1, 1}, 8, 5, std::nullopt},
      {"just within reach", {-1, -1, 1, 1, 1, 1, 1, 1, 1, 1}, 7, 5, 2},
      {"two equally near: the earlier", {1, 1, -1, -1, -1, -1, 1, 1}, 4, 3, 2},
      {"frames not read do not qualify", {1, 1, 1}, 1, 5, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NearestZeroCrossing(c.signs, 10, 100, 10 + c.target, c.radius),
              c.expected ? std::optional<uint64_t>(10 + *c.expected) : std::nullopt)
        << c.name;
  }
  // The ends of the data.
  EXPECT_EQ(NearestZeroCrossing({1, 1, 1, 1}, 0, 4, 3, 2), 4u);
  EXPECT_EQ(NearestZeroCrossing({1, 1, 1, 1}, 0, 4, 1, 2), 0u);
}

// One sample of value `v` (-1 .. 1) appended to a file's bytes.
using PutSample = std::function<void(Bytes&, double)>;

// 8000 Hz (10 ms = 80 frames): channel 0 is -0.5 before frame 1000 and +0.5
// from it; channel 1 (when there is one) is `other(channel 0)`.
std::string WriteStepFile(const std::string& path, const Bytes& fmt, const PutSample& put,
                          const std::function<double(double)>* other) {
  Bytes data;
  for (int f = 0; f < 2000; ++f) {
    const double v = f < 1000 ? -0.5 : 0.5;
    put(data, v);
    if (other) put(data, (*other)(v));
  }
  WriteFileBytes(path, RiffWave({RiffChunk("fmt ", fmt), RiffChunk("data", data)}));
  return path;
}

TEST(ZeroCrossing, SnapReadsEveryPlainFormatAndSumsTheChannels) {
  const PutSample put8 = [](Bytes& b, double v) {
    b.push_back(static_cast<uint8_t>(128 + v * 128));
  };
  const PutSample put24 = [](Bytes& b, double v) {
    const auto s = static_cast<int32_t>(v * 8388607);
    for (int i = 0; i < 3; ++i) b.push_back(static_cast<uint8_t>(s >> (8 * i)));
  };
  const PutSample putFloat = [](Bytes& b, double v) {
    const auto f = static_cast<float>(v);
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    PutU32(b, bits);
  };
  const std::function<double(double)> silent = [](double) { return 0.0; };
  const std::function<double(double)> louder = [](double) { return 0.75; };
  const std::function<double(double)> opposite = [](double v) { return -v; };
  struct Channels {
    const char* name;
    const std::function<double(double)>* other;
    uint64_t near, far, end;  // what frames 1080, 919 and 1995 snap to
  };
  const Channels layouts[] = {
      {"mono", nullptr, 1000, 919, 2000},
      {"over a silent channel", &silent, 1000, 919, 2000},
      {"under a louder channel: no crossing", &louder, 1080, 919, 2000},
      {"against its opposite: zero everywhere", &opposite, 1080, 919, 1995},
  };
  TempDir dir;
  for (const Channels& layout : layouts) {
    const uint16_t n = layout.other ? 2 : 1;
    const struct {
      const char* name;
      Bytes fmt;
      PutSample put;
    } formats[] = {
        {"8-bit", PcmFormatBody(n, 8000, 8), put8},
        {"24-bit", PcmFormatBody(n, 8000, 24), put24},
        {"float", FmtBody(3, n, 8000, 8000 * 4 * n, static_cast<uint16_t>(4 * n), 32), putFloat},
    };
    for (const auto& format : formats) {
      SCOPED_TRACE(std::string(format.name) + ", " + layout.name);
      const std::string path =
          WriteStepFile(dir.File("a.wav"), format.fmt, format.put, layout.other);
      SoundFormatInfo info;
      ASSERT_EQ(ProbeWaveFile(path.c_str(), info), 0);
      CZeroCrossingSnap snap(path, info);
      EXPECT_EQ(snap.Snap(1080), layout.near);  // the crossing 10 ms away
      EXPECT_EQ(snap.Snap(919), layout.far);    // 81 frames: out of reach
      EXPECT_EQ(snap.Snap(1995), layout.end);   // the end of the data
      // The same integer samples as FLAC snap the same, decoded.
      if (info.formatBlock.formatTag == kWaveFormatIeeeFloat) continue;
      std::string why;
      ASSERT_TRUE(EncodeFlacFile(path, dir.File("a.flac"), why)) << why;
      ASSERT_EQ(ReadFlacFile(dir.File("a.flac"), info), FlacProblem::kNone);
      CZeroCrossingSnap decoded(dir.File("a.flac"), info);
      EXPECT_EQ(decoded.Snap(1080), layout.near);
      EXPECT_EQ(decoded.Snap(1995), layout.end);
    }
  }
}

}  // namespace
}  // namespace snipora::test
