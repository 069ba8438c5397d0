// Loop search over ten minutes of 44.1 kHz 16-bit stereo noise with the
// dialog's defaults ("500ミリ秒", "128(中精度)"), compare start = source start,
// searched to the end of the data. Goal: under one second.

#include <benchmark/benchmark.h>

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
constexpr uint32_t kValues = kRate * kChannels * 600;  // ten minutes

std::vector<int16_t> NoiseValues() {
  std::vector<int16_t> values(kValues);
  uint32_t state = 0x12345678;
  for (auto& v : values) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    v = static_cast<int16_t>(state >> 16);
  }
  return values;
}

void PutLe(std::ofstream& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.put(static_cast<char>(value >> (8 * i)));
}

// The noise file, written once per run and removed at exit.
struct NoiseFile {
  std::string path;
  SoundFormatInfo info;

  NoiseFile() {
    const char* tmp = std::getenv("TMPDIR");
    path = std::string(tmp && *tmp ? tmp : "/tmp") + "/snipora-loopsearch-bench.wav";
    const std::vector<int16_t> values = NoiseValues();
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
  ~NoiseFile() { std::filesystem::remove(path); }
};

const NoiseFile& TheNoiseFile() {
  static NoiseFile file;
  return file;
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
  MessageAnswer ShowText(const std::string&, MessageButtons) override { std::abort(); }
  size_t AskChoice(const std::string&, const std::vector<std::string>&) override { std::abort(); }
  std::optional<std::string> AskOpenFile(const OpenFileRequest&) override { std::abort(); }
  std::optional<SaveFileAnswer> AskSaveFile(const SaveFileRequest&) override { std::abort(); }
  std::optional<std::string> AskFolder(const std::string&) override { std::abort(); }
};

// The whole search, reading the file.
void BM_LoopSearchTenMinutes(benchmark::State& state) {
  const NoiseFile& file = TheNoiseFile();
  LoopSearchInput input;
  input.path = file.path;
  input.format = file.info;
  input.distance = file.info.dataSize;
  input.windowValues = static_cast<uint32_t>(LoopWindowValues(kRate, kDefaultLoopLength));
  input.tolerance = LoopTolerance(kDefaultLoopPrecision);
  CountingResults results;
  SilentProgress progress;
  NoQuestions ui;
  for (auto _ : state) {
    if (RunLoopSearch(input, results, progress, ui) != LoopSearchEnd::Completed) std::abort();
  }
  const double candidates = double(kValues - input.windowValues);
  state.counters["candidates_per_s"] =
      benchmark::Counter(candidates, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["matches"] = double(results.count);
}
BENCHMARK(BM_LoopSearchTenMinutes)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The comparison alone over the same values in memory, without file reading.
void BM_WindowComparisonInMemory(benchmark::State& state) {
  const std::vector<int16_t> values = NoiseValues();
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
