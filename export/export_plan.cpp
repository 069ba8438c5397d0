#include "export/export_plan.h"

#include <algorithm>

#include "audiofile/sound_units.h"
#include "export/extended_loop.h"
#include "export/flac_comments.h"
#include "export/flac_writer.h"
#include "export/kept_metadata.h"
#include "export/loop_plan.h"

namespace snipora {

namespace {

uint64_t Length(const ExportRange& range) {
  return range.endFrame - range.startFrame;
}

// The fades of an output of `ranges`: a fade-in at its start and a fade-out
// at its end, the longer of the asked fade and the de-click there; at every
// seam between two ranges a de-click fade-out before it and a fade-in after.
std::vector<FadeSpan> EdgeFades(const SoundFormatInfo& format, const EdgeOptions& edges,
                                const std::vector<ExportRange>& ranges) {
  uint64_t total = 0;
  for (const ExportRange& range : ranges) total += Length(range);
  const uint64_t in = FadeFrames(format, std::max(edges.fadeInMs, edges.declickMs), total);
  const uint64_t out = FadeFrames(format, std::max(edges.fadeOutMs, edges.declickMs), total);
  std::vector<FadeSpan> fades{{0, in, FadeDirection::kIn}, {total - out, out, FadeDirection::kOut}};
  uint64_t seam = 0;
  for (size_t i = 0; i + 1 < ranges.size(); ++i) {
    seam += Length(ranges[i]);
    const uint64_t before = FadeFrames(format, edges.declickMs, Length(ranges[i]));
    const uint64_t after = FadeFrames(format, edges.declickMs, Length(ranges[i + 1]));
    fades.push_back({seam - before, before, FadeDirection::kOut});
    fades.push_back({seam, after, FadeDirection::kIn});
  }
  std::erase_if(fades, [](const FadeSpan& fade) { return fade.frames == 0; });
  return fades;
}

bool RangeIsSound(const ExportRange& range) {
  return range.startFrame < range.endFrame;
}

// Why the source cannot be written as FLAC.
std::string NotFlacText(const SoundFormatInfo& format) {
  const WaveFormatBlock& block = format.formatBlock;
  const bool floating = CodingOf(block) == SampleCoding::kFloat;
  return "this source (" + std::to_string(ValidBitsOf(block)) + "-bit " +
         (floating ? "float" : "integer") + ", " + std::to_string(block.channels) +
         " channels) cannot be written as FLAC, which holds integer samples of 4 to 32 bits in "
         "1 to 8 channels";
}

}  // namespace

OutputFormat DefaultOutputFormat(const SoundFormatInfo& source) {
  return source.decoderType == kFlacDecoderType ? OutputFormat::kFlac : OutputFormat::kWave;
}

uint64_t ExportOutput::Frames() const {
  uint64_t frames = 0;
  for (const ExportRange& range : ranges) frames += Length(range);
  return frames;
}

WaveExtraChunks ExportOutput::ExtraChunks() const {
  WaveExtraChunks chunks = metadata;
  if (loops) {
    const std::vector<uint8_t> smpl = SampleChunkBytes(*loops);
    chunks.insert(chunks.end(), smpl.begin(), smpl.end());
  }
  return chunks;
}

std::optional<std::string> PlanExport(const ExportRequest& request, ExportPlan& plan) {
  plan = {};
  const bool flac = request.outputFormat == OutputFormat::kFlac;
  if (flac && !CanWriteFlac(request.format)) return NotFlacText(request.format);
  plan.sourcePath = request.sourcePath;
  plan.format = request.format;
  plan.rf64 = request.rf64;
  plan.flacLevel = request.flacLevel;
  plan.forcedSectorSize = request.forcedSectorSize;
  const size_t count = request.join ? 1 : request.ranges.size();
  for (size_t i = 0; i < count && i < request.paths.size(); ++i) {
    ExportOutput output;
    output.path = request.paths[i];
    output.format = request.outputFormat;
    if (request.join) {
      for (const CutRange& r : request.ranges) output.ranges.push_back({r.startFrame, r.endFrame});
    } else {
      output.ranges = {{request.ranges[i].startFrame, request.ranges[i].endFrame}};
      output.label = request.ranges[i].label;
      output.number = static_cast<uint32_t>(i + 1);
    }
    // Fades are laid out only over ranges that hold sound; the writer
    // refuses the others.
    if (std::all_of(output.ranges.begin(), output.ranges.end(), RangeIsSound)) {
      output.fades = EdgeFades(request.format, request.edges, output.ranges);
    }
    plan.outputs.push_back(std::move(output));
  }
  if (request.extend && request.join) return "an extended copy is made of each piece, not joined";
  SourceMetadata source;
  std::vector<std::string> comments;
  // An extended copy plays out the source's loop even when no chunk is kept.
  if (request.keepMetadata || request.extend) {
    source = ReadSourceMetadata(request.sourcePath);
    comments = SourceVorbisComments(request.sourcePath, request.format);
    // A FLAC source states its loop in comments.
    if (!source.loops) source.loops = CommentLoops(comments, request.format);
  }
  if (auto refused = PlanLoops(request, source.loops, plan)) return refused;
  if (request.extend) return ExtendOutputs(*request.extend, plan);
  if (flac) {
    PlanFlacComments(comments, source, request.keepMetadata, plan);
  } else {
    PlanMetadata(source, plan);
  }
  return std::nullopt;
}

std::vector<FrameStretch> SourceStretches(const std::vector<ExportRange>& ranges) {
  std::vector<FrameStretch> stretches;
  for (const ExportRange& range : ranges) stretches.push_back({range.startFrame, range.endFrame});
  return stretches;
}

uint64_t DataLength(const ExportPlan& plan, const ExportOutput& output) {
  return FramesToBytes(output.Frames(), plan.format.formatBlock.blockAlign);
}

bool OutputsFit(const ExportPlan& plan) {
  for (const ExportOutput& output : plan.outputs) {
    // A FLAC file states 36-bit frame counts: no length a source has is too long.
    if (output.format == OutputFormat::kFlac) continue;
    if (!std::all_of(output.ranges.begin(), output.ranges.end(), RangeIsSound)) continue;
    const auto chunkBytes = static_cast<uint32_t>(output.ExtraChunks().size());
    if (!ContainerFor(plan.rf64, plan.format, DataLength(plan, output), chunkBytes)) return false;
  }
  return true;
}

}  // namespace snipora
