#include "cli/refusal.h"

namespace snipora::cli {

std::string Describe(ExportOutcome outcome) {
  switch (outcome) {
    case ExportOutcome::Done:
      return "done";
    case ExportOutcome::Cancelled:
      return "interrupted; the unfinished output was removed";
    case ExportOutcome::BadRange:
      return "a range lies outside the sample data";
    case ExportOutcome::OutputIsSource:
      return "an output is the source file itself";
    case ExportOutcome::TooLarge:
      return "an output file would be 4 GiB or more, beyond the WAVE format (see --rf64)";
    case ExportOutcome::SourceFailed:
      return "cannot open the source file";
    case ExportOutcome::OutputFailed:
      return "cannot create an output file";
    case ExportOutcome::ReadFailed:
      return "the source file ended early (read error); the unfinished output was removed";
    case ExportOutcome::WriteFailed:
      return "writing failed (disk full, file size limit or no permission?); the unfinished "
             "output was removed";
  }
  return "failed";
}

void Warn(RunContext& context, const std::string& text) {
  context.err << "snipora-cut: warning: " << (context.subject.empty() ? "" : context.subject + ": ")
              << text << "\n";
}

}  // namespace snipora::cli
