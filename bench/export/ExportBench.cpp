// Export speed on a 1 GiB 16-bit stereo source: ten pieces holding 90 % of
// it, split (with and without a 1-second fade on each piece) and joined,
// beside the same byte ranges cut by dd with direct I/O (ranges widened to
// whole 4 KiB blocks, as direct I/O needs), by dd through the page cache with
// conv=fsync, and by sox followed by sync. The ranges start and end at odd
// frames, as users' markers do; an aligned set is kept for reference. Run it
// through run_export_bench.sh, which runs several interleaved rounds and
// prints the median of the per-round ratios. Each benchmark runs once per
// round: the files are far larger than any buffer the engine uses.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audiofile/wave_reader.h"
#include "bench/support/bench_files.h"
#include "bench/support/silent_export_progress.h"
#include "export/export_job.h"

namespace snipora {
namespace {

namespace fs = std::filesystem;

constexpr uint64_t kSourceBytes = uint64_t{1} << 30;
constexpr uint32_t kDataOffset = 44;
constexpr int kPieces = 10;

std::string WorkFolder() {
  return bench::WorkFolder("/var/tmp/snipora-export-bench");
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

enum class Placement { Odd, Aligned };

// Ten ranges of 9 % each, one in each tenth of the data. Odd: starts and
// lengths at odd frames, so no piece starts or ends on a sector. Aligned:
// file offsets on 512 bytes and lengths in 4096-byte multiples.
std::vector<ExportRange> Ranges(Placement placement) {
  const uint64_t frames = (kSourceBytes - kDataOffset) / 4;
  std::vector<ExportRange> ranges;
  for (int k = 0; k < kPieces; ++k) {
    const uint64_t tenth = k * frames / kPieces / 128 * 128;
    uint64_t start = tenth + 117;  // (44 + 4 x 117) % 512 == 0
    uint64_t length = frames * 9 / 100 / 1024 * 1024;
    if (placement == Placement::Odd) {
      start = tenth + 77 + 2 * k;
      length = length + 201 + 2 * k;
    }
    ranges.push_back({static_cast<uint32_t>(start), static_cast<uint32_t>(start + length)});
  }
  return ranges;
}

// The odd ranges as snipora-cut arguments, for the script's run of it.
void WriteOddRangeList() {
  std::ofstream list(WorkFolder() + "/odd_ranges.txt", std::ios::trunc);
  for (const ExportRange& r : Ranges(Placement::Odd)) {
    list << r.startFrame << ':' << r.endFrame << ' ';
  }
}

// The plan of the placement's ranges as pieces at `outputs` (or joined).
ExportPlan Plan(Placement placement, uint32_t fadeMs, std::vector<std::string> outputs, bool join) {
  EnsureSource();
  ExportRequest request;
  request.sourcePath = SourcePath();
  if (ProbeWaveFile(request.sourcePath.c_str(), request.format) != 0) std::abort();
  for (const ExportRange& r : Ranges(placement)) {
    request.ranges.push_back({r.startFrame, r.endFrame, "", std::nullopt});
  }
  request.edges.fadeOutMs = fadeMs;
  request.join = join;
  request.paths = std::move(outputs);
  WriteOddRangeList();
  ExportPlan plan;
  if (PlanExport(request, plan)) std::abort();
  return plan;
}

std::string FreshFolder(const std::string& name) {
  return bench::FreshFolder(WorkFolder(), name);
}

void Check(benchmark::State& state, ExportOutcome outcome) {
  if (outcome == ExportOutcome::Done) return;
  const std::string text = "export failed: outcome " + std::to_string(static_cast<int>(outcome));
  state.SkipWithError(text.c_str());
}

// The page cache must not hold the source for a baseline that reads through
// it (the engine and dd with direct I/O bypass it).
std::string DropSourceCache() {
  return bench::DropFromCache(SourcePath());
}

void BM_Split(benchmark::State& state, Placement placement, uint32_t fadeMs) {
  const std::string folder = WorkFolder() + "/split";
  std::vector<std::string> outputs;
  for (int i = 0; i < kPieces; ++i) outputs.push_back(folder + "/" + std::to_string(i) + ".wav");
  const ExportPlan plan = Plan(placement, fadeMs, outputs, false);
  for (auto _ : state) {
    state.PauseTiming();
    FreshFolder("split");
    bench::SilentExportProgress progress;
    state.ResumeTiming();
    Check(state, WriteExport(plan, progress));
  }
  fs::remove_all(WorkFolder() + "/split");
}

void BM_Join(benchmark::State& state, Placement placement) {
  const ExportPlan plan = Plan(placement, 0, {WorkFolder() + "/join/joined.wav"}, true);
  for (auto _ : state) {
    state.PauseTiming();
    FreshFolder("join");
    bench::SilentExportProgress progress;
    state.ResumeTiming();
    Check(state, WriteExport(plan, progress));
  }
  fs::remove_all(WorkFolder() + "/join");
}

// dd with direct I/O on both sides, one run per piece (joined: at offsets of
// one file), each range widened to whole 4 KiB blocks.
void BM_Dd(benchmark::State& state, Placement placement, bool joined) {
  EnsureSource();
  for (auto _ : state) {
    state.PauseTiming();
    const std::string folder = FreshFolder("dd");
    std::string script;
    uint64_t offset = 0;
    for (int i = 0; const ExportRange& r : Ranges(placement)) {
      const uint64_t start = (kDataOffset + uint64_t{r.startFrame} * 4) / 4096 * 4096;
      const uint64_t end = (kDataOffset + uint64_t{r.endFrame} * 4 + 4095) / 4096 * 4096;
      const std::string out = folder + "/" + (joined ? "joined" : std::to_string(i++)) + ".raw";
      script += "dd if=" + SourcePath() + " of=" + out;
      script += " bs=1M iflag=direct,skip_bytes,count_bytes oflag=direct,seek_bytes";
      script += joined ? " conv=notrunc" : "";
      script += " skip=" + std::to_string(start) + " count=" + std::to_string(end - start);
      script += " seek=" + std::to_string(offset) + " status=none && ";
      if (joined) offset += end - start;
    }
    state.ResumeTiming();
    bench::RunShell(state, script + "true");
  }
  fs::remove_all(WorkFolder() + "/dd");
}

// dd through the page cache over the exact ranges, each output synced.
void BM_DdFsync(benchmark::State& state) {
  EnsureSource();
  for (auto _ : state) {
    state.PauseTiming();
    const std::string folder = FreshFolder("ddsync");
    bench::RunShell(state, DropSourceCache() + "true");
    std::string script;
    for (int i = 0; const ExportRange& r : Ranges(Placement::Odd)) {
      script += "dd if=" + SourcePath() + " of=" + folder + "/" + std::to_string(i++) + ".raw";
      script += " bs=1M iflag=skip_bytes,count_bytes conv=fsync";
      script += " skip=" + std::to_string(kDataOffset + uint64_t{r.startFrame} * 4);
      script += " count=" + std::to_string(uint64_t{r.endFrame - r.startFrame} * 4);
      script += " status=none && ";
    }
    state.ResumeTiming();
    bench::RunShell(state, script + "true");
  }
  fs::remove_all(WorkFolder() + "/ddsync");
}

void BM_SoxSync(benchmark::State& state) {
  EnsureSource();
  for (auto _ : state) {
    state.PauseTiming();
    const std::string folder = FreshFolder("sox");
    bench::RunShell(state, DropSourceCache() + "true");
    std::string script;
    for (int i = 0; const ExportRange& r : Ranges(Placement::Odd)) {
      script += "sox -V1 " + SourcePath() + " " + folder + "/" + std::to_string(i++) +
                ".wav trim " + std::to_string(r.startFrame) + "s =" + std::to_string(r.endFrame) +
                "s && ";
    }
    state.ResumeTiming();
    bench::RunShell(state, script + "sync");
  }
  fs::remove_all(WorkFolder() + "/sox");
}

#define ONCE Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime()
BENCHMARK_CAPTURE(BM_Dd, split, Placement::Odd, false)->ONCE;
BENCHMARK_CAPTURE(BM_Split, plain, Placement::Odd, 0)->ONCE;
BENCHMARK_CAPTURE(BM_Split, fade_1s, Placement::Odd, 1000)->ONCE;
BENCHMARK_CAPTURE(BM_Dd, join, Placement::Odd, true)->ONCE;
BENCHMARK_CAPTURE(BM_Join, plain, Placement::Odd)->ONCE;
BENCHMARK_CAPTURE(BM_Dd, split_aligned, Placement::Aligned, false)->ONCE;
BENCHMARK_CAPTURE(BM_Split, aligned, Placement::Aligned, 0)->ONCE;
BENCHMARK(BM_DdFsync)->ONCE;
BENCHMARK(BM_SoxSync)->ONCE;

}  // namespace
}  // namespace snipora
