#pragma once

#include <string>

#include "cli/cut_runner.h"
#include "export/export_job.h"

namespace snipora::cli {

// A refusal: the message for standard error and the exit status.
struct Refusal {
  std::string message;
  int status = kExitFailed;
};

// What an export outcome means, for a message.
std::string Describe(ExportOutcome outcome);

// Writes "snipora-cut: warning: " and the text (after the source it is
// about, when the run has several) to standard error.
void Warn(RunContext& context, const std::string& text);

}  // namespace snipora::cli
