#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/cli_args.h"
#include "cli/refusal.h"
#include "export/export_job.h"
#include "export/extended_loop.h"

// --extend-loop: each piece written as a listening copy that plays its loop
// COUNT times and then fades out.
namespace snipora::cli {

// The copy of every piece of the job, with the loop its "smpl" chunk would
// hold (the first); refused when a piece has none or the fade cannot scale
// the source's samples.
std::optional<Refusal> PlanExtendedCopies(const ExtendLoopOption& option, const ExportJob& job,
                                          std::vector<ExtendedLoopJob>& copies);

// The source stretches a copy holds, in order.
std::vector<ExportRange> CopyRanges(const ExtendedLoopJob& copy);

// Writes copies[i] to paths[i], one after the other; progress counts each
// copy as a piece. Stops at the first failure.
ExportOutcome WriteExtendedCopies(const std::vector<ExtendedLoopJob>& copies,
                                  const std::vector<std::string>& paths, IExportProgress& progress);

}  // namespace snipora::cli
