#pragma once

#include <optional>
#include <string>

#include "audiofile/sample_loops.h"
#include "export/export_plan.h"

namespace snipora {

// Gives each output of the plan its "smpl" loops: the request's given loop
// (in every piece, or at its place in the joined file), else a range's own
// loop, else the source's loops that lie wholly inside one of its ranges,
// moved to the output's frames (`source`: none when metadata is not kept).
// Source loops that no output keeps, or that would end past the 2^32 frames
// a "smpl" chunk addresses, are named in the plan's notes; a given or own
// loop that cannot be stored where it must is refused.
std::optional<std::string> PlanLoops(const ExportRequest& request,
                                     const std::optional<SampleChunk>& source, ExportPlan& plan);

}  // namespace snipora
