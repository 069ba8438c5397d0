// What the SDL device hands to the driver, recorded by SDL's "disk" driver: layouts
// SDL cannot play converted, and the volume applied.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/sound/sound_device.h"
#include "tests/support/test_support.h"

namespace snipora {
namespace {

using test::Bytes;

// Plays `ring` (looping) for about 300 ms into a disk file and returns the recording.
Bytes Record(const PcmFormat& format, const Bytes& ring, int32_t volume) {
  test::TempDir dir;
  const std::string out = dir.File("out.raw");
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
  setenv("SDL_DISKAUDIODELAY", "5", 1);
  {
    auto device = OpenSystemSoundDevice();
    EXPECT_TRUE(device->CreateBuffer(format, static_cast<uint32_t>(ring.size())));
    LockedRegion region;
    EXPECT_TRUE(device->Lock(0, static_cast<uint32_t>(ring.size()), region));
    std::memcpy(region.first, ring.data(), ring.size());
    device->Unlock(region);
    EXPECT_EQ(device->SetVolume(volume), 0);
    device->Play();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    device->Stop();
  }
  return test::ReadFileBytes(out);
}

// The recording starts with silence rendered before Play; returns where `pattern` begins.
size_t Find(const Bytes& recording, const Bytes& pattern) {
  return std::search(recording.begin(), recording.end(), pattern.begin(), pattern.end()) -
         recording.begin();
}

// Layouts SDL cannot play: packed 24-bit samples become the top three bytes of 32-bit
// ones, 64-bit floats are rounded to 32-bit floats.
TEST(SdlDiskOutputTest, Packed24BitIsWidenedAnd64BitFloatNarrowed) {
  Bytes ring24(6 * 1000 * 4);  // 4000 stereo frames of 24 bits
  for (size_t i = 0; i < ring24.size(); ++i) ring24[i] = static_cast<uint8_t>(i * 37 + 1);
  Bytes widened;
  for (size_t i = 0; i < ring24.size(); i += 3) {
    widened.insert(widened.end(), {0, ring24[i], ring24[i + 1], ring24[i + 2]});
  }
  Bytes ring64(16 * 4000);  // 4000 stereo frames of doubles
  Bytes narrowed;
  for (size_t i = 0; i < ring64.size(); i += 8) {
    const double wide = 0.1 + static_cast<double>(i) / 1e5;
    const auto single = static_cast<float>(wide);
    std::memcpy(&ring64[i], &wide, 8);
    const auto* bytes = reinterpret_cast<const uint8_t*>(&single);
    narrowed.insert(narrowed.end(), bytes, bytes + 4);
  }
  const struct {
    PcmFormat format;
    const Bytes& ring;
    const Bytes& played;
  } cases[] = {{PcmFormat{2, 48000, 24, 6, 288000}, ring24, widened},
               {PcmFormat{2, 48000, 64, 16, 768000, true}, ring64, narrowed}};
  for (const auto& c : cases) {
    const Bytes recording = Record(c.format, c.ring, 0);
    const size_t start = Find(recording, Bytes(c.played.begin(), c.played.begin() + 64));
    ASSERT_LT(start + c.played.size(), recording.size()) << c.format.bitsPerSample;
    EXPECT_TRUE(std::equal(c.played.begin(), c.played.end(), recording.begin() + start));
  }
}

TEST(SdlDiskOutputTest, VolumeScalesByTenToTheHundredthsOver2000) {
  std::vector<int16_t> samples(8000);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<int16_t>(i % 2 ? 20000 : -20000);
  samples[0] = 12345;  // a marker to find the start
  Bytes ring(samples.size() * 2);
  std::memcpy(ring.data(), samples.data(), ring.size());
  const Bytes recording = Record(PcmFormat{2, 44100, 16, 4, 176400}, ring, -600);
  const double factor = std::pow(10.0, -600 / 2000.0);
  // The marker, scaled, is the only sample of about that value (the device scales in
  // 1/32768 steps).
  size_t start = recording.size();
  for (size_t at = 0; at + 2 <= recording.size(); at += 2) {
    int16_t value;
    std::memcpy(&value, recording.data() + at, 2);
    if (std::abs(value - 12345 * factor) <= 2.0) {
      start = at;
      break;
    }
  }
  ASSERT_LT(start + ring.size(), recording.size());
  for (size_t i = 1; i < samples.size(); ++i) {
    int16_t got;
    std::memcpy(&got, recording.data() + start + i * 2, 2);
    ASSERT_NEAR(got, samples[i] * factor, 2.0) << "sample " << i;
  }
}

}  // namespace
}  // namespace snipora
