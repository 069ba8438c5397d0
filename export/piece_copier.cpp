#include "export/piece_copier.h"

#include <algorithm>

namespace snipora {

ExportOutcome ExportOutcomeOf(CopyResult result) {
  switch (result) {
    case CopyResult::Done:
      return ExportOutcome::Done;
    case CopyResult::Cancelled:
      return ExportOutcome::Cancelled;
    case CopyResult::ShortRead:
      return ExportOutcome::ReadFailed;
    case CopyResult::WriteFailed:
      break;
  }
  return ExportOutcome::WriteFailed;
}

CPieceCopier::CPieceCopier(IExportProgress& progress) : progress_(progress), buffer_(kBlockSize) {}

void CPieceCopier::StartPiece(uint64_t length) {
  bytesDone_ = 0;
  progress_.SetFileRange(length);
  progress_.SetFilePosition(0);
}

CopyResult CPieceCopier::MoveBlock(CExtentReader& source, CSectorFile& output, uint32_t n,
                                   const OutputFades* fades, uint64_t firstFrame) {
  // A source that delivers less than asked is damaged or was cut short
  // meanwhile; writing on would produce a wrong file.
  if (fades == nullptr) {
    // Unchanged bytes go from the read blocks straight into the output's
    // ring: one memory copy, which also shifts them to the output's offset.
    for (uint32_t left = n; left != 0;) {
      uint8_t* run = nullptr;
      uint32_t length = 0;
      if (source.Next(left, &run, &length) != 0) return CopyResult::ShortRead;
      if (output.Write(run, 1, length) != length) return CopyResult::WriteFailed;
      source.Consume(length);
      left -= length;
    }
  } else {
    // A run may end inside a frame; the fade needs whole ones.
    if (source.Read(buffer_.data(), n) != 0) return CopyResult::ShortRead;
    fades->Apply(buffer_.data(), n, firstFrame);
    if (output.Write(buffer_.data(), 1, n) != n) return CopyResult::WriteFailed;
  }
  if (output.HasWriteError()) return CopyResult::WriteFailed;
  bytesDone_ += n;
  return CopyResult::Done;
}

CopyResult CPieceCopier::CopyRange(CExtentReader& source, CSectorFile& output, uint64_t length,
                                   bool pumpMainWindow) {
  while (length != 0) {
    progress_.SetFilePosition(bytesDone_);
    progress_.Pump(pumpMainWindow);
    if (progress_.IsCancelled()) return CopyResult::Cancelled;
    const auto n = static_cast<uint32_t>(std::min<uint64_t>(length, kBlockSize));
    if (const CopyResult result = MoveBlock(source, output, n, nullptr, 0);
        result != CopyResult::Done) {
      return result;
    }
    length -= n;
  }
  return CopyResult::Done;
}

CopyResult CPieceCopier::CopyFaded(CExtentReader& source, CSectorFile& output, uint64_t fadeBytes,
                                   const OutputFades& fades, uint64_t firstFrame) {
  // Blocks and pump points fall on whole frames, so that a frame's samples
  // share one factor (for frames of 1, 2, 4 or 8 bytes they are the plain
  // sizes).
  const uint32_t frame = fades.Scaler().FrameBytes();
  const uint32_t blockSize = kBlockSize - kBlockSize % frame;
  const uint32_t pumpInterval = kFadePumpInterval - kFadePumpInterval % frame;
  uint64_t left = fadeBytes - fadeBytes % frame;
  while (left != 0) {
    if (left % pumpInterval == 0) {
      progress_.SetFilePosition(bytesDone_);
      progress_.Pump(false);
      if (progress_.IsCancelled()) return CopyResult::Cancelled;
    }
    // Blocks end on the pump points, so none is stepped over.
    const uint64_t toPumpPoint = left % pumpInterval ? left % pumpInterval : left;
    const auto n = static_cast<uint32_t>(std::min<uint64_t>({left, toPumpPoint, blockSize}));
    if (const CopyResult result = MoveBlock(source, output, n, &fades, firstFrame);
        result != CopyResult::Done) {
      return result;
    }
    firstFrame += n / frame;
    left -= n;
  }
  return CopyResult::Done;
}

}  // namespace snipora
