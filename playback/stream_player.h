#pragma once

#include <cstdint>

#include "audiofile/ring_buffer.h"
#include "audiofile/sound_format.h"
#include "platform/sound/sound_device.h"
#include "platform/sound/timer_host.h"
#include "playback/player_flags.h"

namespace snipora {

class CDSStreamPlayer;

// Most channels a 16-bit output frame may have: the copy holds one frame on the stack.
constexpr uint32_t kMaxSteppedChannels = 64;

// Called as function(code, player, context) for the notification codes kNotify*.
using PlayerNotification = void (*)(int code, CDSStreamPlayer* player, void* context);

// The streaming core: the looping sound buffer, the PCM queue of source bytes from the
// sample now heard to the last byte read, positions, speed stepping, software gain and
// the automatic volume control. The buffer is topped up from a 200 ms timer on the
// owner's thread; the device plays it on its own.
class CDSStreamPlayer {
 public:
  // The player streams into `device`'s buffer; the device must outlive the player.
  explicit CDSStreamPlayer(ISoundDevice& device);
  CDSStreamPlayer(const CDSStreamPlayer&) = delete;
  CDSStreamPlayer& operator=(const CDSStreamPlayer&) = delete;

  // Virtual operations, in this order in every derived class.
  // Drops what is queued behind the data end or the loop seam; 0 or -3.
  virtual int TrimQueue();
  // Reads ahead and tops the buffer up to `seconds` of output.
  virtual int Refill(int seconds) = 0;
  // Moves playback to `position` in `unit`; 0, -2, -3 or -7.
  virtual int Seek(uint64_t position, int unit) = 0;
  // End of normal playback (kEndOfData = end of data, kKeepPosition keeps it); 0, -3.
  virtual int SetEnd(uint64_t position, int unit);
  // Position of the sound now heard, kEndOfData when no file is open or `unit` is bad.
  virtual uint64_t GetPosition(int unit);
  // Stores the timer host, cooperative level and timer id and allocates the queues;
  // once only. 0 or -3.
  virtual int Attach(ITimerHost* host, uint32_t cooperativeLevel, uint32_t timerId);
  virtual ~CDSStreamPlayer();

  // Replaces the option bits (CDS_OPTION_MASK) and leaves the state bits.
  void SetOptions(uint32_t bits);
  uint32_t GetOptions() const { return state_ & CDS_OPTION_MASK; }
  // The whole state word (state and option bits).
  uint32_t State() const { return state_; }
  void SetNotification(PlayerNotification function, void* context);

  // mode kPlayNormal, kPlayLoop or kPlayKeepLoop; 0, -2 or -3.
  int Play(int mode);
  // Halts the buffer and the timer, keeping positions and queue; 0 or -3.
  int Stop();
  // The refill timer's tick.
  int OnTimer() { return Refill(3); }

  // Loop range (kKeepPosition keeps a bound, kEndOfData ends at the data end); 0, -2, -3.
  int SetLoop(uint64_t start, uint64_t end, int unit);
  // Sets or clears the bits of `mask` (CDS_LOOP and the options); 0 or -3.
  int SetFlags(uint32_t mask, bool on);

  // 5..3000; 0, -2 (out of range) or -3 (no memory).
  int SetSpeedPercent(int32_t percent);
  int32_t GetSpeedPercent() const { return speedPercent_; }
  // Target gain in percent, 0..10000; 0 or -3.
  int SetSoftwareVolume(int16_t percent);
  int16_t GetSoftwareVolume() const { return targetGain_; }
  // Device volume in hundredths of a decibel, -10000..0: 0 or kVolumeInvalidArgument
  // or the device's failure code.
  int32_t SetDirectSoundVolume(int32_t value);
  int32_t GetDirectSoundVolume() const { return dsVolume_; }

  const SoundFormatInfo& FileInfo() const { return fileInfo_; }
  bool IsOpen() const { return (state_ & CDS_OPENED) != 0; }
  bool IsPlaying() const { return (state_ & CDS_PLAYING) != 0; }
  const PcmFormat& OutputFormat() const { return outputFormat_; }
  // The automatic volume control and the opening estimate measure 16-bit samples;
  // with another file open they do nothing.
  bool AutoVolumeApplies() const {
    return !IsOpen() || (outputFormat_.bitsPerSample == 16 && !outputFormat_.isFloat);
  }

 protected:
  // Output bytes written and not yet played; `playCursor` receives the play cursor.
  uint32_t Pending(uint32_t* playCursor = nullptr);
  // How far ahead of the play cursor written output may already be on its way to the
  // device and is never rewritten: 50 ms, or more for a device that takes more at once.
  uint32_t RewriteMarginMs() const;
  // Drops from the front of the PCM queue what has been played since the last call,
  // scaled by the speed; returns the source bytes dropped.
  uint32_t Advance(uint32_t pending);
  // Sizes the PCM queue and the speed step for `percent`; 0, -2 or -3.
  int ResizeForSpeed(int32_t percent, uint32_t bytesPerSecond, uint32_t blockAlign);
  // Copies up to `bytes` of output, from queue offset `offset` on, into the buffer.
  // Offset 0 rewrites the buffer from 50 ms ahead of the play cursor (a re-transfer).
  int FillBuffer(uint32_t bytes, uint32_t offset);
  // Moves the write cursor back over the output written for `sourceBytes` dropped from
  // the back of the queue, so that the next write overwrites it.
  void TakeBackOutput(uint32_t sourceBytes);
  // Rewrites the buffer from 50 ms ahead (or all of it when stopped).
  void Retransfer();
  // Makes the sound object; 0 or -3.
  int CreateSoundObject();
  // Creates the buffer in outputFormat_, or keeps one of the same format; 0 or -3.
  int CreateSoundBuffer();
  void Notify(int code);
  void NotifyIf(uint32_t option, int code) {
    if (state_ & option) Notify(code);
  }
  // Output format derived from the source format: the source's own for PCM and
  // other plain data (float, extensible), else 16-bit PCM with the source's rate and
  // channels.
  static PcmFormat DeriveOutputFormat(const SoundFormatInfo& info);
  // Source bytes per 10000 seconds.
  uint64_t SourceRate() const;
  // Total output bytes of the data (the end that kEndOfData stands for).
  uint64_t DataEndBytes() const;
  // Position converted to output bytes for unit 1 or 3 (kEndOfData and kKeepPosition
  // pass through unchanged); false for any other unit.
  bool ToBytes(uint64_t& position, int unit) const;
  // Milliseconds to output bytes, unrounded; saturates below the sentinels.
  uint64_t MillisecondsToOutputBytes(uint64_t ms) const;

  // Fields, in the order the player keeps them.
  int16_t gainInEffect_ = 100;    // gain applied to the last frame written
  uint64_t loopEndPosition_ = 0;  // read position when a loop restart was queued
  uint64_t endPosition_ = kEndOfData;
  uint64_t loopEnd_ = kEndOfData;
  uint64_t loopStart_ = 0;
  uint32_t queueTarget_ = 529200;   // source bytes the PCM queue is topped up to
  uint32_t speedStep_ = 0x1000000;  // 8.24 source frames per output frame
  int32_t speedPercent_ = 100;
  CRingBuffer queue_;          // the PCM queue
  uint64_t readPosition_ = 0;  // source byte position of the queue's back
  int32_t seamCountdown_ = 0;  // queued bytes before the data end or loop seam
  uint32_t writeCursor_ = 0;   // buffer offset of the next write
  uint64_t bytesLeft_ = 0;     // source bytes not yet read from the file
  uint32_t outstanding_ = 0;   // bytes written and not yet played at the last write
  PcmFormat bufferFormat_;     // format of the existing sound buffer
  PcmFormat outputFormat_;
  ISoundDevice& device_;
  uint32_t cooperativeLevel_ = 0;
  ISoundDevice* soundObject_ = nullptr;  // the device once the sound object exists
  int32_t lastResult_ = 0;               // result of the last SetVolume
  ITimerHost* window_ = nullptr;
  uint32_t timerId_ = 0;
  uint32_t state_ = 0;
  uint64_t dataSize_ = 0;
  uint32_t duration_ = 0;           // ms
  WaveFormatBlock sourceFormat_{};  // only the 18 bytes without extra format bytes are used
  int32_t dsVolume_ = 0;
  SoundFormatInfo fileInfo_;
  int16_t targetGain_ = 100;
  void* notifyContext_ = nullptr;
  PlayerNotification notify_ = nullptr;

 private:
  // The automatic volume control's measure of the region about to be written; true
  // when the new gain must be re-transferred.
  bool AdjustGainForRegion(uint32_t offset);
};

}  // namespace snipora
