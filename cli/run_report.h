#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "cli/source_plan.h"

// What a cut reports for scripts and people: a JSON object per output and a
// line per source at the end of a run.
namespace snipora::cli {

// One line of JSON for an output: its source and path, the first and last
// frames it holds (end exclusive; a joined file lists all its "ranges" too),
// its frames, the file's size in bytes and its status ("written" or
// "skipped").
std::string OutputJson(const std::string& sourcePath, const ExportOutput& output,
                       const std::string& status);

// The line that ends a source's part of a run: how many outputs were written
// and how many were there already, where; or why it failed.
std::string SourceLine(const SourcePlan& plan, size_t written,
                       const std::optional<Refusal>& failure);

}  // namespace snipora::cli
