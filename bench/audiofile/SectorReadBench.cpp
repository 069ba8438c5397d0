// Sequential reading of a 1 GiB file through CSectorFile::ReadBlock against
// `dd iflag=direct bs=512K` on the same file, in the same run. Both bypass
// the page cache. The file is created at the first benchmark and removed at
// exit. Run once: it reads 2 GiB from disk.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audiofile/sector_file.h"
#include "bench/support/scratch_file.h"

namespace {

constexpr uint64_t kFileSize = uint64_t{1} << 30;
constexpr uint32_t kBlock = 512 * 1024;

// Seeded bytes, no two 1 MiB blocks alike.
const snipora::bench::ScratchFile& File() {
  static const snipora::bench::ScratchFile file("snipora-sector-read.bin", [](std::ofstream& out) {
    std::vector<char> block(1 << 20);
    uint32_t state = 12345;
    for (char& c : block) {
      state = state * 1664525 + 1013904223;
      c = static_cast<char>(state >> 24);
    }
    for (uint64_t done = 0; done < kFileSize; done += block.size()) {
      block[0] = static_cast<char>(done >> 20);
      out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
  });
  return file;
}

void BM_SectorFileReadBlock(benchmark::State& state) {
  const std::string& path = File().path();
  std::vector<uint8_t> buffer(kBlock);
  for (auto _ : state) {
    snipora::CSectorFile file(kBlock + 4096);  // a 512 KiB piece plus the sector it keeps free
    if (file.Open(path.c_str(), "rb", 32) != 0) {
      state.SkipWithError("cannot open");
      return;
    }
    uint64_t total = 0;
    uint32_t got;
    while ((got = file.ReadBlock(buffer.data(), kBlock)) > 0) total += got;
    benchmark::DoNotOptimize(buffer.data());
    state.counters["direct"] = file.IsDirect() ? 1 : 0;  // before Close resets it
    file.Close();
    if (total != kFileSize) state.SkipWithError("short read");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileSize));
}

void BM_DdDirect(benchmark::State& state) {
  const std::string command =
      "dd if=" + File().path() + " of=/dev/null iflag=direct bs=512K status=none";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("dd failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileSize));
}

BENCHMARK(BM_SectorFileReadBlock)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DdDirect)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
