// Sounds between silences on a 1 GiB 16-bit stereo recording (tracks of
// three to five minutes of music-like noise with quiet passages, separated by
// a few seconds of a faint noise floor), beside reading the same file with dd
// and direct I/O, and beside ffmpeg's silencedetect and sox's silence effect
// with the same threshold and minimum silence. Run it through
// run_silence_bench.sh, which runs interleaved rounds and prints the medians
// of the per-round ratios. Each benchmark runs once per round.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audiofile/wave_reader.h"
#include "bench/support/bench_files.h"
#include "ranges/sounds_between_silences.h"

namespace snipora {
namespace {

namespace fs = std::filesystem;

constexpr uint64_t kSourceBytes = uint64_t{1} << 30;
constexpr uint32_t kRate = 44100;

std::string WorkFolder() {
  return bench::WorkFolder("/var/tmp/snipora-silence-bench");
}
std::string SourcePath() {
  return WorkFolder() + "/recording.wav";
}

void PutLe(std::ofstream& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.put(static_cast<char>(value >> (8 * i)));
}

class Noise {
 public:
  double Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<int32_t>(state_) / 2147483648.0;
  }
  uint32_t Below(uint32_t n) {
    Next();
    return state_ % n;
  }

 private:
  uint32_t state_ = 0x2545F491;
};

// Tracks of low-passed noise under a slowly moving loudness with a pause now
// and then, and gaps of +-2 (about -78 dBFS) between them.
void EnsureSource() {
  fs::create_directories(WorkFolder());
  if (fs::exists(SourcePath()) && fs::file_size(SourcePath()) == kSourceBytes) return;
  const uint64_t frames = (kSourceBytes - 44) / 4;
  std::ofstream out(SourcePath(), std::ios::binary | std::ios::trunc);
  out.write("RIFF", 4);
  PutLe(out, static_cast<uint32_t>(kSourceBytes - 8), 4);
  out.write("WAVEfmt ", 8);
  PutLe(out, 16, 4);
  PutLe(out, 1, 2);
  PutLe(out, 2, 2);
  PutLe(out, kRate, 4);
  PutLe(out, kRate * 4, 4);
  PutLe(out, 4, 2);
  PutLe(out, 16, 2);
  out.write("data", 4);
  PutLe(out, static_cast<uint32_t>(frames * 4), 4);
  Noise noise;
  std::vector<int16_t> block;
  double left = 0, right = 0;
  for (uint64_t f = 0; f < frames;) {
    const uint64_t track = (150 + noise.Below(150)) * uint64_t{kRate} + noise.Below(kRate);
    const uint64_t gap = (2 + noise.Below(3)) * uint64_t{kRate} + noise.Below(kRate);
    for (uint64_t t = 0; t < track + gap && f < frames; ++t, ++f) {
      double l = 0, r = 0;
      const bool pause = t % (40 * kRate) < kRate * 3 / 10;  // 0.3 s every 40 s
      if (t < track && !pause) {
        const double loudness = 0.3 + 0.25 * std::sin(t * 1e-5);
        left = 0.9 * left + 0.1 * noise.Next();
        right = 0.9 * right + 0.1 * noise.Next();
        l = left * loudness * 32767 * 3;
        r = right * loudness * 32767 * 3;
      } else {
        l = noise.Below(5) - 2.0;
        r = noise.Below(5) - 2.0;
      }
      block.push_back(static_cast<int16_t>(std::clamp(l, -32768.0, 32767.0)));
      block.push_back(static_cast<int16_t>(std::clamp(r, -32768.0, 32767.0)));
      if (block.size() == 1 << 20) {
        out.write(reinterpret_cast<const char*>(block.data()), block.size() * 2);
        block.clear();
      }
    }
  }
  out.write(reinterpret_cast<const char*>(block.data()), block.size() * 2);
  out.close();
  std::system("sync");
}

struct NoProgress : ranges::IScanProgress {
  void Advance(uint64_t, uint64_t) override {}
  bool IsCancelled() const override { return false; }
};

// Tools that read through the page cache start from the disk too.
std::string DropSourceCache() {
  return bench::DropFromCache(SourcePath());
}

void BM_FindSounds(benchmark::State& state) {
  EnsureSource();
  SoundFormatInfo info;
  if (ProbeWaveFile(SourcePath().c_str(), info) != 0) std::abort();
  std::vector<ranges::LabeledRange> sounds;
  for (auto _ : state) {
    NoProgress progress;
    if (ranges::FindSoundsBetweenSilences(SourcePath(), info, {}, progress, sounds) !=
        ranges::SilenceScanEnd::kDone) {
      state.SkipWithError("scan failed");
    }
  }
  state.counters["sounds"] = static_cast<double>(sounds.size());
}
BENCHMARK(BM_FindSounds)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_DdDirect(benchmark::State& state) {
  EnsureSource();
  for (auto _ : state) {
    bench::RunShell(state,
                    "dd if=" + SourcePath() + " iflag=direct bs=1M of=/dev/null status=none");
  }
}
BENCHMARK(BM_DdDirect)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_FfmpegSilencedetect(benchmark::State& state) {
  EnsureSource();
  for (auto _ : state) {
    state.PauseTiming();
    bench::RunShell(state, DropSourceCache() + "true");
    state.ResumeTiming();
    bench::RunShell(state, "ffmpeg -nostdin -hide_banner -loglevel info -i " + SourcePath() +
                               " -af silencedetect=n=-50dB:d=1 -f null - 2>" + WorkFolder() +
                               "/ffmpeg.txt");
  }
}
BENCHMARK(BM_FfmpegSilencedetect)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_SoxSilence(benchmark::State& state) {
  EnsureSource();
  for (auto _ : state) {
    state.PauseTiming();
    bench::RunShell(state, DropSourceCache() + "true");
    state.ResumeTiming();
    bench::RunShell(state, "sox " + SourcePath() + " -n silence 1 1.0 -50d -1 1.0 -50d");
  }
}
BENCHMARK(BM_SoxSilence)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace snipora
