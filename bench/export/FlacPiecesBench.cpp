// Cutting ten ranges of a 10-minute 16-bit stereo FLAC into FLAC pieces
// (level 5): the engine, which encodes pieces side by side on the machine's
// cores, beside `flac -d` piped into `flac -5` for each range, and beside
// `ffmpeg -ss/-t -c:a flac` for each range. The ranges start and end at odd
// frames. The source is pink noise under a sweep, so that the encoder works
// as on music. Run it through run_flac_bench.sh, which runs interleaved
// rounds and prints the medians of the per-round ratios. The source's page
// cache is dropped before each case: every case reads it from the disk.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audiofile/flac_file.h"
#include "bench/support/bench_files.h"
#include "bench/support/silent_export_progress.h"
#include "export/flac_pieces.h"

namespace snipora {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kRate = 44100;
constexpr uint64_t kFrames = uint64_t{600} * kRate;
constexpr int kPieces = 10;

std::string WorkFolder() {
  return bench::WorkFolder("/var/tmp/snipora-flac-bench");
}
std::string SourcePath() {
  return WorkFolder() + "/source.flac";
}

void Shell(const std::string& command) {
  if (std::system(command.c_str()) != 0) std::abort();
}

// The source, made once by sox and flac.
void EnsureSource() {
  fs::create_directories(WorkFolder());
  if (fs::exists(SourcePath())) return;
  const std::string wave = WorkFolder() + "/source.wav";
  Shell("sox -V1 -n -r 44100 -c 2 -b 16 " + wave +
        " synth 600 pinknoise vol 0.3 synth 600 sine mix 100-4000");
  Shell("flac -s -f -5 -o " + SourcePath() + " " + wave);
  fs::remove(wave);
}

// Ten ranges of 9 % each, one in each tenth, at odd frames.
std::vector<ExportRange> Ranges() {
  std::vector<ExportRange> ranges;
  for (int k = 0; k < kPieces; ++k) {
    const uint64_t start = k * kFrames / kPieces + 77 + 2 * k;
    ranges.push_back({start, start + kFrames * 9 / 100 + 201 + 2 * k});
  }
  return ranges;
}

std::string FreshFolder(const std::string& name) {
  return bench::FreshFolder(WorkFolder(), name);
}

// Each case starts with the source on the disk only.
std::string DropSourceCache() {
  return bench::DropFromCache(SourcePath());
}

void BM_Engine(benchmark::State& state) {
  EnsureSource();
  FlacEncoding encoding;
  encoding.sourcePath = SourcePath();
  if (ReadFlacFile(encoding.sourcePath, encoding.format) != FlacProblem::kNone) std::abort();
  encoding.comments = SourceVorbisComments(encoding.sourcePath, encoding.format);
  for (auto _ : state) {
    state.PauseTiming();
    const std::string folder = FreshFolder("engine");
    std::vector<FlacPiece> pieces;
    for (int i = 0; const ExportRange& range : Ranges()) {
      pieces.push_back({{range}, folder + "/" + std::to_string(++i) + ".flac", "", 0, 0});
    }
    Shell(DropSourceCache() + "true");
    bench::SilentExportProgress progress;
    state.ResumeTiming();
    if (WriteFlacPieces(encoding, pieces, progress) != ExportOutcome::Done) {
      state.SkipWithError("the engine failed");
    }
  }
  fs::remove_all(WorkFolder() + "/engine");
}

void BM_FlacTool(benchmark::State& state) {
  EnsureSource();
  for (auto _ : state) {
    state.PauseTiming();
    const std::string folder = FreshFolder("flac");
    std::string script = DropSourceCache();
    for (int i = 0; const ExportRange& r : Ranges()) {
      script += "flac -s -d -c --skip=" + std::to_string(r.startFrame) +
                " --until=" + std::to_string(r.endFrame) + " " + SourcePath() +
                " | flac -s -5 -o " + folder + "/" + std::to_string(++i) + ".flac - && ";
    }
    state.ResumeTiming();
    bench::RunShell(state, script + "true");
  }
  fs::remove_all(WorkFolder() + "/flac");
}

// Seconds of frames, as ffmpeg takes them (to the microsecond).
std::string Seconds(uint64_t frames) {
  return std::to_string(frames / kRate) + "." +
         std::to_string(1000000 + frames % kRate * 1000000 / kRate).substr(1);
}

void BM_Ffmpeg(benchmark::State& state) {
  EnsureSource();
  for (auto _ : state) {
    state.PauseTiming();
    const std::string folder = FreshFolder("ffmpeg");
    std::string script = DropSourceCache();
    for (int i = 0; const ExportRange& r : Ranges()) {
      script += "ffmpeg -v error -y -ss " + Seconds(r.startFrame) + " -t " +
                Seconds(r.endFrame - r.startFrame) + " -i " + SourcePath() + " -c:a flac " +
                folder + "/" + std::to_string(++i) + ".flac && ";
    }
    state.ResumeTiming();
    bench::RunShell(state, script + "true");
  }
  fs::remove_all(WorkFolder() + "/ffmpeg");
}

// Once per round: each case writes about 95 MB of FLAC.
BENCHMARK(BM_Engine)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_FlacTool)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_Ffmpeg)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace snipora
