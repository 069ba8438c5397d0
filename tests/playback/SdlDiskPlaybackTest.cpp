// End to end: a 16-bit file played by the player through the SDL device, recorded by
// SDL's "disk" driver in real time.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "tests/playback/player_rig.h"

namespace snipora::test {
namespace {

TEST(SdlDiskPlaybackTest, OneSecondAtNormalSpeedComesOutByteForByte) {
  TempDir dir;
  const std::string out = dir.File("out.raw");
  ASSERT_EQ(setenv("SDL_AUDIODRIVER", "disk", 1), 0);
  ASSERT_EQ(setenv("SDL_DISKAUDIOFILE", out.c_str(), 1), 0);
  unsetenv("SDL_DISKAUDIODELAY");  // real time
  const Bytes data = Noise16(176400 * 3, 8);
  const std::string path = dir.File("noise.wav");
  WriteFileBytes(path, MakeWave(2, 44100, 16, data));
  {
    auto device = OpenSystemSoundDevice();
    ManualTimerHost timers;
    CMainPlayer player(*device);
    ASSERT_EQ(player.Attach(&timers, 1, 1), 0);
    ASSERT_EQ(player.Open(path.c_str()), 0);
    ASSERT_EQ(player.Play(kPlayNormal), 0);
    // The timer host's part: a tick every 200 ms.
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(1400)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      player.OnTimer();
    }
    EXPECT_GT(player.GetPosition(kUnitMilliseconds), 1000u);
    ASSERT_EQ(player.Stop(), 0);
  }
  const Bytes recording = ReadFileBytes(out);
  // Silence is recorded before Play; the data starts with its first bytes.
  const auto begin =
      std::search(recording.begin(), recording.end(), data.begin(), data.begin() + 64);
  ASSERT_NE(begin, recording.end());
  ASSERT_GE(recording.end() - begin, 176400);
  EXPECT_TRUE(std::equal(data.begin(), data.begin() + 176400, begin));
}

}  // namespace
}  // namespace snipora::test
