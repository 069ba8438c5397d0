// FillBuffer's cost per output frame: 16-bit stereo at gain 150, normal and stepped
// speed, with and without the automatic volume control measuring every block.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/sound/test_sound_device.h"
#include "platform/sound/timer_host.h"
#include "playback/main_player.h"

namespace snipora {
namespace {

class BenchPlayer : public CMainPlayer {
 public:
  using CMainPlayer::CMainPlayer;
  // A stopped re-transfer: the whole buffer (three seconds) rewritten from the queue.
  void RewriteBuffer() { FillBuffer(3 * OutputFormat().bytesPerSecond, 0); }
  // One timer tick's write: 200 ms of output from the newest bytes of the queue.
  void WriteTick(uint32_t bytes) {
    FillBuffer(bytes, queue_.Count() - bytes / 100 * static_cast<uint32_t>(GetSpeedPercent()));
  }
};

// 60 s of 44.1 kHz stereo noise within +-20000, so that gain 150 does not clip and the
// automatic control measures without changing the gain. Removed again at exit.
struct NoiseFile {
  NoiseFile();
  ~NoiseFile() { std::filesystem::remove(path); }
  std::string path = (std::filesystem::temp_directory_path() / "snipora-fillbuffer.wav").string();
};

NoiseFile::NoiseFile() {
  const uint32_t frames = 44100 * 60, bytes = frames * 4;
  std::vector<int16_t> samples(frames * 2);
  uint32_t x = 2463534242u;
  for (int16_t& s : samples) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    s = static_cast<int16_t>(static_cast<int32_t>(x % 40001) - 20000);
  }
  uint8_t header[44] = {'R',  'I',  'F',  'F', 0, 0, 0,  0, 'W', 'A', 'V',  'E',  'f', 'm',
                        't',  ' ',  16,   0,   0, 0, 1,  0, 2,   0,   0x44, 0xAC, 0,   0,
                        0x10, 0xB1, 0x02, 0,   4, 0, 16, 0, 'd', 'a', 't',  'a'};
  const uint32_t riff = 36 + bytes;
  std::memcpy(header + 4, &riff, 4);
  std::memcpy(header + 40, &bytes, 4);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(header), 44);
  out.write(reinterpret_cast<const char*>(samples.data()), bytes);
}

void BM_FillBuffer(benchmark::State& state) {
  static const NoiseFile noise;
  const std::string& path = noise.path;
  const auto percent = static_cast<int32_t>(state.range(0));
  const bool automatic = state.range(1) != 0;
  TestSoundDevice device;
  ManualTimerHost timers;
  BenchPlayer player(device);
  player.Attach(&timers, 1, 1);
  player.SetOptions(automatic ? CDS_AUTOVOLUME : 0);
  player.SetSoftwareVolume(150);
  player.SetSpeedPercent(percent);
  if (player.Open(path.c_str()) != 0) {
    state.SkipWithError("cannot open the noise file");
    return;
  }
  const bool tick = state.range(2) != 0;
  const uint32_t bytes = tick ? 176400 / 5 : 3 * 176400;
  const double frames = bytes / 4;
  for (auto _ : state) {
    if (tick) {
      player.WriteTick(bytes);
    } else {
      player.RewriteBuffer();
    }
    benchmark::DoNotOptimize(device.Buffer().data());
  }
  if (player.GetSoftwareVolume() != 150) state.SkipWithError("the gain changed");
  state.counters["ns_per_frame"] = benchmark::Counter(
      frames * 1e9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_FillBuffer)
    ->ArgNames({"percent", "auto", "tick"})
    ->ArgsProduct({{100, 250}, {0, 1}, {1, 0}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace snipora
