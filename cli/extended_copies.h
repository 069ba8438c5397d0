#pragma once

#include <optional>

#include "cli/cli_args.h"
#include "cli/refusal.h"
#include "export/export_plan.h"

// --extend-loop: each piece written as a listening copy that plays its loop
// COUNT times and then fades out.
namespace snipora::cli {

// Turns every output of the plan (pieces, not a joined file) into the copy
// of its piece with the loop its "smpl" chunk would hold (the first), which
// the copy itself does not get. Refused when a piece has no loop, or the
// source's samples cannot be copied as stored or faded.
std::optional<Refusal> ExtendOutputs(const ExtendLoopOption& option, ExportPlan& plan);

}  // namespace snipora::cli
