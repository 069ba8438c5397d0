// The overview of a 1 GiB 16-bit stereo WAVE file: time from starting the
// peak engine until its summary is complete, reading through CSectorFile past
// the page cache. The file is written at the first benchmark and removed at
// exit. Goal: under 1.5 s. `dd iflag=direct` over the same file, in the same
// run, tells how much of the time the disk alone takes on a busy machine.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "audiofile/wave_reader.h"
#include "bench/support/scratch_file.h"
#include "waveform/peak_engine.h"

namespace {

constexpr uint32_t kDataBytes = 1u << 30;

void PutU32(std::ofstream& out, uint32_t v) {
  out.write(reinterpret_cast<const char*>(&v), 4);
}
void PutU16(std::ofstream& out, uint16_t v) {
  out.write(reinterpret_cast<const char*>(&v), 2);
}

const snipora::bench::ScratchFile& File() {
  static const snipora::bench::ScratchFile file("snipora-peaks.wav", [](std::ofstream& out) {
    out.write("RIFF", 4);
    PutU32(out, 36 + kDataBytes);
    out.write("WAVEfmt ", 8);
    PutU32(out, 16);
    PutU16(out, 1);
    PutU16(out, 2);
    PutU32(out, 44100);
    PutU32(out, 44100 * 4);
    PutU16(out, 4);
    PutU16(out, 16);
    out.write("data", 4);
    PutU32(out, kDataBytes);
    // A sine whose period does not divide the block, so no two blocks are alike.
    std::vector<int16_t> block(1 << 19);
    for (uint32_t done = 0; done < kDataBytes; done += block.size() * 2) {
      for (size_t i = 0; i < block.size(); ++i) {
        const double t = (done / 2.0 + i) / 2.0;
        block[i] = static_cast<int16_t>(30000 * std::sin(t / 97.3));
      }
      out.write(reinterpret_cast<const char*>(block.data()),
                static_cast<std::streamsize>(block.size() * 2));
    }
  });
  return file;
}

void BM_OverviewOf1GiB(benchmark::State& state) {
  const snipora::bench::ScratchFile& file = File();
  snipora::SoundFormatInfo info;
  if (snipora::ProbeWaveFile(file.path().c_str(), info) != 0) {
    state.SkipWithError("cannot probe");
    return;
  }
  for (auto _ : state) {
    snipora::CPeakEngine engine(file.path(), info);
    while (!engine.Finished()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (engine.ReadFailed() || engine.ReadyFrames() != engine.TotalFrames()) {
      state.SkipWithError("incomplete");
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kDataBytes);
}

void BM_DdDirect(benchmark::State& state) {
  const std::string command =
      "dd if=" + File().path() + " of=/dev/null iflag=direct bs=512K status=none";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("dd failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kDataBytes);
}

BENCHMARK(BM_OverviewOf1GiB)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DdDirect)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
