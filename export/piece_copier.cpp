#include "export/piece_copier.h"

#include <algorithm>

namespace snipora {

CPieceCopier::CPieceCopier(IExportProgress& progress) : progress_(progress), buffer_(kBlockSize) {}

void CPieceCopier::StartPiece(uint32_t length) {
  bytesDone_ = 0;
  progress_.SetFileRange(length);
  progress_.SetFilePosition(0);
}

CopyResult CPieceCopier::MoveBlock(CSectorFile& source, CSectorFile& output, uint32_t n,
                                   FadeRamp* ramp) {
  // A source that delivers less than asked is damaged or was cut short
  // meanwhile; writing on would produce a wrong file.
  int result;
  if (ramp == nullptr) {
    // Unchanged bytes go from ring to ring, without the copy buffer.
    result = output.CopyFrom(source, n);
  } else if (source.Read(buffer_.data(), 1, n) != n) {
    result = 6;
  } else {
    ramp->Apply(buffer_.data(), n);
    result = output.Write(buffer_.data(), 1, n) == n ? 0 : -1;
  }
  if (result == 6) return CopyResult::ShortRead;
  if (result != 0 || output.HasWriteError()) return CopyResult::WriteFailed;
  bytesDone_ += n;
  return CopyResult::Done;
}

CopyResult CPieceCopier::CopyRange(CSectorFile& source, CSectorFile& output, uint32_t length,
                                   bool pumpMainWindow) {
  while (length != 0) {
    progress_.SetFilePosition(bytesDone_);
    progress_.Pump(pumpMainWindow);
    if (progress_.IsCancelled()) return CopyResult::Cancelled;
    const uint32_t n = std::min(length, kBlockSize);
    if (const CopyResult result = MoveBlock(source, output, n, nullptr);
        result != CopyResult::Done) {
      return result;
    }
    length -= n;
  }
  return CopyResult::Done;
}

CopyResult CPieceCopier::FadeOut(CSectorFile& source, CSectorFile& output, uint32_t fadeBytes,
                                 const WaveFormatBlock& format) {
  FadeRamp ramp(fadeBytes, format.blockAlign, format.channels, CodingOf(format),
                format.bitsPerSample - ValidBitsOf(format));
  // Blocks and pump points fall on whole frames, so that a frame's samples
  // share one factor (for frames of 1, 2, 4 or 8 bytes they are the plain
  // sizes).
  const uint32_t frame = ramp.FrameBytes();
  const uint32_t blockSize = kBlockSize - kBlockSize % frame;
  const uint32_t pumpInterval = kFadePumpInterval - kFadePumpInterval % frame;
  uint32_t left = fadeBytes - fadeBytes % frame;
  while (left != 0) {
    if (left % pumpInterval == 0) {
      progress_.SetFilePosition(bytesDone_);
      progress_.Pump(false);
      if (progress_.IsCancelled()) return CopyResult::Cancelled;
    }
    // Blocks end on the pump points, so none is stepped over.
    const uint32_t toPumpPoint = left % pumpInterval ? left % pumpInterval : left;
    const uint32_t n = std::min({left, toPumpPoint, blockSize});
    if (const CopyResult result = MoveBlock(source, output, n, &ramp); result != CopyResult::Done) {
      return result;
    }
    left -= n;
  }
  return CopyResult::Done;
}

}  // namespace snipora
