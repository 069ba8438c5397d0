// The test device and timer host the player's tests rely on, and the SDL device on
// SDL's dummy driver and after falling back to it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/sound/sdl_sound_device.h"
#include "platform/sound/test_sound_device.h"
#include "platform/sound/timer_host.h"

namespace snipora {
namespace {

constexpr PcmFormat kCdFormat{2, 44100, 16, 4, 176400};
constexpr int32_t kInvalidArgument = static_cast<int32_t>(0x80070057);

TEST(TestSoundDeviceTest, LocksWrapAndOnlyAPlayingBufferIsHeard) {
  TestSoundDevice device;
  ASSERT_TRUE(device.CreateBuffer(kCdFormat, 16));
  LockedRegion region;
  ASSERT_TRUE(device.Lock(12, 8, region));
  EXPECT_EQ(region.firstLength, 4u);
  EXPECT_EQ(region.secondLength, 4u);
  EXPECT_EQ(region.second, device.Buffer().data());
  for (uint32_t i = 0; i < 4; ++i) region.first[i] = static_cast<uint8_t>(12 + i);
  for (uint32_t i = 0; i < 4; ++i) region.second[i] = static_cast<uint8_t>(i);
  device.Unlock(region);
  EXPECT_FALSE(device.Lock(0, 17, region));
  EXPECT_FALSE(device.MovePlayCursor(4)) << "stopped";
  device.SetCurrentPosition(12);
  device.Play();
  ASSERT_TRUE(device.MovePlayCursor(8));
  EXPECT_EQ(device.Heard(), (std::vector<uint8_t>{12, 13, 14, 15, 0, 1, 2, 3}));
  EXPECT_EQ(device.GetCurrentPosition(), 4u);
  EXPECT_EQ(device.SetVolume(1), kInvalidArgument);
  EXPECT_EQ(device.SetVolume(-10000), 0);
}

TEST(ManualTimerHostTest, RecordsRunningTimers) {
  ManualTimerHost host;
  host.SetTimer(1, 200);
  host.SetTimer(2, 250);
  host.SetTimer(1, 100);
  EXPECT_EQ(host.Period(1), 100u);
  host.KillTimer(1);
  EXPECT_FALSE(host.IsRunning(1));
  EXPECT_TRUE(host.IsRunning(2));
  host.KillTimer(7);
  EXPECT_EQ(host.Period(2), 250u);
}

// Waits until the play cursor has moved on from `from`, at most `ms` milliseconds.
bool CursorMoves(ISoundDevice& device, uint32_t from, int ms = 2000) {
  for (int i = 0; i < ms / 10; ++i) {
    if (device.GetCurrentPosition() != from) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

void ExpectPlaysAtAboutRealTime(ISoundDevice& device) {
  ASSERT_TRUE(device.CreateBuffer(kCdFormat, 0x100000));
  EXPECT_EQ(device.GetCurrentPosition(), 0u);
  EXPECT_FALSE(CursorMoves(device, 0, 300)) << "a stopped buffer is not consumed";
  device.SetCurrentPosition(4000);
  device.Play();
  ASSERT_TRUE(CursorMoves(device, 4000));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  device.Stop();
  const uint32_t stopped = device.GetCurrentPosition();
  EXPECT_GT(stopped, 4000u + 176400 / 10);
  EXPECT_LT(stopped, 4000u + 176400 * 2);
  EXPECT_EQ(stopped % 4, 0u) << "whole frames";
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(device.GetCurrentPosition(), stopped);
}

TEST(SdlSoundDeviceTest, DummyDriverConsumesThePlayingBuffer) {
  ASSERT_EQ(setenv("SDL_AUDIODRIVER", "dummy", 1), 0);
  auto device = OpenSystemSoundDevice();
  ExpectPlaysAtAboutRealTime(*device);
  // The buffer SDL obtained (the 512 frames asked for at 44.1 kHz) reaches the player.
  EXPECT_EQ(device->TakeAheadMs(), 12u);
  EXPECT_EQ(device->SetVolume(1), kInvalidArgument);
  EXPECT_EQ(device->SetVolume(-10001), kInvalidArgument);
  EXPECT_EQ(device->SetVolume(-600), 0);
  // Packed 24-bit is played through a conversion; widths SDL has no format for are refused.
  EXPECT_TRUE(device->CreateBuffer(PcmFormat{2, 48000, 24, 6, 288000}, 0x100000));
  EXPECT_FALSE(device->CreateBuffer(PcmFormat{1, 8000, 12, 2, 16000}, 0x100000));
}

TEST(SdlSoundDeviceTest, FallsBackToTheSilentDriverWhenNoDeviceOpens) {
  ASSERT_EQ(setenv("SDL_AUDIODRIVER", "no-such-driver", 1), 0);
  testing::internal::CaptureStderr();
  auto device = OpenSystemSoundDevice();
  ExpectPlaysAtAboutRealTime(*device);
  ASSERT_TRUE(device->CreateBuffer(kCdFormat, 0x100000));
  const std::string told = testing::internal::GetCapturedStderr();
  EXPECT_NE(told.find("playing silently"), std::string::npos) << told;
  EXPECT_EQ(told.find("playing silently"), told.rfind("playing silently")) << "told once";
  EXPECT_TRUE(static_cast<SdlSoundDevice&>(*device).IsSilent());
}

}  // namespace
}  // namespace snipora
