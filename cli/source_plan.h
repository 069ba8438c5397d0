#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/cli_args.h"
#include "cli/cut_runner.h"
#include "cli/range_providers.h"
#include "cli/refusal.h"
#include "export/export_job.h"
#include "export/extended_loop.h"
#include "ranges/labeled_range.h"

namespace snipora::cli {

// One output of a cut: its file and the source ranges it holds (one for a
// piece, all of them for the joined file).
struct PlannedOutput {
  std::string path;
  std::vector<ExportRange> ranges;
};

// A source of a cut with everything decided before writing: the export job
// (only the ranges still to write), where its outputs go, which exist and are
// left alone; or why it is refused.
struct SourcePlan {
  std::string given;  // the source as on the command line
  ExportJob job;
  bool joined = false;
  std::string folder;  // made, with its parents, when missing
  std::vector<PlannedOutput> outputs;
  std::vector<PlannedOutput> skipped;
  // With --extend-loop: the copy each output holds, in the order of outputs.
  std::vector<ExtendedLoopJob> extended;
  std::optional<Refusal> refusal;
};

// Reads the source's format; refused when it is missing or no sound file
// this program reads.
std::optional<Refusal> OpenSource(const std::string& given, ExportJob& job);

// The source's ranges in frames: the provider's first (bad input refused with
// its file and line; its notes warned of), then the RANGE arguments.
std::optional<Refusal> CollectRanges(const CutOptions& o, const RangeProvider* provider,
                                     const std::string& given, const ExportJob& job,
                                     RunContext& context, std::vector<ranges::LabeledRange>& list);

// Plans the cut of one source.
SourcePlan PlanSource(const CutOptions& o, const std::string& given, const RangeProvider* provider,
                      RunContext& context);

}  // namespace snipora::cli
