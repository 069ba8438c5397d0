// Loop search over ten minutes of 44.1 kHz 16-bit stereo with the dialog's
// defaults ("500ミリ秒", "128(中精度)"), compare start = source start, searched
// to the end of the data: full-scale noise, digital silence, a constant level,
// quiet noise under the tolerance (-60 dBFS), faint noise just above it
// (-40 dBFS), and music-like material (notes over a bass and noise hits)
// whose 40-second loop repeats after a 10-second intro, also with the longest
// window and the lowest precision. Goal: under one second per minute, or the
// search refused at once (silent or constant sound at the start).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "loopsearch/loop_search.h"
#include "loopsearch/loop_search_options.h"
#include "loopsearch/loop_window.h"

namespace snipora {
namespace {

constexpr uint32_t kRate = 44100;
constexpr uint16_t kChannels = 2;
constexpr uint32_t kFrames = kRate * 600;  // ten minutes
constexpr uint32_t kValues = kFrames * kChannels;

class Random {
 public:
  explicit Random(uint32_t seed) : state_(seed) {}
  int16_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<int16_t>(state_ >> 16);
  }

 private:
  uint32_t state_;
};

std::vector<int16_t> NoiseValues(int divisor) {
  std::vector<int16_t> values(kValues);
  Random random(0x12345678);
  for (auto& v : values) v = static_cast<int16_t>(random.Next() / divisor);
  return values;
}

std::vector<int16_t> ConstantValues(int16_t level) {
  return std::vector<int16_t>(kValues, level);
}

// Ten seconds of intro, then a 40-second phrase over and over: a note every
// quarter second from a seeded melody, a bass under it, a noise hit on every
// beat and a little noise throughout.
constexpr uint32_t kIntroFrames = 10 * kRate;
constexpr uint32_t kLoopFrames = 40 * kRate;

std::vector<int16_t> MusicValues() {
  std::vector<int16_t> values(kValues);
  for (uint32_t f = 0; f < kFrames; ++f) {
    const uint32_t t = f < kIntroFrames ? f + kLoopFrames : (f - kIntroFrames) % kLoopFrames;
    const uint32_t note = t / (kRate / 4);
    const double pitch = 220.0 * std::pow(2.0, ((note * 7919u) % 24) / 12.0);
    const double bass = 55.0 * std::pow(2.0, ((note / 8 * 104729u) % 12) / 12.0);
    const double seconds = static_cast<double>(t) / kRate;
    const uint32_t inBeat = t % (kRate / 2);
    const double hit =
        inBeat < 2000 ? (1.0 - inBeat / 2000.0) * ((t * 2654435761u) >> 20) / 4096.0 : 0;
    const double x = 9000 * std::sin(2 * M_PI * pitch * seconds) +
                     7000 * std::sin(2 * M_PI * bass * seconds) +
                     6000 * (hit - 0.5) * (inBeat < 2000);
    const int hiss = static_cast<int16_t>((t * 2246822519u) >> 16) / 256;
    values[2 * f] = static_cast<int16_t>(x + hiss);
    values[2 * f + 1] = static_cast<int16_t>(0.8 * x - hiss);
  }
  return values;
}

void PutLe(std::ofstream& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.put(static_cast<char>(value >> (8 * i)));
}

// A file of the values, written at first use and removed at exit.
struct BenchFile {
  std::string path;
  SoundFormatInfo info;

  BenchFile(const std::string& name, const std::vector<int16_t>& values) {
    const char* tmp = std::getenv("TMPDIR");
    path = std::string(tmp && *tmp ? tmp : "/tmp") + "/snipora-loopsearch-" + name + ".wav";
    const uint32_t dataSize = kValues * 2;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write("RIFF", 4);
    PutLe(out, 36 + dataSize, 4);
    out.write("WAVEfmt ", 8);
    PutLe(out, 16, 4);
    PutLe(out, 1, 2);
    PutLe(out, kChannels, 2);
    PutLe(out, kRate, 4);
    PutLe(out, kRate * 2 * kChannels, 4);
    PutLe(out, 2 * kChannels, 2);
    PutLe(out, 16, 2);
    out.write("data", 4);
    PutLe(out, dataSize, 4);
    out.write(reinterpret_cast<const char*>(values.data()), dataSize);
    if (!out) std::abort();

    info.dataOffset = 44;
    info.dataSize = dataSize;
    info.channels = kChannels;
    info.sampleRate = kRate;
    info.formatBlock.formatTag = 1;
    info.formatBlock.channels = kChannels;
    info.formatBlock.samplesPerSec = kRate;
    info.formatBlock.avgBytesPerSec = kRate * 2 * kChannels;
    info.formatBlock.blockAlign = 2 * kChannels;
    info.formatBlock.bitsPerSample = 16;
  }
  ~BenchFile() { std::filesystem::remove(path); }
};

const BenchFile& TheFile(const std::string& name) {
  static BenchFile noise("noise", NoiseValues(1));
  static BenchFile silence("silence", ConstantValues(0));
  static BenchFile dc("dc", ConstantValues(1000));
  static BenchFile quiet("quiet", NoiseValues(1000));  // +-33: -60 dBFS
  static BenchFile faint("faint", NoiseValues(100));   // +-328: -40 dBFS
  static BenchFile music("music", MusicValues());
  if (name == "silence") return silence;
  if (name == "dc") return dc;
  if (name == "quiet") return quiet;
  if (name == "faint") return faint;
  if (name == "music") return music;
  return noise;
}

struct CountingResults : ILoopSearchResults {
  size_t count = 0;
  void ClearResults() override { count = 0; }
  void AddResult(const std::string&) override { ++count; }
};

struct SilentProgress : ILoopSearchProgress {
  void SetRange(uint32_t) override {}
  void SetPosition(uint32_t) override {}
  void SetText(const std::string&) override {}
  void Pump() override {}
  bool IsCancelled() const override { return false; }
};

struct NoQuestions : IUiServices {
  MessageAnswer ShowMessage(int, MessageButtons) override { std::abort(); }
  MessageAnswer ShowText(const std::string&, MessageButtons) override { return MessageAnswer::Ok; }
  size_t AskChoice(const std::string&, const std::vector<std::string>&) override { std::abort(); }
  std::optional<std::string> AskOpenFile(const OpenFileRequest&) override { std::abort(); }
  std::optional<SaveFileAnswer> AskSaveFile(const SaveFileRequest&) override { std::abort(); }
  std::optional<std::string> AskFolder(const std::string&) override { std::abort(); }
};

// The whole search, reading the file, with the source at `sourceSecond`.
void BM_LoopSearchTenMinutes(benchmark::State& state, std::string name, double sourceSecond,
                             int lengthIndex, int precisionIndex) {
  const BenchFile& file = TheFile(name);
  LoopSearchInput input;
  input.path = file.path;
  input.format = file.info;
  input.sourceStart = static_cast<uint64_t>(sourceSecond * kRate) * 2 * kChannels;
  input.compareStart = input.sourceStart;
  input.distance = file.info.dataSize;
  input.windowValues = static_cast<uint32_t>(LoopWindowValues(kRate, lengthIndex));
  input.tolerance = LoopTolerance(precisionIndex);
  CountingResults results;
  SilentProgress progress;
  NoQuestions ui;
  LoopSearchEnd end = LoopSearchEnd::Completed;
  for (auto _ : state) end = RunLoopSearch(input, results, progress, ui);
  state.counters["matches"] = double(results.count);
  state.counters["refused"] = end == LoopSearchEnd::ConstantWindow;
  if (end != LoopSearchEnd::Completed && end != LoopSearchEnd::ConstantWindow) {
    state.SkipWithError("search failed");
  }
}
struct Case {
  const char* name;
  const char* file;
  double sourceSecond;
  int lengthIndex;
  int precisionIndex;
};
constexpr Case kCases[] = {
    {"noise", "noise", 0.0, kDefaultLoopLength, kDefaultLoopPrecision},
    {"silence", "silence", 0.0, kDefaultLoopLength, kDefaultLoopPrecision},
    {"dc", "dc", 0.0, kDefaultLoopLength, kDefaultLoopPrecision},
    {"quiet_noise", "quiet", 0.0, kDefaultLoopLength, kDefaultLoopPrecision},
    {"faint_noise", "faint", 0.0, kDefaultLoopLength, kDefaultLoopPrecision},
    {"faint_noise_exact", "faint", 0.0, kDefaultLoopLength, 0},
    {"music", "music", 12.345, kDefaultLoopLength, kDefaultLoopPrecision},
    {"music_10s_window_512", "music", 12.345, 5, 5},
};
const bool kRegistered = [] {
  for (const Case& c : kCases) {
    benchmark::RegisterBenchmark((std::string("BM_LoopSearchTenMinutes/") + c.name).c_str(),
                                 BM_LoopSearchTenMinutes, c.file, c.sourceSecond, c.lengthIndex,
                                 c.precisionIndex)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3)
        ->UseRealTime();
  }
  return true;
}();

// The comparison alone over the same values in memory, without file reading.
void BM_WindowComparisonInMemory(benchmark::State& state) {
  const std::vector<int16_t> values = NoiseValues(1);
  const uint32_t w = static_cast<uint32_t>(LoopWindowValues(kRate, kDefaultLoopLength));
  std::vector<int16_t> lower(w);
  std::vector<uint16_t> span(w);
  BuildToleranceBand(values.data(), w, LoopTolerance(kDefaultLoopPrecision), lower.data(),
                     span.data());
  std::vector<uint32_t> matches;
  for (auto _ : state) {
    matches.clear();
    FindWindowMatches(values.data(), kValues - w, lower.data(), span.data(), w, matches);
    benchmark::DoNotOptimize(matches.data());
  }
  state.counters["candidates_per_s"] =
      benchmark::Counter(double(kValues - w), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_WindowComparisonInMemory)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
}  // namespace snipora
