// Positions, the end position, loop ranges, loop mode and queue trimming.
#include <algorithm>

#include "playback/stream_player.h"

namespace snipora {

uint64_t CDSStreamPlayer::GetPosition(int unit) {
  if ((state_ & (CDS_BUFFER | CDS_OPENED)) != (CDS_BUFFER | CDS_OPENED)) return kEndOfData;
  if (unit < kUnitBytes || unit > kUnitSamples) return kEndOfData;
  Advance(Pending());
  uint64_t position;
  if (state_ & CDS_DATAEND) {
    if (seamCountdown_ < 0) {
      position = endPosition_ == kEndOfData ? DataEndBytes() : endPosition_;
    } else {
      position = readPosition_ - static_cast<uint32_t>(seamCountdown_);
    }
  } else if ((state_ & CDS_LOOPPENDING) && seamCountdown_ >= 0) {
    // Still inside the old pass: count back from its end (modulo the pass length, as
    // several restarts may be queued behind a short loop).
    const uint64_t pass = loopEndPosition_ - loopStart_;
    const uint64_t back = pass == 0 ? 0 : static_cast<uint32_t>(seamCountdown_) % pass;
    position = loopEndPosition_ - back;
  } else {
    position = readPosition_ - queue_.Count();
  }
  if (unit == kUnitMilliseconds) {
    const uint64_t rate = outputFormat_.bytesPerSecond;
    return (position % rate) * 1000 / rate + (position / rate) * 1000;
  }
  if (unit == kUnitSamples) return position / outputFormat_.blockAlign;
  return position;
}

int CDSStreamPlayer::SetEnd(uint64_t position, int unit) {
  if (!IsOpen()) return kPlayerBadState;
  if (unit == kUnitMilliseconds) {
    if (position != kEndOfData && position != kKeepPosition) {
      const uint32_t align = outputFormat_.blockAlign;
      position = MillisecondsToOutputBytes(position);
      position -= position % align;
    }
  } else if (!ToBytes(position, unit)) {
    return kPlayerBadState;
  }
  if (position == kKeepPosition) position = endPosition_;
  if (state_ & CDS_LOOPPENDING) return kPlayerBadState;
  const uint64_t end = position == kEndOfData ? dataSize_ : position;
  if (end <= readPosition_) return kPlayerBadState;
  endPosition_ = position;
  return kPlayerOk;
}

int CDSStreamPlayer::SetLoop(uint64_t start, uint64_t end, int unit) {
  if (!IsOpen()) return kPlayerBadState;
  const auto convert = [&](uint64_t& position, uint64_t current) {
    if (position == kKeepPosition) {
      position = current;
      return true;
    }
    if (unit == kUnitMilliseconds) {
      if (position != kEndOfData) position = MillisecondsToOutputBytes(position);
      return true;
    }
    return ToBytes(position, unit);
  };
  if (!convert(start, loopStart_) || !convert(end, loopEnd_)) return kPlayerBadState;
  const uint32_t align = std::max<uint32_t>(sourceFormat_.blockAlign, 1);
  start = start == kEndOfData ? 0 : start - start % align;
  if (end != kEndOfData) end -= end % align;
  const uint64_t endBytes = end == kEndOfData ? fileInfo_.lengthFrames * align : end;
  if (endBytes < start || endBytes - start < outputFormat_.bytesPerSecond)
    return kPlayerBadArgument;
  if (state_ & CDS_LOOPPENDING) return kPlayerBadState;
  if (GetPosition(kUnitBytes) >= endBytes) return kPlayerBadState;
  loopStart_ = start;
  loopEnd_ = end;
  return kPlayerOk;
}

int CDSStreamPlayer::SetFlags(uint32_t mask, bool on) {
  if (mask & CDS_LOOP) {
    if (!on && (state_ & CDS_LOOP)) {
      if (endPosition_ != kEndOfData && GetPosition(kUnitBytes) > endPosition_) {
        return kPlayerBadState;
      }
      state_ &= ~CDS_LOOP;
      // Restart at the current time so that the queued restart is never heard.
      if (state_ & CDS_LOOPPENDING) Seek(GetPosition(kUnitMilliseconds), kUnitMilliseconds);
    } else if (on && !(state_ & CDS_LOOP)) {
      if (GetPosition(kUnitBytes) > loopEnd_) return kPlayerBadState;
      if (state_ & CDS_DATAEND) {
        // Drop the silence behind the last real byte; the restart is queued there.
        if (TrimQueue() != kPlayerOk) return kPlayerBadState;
        bytesLeft_ = 0;
        state_ |= CDS_LOOP;
        state_ &= ~CDS_DATAEND;
        Refill(3);
      } else {
        state_ |= CDS_LOOP;
      }
    }
    mask &= CDS_OPTION_MASK;
  } else {
    mask &= CDS_FLAGS_MASK;
  }
  if (on) {
    state_ |= mask;
  } else {
    state_ &= ~mask;
  }
  return kPlayerOk;
}

void CDSStreamPlayer::TakeBackOutput(uint32_t sourceBytes) {
  // Whole frames, so that the next write stays frame-aligned; never more than is
  // still unplayed.
  const uint32_t align = std::max<uint32_t>(outputFormat_.blockAlign, 1);
  uint32_t back = static_cast<uint32_t>(uint64_t{sourceBytes} * 100 / speedPercent_);
  back = std::min(back - back % align, outstanding_);
  outstanding_ -= back;
  writeCursor_ = (writeCursor_ + kSoundBufferBytes - back) % kSoundBufferBytes;
}

int CDSStreamPlayer::TrimQueue() {
  if (!(state_ & (CDS_DATAEND | CDS_LOOPPENDING))) return kPlayerBadState;
  Advance(Pending());
  if (seamCountdown_ < 0) {
    if (!(state_ & CDS_LOOPPENDING)) return kPlayerBadState;
    state_ &= ~CDS_LOOPPENDING;
    return kPlayerOk;
  }
  const uint32_t excess =
      queue_.Count() > static_cast<uint32_t>(seamCountdown_) ? queue_.Count() - seamCountdown_ : 0;
  queue_.Unpush(excess);
  TakeBackOutput(excess);
  if (state_ & CDS_LOOPPENDING) readPosition_ = loopEndPosition_;
  return kPlayerOk;
}

}  // namespace snipora
