#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "cli/cli_args.h"
#include "cli/cut_runner.h"
#include "cli/refusal.h"
#include "export/export_plan.h"

// Loop points on the command line: finding loop candidates, choosing the
// loop the outputs get and listing a source's loops. Which output keeps which
// loop is the export plan's rule.
namespace snipora::cli {

// --find-loops: searches the job's one range (the whole data when it has
// none) and prints the candidates to context.out, best first.
std::optional<Refusal> FindLoops(const CutOptions& o, const ExportRequest& job,
                                 RunContext& context);

// The loop of --loop in the request: START:END (in RANGE units) as the given
// loop, or with auto the best candidate the search finds in each range as
// that range's own loop. Without --loop the request keeps the source's.
std::optional<Refusal> ChooseLoops(const CutOptions& o, ExportRequest& request,
                                   RunContext& context);

// The source's loops as --info lines: loops=N, then loopK=START:END in frames,
// END exclusive (as --loop takes them).
void PrintSourceLoops(std::ostream& out, const std::string& sourcePath);

}  // namespace snipora::cli
