#pragma once

#include <string>
#include <utility>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/cli_args.h"

namespace snipora::cli {

// The modes an option serves (bits of CutMode); an option given in a mode
// outside its set is refused.
enum ModeSet : unsigned {
  kInCut = 1u << static_cast<unsigned>(CutMode::Cut),
  kInPrintRanges = 1u << static_cast<unsigned>(CutMode::PrintRanges),
  kInInfo = 1u << static_cast<unsigned>(CutMode::Info),
  kInFindLoops = 1u << static_cast<unsigned>(CutMode::FindLoops),
  kInEveryMode = kInCut | kInPrintRanges | kInInfo | kInFindLoops,
};

// Every option of snipora-cut, declared with CLI11 in its help group and bound
// to the fields of a CutOptions. An option is one entry in the constructor:
// its group, the modes it serves, its names, value and help sentence.
class CutCommandLine {
 public:
  explicit CutCommandLine(CutOptions& options);
  CutCommandLine(const CutCommandLine&) = delete;
  CutCommandLine& operator=(const CutCommandLine&) = delete;

  CLI::App& App() { return app_; }
  // The arguments that are no option, in order (sources and ranges).
  const std::vector<std::string>& Positionals() const { return positionals_; }
  // The mode options given (--find-loops, --print-ranges, --info): name and mode.
  std::vector<std::pair<std::string, CutMode>> ModesGiven() const;
  // The first option given that `mode` does not use; empty when none.
  std::string FirstUnusedIn(CutMode mode) const;
  // True when the option `name` ("--rf64") was given.
  bool Given(const std::string& name) const { return app_.count(name) > 0; }
  // True when name is an option that takes no value (a flag).
  bool IsFlag(const std::string& name) const;
  // "--help" text.
  std::string Help() const;

 private:
  // Puts option into group and records the modes it serves.
  CLI::Option* Use(const char* group, unsigned modes, CLI::Option* option);
  // Records that giving option chooses mode.
  void SelectsMode(CutMode mode, CLI::Option* option);
  // An option with a value that `read` takes in: read returns what is wrong
  // with the value, or "" when it took it.
  template <typename Read>
  CLI::Option* Value(const std::string& names, const char* typeName, const std::string& help,
                     Read read);

  CLI::App app_;
  std::vector<std::string> positionals_;
  std::vector<std::pair<CLI::Option*, unsigned>> uses_;
  std::vector<std::pair<CLI::Option*, CutMode>> modeOptions_;
  bool findLoops_ = false;  // the mode options tell by being given
  bool info_ = false;
};

}  // namespace snipora::cli
