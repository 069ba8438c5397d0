// End to end: files played by the player through the SDL device, recorded by SDL's
// "disk" driver in real time.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "tests/playback/player_rig.h"

namespace snipora::test {
namespace {

// Plays `path` at `percent` speed from the start, with a timer tick every 200 ms, for
// `milliseconds` or until it stops at the end; returns what the device played.
Bytes PlayThroughDisk(const TempDir& dir, const std::string& path, int32_t percent,
                      int milliseconds) {
  const std::string out = dir.File("out.raw");
  EXPECT_EQ(setenv("SDL_AUDIODRIVER", "disk", 1), 0);
  EXPECT_EQ(setenv("SDL_DISKAUDIOFILE", out.c_str(), 1), 0);
  unsetenv("SDL_DISKAUDIODELAY");  // real time
  {
    auto device = OpenSystemSoundDevice();
    ManualTimerHost timers;
    CMainPlayer player(*device);
    EXPECT_EQ(player.Attach(&timers, 1, 1), 0);
    EXPECT_EQ(player.SetSpeedPercent(percent), 0);
    EXPECT_EQ(player.Open(path.c_str()), 0);
    EXPECT_EQ(player.Play(kPlayNormal), 0);
    const auto start = std::chrono::steady_clock::now();
    while (player.IsPlaying() &&
           std::chrono::steady_clock::now() - start < std::chrono::milliseconds(milliseconds)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      player.OnTimer();
    }
    EXPECT_GT(player.GetPosition(kUnitMilliseconds), 1000u);
    player.Stop();
  }
  return ReadFileBytes(out);
}

// Where `pattern` begins in the recording (silence is recorded before Play).
size_t Find(const Bytes& recording, const Bytes& pattern) {
  return std::search(recording.begin(), recording.end(), pattern.begin(), pattern.end()) -
         recording.begin();
}

TEST(SdlDiskPlaybackTest, OneSecondAtNormalSpeedComesOutByteForByte) {
  TempDir dir;
  const Bytes data = Noise16(176400 * 3, 8);
  const std::string path = dir.File("noise.wav");
  WriteFileBytes(path, MakeWave(2, 44100, 16, data));
  const Bytes recording = PlayThroughDisk(dir, path, 100, 1400);
  const size_t begin = Find(recording, Bytes(data.begin(), data.begin() + 64));
  ASSERT_LE(begin + 176400, recording.size());
  EXPECT_TRUE(std::equal(data.begin(), data.begin() + 176400, recording.begin() + begin));
}

// 24-bit samples reach SDL widened to 32 bits (shifted up by 8), float ones as they
// are; at 200 % the sound lasts half as long.
TEST(SdlDiskPlaybackTest, WideSamplesComeOutConvertedAndTwiceAsFastAtDoubleSpeed) {
  const struct {
    const char* name;
    Bytes fmt;
    unsigned sampleBytes;
  } files[] = {
      {"24-bit", ExtensibleFmtBody(2, 48000, 24, 24, 0x3, 1), 3},
      {"float", FmtBody(3, 2, 48000, 384000, 8, 32), 4},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    TempDir dir;
    const uint32_t align = 2 * f.sampleBytes;
    const Bytes data =
        SeededSamples(size_t{48000} * align * 2, f.sampleBytes, f.sampleBytes == 4, f.sampleBytes);
    Bytes played;  // the source as the device plays it
    for (size_t at = 0; at < data.size(); at += f.sampleBytes) {
      if (f.sampleBytes == 3) played.push_back(0);
      played.insert(played.end(), data.begin() + at, data.begin() + at + f.sampleBytes);
    }
    const std::string path = dir.File("wide.wav");
    WriteFileBytes(path, RiffWave({RiffChunk("fmt ", f.fmt), RiffChunk("data", data)}));

    const Bytes normal = PlayThroughDisk(dir, path, 100, 1400);
    const size_t begin = Find(normal, Bytes(played.begin(), played.begin() + 64));
    const size_t second = 48000 * 8;  // one second as played: 2 channels of 4 bytes
    ASSERT_LE(begin + second, normal.size());
    EXPECT_TRUE(std::equal(played.begin(), played.begin() + second, normal.begin() + begin));

    // Two seconds at 200 %: about one second of sound between the silences.
    const Bytes fast = PlayThroughDisk(dir, path, 200, 3000);
    const auto sound = [](uint8_t b) { return b != 0; };
    const auto first = std::find_if(fast.begin(), fast.end(), sound);
    const auto last = std::find_if(fast.rbegin(), fast.rend(), sound).base();
    ASSERT_LT(first, last);
    EXPECT_NEAR(static_cast<double>(last - first), static_cast<double>(played.size()) / 2,
                played.size() * 0.01);
  }
}

}  // namespace
}  // namespace snipora::test
