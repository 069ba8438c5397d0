#include "cli/cut_run.h"

#include <map>
#include <memory>

#include "audiofile/sound_units.h"
#include "cli/run_report.h"
#include "cli/source_plan.h"
#include "cli/terminal_progress.h"
#include "export/export_job.h"
#include "export/export_verify.h"
#include "export/output_progress.h"
#include "export/split_folder.h"
#include "platform/system/fs_ops.h"

namespace snipora::cli {

namespace {

// Refuses a plan whose outputs another source of the run writes: two sources
// of one stem under -o DIR, or one source given twice.
void ClaimOutputs(SourcePlan& plan, std::map<std::string, std::string>& claimed) {
  if (plan.refusal) return;
  for (const auto* outputs : {&plan.plan.outputs, &plan.skipped}) {
    for (const ExportOutput& output : *outputs) {
      if (const auto other = claimed.find(output.path); other != claimed.end()) {
        plan.refusal =
            Refusal{"'" + output.path + "' is also an output of '" + other->second + "'"};
        return;
      }
    }
  }
  for (const auto* outputs : {&plan.plan.outputs, &plan.skipped}) {
    for (const ExportOutput& output : *outputs) claimed.emplace(output.path, plan.given);
  }
}

struct Written {
  std::vector<size_t> outputs;  // the plan's outputs finished, in plan order
  std::optional<Refusal> failure;
};

// Writes what the plan still has to write.
Written WriteSource(const SourcePlan& plan, TerminalProgress& progress) {
  if (plan.plan.outputs.empty()) return {};
  // Made when missing; removed again when nothing was finished in it.
  CSplitFolder folder(plan.folder);
  if (!fsops::Exists(plan.folder) && folder.Make() != 0) {
    return {{}, Refusal{"cannot create the folder '" + plan.folder + "'"}};
  }
  // Split pieces are counted as files, also those written from several ranges.
  COutputProgress pieces(plan.plan, progress);
  const ExportOutcome outcome =
      WriteExport(plan.plan, plan.joined ? static_cast<IExportProgress&>(progress) : pieces);
  if (outcome == ExportOutcome::Done) return {progress.WrittenInSource(), std::nullopt};
  return {progress.WrittenInSource(), Refusal{Describe(outcome)}};
}

// --verify: reads the outputs written back; the first that differs from
// the source fails the source. Counts those that match.
void VerifyWritten(const SourcePlan& plan, RunContext& context, Written& written,
                   size_t& verified) {
  for (const size_t i : written.outputs) {
    const ExportOutput& output = plan.plan.outputs[i];
    if (context.beforeVerify) context.beforeVerify(output.path);
    const std::string problem = VerifyOutput(plan.plan, output);
    if (problem.empty()) {
      ++verified;
    } else if (!written.failure) {
      written.failure = Refusal{"'" + output.path + "' does not match the source: " + problem};
    }
  }
}

// The data length of each piece the terminal counts: a joined file's ranges,
// else the files.
std::vector<uint64_t> PieceBytes(const SourcePlan& plan) {
  std::vector<uint64_t> bytes;
  for (const ExportOutput& output : plan.plan.outputs) {
    if (!plan.joined) {
      bytes.push_back(DataLength(plan.plan, output));
      continue;
    }
    for (const ExportRange& r : output.ranges) {
      bytes.push_back(
          FramesToBytes(r.endFrame - r.startFrame, plan.plan.format.formatBlock.blockAlign));
    }
  }
  return bytes;
}

std::vector<uint64_t> PieceBytes(const std::vector<SourcePlan>& plans) {
  std::vector<uint64_t> bytes;
  for (const SourcePlan& plan : plans) {
    if (plan.refusal) continue;
    const std::vector<uint64_t> pieces = PieceBytes(plan);
    bytes.insert(bytes.end(), pieces.begin(), pieces.end());
  }
  return bytes;
}

void PrintJson(const SourcePlan& plan, const std::vector<size_t>& written, std::ostream& out) {
  for (const size_t i : written) {
    out << OutputJson(plan.plan.sourcePath, plan.plan.outputs[i], "written") << "\n";
  }
  for (const ExportOutput& output : plan.skipped) {
    out << OutputJson(plan.plan.sourcePath, output, "skipped") << "\n";
  }
  out.flush();
}

}  // namespace

int RunCutSources(const CutOptions& o, RunContext& context) {
  const bool several = o.sources.size() > 1;
  const std::unique_ptr<RangeProvider> provider = MakeRangeProvider(o, context);
  std::vector<SourcePlan> plans;
  std::map<std::string, std::string> claimed;
  for (const std::string& given : o.sources) {
    context.subject = several ? given : "";
    plans.push_back(PlanSource(o, given, provider.get(), context));
    ClaimOutputs(plans.back(), claimed);
  }
  context.subject.clear();

  TerminalProgress progress(context.err, context.errIsTerminal && !o.quiet, PieceBytes(plans),
                            context.interrupted,
                            std::chrono::microseconds(context.blockDelayMicroseconds));
  const bool lineEach = several || o.skipExisting;
  std::vector<std::string> lines;
  bool failed = false;
  uint32_t firstPiece = 0;
  size_t verified = 0;
  for (size_t i = 0; i < plans.size(); ++i) {
    const SourcePlan& plan = plans[i];
    Written written{{}, plan.refusal};
    if (!plan.refusal && progress.IsCancelled()) {
      written.failure = Refusal{"the run was interrupted before this source"};
    } else if (!plan.refusal) {
      progress.StartSource(firstPiece, static_cast<uint32_t>(i + 1),
                           static_cast<uint32_t>(plans.size()));
      written = WriteSource(plan, progress);
      if (o.verify) VerifyWritten(plan, context, written, verified);
      firstPiece += static_cast<uint32_t>(PieceBytes(plan).size());
    }
    if (o.json && !plan.refusal) PrintJson(plan, written.outputs, context.out);
    failed = failed || written.failure.has_value();
    if (lineEach) {
      lines.push_back(SourceLine(plan, written.outputs.size(), written.failure));
    } else if (written.failure) {
      lines.push_back(written.failure->message);
    }
  }
  progress.Finish();
  for (const std::string& line : lines) context.err << "snipora-cut: " << line << "\n";
  if (o.verify) {
    context.err << "snipora-cut: verified " << verified << (verified == 1 ? " output" : " outputs")
                << "\n";
  }
  return failed ? kExitFailed : kExitDone;
}

}  // namespace snipora::cli
