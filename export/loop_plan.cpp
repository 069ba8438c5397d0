#include "export/loop_plan.h"

namespace snipora {

namespace {

// Frames a "smpl" chunk can address: its fields are 32-bit.
constexpr uint64_t kSampleChunkFrames = uint64_t{UINT32_MAX} + 1;

std::string RangeText(uint64_t start, uint64_t end) {
  return std::to_string(start) + ":" + std::to_string(end);
}

// Why a loop ending (exclusive) at output frame `end` cannot be stored.
std::string LoopBeyondChunk(uint64_t end) {
  return "a loop ending at frame " + std::to_string(end) +
         " of its output does not fit the 32-bit frames of a smpl chunk";
}

bool Inside(const ExportRange& loop, const ExportRange& range) {
  return loop.startFrame >= range.startFrame && loop.endFrame <= range.endFrame;
}

// Adds one endless forward loop over output frames [start, end) to the
// output's chunk; a refusal when the frames do not fit the chunk's 32-bit
// fields (an output of more than 2^32 frames, past 4 GiB).
std::optional<std::string> AddForwardLoop(uint32_t rate, uint64_t start, uint64_t end,
                                          ExportOutput& output) {
  if (end > kSampleChunkFrames) return LoopBeyondChunk(end);
  const SampleChunk one =
      ForwardLoopChunk(rate, static_cast<uint32_t>(start), static_cast<uint32_t>(end));
  if (!output.loops) {
    output.loops = one;
  } else {
    output.loops->loops.push_back(one.loops.front());
  }
  return std::nullopt;
}

// The given loop: inside every piece at the piece's frames, or inside one of
// the joined ranges at its place in the joined file.
std::optional<std::string> PlaceGivenLoop(const GivenLoop& loop, uint32_t rate, bool join,
                                          ExportPlan& plan) {
  for (ExportOutput& output : plan.outputs) {
    uint64_t at = 0;  // where the range starts in the output
    bool placed = false;
    for (const ExportRange& r : output.ranges) {
      if (Inside(loop.frames, r)) {
        const uint64_t start = at + loop.frames.startFrame - r.startFrame;
        if (auto refused = AddForwardLoop(
                rate, start, start + loop.frames.endFrame - loop.frames.startFrame, output)) {
          return refused;
        }
        placed = true;
        break;
      }
      if (!join) {
        return loop.name + " is not inside range " + RangeText(r.startFrame, r.endFrame) +
               " (frames)";
      }
      at += r.endFrame - r.startFrame;
    }
    if (!placed) return loop.name + " is not inside any of the joined ranges";
  }
  return std::nullopt;
}

// The source's loops that lie wholly inside a range of an output without a
// loop of its own, moved; the others named in the notes.
void KeepSourceLoops(const SampleChunk& source, const std::vector<bool>& ownLoop,
                     ExportPlan& plan) {
  std::vector<bool> placed(source.loops.size(), false);
  for (size_t o = 0; o < plan.outputs.size(); ++o) {
    ExportOutput& output = plan.outputs[o];
    std::vector<SampleLoop> loops;
    uint64_t to = 0;  // where the range starts in its output
    for (const ExportRange& r : output.ranges) {
      for (size_t k = 0; k < source.loops.size(); ++k) {
        const SampleLoop& l = source.loops[k];
        if (LoopsInside({l}, r.startFrame, r.endFrame, 0).empty()) continue;
        placed[k] = true;
        if (ownLoop[o]) continue;
        const uint64_t end = uint64_t{l.end} + 1 - r.startFrame + to;
        if (end > kSampleChunkFrames) {
          plan.notes.push_back("the source's loop " + std::to_string(k + 1) + " (" +
                               RangeText(l.start, uint64_t{l.end} + 1) +
                               ") is not written there: " + LoopBeyondChunk(end));
          continue;
        }
        const std::vector<SampleLoop> moved = LoopsInside({l}, r.startFrame, r.endFrame, to);
        loops.insert(loops.end(), moved.begin(), moved.end());
      }
      to += r.endFrame - r.startFrame;
    }
    if (!loops.empty()) {
      output.loops = source;
      output.loops->loops = std::move(loops);
    }
  }
  for (size_t k = 0; k < placed.size(); ++k) {
    if (placed[k]) continue;
    const SampleLoop& l = source.loops[k];
    plan.notes.push_back("the source's loop " + std::to_string(k + 1) + " (" +
                         RangeText(l.start, uint64_t{l.end} + 1) +
                         ") lies in no output and is not written");
  }
}

}  // namespace

std::optional<std::string> PlanLoops(const ExportRequest& request,
                                     const std::optional<SampleChunk>& source, ExportPlan& plan) {
  const uint32_t rate = request.format.formatBlock.samplesPerSec;
  if (request.loop) return PlaceGivenLoop(*request.loop, rate, request.join, plan);
  // Ranges with a loop of their own give it to their output, at its place.
  std::vector<bool> ownLoop(plan.outputs.size(), false);
  uint64_t at = 0;
  for (size_t i = 0; i < request.ranges.size(); ++i) {
    const CutRange& r = request.ranges[i];
    const size_t o = request.join ? 0 : i;
    if (o >= plan.outputs.size()) break;
    if (!request.join) at = 0;
    if (r.loop) {
      if (r.loop->startFrame >= r.loop->endFrame || !Inside(*r.loop, {r.startFrame, r.endFrame})) {
        return "the loop " + RangeText(r.loop->startFrame, r.loop->endFrame) +
               " is not inside range " + RangeText(r.startFrame, r.endFrame) + " (frames)";
      }
      const uint64_t start = at + r.loop->startFrame - r.startFrame;
      if (auto refused = AddForwardLoop(rate, start, start + r.loop->endFrame - r.loop->startFrame,
                                        plan.outputs[o])) {
        return refused;
      }
      ownLoop[o] = true;
    }
    at += r.endFrame - r.startFrame;
  }
  if (source && !source->loops.empty()) KeepSourceLoops(*source, ownLoop, plan);
  return std::nullopt;
}

}  // namespace snipora
