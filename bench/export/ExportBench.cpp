// Export speed on a 1 GiB 16-bit stereo source: ten pieces holding 90 % of
// it, split (with and without a 1-second fade on each piece) and joined,
// beside the same byte ranges cut by dd with direct I/O, by sox, and by sox
// followed by sync. Run it through run_export_bench.sh, which prints the
// ratios. Each benchmark runs once: the files are far larger than any cache
// the engine uses, and the machine is shared.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audiofile/wave_reader.h"
#include "export/export_job.h"

namespace snipora {
namespace {

namespace fs = std::filesystem;

constexpr uint64_t kSourceBytes = uint64_t{1} << 30;
constexpr uint32_t kDataOffset = 44;
constexpr int kPieces = 10;

std::string WorkFolder() {
  const char* dir = std::getenv("SNIPORA_BENCH_DIR");
  return dir ? dir : "/var/tmp/snipora-export-bench";
}
std::string SourcePath() {
  return WorkFolder() + "/source.wav";
}

void PutLe(std::ofstream& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.put(static_cast<char>(value >> (8 * i)));
}

// A canonical 44-byte-header WAVE of noise, made once.
void EnsureSource() {
  fs::create_directories(WorkFolder());
  if (fs::exists(SourcePath()) && fs::file_size(SourcePath()) == kSourceBytes) return;
  const uint32_t dataBytes = static_cast<uint32_t>(kSourceBytes - kDataOffset);
  std::ofstream out(SourcePath(), std::ios::binary | std::ios::trunc);
  out.write("RIFF", 4);
  PutLe(out, dataBytes + 36, 4);
  out.write("WAVEfmt ", 8);
  PutLe(out, 16, 4);
  PutLe(out, 1, 2);
  PutLe(out, 2, 2);
  PutLe(out, 44100, 4);
  PutLe(out, 176400, 4);
  PutLe(out, 4, 2);
  PutLe(out, 16, 2);
  out.write("data", 4);
  PutLe(out, dataBytes, 4);
  std::vector<uint32_t> block(1 << 18);
  uint32_t state = 0x12345678;
  for (uint64_t done = 0; done < dataBytes; done += block.size() * 4) {
    for (auto& word : block) {
      state ^= state << 13;
      state ^= state >> 17;
      state ^= state << 5;
      word = state;
    }
    const uint64_t n = std::min<uint64_t>(block.size() * 4, dataBytes - done);
    out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(n));
  }
  out.close();
  std::system("sync");
}

// Ten ranges of 9 % each, one in each tenth of the data; their file offsets
// and lengths are multiples of 512 so that dd can read them with direct I/O.
std::vector<ExportRange> Ranges() {
  const uint64_t frames = (kSourceBytes - kDataOffset) / 4;
  std::vector<ExportRange> ranges;
  for (int k = 0; k < kPieces; ++k) {
    const uint64_t start = (k * frames / kPieces) / 128 * 128 + 117;  // (44 + 4 x 117) % 512 == 0
    const uint64_t length = frames * 9 / 100 / 128 * 128;
    ranges.push_back({static_cast<uint32_t>(start), static_cast<uint32_t>(start + length)});
  }
  return ranges;
}

ExportJob Job(uint32_t fadeMs) {
  EnsureSource();
  ExportJob job;
  job.sourcePath = SourcePath();
  if (ProbeWaveFile(job.sourcePath.c_str(), job.format) != 0) std::abort();
  job.ranges = Ranges();
  job.fadeMs = fadeMs;
  return job;
}

struct NoProgress : IExportProgress {
  void SetFileRange(uint32_t) override {}
  void SetFilePosition(uint32_t) override {}
  void SetOverallRange(uint32_t) override {}
  void SetOverallPosition(uint32_t) override {}
  void Pump(bool) override {}
  bool IsCancelled() const override { return false; }
};

std::string FreshFolder(const std::string& name) {
  const std::string folder = WorkFolder() + "/" + name;
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

void Run(benchmark::State& state, const std::string& shell) {
  if (std::system(shell.c_str()) != 0) state.SkipWithError(("failed: " + shell).c_str());
}

void BM_Split(benchmark::State& state, uint32_t fadeMs) {
  const ExportJob job = Job(fadeMs);
  for (auto _ : state) {
    state.PauseTiming();
    const std::string folder = FreshFolder("split");
    std::vector<std::string> outputs;
    for (int i = 0; i < kPieces; ++i) outputs.push_back(folder + "/" + std::to_string(i) + ".wav");
    NoProgress progress;
    state.ResumeTiming();
    if (WriteSplitPieces(job, outputs, progress) != ExportOutcome::Done) {
      state.SkipWithError("export failed");
    }
  }
  fs::remove_all(WorkFolder() + "/split");
}

void BM_Join(benchmark::State& state) {
  const ExportJob job = Job(0);
  for (auto _ : state) {
    state.PauseTiming();
    const std::string folder = FreshFolder("join");
    NoProgress progress;
    state.ResumeTiming();
    if (WriteJoinedFile(job, folder + "/joined.wav", progress) != ExportOutcome::Done) {
      state.SkipWithError("export failed");
    }
  }
  fs::remove_all(WorkFolder() + "/join");
}

// dd with direct I/O on both sides, one run per piece (joined: at offsets of one file).
void BM_Dd(benchmark::State& state, bool joined) {
  EnsureSource();
  for (auto _ : state) {
    state.PauseTiming();
    const std::string folder = FreshFolder("dd");
    std::string script;
    uint64_t offset = 0;
    for (int i = 0; const ExportRange& r : Ranges()) {
      const uint64_t start = kDataOffset + uint64_t{r.startFrame} * 4;
      const uint64_t length = uint64_t{r.endFrame - r.startFrame} * 4;
      const std::string out = folder + "/" + (joined ? "joined" : std::to_string(i++)) + ".raw";
      script += "dd if=" + SourcePath() + " of=" + out;
      script += " bs=1M iflag=direct,skip_bytes,count_bytes oflag=direct,seek_bytes";
      script += joined ? " conv=notrunc" : "";
      script += " skip=" + std::to_string(start) + " count=" + std::to_string(length);
      script += " seek=" + std::to_string(offset) + " status=none && ";
      if (joined) offset += length;
    }
    state.ResumeTiming();
    Run(state, script + "true");
  }
  fs::remove_all(WorkFolder() + "/dd");
}

void BM_Sox(benchmark::State& state, bool thenSync) {
  EnsureSource();
  for (auto _ : state) {
    state.PauseTiming();
    const std::string folder = FreshFolder("sox");
    std::string script;
    for (int i = 0; const ExportRange& r : Ranges()) {
      script += "sox -V1 " + SourcePath() + " " + folder + "/" + std::to_string(i++) +
                ".wav trim " + std::to_string(r.startFrame) + "s =" + std::to_string(r.endFrame) +
                "s && ";
    }
    state.ResumeTiming();
    Run(state, script + (thenSync ? "sync" : "true"));
  }
  fs::remove_all(WorkFolder() + "/sox");
}

#define ONCE Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime()
BENCHMARK_CAPTURE(BM_Dd, split, false)->ONCE;
BENCHMARK_CAPTURE(BM_Split, plain, 0)->ONCE;
BENCHMARK_CAPTURE(BM_Split, fade_1s, 1000)->ONCE;
BENCHMARK_CAPTURE(BM_Dd, join, true)->ONCE;
BENCHMARK(BM_Join)->ONCE;
BENCHMARK_CAPTURE(BM_Sox, split, false)->ONCE;
BENCHMARK_CAPTURE(BM_Sox, split_then_sync, true)->ONCE;

}  // namespace
}  // namespace snipora
