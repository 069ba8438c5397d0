#pragma once

#include <optional>
#include <string>

#include "export/export_plan.h"

// Listening copies of looping pieces: the piece as a player that honours its
// loop would play it, the loop taken `count` times and then faded out.
namespace snipora {

// Turns every output of the plan, one piece each with the loops planned for
// it, into the copy `copies` asks for of its first loop: its ranges and the
// fade-out at its end, no metadata and no "smpl". The plan's notes (about
// loops not written) no longer apply and are dropped. A refusal names the
// first piece without a loop.
std::optional<std::string> ExtendOutputs(const ExtendedCopies& copies, ExportPlan& plan);

}  // namespace snipora
