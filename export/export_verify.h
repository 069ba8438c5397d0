#pragma once

#include <string>

#include "export/export_interfaces.h"
#include "export/export_plan.h"

namespace snipora {

// Reads a written output of the plan back, bypassing the page cache, and
// compares it with the source: its header (the file is as long as its sizes
// state, the format is the source's, the data as long as planned, the kept
// chunks as planned) and its samples (frames outside the fades byte for byte,
// faded frames as the fade rule makes them of the source's). Empty when it
// matches; else what differs, in one sentence. With a progress display the
// file bar runs over the output's samples, events are pumped between blocks
// and a cancel stops the reading (the result then says so).
std::string VerifyOutput(const ExportPlan& plan, const ExportOutput& output,
                         IExportProgress* progress = nullptr);

}  // namespace snipora
