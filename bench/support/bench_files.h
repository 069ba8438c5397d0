#pragma once

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// What the benchmarks over large files share: their folder, fresh folders in
// it, shell steps, and dropping an input from the page cache.
namespace snipora::bench {

// $SNIPORA_BENCH_DIR (a disk folder the run scripts set), else `fallback`.
inline std::string WorkFolder(const char* fallback) {
  const char* dir = std::getenv("SNIPORA_BENCH_DIR");
  return dir ? dir : fallback;
}

// An empty folder `name` in `parent`, whatever was there before removed.
inline std::string FreshFolder(const std::string& parent, const std::string& name) {
  const std::string folder = parent + "/" + name;
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

// Runs a shell script; a failure marks the benchmark as failed.
inline void RunShell(benchmark::State& state, const std::string& script) {
  if (std::system(script.c_str()) != 0) state.SkipWithError(("failed: " + script).c_str());
}

// A shell step (ending in "&& ") that drops `path` from the page cache, so
// that a tool reading through it starts from the disk.
inline std::string DropFromCache(const std::string& path) {
  return "dd if=" + path + " iflag=nocache count=0 status=none && ";
}

}  // namespace snipora::bench
