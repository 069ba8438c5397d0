#pragma once

#include <string>

#include "cli/cut_runner.h"

namespace snipora::cli {

// A refusal: the message for standard error and the exit status.
struct Refusal {
  std::string message;
  int status = kExitFailed;
};

}  // namespace snipora::cli
