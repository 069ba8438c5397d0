#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Small helpers for tests: temporary folders, whole-file I/O, and running the
// external tools (sox, soxi) that serve as independent oracles.
namespace snipora::test {

using Bytes = std::vector<uint8_t>;

// A fresh folder under $TMPDIR (or /tmp), removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

Bytes ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const Bytes& bytes);

// True when folder holds a hidden file, such as an output's temporary file
// before it gets its final name; false when the folder cannot be read.
bool HoldsHiddenFile(const std::string& folder);

// Deterministic pseudo-random bytes (xorshift), the same for the same seed.
Bytes SeededBytes(size_t size, uint32_t seed);

struct CommandResult {
  int exitCode = -1;
  std::string output;  // standard output and standard error together
};

// Runs a shell command line and collects its output.
CommandResult RunCommand(const std::string& commandLine);

// Quotes a path or argument for the shell.
std::string ShellQuote(const std::string& text);

// The snipora-cut program under test (SNIPORA_CUT, set by ctest); empty when unset.
std::string CutBinary();

// Starts snipora-cut with args in a child process, with the signal
// dispositions a shell gives it, and returns its process id. blockDelayUs
// slows its copy down by that much per block; fileSizeLimit (0: none) is the
// largest file it may write (ulimit -f).
int StartCut(const std::vector<std::string>& args, uint32_t blockDelayUs,
             uint64_t fileSizeLimit = 0);

// Waits for the child process and returns its exit status, or 128 + the
// signal that ended it.
int WaitForExit(int pid);

// The loops sndfile-info (libsndfile, not ours) reads from a file's smpl
// chunk, as "start-end" with the end inclusive; "sndfile-info failed" when it
// cannot read the file.
std::vector<std::string> SndfileLoops(const std::string& path);

// True when the named program is on PATH (tests of sox output skip without it).
bool HaveProgram(const std::string& name);

// Little-endian field access in byte buffers.
uint16_t GetU16(const Bytes& bytes, size_t offset);
uint32_t GetU32(const Bytes& bytes, size_t offset);

}  // namespace snipora::test
