#include "export/extended_loop.h"

#include <algorithm>

#include "export/fade.h"

namespace snipora {

namespace {

// Plays of the loop a copy holds at most, the fade's included: each is one
// range of the plan, and no one listens to more.
constexpr uint64_t kMostPlays = 10000;

// The source frames of the copy of `piece` whose loop is `loop` (source
// frames, end exclusive, inside the piece), in order.
std::vector<ExportRange> CopyRanges(const ExportRange& piece, const ExportRange& loop,
                                    uint32_t count, uint64_t fadeFrames) {
  std::vector<ExportRange> ranges{{piece.startFrame, loop.endFrame}};
  ranges.insert(ranges.end(), count - 1, loop);
  for (uint64_t left = fadeFrames; left != 0;) {
    const uint64_t n = std::min(left, loop.endFrame - loop.startFrame);
    ranges.push_back({loop.startFrame, loop.startFrame + n});
    left -= n;
  }
  return ranges;
}

std::string RangeText(const ExportRange& range) {
  return std::to_string(range.startFrame) + ":" + std::to_string(range.endFrame);
}

}  // namespace

std::optional<std::string> ExtendOutputs(const ExtendedCopies& copies, ExportPlan& plan) {
  if (copies.count == 0) return "an extended copy plays its loop at least once";
  const uint64_t fadeFrames = FadeFrames(plan.format, copies.fadeMs, UINT64_MAX);
  for (ExportOutput& output : plan.outputs) {
    const ExportRange piece = output.ranges.front();
    if (!output.loops || output.loops->loops.empty()) {
      return "range " + RangeText(piece) + " (frames) holds no loop to play out";
    }
    // A "smpl" loop names its first and its last frame.
    const SampleLoop& first = output.loops->loops.front();
    const ExportRange loop{piece.startFrame + first.start, piece.startFrame + first.end + 1};
    const uint64_t loopFrames = loop.endFrame - loop.startFrame;
    if (copies.count + (fadeFrames + loopFrames - 1) / loopFrames > kMostPlays) {
      return "range " + RangeText(piece) + " (frames): an extended copy plays its loop at most " +
             std::to_string(kMostPlays) + " times, the fade's rounds included";
    }
    output.ranges = CopyRanges(piece, loop, copies.count, fadeFrames);
    output.fades.clear();
    if (fadeFrames > 0) {
      output.fades.push_back({output.Frames() - fadeFrames, fadeFrames, FadeDirection::kOut});
    }
    output.metadata.clear();
    output.loops.reset();
  }
  plan.notes.clear();
  return std::nullopt;
}

}  // namespace snipora
