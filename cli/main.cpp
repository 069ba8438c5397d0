// snipora-cut: cuts ranges of a PCM WAVE or uncompressed NWA file into WAVE
// files from the command line, with the engine of the Snipora window.
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cut_runner.h"
#include "platform/system/fs_ops.h"

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) {
  interrupted = 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
  // Past a file-size limit (ulimit -f) a write then fails with EFBIG, which
  // the export reports and cleans up after, instead of killing the process
  // and leaving its temporary file behind.
  std::signal(SIGXFSZ, SIG_IGN);
  snipora::cli::RunContext context{std::cout, std::cerr};
  context.errIsTerminal = snipora::fsops::IsTerminal(2);
  context.interrupted = &interrupted;
  // Slows the copy down by this many microseconds per block: lets tests and
  // demonstrations interrupt a run half-way on any machine.
  if (const char* delay = std::getenv("SNIPORA_CUT_BLOCK_DELAY_US")) {
    context.blockDelayMicroseconds = static_cast<uint32_t>(std::strtoul(delay, nullptr, 10));
  }
  return snipora::cli::RunCut(std::vector<std::string>(argv + 1, argv + argc), context);
}
