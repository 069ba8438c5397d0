#include "cli/cut_run.h"

#include <map>
#include <memory>

#include "audiofile/sound_units.h"
#include "cli/extended_copies.h"
#include "cli/run_report.h"
#include "cli/source_plan.h"
#include "cli/terminal_progress.h"
#include "export/split_folder.h"
#include "platform/system/fs_ops.h"

namespace snipora::cli {

namespace {

// Refuses a plan whose outputs another source of the run writes: two sources
// of one stem under -o DIR, or one source given twice.
void ClaimOutputs(SourcePlan& plan, std::map<std::string, std::string>& claimed) {
  if (plan.refusal) return;
  for (const auto* outputs : {&plan.outputs, &plan.skipped}) {
    for (const PlannedOutput& output : *outputs) {
      if (const auto other = claimed.find(output.path); other != claimed.end()) {
        plan.refusal =
            Refusal{"'" + output.path + "' is also an output of '" + other->second + "'"};
        return;
      }
    }
  }
  for (const auto* outputs : {&plan.outputs, &plan.skipped}) {
    for (const PlannedOutput& output : *outputs) claimed.emplace(output.path, plan.given);
  }
}

struct Written {
  size_t outputs = 0;  // finished, in plan order
  std::optional<Refusal> failure;
};

// Writes what the plan still has to write.
Written WriteSource(const SourcePlan& plan, bool join, TerminalProgress& progress) {
  if (plan.outputs.empty()) return {};
  // Made when missing; removed again when nothing was finished in it.
  CSplitFolder folder(plan.folder);
  if (!fsops::Exists(plan.folder) && folder.Make() != 0) {
    return {0, Refusal{"cannot create the folder '" + plan.folder + "'"}};
  }
  std::vector<std::string> paths;
  for (const PlannedOutput& output : plan.outputs) paths.push_back(output.path);
  const ExportOutcome outcome = join ? WriteJoinedFile(plan.job, paths[0], progress)
                                : plan.extended.empty()
                                    ? WriteSplitPieces(plan.job, paths, progress)
                                    : WriteExtendedCopies(plan.extended, paths, progress);
  if (outcome == ExportOutcome::Done) return {plan.outputs.size(), std::nullopt};
  return {join ? 0 : progress.PiecesBegunInSource(), Refusal{Describe(outcome)}};
}

std::vector<uint64_t> PieceBytes(const std::vector<SourcePlan>& plans) {
  std::vector<uint64_t> bytes;
  for (const SourcePlan& plan : plans) {
    if (plan.refusal) continue;
    const auto frameBytes = [&plan](const ExportRange& r) {
      return FramesToBytes(r.endFrame - r.startFrame, plan.job.format.formatBlock.blockAlign);
    };
    if (plan.joined) {
      for (const ExportRange& r : plan.job.ranges) bytes.push_back(frameBytes(r));
      continue;
    }
    // A piece, or the source stretches an extended copy holds.
    for (const PlannedOutput& output : plan.outputs) {
      uint64_t sum = 0;
      for (const ExportRange& r : output.ranges) sum += frameBytes(r);
      bytes.push_back(sum);
    }
  }
  return bytes;
}

void PrintJson(const SourcePlan& plan, size_t written, std::ostream& out) {
  for (size_t i = 0; i < written; ++i) {
    out << OutputJson(plan.job.sourcePath, plan.outputs[i], "written") << "\n";
  }
  for (const PlannedOutput& output : plan.skipped) {
    out << OutputJson(plan.job.sourcePath, output, "skipped") << "\n";
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
  for (size_t i = 0; i < plans.size(); ++i) {
    const SourcePlan& plan = plans[i];
    Written written{0, plan.refusal};
    if (!plan.refusal && progress.IsCancelled()) {
      written.failure = Refusal{"the run was interrupted before this source"};
    } else if (!plan.refusal) {
      progress.StartSource(firstPiece, static_cast<uint32_t>(i + 1),
                           static_cast<uint32_t>(plans.size()));
      written = WriteSource(plan, o.join, progress);
      firstPiece += static_cast<uint32_t>(plan.job.ranges.size());
    }
    if (o.json && !plan.refusal) PrintJson(plan, written.outputs, context.out);
    failed = failed || written.failure.has_value();
    if (lineEach) {
      lines.push_back(SourceLine(plan, written.outputs, written.failure));
    } else if (written.failure) {
      lines.push_back(written.failure->message);
    }
  }
  progress.Finish();
  for (const std::string& line : lines) context.err << "snipora-cut: " << line << "\n";
  return failed ? kExitFailed : kExitDone;
}

}  // namespace snipora::cli
