#pragma once

#include <cstdint>
#include <string>

#include "export/export_interfaces.h"
#include "export/export_plan.h"

// Writing an export plan: each output is a WAVE file (46-byte header for a
// PCM source without kept chunks, RF64 from 4 GiB) whose samples are copies
// of the source's ranges, one after the other, scaled only inside the
// output's fades.
namespace snipora {

enum class ExportOutcome {
  Done,
  Cancelled,       // the unfinished output was removed
  BadRange,        // a range is empty, reversed or beyond the sample data
  OutputIsSource,  // an output names the source file itself
  TooLarge,        // an output file would reach 4 GiB and RF64 is not allowed
  SourceFailed,    // the source could not be opened
  OutputFailed,    // an output could not be created
  ReadFailed,      // the source delivered fewer bytes than its header promised
  WriteFailed,     // writing an output failed (disk full, file size limit, ...)
};

// Ring of each output file (written from two of them in turn). 2 MiB is one
// huge page: the disk gets few, large requests, each pinned as one page.
inline constexpr uint32_t kExportRingBytes = 2097152;

// Writes the plan's outputs in order. Everything that can be checked is
// checked before anything is written (the ranges, the sizes, no output that
// is the source). An output is complete or absent: each is written under a
// temporary name and renamed when complete, finished ones stay when a later
// one fails or is cancelled, an existing file of its name stays until then.
// Progress: the overall position counts the ranges begun over all outputs,
// the file bar runs over each range.
ExportOutcome WriteExport(const ExportPlan& plan, IExportProgress& progress);

}  // namespace snipora
