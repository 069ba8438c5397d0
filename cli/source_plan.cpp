#include "cli/source_plan.h"

#include "audiofile/sound_units.h"
#include "audiofile/zero_crossing.h"
#include "cli/loop_points.h"
#include "cli/output_places.h"
#include "cli/source_file.h"
#include "export/export_job.h"
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
                                      const ExportRequest& request,
                                      const ranges::SourceShape& shape, RunContext& context,
                                      std::vector<ranges::LabeledRange>& list) {
  ProvidedRanges provided = provider.Read(given, request.sourcePath, request.format, shape);
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
                                      const std::vector<ranges::LabeledRange>& list,
                                      const char* extension) {
  if (!o.nameTemplate.empty())
    return ranges::PieceNames(o.nameTemplate, list, FileStem(sourcePath), extension);
  std::vector<std::string> names;
  for (uint32_t i = 0; i < list.size(); ++i) names.push_back(PieceFileName(i, extension));
  return names;
}

// --format, else the joined file's name, else the source's own kind.
OutputFormat OutputFormatOf(const CutOptions& o, const SoundFormatInfo& source) {
  if (o.format) return *o.format;
  if (const std::optional<OutputFormat> named = JoinedFileFormat(o)) return *named;
  return DefaultOutputFormat(source);
}

// The first of the options given that fade, when the source's samples
// cannot be faded; empty otherwise.
std::string UnfadableEdge(const CutOptions& o, const SoundFormatInfo& format) {
  if (CanFade(format)) return "";
  if (o.fadeMs.value_or(0) > 0) return "--fade";
  if (o.fadeInMs.value_or(0) > 0) return "--fade-in";
  if (o.declickMs.value_or(0) > 0) return "--declick";
  if (o.extendLoop && o.extendLoop->fadeMs > 0) return "--extend-loop's FADE_MS (give COUNT:0)";
  return "";
}

// --snap-zero: every bound moved to the nearest zero crossing within its
// reach; a range left empty is refused.
std::optional<Refusal> SnapBounds(uint32_t ms, const ExportRequest& request,
                                  std::vector<ranges::LabeledRange>& list) {
  CZeroCrossingSnap snap(request.sourcePath, request.format);
  if (!snap.CanSnap()) return Refusal{"--snap-zero cannot read the samples of this source"};
  const auto radius =
      static_cast<uint32_t>(MillisecondsToFrames(ms, request.format.formatBlock.samplesPerSec));
  for (ranges::LabeledRange& r : list) {
    const uint64_t start = snap.Snap(r.startFrame, radius);
    const uint64_t end = snap.Snap(r.endFrame, radius);
    if (start >= end) {
      return Refusal{"range " + std::to_string(r.startFrame) + ":" + std::to_string(r.endFrame) +
                     " is empty once --snap-zero moves its bounds (to " + std::to_string(start) +
                     ":" + std::to_string(end) + ")"};
    }
    r.startFrame = start;
    r.endFrame = end;
  }
  return std::nullopt;
}

// The outputs --skip-existing leaves alone leave the plan.
void SetAsideSkipped(const OutputPlaces& places, SourcePlan& plan) {
  std::vector<ExportOutput> kept;
  for (size_t i = 0; i < plan.plan.outputs.size(); ++i) {
    (places.skipped[i] ? plan.skipped : kept).push_back(std::move(plan.plan.outputs[i]));
  }
  plan.plan.outputs = std::move(kept);
}

}  // namespace

std::optional<Refusal> OpenSource(const std::string& given, ExportRequest& request) {
  request.sourcePath = Normalised(given);
  if (!fsops::Exists(request.sourcePath)) return Refusal{"'" + given + "': no such file"};
  if (!ReadSourceFormat(request.sourcePath, request.format)) {
    return Refusal{"'" + given +
                   "' is not a PCM WAVE, uncompressed NWA or FLAC file (or unreadable)"};
  }
  return std::nullopt;
}

std::optional<Refusal> CollectRanges(const CutOptions& o, const RangeProvider* provider,
                                     const std::string& given, const ExportRequest& request,
                                     RunContext& context, std::vector<ranges::LabeledRange>& list) {
  const ranges::SourceShape shape{request.format.formatBlock.samplesPerSec,
                                  TotalFrames(request.format)};
  if (provider != nullptr) {
    if (auto bad = ProviderRanges(*provider, given, request, shape, context, list)) return bad;
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
  if (o.snapZeroMs) return SnapBounds(*o.snapZeroMs, request, list);
  return std::nullopt;
}

namespace {

// Decides everything about plan's source before writing; a refusal when it
// cannot be cut.
std::optional<Refusal> FillPlan(const CutOptions& o, const RangeProvider* provider,
                                RunContext& context, SourcePlan& plan) {
  ExportRequest request;
  if (auto bad = OpenSource(plan.given, request)) return bad;
  std::vector<ranges::LabeledRange> list;
  if (auto bad = CollectRanges(o, provider, plan.given, request, context, list)) return bad;
  for (const ranges::LabeledRange& r : list) {
    request.ranges.push_back({r.startFrame, r.endFrame, r.label, std::nullopt});
  }
  request.join = o.join;
  request.edges = {o.fadeInMs.value_or(0), o.fadeMs.value_or(0), o.declickMs.value_or(0)};
  request.keepMetadata = !o.stripMetadata;
  request.rf64 = o.rf64;
  request.outputFormat = OutputFormatOf(o, request.format);
  request.flacLevel = o.flacLevel.value_or(request.flacLevel);
  if (o.extendLoop) request.extend = ExtendedCopies{o.extendLoop->count, o.extendLoop->fadeMs};
  if (const std::string edge = UnfadableEdge(o, request.format); !edge.empty()) {
    return Refusal{edge + " cannot scale the samples of this source (" +
                   std::to_string(request.format.formatBlock.bitsPerSample) + " bits per sample)"};
  }
  OutputPlaces places;
  const char* extension = OutputExtension(request.outputFormat);
  if (auto bad =
          PlaceOutputs(o, request.sourcePath, PieceNamesOf(o, request.sourcePath, list, extension),
                       extension, places)) {
    return bad;
  }
  request.paths = places.paths;
  if (auto bad = ChooseLoops(o, request, context)) return bad;
  if (auto refused = PlanExport(request, plan.plan)) return Refusal{*refused};
  if (!OutputsFit(plan.plan)) return Refusal{Describe(ExportOutcome::TooLarge)};
  for (const std::string& note : plan.plan.notes) Warn(context, note);
  plan.folder = places.folder;
  SetAsideSkipped(places, plan);
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
