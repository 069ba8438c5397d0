#include "cli/source_plan.h"

#include "audiofile/sound_units.h"
#include "cli/extended_copies.h"
#include "cli/loop_points.h"
#include "cli/output_places.h"
#include "cli/source_file.h"
#include "export/fade.h"
#include "export/output_names.h"
#include "platform/system/fs_ops.h"
#include "ranges/piece_names.h"

namespace snipora::cli {

namespace {

std::optional<Refusal> CheckRange(uint64_t start, uint64_t end, uint64_t frames,
                                  const std::string& what) {
  if (start >= end) return Refusal{what + ": START must be below END"};
  if (end > frames) {
    return Refusal{what + ": END is beyond the data (" + std::to_string(frames) + " frames)"};
  }
  return std::nullopt;
}

std::optional<Refusal> ProviderRanges(const RangeProvider& provider, const std::string& given,
                                      const ExportJob& job, const ranges::SourceShape& shape,
                                      RunContext& context,
                                      std::vector<ranges::LabeledRange>& list) {
  ProvidedRanges provided = provider.Read(given, job.sourcePath, shape);
  const ranges::RangeListRead& read = provided.read;
  if (!read.ok()) {
    const std::string line = read.errorLine ? ":" + std::to_string(read.errorLine) : "";
    return Refusal{provided.name + line + ": " + read.error};
  }
  for (const std::string& note : read.notes) Warn(context, provided.name + ": " + note);
  if (read.ranges.empty()) return Refusal{"no range to cut ('" + provided.name + "' has none)"};
  list = std::move(provided.read.ranges);
  return std::nullopt;
}

// The piece names: numbered, or from --name.
std::vector<std::string> PieceNamesOf(const CutOptions& o, const std::string& sourcePath,
                                      const std::vector<ranges::LabeledRange>& list) {
  if (!o.nameTemplate.empty())
    return ranges::PieceNames(o.nameTemplate, list, FileStem(sourcePath));
  std::vector<std::string> names;
  for (uint32_t i = 0; i < list.size(); ++i) names.push_back(PieceFileName(i));
  return names;
}

// What the job writes once the outputs --skip-existing leaves alone are set
// aside: their ranges (and loop chunks) leave the job.
void SetAsideSkipped(bool joined, const OutputPlaces& places, SourcePlan& plan) {
  ExportJob& job = plan.job;
  if (joined) {
    PlannedOutput file{places.paths[0], job.ranges};
    if (places.skipped[0]) {
      plan.skipped.push_back(std::move(file));
      job.ranges.clear();
    } else {
      plan.outputs.push_back(std::move(file));
    }
    return;
  }
  std::vector<ExportRange> ranges;
  std::vector<WaveExtraChunks> chunks;
  std::vector<ExtendedLoopJob> copies;
  for (size_t i = 0; i < places.paths.size(); ++i) {
    const bool copy = i < plan.extended.size();
    PlannedOutput piece{places.paths[i],
                        copy ? CopyRanges(plan.extended[i]) : std::vector{job.ranges[i]}};
    if (places.skipped[i]) {
      plan.skipped.push_back(std::move(piece));
      continue;
    }
    plan.outputs.push_back(std::move(piece));
    ranges.push_back(job.ranges[i]);
    chunks.push_back(i < job.extraChunks.size() ? job.extraChunks[i] : WaveExtraChunks{});
    if (copy) copies.push_back(plan.extended[i]);
  }
  job.ranges = std::move(ranges);
  job.extraChunks = std::move(chunks);
  plan.extended = std::move(copies);
}

}  // namespace

std::optional<Refusal> OpenSource(const std::string& given, ExportJob& job) {
  job.sourcePath = Normalised(given);
  if (!fsops::Exists(job.sourcePath)) return Refusal{"'" + given + "': no such file"};
  if (!ReadSourceFormat(job.sourcePath, job.format)) {
    return Refusal{"'" + given +
                   "' is not a PCM WAVE, uncompressed NWA or FLAC file (or unreadable)"};
  }
  return std::nullopt;
}

std::optional<Refusal> CollectRanges(const CutOptions& o, const RangeProvider* provider,
                                     const std::string& given, const ExportJob& job,
                                     RunContext& context, std::vector<ranges::LabeledRange>& list) {
  const ranges::SourceShape shape{job.format.formatBlock.samplesPerSec, TotalFrames(job.format)};
  if (provider != nullptr) {
    if (auto bad = ProviderRanges(*provider, given, job, shape, context, list)) return bad;
  }
  for (const std::string& text : o.ranges) {
    auto [start, end] = *ParseRangeText(text);
    if (o.milliseconds) {
      start = MillisecondsToFrames(start, shape.sampleRate);
      end = MillisecondsToFrames(end, shape.sampleRate);
    }
    if (auto bad = CheckRange(start, end, shape.frames, "bad range '" + text + "'")) return bad;
    list.push_back({start, end, "", 0});
  }
  return std::nullopt;
}

namespace {

// Decides everything about plan's source before writing; a refusal when it
// cannot be cut.
std::optional<Refusal> FillPlan(const CutOptions& o, const RangeProvider* provider,
                                RunContext& context, SourcePlan& plan) {
  ExportJob& job = plan.job;
  if (auto bad = OpenSource(plan.given, job)) return bad;
  std::vector<ranges::LabeledRange> list;
  if (auto bad = CollectRanges(o, provider, plan.given, job, context, list)) return bad;
  for (const ranges::LabeledRange& r : list) job.ranges.push_back({r.startFrame, r.endFrame});
  job.fadeMs = o.fadeMs.value_or(0);
  job.rf64 = o.rf64;
  if (job.fadeMs > 0 && !CanFade(job.format)) {
    return Refusal{"--fade cannot scale the samples of this source (" +
                   std::to_string(job.format.formatBlock.bitsPerSample) + " bits per sample)"};
  }
  if (o.join ? !JoinedFileFits(job) : !PiecesFit(job)) {
    return Refusal{Describe(ExportOutcome::TooLarge)};
  }
  OutputPlaces places;
  if (auto bad = PlaceOutputs(o, job.sourcePath, PieceNamesOf(o, job.sourcePath, list), places)) {
    return bad;
  }
  if (auto bad = AddLoopChunks(o, job, context)) return bad;
  if (o.extendLoop) {
    if (auto bad = PlanExtendedCopies(*o.extendLoop, job, plan.extended)) return bad;
  }
  plan.folder = places.folder;
  SetAsideSkipped(o.join, places, plan);
  return std::nullopt;
}

}  // namespace

SourcePlan PlanSource(const CutOptions& o, const std::string& given, const RangeProvider* provider,
                      RunContext& context) {
  SourcePlan plan;
  plan.given = given;
  plan.joined = o.join;
  plan.refusal = FillPlan(o, provider, context, plan);
  return plan;
}

}  // namespace snipora::cli
