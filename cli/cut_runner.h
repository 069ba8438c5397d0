#pragma once

#include <csignal>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

// snipora-cut as a function, so that tests can run it in-process.
namespace snipora::cli {

inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

struct RunContext {
  RunContext(std::ostream& output, std::ostream& errors) : out(output), err(errors) {}

  std::ostream& out;
  std::ostream& err;
  bool errIsTerminal = false;                               // show the progress bar
  const volatile std::sig_atomic_t* interrupted = nullptr;  // set by the SIGINT handler
  uint32_t blockDelayMicroseconds = 0;                      // slows the copy (tests, demos)
  std::string subject;  // the source warnings are about, in a run of several
  // Runs on each output between writing and --verify reading it back (tests
  // change a byte there).
  std::function<void(const std::string& path)> beforeVerify;
};

// Runs snipora-cut with the arguments after the program name; returns the
// exit status.
int RunCut(const std::vector<std::string>& args, RunContext& context);

}  // namespace snipora::cli
