#include "fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>

namespace snipora::fuzz {
namespace {

std::string ScratchFolder() {
  const char* tmp = std::getenv("TMPDIR");
  if (tmp != nullptr && *tmp != '\0') return tmp;
  if (access("/dev/shm", W_OK) == 0) return "/dev/shm";
  return "/tmp";
}

std::map<std::string, std::string>& ScratchPaths() {
  static std::map<std::string, std::string> paths;
  return paths;
}

void RemoveScratchFiles() {
  for (const auto& [extension, path] : ScratchPaths()) unlink(path.c_str());
}

}  // namespace

const std::string& ScratchPath(const char* extension) {
  if (ScratchPaths().empty()) std::atexit(RemoveScratchFiles);
  std::string& path = ScratchPaths()[extension];
  if (path.empty()) {
    path = ScratchFolder() + "/snipora-fuzz-" + std::to_string(getpid()) + extension;
  }
  return path;
}

void WriteScratchFile(const std::string& path, const uint8_t* data, size_t size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  Require(file != nullptr, "cannot create the scratch file");
  const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  Require(std::fclose(file) == 0 && written, "cannot write the scratch file");
}

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz property broken: %s\n", what);
  std::abort();
}

}  // namespace snipora::fuzz
