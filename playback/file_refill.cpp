// Reading the source into the PCM queue and topping up the sound buffer.
#include <algorithm>
#include <cstring>

#include "playback/file_player.h"

namespace snipora {
namespace {

constexpr uint32_t kMaxAhead = 0xF3800;
// A decoder asking for smaller pieces gets 10240 bytes less each time, down to 51200.
constexpr uint32_t kChunkStep = 0x2800;
constexpr uint32_t kSmallestChunk = 0xC800;
// Holds the decoded bytes thrown away while a module restarts before the loop start.
constexpr uint32_t kDiscardQueueBytes = 0x4B000;

}  // namespace

bool CDSFilePlayer::SourceExhausted() const {
  if (bytesLeft_ != 0) return false;
  return currentModule_ == nullptr || (decoderInput_.Count() == 0 && decoderOutput_.Count() == 0);
}

void CDSFilePlayer::FailDecoding() {
  CDSStreamPlayer::Stop();
  Close();
  NotifyIf(CDS_NOTIFY_ERROR, kNotifyDecoderError);
}

int CDSFilePlayer::ReadSource(uint32_t count) {
  if (currentModule_ == nullptr) {
    if (bytesLeft_ != 0) {
      const auto wanted = static_cast<uint32_t>(std::min<uint64_t>(count, bytesLeft_));
      const uint32_t moved = file_.ReadToRingChunked(queue_, wanted);
      totalRead_ += moved;
      // A file shorter than its header says ends the source here.
      bytesLeft_ = moved < wanted ? 0 : bytesLeft_ - moved;
      readPosition_ += moved;
      return kPlayerOk;
    }
  } else {
    const auto moveDecoded = [&] {
      const uint32_t moved = std::min({count, decoderOutput_.Count(), queue_.FreeSpace()});
      queue_.Transfer(decoderOutput_, moved);
      readPosition_ += moved;
      count -= moved;
      return moved;
    };
    while (bytesLeft_ != 0 || decoderInput_.Count() != 0 || decoderOutput_.Count() != 0) {
      const auto input =
          static_cast<uint32_t>(std::min<uint64_t>(decoderInput_.FreeSpace(), bytesLeft_));
      if (input != 0) FillDecoderInput(input);
      moveDecoded();
      if (count == 0) return kPlayerOk;
      const int result = currentModule_->Decode(decoderInput_, decoderOutput_, decoderChunk_);
      if (result == kDecodeInputUsedUp && bytesLeft_ == 0) {
        decoderInput_.Clear();
        moveDecoded();
        return kPlayerOk;
      }
      if (result == kDecodeOk || result == kDecodeInputUsedUp) continue;
      if (result == kDecodeNeedSmallerLimit && decoderChunk_ >= kSmallestChunk) {
        decoderChunk_ -= kChunkStep;
        continue;
      }
      FailDecoding();
      return kPlayerBadState;
    }
  }
  // The source is exhausted: silence keeps the looping buffer fed until the end is heard.
  if (!(state_ & CDS_NOSILENCE) && count != 0) {
    const uint32_t silence = std::min(count, queue_.FreeSpace());
    uint8_t* first = nullptr;
    uint8_t* second = nullptr;
    uint32_t firstLength = 0;
    uint32_t secondLength = 0;
    if (queue_.Lock(queue_.Count(), silence, &first, &firstLength, &second, &secondLength) == 0) {
      // Unsigned 8-bit samples are silent at 0x80, not 0.
      const int silent = outputFormat_.bitsPerSample == 8 ? 0x80 : 0;
      std::memset(first, silent, firstLength);
      if (second != nullptr) std::memset(second, silent, secondLength);
    }
  }
  return kPlayerOk;
}

int CDSFilePlayer::DiscardDecoded(uint32_t difference) {
  queue_.Clear();
  while (difference != 0) {
    if (ReadSource(std::min(difference, queue_.FreeSpace())) != kPlayerOk) return kPlayerBadState;
    const uint32_t got = queue_.Count();
    if (got > difference) {
      queue_.Skip(difference);
      break;
    }
    difference -= got;
    queue_.Clear();
    if (got == 0) break;  // the source ended before the target
  }
  return kPlayerOk;
}

int CDSFilePlayer::SeekModule(DecoderSeekRequest& request) {
  if (currentModule_->SeekSource(request, file_, fileInfo_) != 0) return kPlayerBadState;
  const uint64_t read = request.offset - static_cast<uint32_t>(fileInfo_.dataOffset);
  bytesLeft_ = dataSize_ - std::min(read, dataSize_);
  ClearDecoderQueues();
  return kPlayerOk;
}

int CDSFilePlayer::QueueLoopRestart() {
  seamCountdown_ = static_cast<int32_t>(queue_.Count());
  loopEndPosition_ = readPosition_;
  const uint32_t dataOffset = static_cast<uint32_t>(fileInfo_.dataOffset);
  if (currentModule_ == nullptr) {
    bytesLeft_ = dataSize_ - loopStart_;
    file_.SeekLarge(dataOffset + loopStart_);
    readPosition_ = loopStart_;
  } else {
    const uint64_t frame = loopStart_ / outputFormat_.blockAlign;
    const uint64_t fileOffset =
        loopStart_ * 10000 / outputFormat_.bytesPerSecond * SourceRate() / 100000000 + dataOffset;
    DecoderSeekRequest request{frame, fileOffset};
    if (SeekModule(request) != kPlayerOk) {
      FailDecoding();
      return kPlayerBadState;
    }
    readPosition_ = request.frame * fileInfo_.formatBlock.blockAlign;
    if (readPosition_ < loopStart_) {
      // Decode from where the module restarted up to the loop start in a queue of its
      // own, so that the ending pass stays queued.
      CRingBuffer discard;
      if (discard.Allocate(kDiscardQueueBytes) != 0) return kPlayerBadState;
      queue_.Swap(discard);
      const int result = DiscardDecoded(static_cast<uint32_t>(loopStart_ - readPosition_));
      queue_.Swap(discard);
      if (result != kPlayerOk) return result;
      // What was read past the loop start continues the new pass.
      queue_.Transfer(discard, std::min(discard.Count(), queue_.FreeSpace()));
    }
  }
  state_ |= CDS_LOOPPENDING;
  NotifyIf(CDS_NOTIFY_LOOP, kNotifyLoopQueued);
  return Refill(3);
}

void CDSFilePlayer::CutAtEnd(uint32_t& written) {
  const uint64_t end = (state_ & CDS_LOOP) ? loopEnd_ : endPosition_;
  if (end == kEndOfData || end >= readPosition_) return;
  auto drop = static_cast<uint32_t>(std::min<uint64_t>(readPosition_ - end, queue_.Count()));
  if (state_ & CDS_PLAYING) {
    // Output within the rewrite margin is heard whatever follows: its bytes stay queued.
    const uint32_t align = std::max<uint32_t>(outputFormat_.blockAlign, 1);
    uint32_t margin = static_cast<uint32_t>(uint64_t{outputFormat_.bytesPerSecond} * speedPercent_ *
                                            RewriteMarginMs() / 100000);
    margin = std::min({margin - margin % align, written, queue_.Count()});
    drop = std::min(drop, queue_.Count() - margin);
  }
  queue_.Unpush(drop);
  readPosition_ -= drop;
  bytesLeft_ = 0;
  ClearDecoderQueues();
  // Bytes behind the end that were already written must not be heard either.
  if (written > queue_.Count()) {
    TakeBackOutput(written - queue_.Count());
    written = queue_.Count();
  }
}

int CDSFilePlayer::Refill(int seconds) {
  if ((state_ & (CDS_OPENED | CDS_BUFFER)) != (CDS_OPENED | CDS_BUFFER)) return kPlayerBadState;
  const uint32_t pending = Pending();
  // What has been played since the last write leaves the queue first, so that output
  // taken back below is never more than is still unplayed.
  Advance(pending);
  // An end set while the bytes behind it were already read takes effect now, before
  // the source counts as exhausted at the data end.
  uint32_t written = queue_.Count();
  CutAtEnd(written);
  if (SourceExhausted()) {
    // A loop whose pass holds nothing (no data from the loop start on) ends like
    // normal playback instead of restarting over and over.
    if ((state_ & CDS_LOOP) && loopStart_ < DataEndBytes()) return QueueLoopRestart();
    if (!(state_ & CDS_DATAEND)) {
      seamCountdown_ = static_cast<int32_t>(queue_.Count());
      state_ |= CDS_DATAEND;
      NotifyIf(CDS_NOTIFY_DATAEND, kNotifyDataEnd);
    } else if (seamCountdown_ < 0) {
      // The last real byte has been heard.
      state_ &= ~(CDS_LOOP | CDS_PLAYING | CDS_LOOPPENDING);
      if (window_ != nullptr) window_->KillTimer(timerId_);
      device_.Stop();
      if (state_ & CDS_REWIND) Seek(0, kUnitBytes);
      NotifyIf(CDS_NOTIFY_STOP, kNotifyStopped);
      return kPlayerOk;
    }
  }
  const uint64_t wanted = uint64_t{outputFormat_.bytesPerSecond} * static_cast<uint32_t>(seconds);
  if (pending < wanted) {
    const uint32_t toWrite =
        pending >= kMaxAhead
            ? 0
            : static_cast<uint32_t>(std::min<uint64_t>(wanted - pending, kMaxAhead - pending));
    uint32_t offset;
    uint32_t toRead = 0;
    if (queue_.Count() > queueTarget_) {
      const uint32_t consumed = Advance(pending);
      offset = queueTarget_ > consumed ? queueTarget_ - consumed : 0;
    } else {
      Advance(pending);
      offset = queue_.Count();
      toRead = queueTarget_ - queue_.Count();
      if (currentModule_ == nullptr && bytesLeft_ != 0 && bytesLeft_ < toRead) {
        toRead = static_cast<uint32_t>(bytesLeft_);
      }
    }
    if (ReadSource(toRead) != kPlayerOk) return kPlayerBadState;
    CutAtEnd(offset);
    FillBuffer(toWrite, offset);
  }
  if ((state_ & CDS_LOOPPENDING) && seamCountdown_ < 0) {
    state_ &= ~CDS_LOOPPENDING;
    NotifyIf(CDS_NOTIFY_SEAM, kNotifySeamHeard);
  }
  return kPlayerOk;
}

}  // namespace snipora

namespace snipora {

int CDSFilePlayer::TrimQueue() {
  const int result = CDSStreamPlayer::TrimQueue();
  if (result != kPlayerOk) return result;
  // The file is read on from where it stands.
  ClearDecoderQueues();
  const int64_t position = file_.Tell();
  const uint64_t end = dataSize_ + static_cast<uint32_t>(fileInfo_.dataOffset);
  bytesLeft_ = position < 0 || static_cast<uint64_t>(position) >= end
                   ? 0
                   : end - static_cast<uint64_t>(position);
  return kPlayerOk;
}

}  // namespace snipora
