#include "tests/support/test_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>
#include <stdexcept>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

namespace snipora::test {

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/snipora-test-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

Bytes ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

Bytes SeededBytes(size_t size, uint32_t seed) {
  Bytes bytes(size);
  uint32_t state = seed ? seed : 0x9E3779B9u;
  for (auto& byte : bytes) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    byte = static_cast<uint8_t>(state >> 24);
  }
  return bytes;
}

CommandResult RunCommand(const std::string& commandLine) {
  CommandResult result;
  FILE* pipe = popen((commandLine + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, got);
  const int status = pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

bool HoldsHiddenFile(const std::string& folder) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.path().filename().string()[0] == '.') return true;
  }
  return false;
}

std::vector<std::string> SndfileLoops(const std::string& path) {
  const CommandResult r = RunCommand("sndfile-info " + ShellQuote(path));
  if (r.exitCode != 0) return {"sndfile-info failed"};
  std::vector<std::string> loops;
  const std::regex loop(R"(Start\s*:\s*(\d+)\s+End\s*:\s*(\d+))");
  for (auto it = std::sregex_iterator(r.output.begin(), r.output.end(), loop);
       it != std::sregex_iterator(); ++it) {
    loops.push_back((*it)[1].str() + "-" + (*it)[2].str());
  }
  return loops;
}

bool HaveProgram(const std::string& name) {
  return RunCommand("command -v " + ShellQuote(name)).exitCode == 0;
}

uint16_t GetU16(const Bytes& bytes, size_t offset) {
  return static_cast<uint16_t>(bytes.at(offset) | bytes.at(offset + 1) << 8);
}

uint32_t GetU32(const Bytes& bytes, size_t offset) {
  return GetU16(bytes, offset) | static_cast<uint32_t>(GetU16(bytes, offset + 2)) << 16;
}

std::string CutBinary() {
  const char* path = std::getenv("SNIPORA_CUT");
  return path ? path : "";
}

int StartCut(const std::vector<std::string>& args, uint32_t blockDelayUs, uint64_t fileSizeLimit) {
  const std::string binary = CutBinary();
  std::vector<char*> argv{const_cast<char*>("snipora-cut")};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const std::string delay = std::to_string(blockDelayUs);
  const pid_t child = fork();
  if (child != 0) return child;
  // The test process may ignore signals the program must see for itself.
  std::signal(SIGXFSZ, SIG_DFL);
  std::signal(SIGINT, SIG_DFL);
  if (fileSizeLimit > 0) {
    const rlimit limit{fileSizeLimit, fileSizeLimit};
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  setenv("SNIPORA_CUT_BLOCK_DELAY_US", delay.c_str(), 1);
  execv(binary.c_str(), argv.data());
  _exit(127);
}

int WaitForExit(int pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

}  // namespace snipora::test
