#pragma once

#include "cli/cli_args.h"
#include "cli/cut_runner.h"

namespace snipora::cli {

// Cuts every source of the command line: plans each (a refused source does
// not stop the others), then writes them under one progress display. JSON
// lines go to standard output as each source ends; with several sources (or
// --skip-existing) a line per source ends the run. Returns the exit status.
int RunCutSources(const CutOptions& o, RunContext& context);

}  // namespace snipora::cli
