#include "export/output_progress.h"

#include "audiofile/sound_units.h"

namespace snipora {

COutputProgress::COutputProgress(const ExportPlan& plan, IExportProgress& progress)
    : progress_(progress) {
  const uint32_t blockAlign = plan.format.formatBlock.blockAlign;
  for (const ExportOutput& output : plan.outputs) {
    sideBySide_ = output.format == OutputFormat::kFlac;
    const auto index = static_cast<uint32_t>(outputBytes_.size());
    uint64_t bytes = 0;
    for (const ExportRange& range : output.ranges) {
      ranges_.push_back({index, bytes});
      bytes += FramesToBytes(range.endFrame - range.startFrame, blockAlign);
    }
    outputBytes_.push_back(bytes);
  }
}

void COutputProgress::SetFileRange(uint64_t rangeBytes) {
  if (sideBySide_) {
    progress_.SetFileRange(rangeBytes);
  } else if (current_.bytesBefore == 0) {
    progress_.SetFileRange(outputBytes_[current_.output]);
  }
}

void COutputProgress::SetFilePosition(uint64_t bytesDone) {
  progress_.SetFilePosition(sideBySide_ ? bytesDone : current_.bytesBefore + bytesDone);
}

void COutputProgress::SetOverallRange(uint32_t /*ranges*/) {
  progress_.SetOverallRange(static_cast<uint32_t>(outputBytes_.size()));
}

void COutputProgress::SetOverallPosition(uint32_t rangesBegun) {
  if (rangesBegun >= ranges_.size()) {
    progress_.SetOverallPosition(static_cast<uint32_t>(outputBytes_.size()));
    return;
  }
  current_ = ranges_[rangesBegun];
  progress_.SetOverallPosition(current_.output);
}

}  // namespace snipora
