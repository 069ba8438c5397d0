#include <algorithm>

#include "playback/file_player.h"

namespace snipora {

int CDSFilePlayer::Seek(uint64_t position, int unit) {
  // Both are needed: the seek reads the file and rewrites the buffer.
  if ((state_ & (CDS_BUFFER | CDS_OPENED)) != (CDS_BUFFER | CDS_OPENED)) return kPlayerBadState;
  if (unit != kUnitMilliseconds && !ToBytes(position, unit)) return kPlayerBadState;
  const uint32_t outputAlign = outputFormat_.blockAlign;
  const uint32_t sourceAlign = std::max<uint32_t>(sourceFormat_.blockAlign, 1);
  const bool plainRate = fileInfo_.decoderType <= 1;
  const uint64_t rate = SourceRate();  // source bytes per 10000 seconds

  uint64_t bytes = position;
  if (unit == kUnitMilliseconds) {
    // A time maps to the start of the block after its exact byte position.
    const unsigned __int128 scaled = static_cast<unsigned __int128>(rate) * position +
                                     (plainRate ? sourceAlign * 10000000ull : 0);
    const unsigned __int128 exact = scaled / 10000000;
    bytes = exact > UINT64_MAX ? UINT64_MAX : static_cast<uint64_t>(exact);
  }
  if (plainRate) bytes -= bytes % sourceAlign;
  uint64_t limit = (state_ & CDS_LOOP) ? loopEnd_ : endPosition_;
  if (limit == kEndOfData) limit = fileInfo_.lengthFrames * outputAlign;
  if (bytes > limit) return kPlayerBadArgument;

  const uint32_t dataOffset = static_cast<uint32_t>(fileInfo_.dataOffset);
  uint64_t filePosition = bytes;
  uint64_t targetFrame = bytes / outputAlign;
  if (currentModule_ == nullptr) {
    file_.SeekLarge(dataOffset + bytes);
    readPosition_ = bytes;
  } else {
    // A byte or sample position is the frame it lies in, exactly: a module
    // restarts there or before it (the frames between are dropped below).
    if (unit == kUnitMilliseconds) targetFrame = position * fileInfo_.sampleRate / 1000;
    DecoderSeekRequest request{targetFrame, bytes + dataOffset};
    if (SeekModule(request) != kPlayerOk) {
      CDSStreamPlayer::Stop();
      Close();
      return kPlayerSeekFailed;
    }
    readPosition_ = request.frame * outputAlign;
    filePosition = request.offset - dataOffset;
  }

  ClearDecoderQueues();
  queue_.Clear();
  writeCursor_ = 0;
  outstanding_ = 0;
  if (state_ & CDS_PLAYING) device_.Stop();
  device_.SetCurrentPosition(0);
  bytesLeft_ = dataSize_ - std::min(filePosition, dataSize_);
  state_ &= ~(CDS_DATAEND | CDS_LOOPPENDING);

  // A decoder failure below stops and closes the file; the seek then reports it.
  const uint64_t target = targetFrame * outputAlign;
  if (readPosition_ < target &&
      DiscardDecoded(static_cast<uint32_t>(target - readPosition_)) != kPlayerOk) {
    return kPlayerBadState;
  }

  if (state_ & CDS_PLAYING) {
    state_ &= ~CDS_PLAYING;
    Refill(3);
    if (!IsOpen()) {
      // Closed while the flag was cleared: the refill timer is still to be ended.
      if (window_ != nullptr) window_->KillTimer(timerId_);
      return kPlayerBadState;
    }
    state_ |= CDS_PLAYING;
    Refill(3);
    if (IsOpen()) device_.Play();
  } else {
    Refill(3);
  }
  return IsOpen() ? kPlayerOk : kPlayerBadState;
}

}  // namespace snipora
