#include "cli/extended_copies.h"

#include "export/extended_loop.h"
#include "export/fade.h"

namespace snipora::cli {

std::optional<Refusal> ExtendOutputs(const ExtendLoopOption& option, ExportPlan& plan) {
  const SoundFormatInfo& format = plan.format;
  // The copy is made of the bytes the file stores; a decoded source has none to copy.
  if (format.decoderType != 0) {
    return Refusal{
        "--extend-loop copies the samples as a WAVE or NWA file stores them; it "
        "cannot copy a " +
        std::string(format.typeName) + " source"};
  }
  if (option.fadeMs > 0 && !CanFade(format)) {
    return Refusal{"--extend-loop cannot fade out the samples of this source (" +
                   std::to_string(format.formatBlock.bitsPerSample) +
                   " bits per sample); give COUNT:0 for no fade"};
  }
  for (ExportOutput& output : plan.outputs) {
    const ExportRange piece = output.ranges.front();
    if (!output.loops || output.loops->loops.empty()) {
      return Refusal{"--extend-loop: range " + std::to_string(piece.startFrame) + ":" +
                     std::to_string(piece.endFrame) +
                     " (frames) holds no loop; give --loop START:END or --loop auto"};
    }
    ExtendedLoopJob copy;
    copy.sourcePath = plan.sourcePath;
    copy.format = format;
    copy.piece = piece;
    copy.loopStartFrame = piece.startFrame + output.loops->loops.front().start;
    copy.loopEndFrame = piece.startFrame + output.loops->loops.front().end;
    copy.count = option.count;
    copy.fadeMs = option.fadeMs;
    ExportOutput extended = ExtendedLoopOutput(copy, output.path);
    extended.label = output.label;
    extended.number = output.number;
    output = std::move(extended);
  }
  return std::nullopt;
}

}  // namespace snipora::cli
