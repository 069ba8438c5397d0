// What the SDL device hands to the driver, recorded by SDL's "disk" driver: packed
// 24-bit widened to 32 bits, and the volume applied.
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

TEST(SdlDiskOutputTest, Packed24BitIsWidenedTo32Bits) {
  Bytes ring(6 * 1000 * 4);  // 4000 stereo frames of 24 bits
  for (size_t i = 0; i < ring.size(); ++i) ring[i] = static_cast<uint8_t>(i * 37 + 1);
  const Bytes recording = Record(PcmFormat{2, 48000, 24, 6, 288000}, ring, 0);
  Bytes widened;
  for (size_t i = 0; i < ring.size(); i += 3) {
    widened.insert(widened.end(), {0, ring[i], ring[i + 1], ring[i + 2]});
  }
  const size_t start = Find(recording, Bytes(widened.begin(), widened.begin() + 64));
  ASSERT_LT(start + widened.size(), recording.size());
  EXPECT_TRUE(std::equal(widened.begin(), widened.end(), recording.begin() + start));
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
