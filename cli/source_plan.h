#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/cli_args.h"
#include "cli/cut_runner.h"
#include "cli/range_providers.h"
#include "cli/refusal.h"
#include "export/export_plan.h"
#include "ranges/labeled_range.h"

namespace snipora::cli {

// A source of a cut with everything decided before writing: the export plan
// (only the outputs still to write), where they go, which exist and are left
// alone; or why it is refused.
struct SourcePlan {
  std::string given;  // the source as on the command line
  ExportPlan plan;
  bool joined = false;
  std::string folder;                 // made, with its parents, when missing
  std::vector<ExportOutput> skipped;  // outputs --skip-existing leaves alone
  std::optional<Refusal> refusal;
};

// Reads the source's format; refused when it is missing or no sound file
// this program reads.
std::optional<Refusal> OpenSource(const std::string& given, ExportRequest& request);

// The source's ranges in frames: the provider's first (bad input refused with
// its file and line; its notes warned of), then the RANGE arguments.
std::optional<Refusal> CollectRanges(const CutOptions& o, const RangeProvider* provider,
                                     const std::string& given, const ExportRequest& request,
                                     RunContext& context, std::vector<ranges::LabeledRange>& list);

// Plans the cut of one source.
SourcePlan PlanSource(const CutOptions& o, const std::string& given, const RangeProvider* provider,
                      RunContext& context);

}  // namespace snipora::cli
