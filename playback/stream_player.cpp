#include "playback/stream_player.h"

#include <algorithm>

#include "audiofile/sample_source.h"

namespace snipora {
namespace {

constexpr uint32_t kQueueBytes = 0x100000;
constexpr uint32_t kQueueGrowth = 0x80000;
// At most this much is written ahead of the play cursor, so that 51200 bytes of the
// ring always lie between the newest byte and the cursor coming round.
constexpr uint32_t kMaxAhead = 0xF3800;
constexpr uint32_t kRefillMs = 200;

}  // namespace

CDSStreamPlayer::CDSStreamPlayer(ISoundDevice& device) : device_(device) {}

CDSStreamPlayer::~CDSStreamPlayer() {
  if (state_ & CDS_PLAYING) Stop();
  if (state_ & CDS_BUFFER) device_.ReleaseBuffer();
  soundObject_ = nullptr;
  state_ &= ~(CDS_DSOUND | CDS_BUFFER);
}

int CDSStreamPlayer::Attach(ITimerHost* host, uint32_t cooperativeLevel, uint32_t timerId) {
  if (state_ & CDS_ATTACHED) return kPlayerBadState;
  window_ = host;
  cooperativeLevel_ = cooperativeLevel;
  timerId_ = timerId;
  if (queue_.Capacity() == 0 && queue_.Allocate(kQueueBytes) != 0) return kPlayerBadState;
  state_ |= CDS_ATTACHED;
  return kPlayerOk;
}

void CDSStreamPlayer::SetOptions(uint32_t bits) {
  state_ = (state_ & ~CDS_OPTION_MASK) | (bits & CDS_OPTION_MASK);
}

void CDSStreamPlayer::SetNotification(PlayerNotification function, void* context) {
  notify_ = function;
  notifyContext_ = context;
}

void CDSStreamPlayer::Notify(int code) {
  if (notify_ != nullptr) notify_(code, this, notifyContext_);
}

int CDSStreamPlayer::Play(int mode) {
  if (mode != kPlayNormal && mode != kPlayLoop && mode != kPlayKeepLoop) return kPlayerBadArgument;
  if ((state_ & (CDS_BUFFER | CDS_OPENED)) != (CDS_BUFFER | CDS_OPENED)) return kPlayerBadState;
  if (state_ & CDS_PLAYING) {
    if (mode != kPlayKeepLoop) SetFlags(CDS_LOOP, mode == kPlayLoop);
    return kPlayerOk;
  }
  if (mode != kPlayKeepLoop) {
    state_ &= ~CDS_LOOP;
    if (mode == kPlayLoop) state_ |= CDS_LOOP;
  }
  Refill(3);
  // A decoder failure inside that refill has closed the file: nothing to play.
  if (!IsOpen()) return kPlayerBadState;
  device_.Play();
  state_ |= CDS_PLAYING;
  if (window_ != nullptr) window_->SetTimer(timerId_, kRefillMs);
  return kPlayerOk;
}

int CDSStreamPlayer::Stop() {
  if (!(state_ & CDS_BUFFER)) return kPlayerBadState;
  if (state_ & CDS_PLAYING) {
    state_ &= ~CDS_PLAYING;
    if (window_ != nullptr) window_->KillTimer(timerId_);
    device_.Stop();
  }
  return kPlayerOk;
}

int CDSStreamPlayer::SetSpeedPercent(int32_t percent) {
  // Checked first so that a refused speed leaves everything as it was.
  if (percent < 5 || percent > 3000) return kPlayerBadArgument;
  const bool streaming = (state_ & (CDS_OPENED | CDS_BUFFER)) == (CDS_OPENED | CDS_BUFFER);
  if (streaming) Refill(3);
  const int result =
      IsOpen() ? ResizeForSpeed(percent, outputFormat_.bytesPerSecond, outputFormat_.blockAlign)
               : ResizeForSpeed(percent, 176400, 4);
  if (result != kPlayerOk) return result;
  if (streaming) Retransfer();
  return kPlayerOk;
}

int CDSStreamPlayer::SetSoftwareVolume(int16_t percent) {
  if (percent < 0 || percent > 10000) return kPlayerBadState;
  targetGain_ = percent;
  if ((state_ & (CDS_OPENED | CDS_BUFFER)) == (CDS_OPENED | CDS_BUFFER)) {
    Refill(3);
    Retransfer();
  }
  return kPlayerOk;
}

int32_t CDSStreamPlayer::SetDirectSoundVolume(int32_t value) {
  if (!(state_ & CDS_BUFFER)) {
    dsVolume_ = value;
    return 0;
  }
  if (value > 0 || value < -10000) return kVolumeInvalidArgument;
  lastResult_ = device_.SetVolume(value);
  if (lastResult_ == 0) dsVolume_ = value;
  return lastResult_;
}

void CDSStreamPlayer::Retransfer() {
  FillBuffer(3 * outputFormat_.bytesPerSecond, 0);
}

int CDSStreamPlayer::CreateSoundObject() {
  if (!(state_ & CDS_ATTACHED)) return kPlayerBadState;
  soundObject_ = &device_;
  state_ |= CDS_DSOUND;
  return kPlayerOk;
}

int CDSStreamPlayer::CreateSoundBuffer() {
  // outputFormat_ already holds the wanted format; bufferFormat_ what the buffer has.
  if ((state_ & CDS_BUFFER) && !(bufferFormat_ == outputFormat_)) {
    device_.ReleaseBuffer();
    state_ &= ~CDS_BUFFER;
  }
  if (!(state_ & CDS_BUFFER)) {
    if (!device_.CreateBuffer(outputFormat_, kSoundBufferBytes)) return kPlayerBadState;
    bufferFormat_ = outputFormat_;
    state_ |= CDS_BUFFER;
  }
  device_.SetCurrentPosition(0);
  lastResult_ = device_.SetVolume(dsVolume_);
  writeCursor_ = 0;
  readPosition_ = 0;
  return kPlayerOk;
}

PcmFormat CDSStreamPlayer::DeriveOutputFormat(const SoundFormatInfo& info) {
  const WaveFormatBlock& source = info.formatBlock;
  PcmFormat format;
  format.channels = source.channels;
  format.sampleRate = source.samplesPerSec;
  // Plain data, and FLAC, whose module decodes into the source format itself.
  if (source.formatTag == kWaveFormatPcm || HasSampleData(info)) {
    format.bitsPerSample = source.bitsPerSample;
    format.blockAlign = source.blockAlign;
    format.bytesPerSecond = source.avgBytesPerSec;
    format.isFloat = CodingOf(source) == SampleCoding::kFloat;
  } else {
    format.bitsPerSample = 16;
    format.blockAlign = static_cast<uint16_t>(source.channels * 2);
    format.bytesPerSecond = format.blockAlign * source.samplesPerSec;
  }
  return format;
}

uint64_t CDSStreamPlayer::SourceRate() const {
  uint64_t rate = uint64_t{sourceFormat_.avgBytesPerSec} * 10000;
  if (fileInfo_.decoderType > 1 && fileInfo_.lengthMs > 0) {
    rate = dataSize_ * 10000000 / static_cast<uint32_t>(fileInfo_.lengthMs);
  }
  // Positions are divided by it: a module's file that states no rate must not divide by 0.
  return std::max<uint64_t>(rate, 1);
}

uint64_t CDSStreamPlayer::DataEndBytes() const {
  if (fileInfo_.decoderType == 0) return dataSize_;
  return fileInfo_.lengthFrames * outputFormat_.blockAlign;
}

uint64_t CDSStreamPlayer::MillisecondsToOutputBytes(uint64_t ms) const {
  const unsigned __int128 bytes =
      static_cast<unsigned __int128>(outputFormat_.bytesPerSecond) * ms / 1000;
  return bytes < kKeepPosition ? static_cast<uint64_t>(bytes) : kKeepPosition - 1;
}

bool CDSStreamPlayer::ToBytes(uint64_t& position, int unit) const {
  if (unit != kUnitBytes && unit != kUnitSamples) return false;
  if (unit == kUnitSamples && position != kEndOfData && position != kKeepPosition) {
    position *= outputFormat_.blockAlign;
  }
  return true;
}

uint32_t CDSStreamPlayer::Pending(uint32_t* playCursor) {
  const uint32_t play = device_.GetCurrentPosition();
  if (playCursor != nullptr) *playCursor = play;
  int64_t pending = int64_t{writeCursor_} - play;
  if (pending < 0) pending += kSoundBufferBytes;
  return static_cast<uint32_t>(pending);
}

uint32_t CDSStreamPlayer::RewriteMarginMs() const {
  // A device asking for at most 20 ms at once leaves the 50 ms 30 ms to spare.
  return std::clamp<uint32_t>(device_.TakeAheadMs() + 30, 50, 1000);
}

uint32_t CDSStreamPlayer::Advance(uint32_t pending) {
  int64_t consumed = (int64_t{outstanding_} - pending) * speedPercent_ / 100;
  const uint32_t align = std::max<uint32_t>(outputFormat_.blockAlign, 1);
  consumed -= consumed % align;
  consumed = std::clamp<int64_t>(consumed, 0, queue_.Count());
  queue_.Skip(static_cast<uint32_t>(consumed));
  outstanding_ = pending;
  if (state_ & (CDS_DATAEND | CDS_LOOPPENDING)) seamCountdown_ -= static_cast<int32_t>(consumed);
  return static_cast<uint32_t>(consumed);
}

int CDSStreamPlayer::ResizeForSpeed(int32_t percent, uint32_t bytesPerSecond, uint32_t blockAlign) {
  if (percent < 5 || percent > 3000) return kPlayerBadArgument;
  const uint32_t align = std::max<uint32_t>(blockAlign, 1);
  // The queue holds what the buffer holds ahead of the cursor, in source bytes: never
  // more than the buffer's limit (else the part beyond it would be skipped unheard) and
  // whole frames (else later writes would start inside a frame).
  const uint64_t ahead =
      std::min<uint64_t>(uint64_t{bytesPerSecond} * 3, kMaxAhead - kMaxAhead % align);
  uint64_t size = ahead * static_cast<uint32_t>(percent) / 100;
  size -= size % align;
  if (queue_.Capacity() < size) {
    CRingBuffer grown;
    if (grown.Allocate(static_cast<uint32_t>(size / kQueueGrowth * kQueueGrowth + kQueueGrowth)) !=
        0) {
      return kPlayerBadState;
    }
    if (queue_.Capacity() != 0) grown.Transfer(queue_, queue_.Count());
    queue_.Swap(grown);
  }
  speedPercent_ = percent;
  queueTarget_ = static_cast<uint32_t>(size);
  speedStep_ = static_cast<uint32_t>(uint64_t{0x1000000} * static_cast<uint32_t>(percent) / 100);
  return kPlayerOk;
}

}  // namespace snipora
