#pragma once

#include <string>

#include <CLI/CLI.hpp>

namespace snipora::cli {

// Lays out snipora-cut's --help: the usage forms and what the program does,
// then the options group by group (names left, the help sentence wrapped to
// the terminal's customary 80 columns on the right), then the exit statuses
// and examples.
class HelpFormatter : public CLI::Formatter {
 public:
  std::string make_help(const CLI::App* app, std::string name,
                        CLI::AppFormatMode mode) const override;
  std::string make_option(const CLI::Option* option, bool isPositional) const override;
};

}  // namespace snipora::cli
