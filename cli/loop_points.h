#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "cli/cli_args.h"
#include "cli/cut_runner.h"
#include "cli/refusal.h"
#include "export/export_job.h"

// Loop points on the command line: finding loop candidates, writing loops
// into the outputs' "smpl" chunks and listing a source's loops.
namespace snipora::cli {

// --find-loops: searches the job's one range (the whole data when it has
// none) and prints the candidates to context.out, best first.
std::optional<Refusal> FindLoops(const CutOptions& o, const ExportJob& job, RunContext& context);

// Gives each output of the job its "smpl" chunk: the loop of --loop (START:END
// or the best candidate found in each piece), or else the source's loops that
// lie inside it, shifted; warns of source loops no output keeps.
std::optional<Refusal> AddLoopChunks(const CutOptions& o, ExportJob& job, RunContext& context);

// The source's loops as --info lines: loops=N, then loopK=START:END in frames,
// END exclusive (as --loop takes them).
void PrintSourceLoops(std::ostream& out, const std::string& sourcePath);

}  // namespace snipora::cli
