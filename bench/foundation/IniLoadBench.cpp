#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "foundation/ini.h"

// Throughput of IniEx::Load on a settings file of about 10 MB: nested
// sections, indented key lines with escaped values, comments and blank lines.
namespace {

std::string MakeIniText(size_t targetBytes) {
  std::string text;
  text.reserve(targetBytes + 4096);
  for (unsigned section = 0; text.size() < targetBytes; ++section) {
    text += "[Section" + std::to_string(section) + "]\n";
    for (unsigned key = 0; key < 8; ++key) {
      text += "\tKey" + std::to_string(key) + " = value " + std::to_string(section * 8 + key) +
              " with\\ttab and \\\\ path\n";
    }
    text += "\t; a comment line\n\n";
    text += "\t[Sub" + std::to_string(section % 16) + "]\n";
    text += "\t\tCDS_AUTOVOLUME=ON\n\t\tDSVolume=-" + std::to_string(section % 10000) + "\n";
    text += "\t[EndSection]\n[EndSection]\n";
  }
  return text;
}

void BM_IniLoad(benchmark::State& state) {
  const std::string text = MakeIniText(10 * 1024 * 1024);
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("snipora-ini-bench-" + std::to_string(getpid()) + ".ini"))
                               .string();
  std::ofstream(path, std::ios::binary) << text;
  for (auto _ : state) {
    snipora::IniEx ini;
    benchmark::DoNotOptimize(ini.Load(path.c_str(), true));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
  std::filesystem::remove(path);
}
BENCHMARK(BM_IniLoad)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
