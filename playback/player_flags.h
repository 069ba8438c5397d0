#pragma once

#include <cstdint>

namespace snipora {

// State and option bits of the player's state word.
constexpr uint32_t CDS_DSOUND = 0x1;                    // the sound object exists
constexpr uint32_t CDS_BUFFER = 0x2;                    // the sound buffer exists
constexpr uint32_t CDS_OPENED = 0x4;                    // a file is open
constexpr uint32_t CDS_PLAYING = 0x8;                   // playing; the refill timer runs
constexpr uint32_t CDS_LOOP = 0x10;                     // loop between loop start and loop end
constexpr uint32_t CDS_DATAEND = 0x20;                  // source exhausted; the queue drains
constexpr uint32_t CDS_NOSILENCE = 0x40;                // append no silence after the data
constexpr uint32_t CDS_NOTIFY_DATAEND = 0x80;           // notify code 0
constexpr uint32_t CDS_NOTIFY_STOP = 0x100;             // notify code 1
constexpr uint32_t CDS_LOOPPENDING = 0x800;             // a loop restart is queued, seam not heard
constexpr uint32_t CDS_ATTACHED = 0x1000;               // attached to a timer host
constexpr uint32_t CDS_AUTOVOLUME = 0x2000;             // automatic volume control
constexpr uint32_t CDS_OPENVOLUMEMAXIMIZE = 0x4000;     // estimate the level at Open
constexpr uint32_t CDS_REWIND = 0x8000;                 // seek to 0 after stopping at the end
constexpr uint32_t CDS_NOTIFY_LOOP = 0x10000;           // notify code 2
constexpr uint32_t CDS_NOTIFY_SEAM = 0x20000;           // notify code 3
constexpr uint32_t CDS_NOTIFY_ERROR = 0x40000;          // notify code 4
constexpr uint32_t CDS_VOLCTL_VER2 = 0x80000;           // loudness level measure
constexpr uint32_t CDS_AUTOVOLUPENABLE = 0x100000;      // the automatic control may raise the gain
constexpr uint32_t CDS_AUTOVOLDELAY = 0x200000;         // automatic changes reach new data only
constexpr uint32_t CDS_AUTOVOLDELAYRESERVE = 0x400000;  // aim at 80 % of full scale
constexpr uint32_t CDS_AUTOVOLSLOWLYAPPLY = 0x800000;   // ramp the gain across a block
constexpr uint32_t CDS_VOLCTL_SPREAD = 0x1000000;       // spread level measure

// Bits that SetOptions replaces and GetOptions reports.
constexpr uint32_t CDS_OPTION_MASK = 0x1FFE3C0;
// Bits that SetFlags may change (the options and CDS_LOOP).
constexpr uint32_t CDS_FLAGS_MASK = 0x1FFE3D0;

// Units of positions crossing the player's interface.
constexpr int kUnitBytes = 1;
constexpr int kUnitMilliseconds = 2;
constexpr int kUnitSamples = 3;

// Positions are 64-bit: the data of an RF64 file passes 4 GiB.
// "End of data" as an end, loop end or SetEnd argument; also GetPosition's failure value.
constexpr uint64_t kEndOfData = UINT64_MAX;
// SetEnd / SetLoop argument that keeps the current value.
constexpr uint64_t kKeepPosition = UINT64_MAX - 1;

// Results of the player's operations.
constexpr int kPlayerOk = 0;
constexpr int kPlayerBadFile = -1;      // the file cannot be used
constexpr int kPlayerBadArgument = -2;  // an argument is out of range
constexpr int kPlayerBadState = -3;     // wrong state, or a resource failed
constexpr int kPlayerSeekFailed = -7;   // a decoder module could not seek

// SetDirectSoundVolume's result for a value outside -10000..0 (E_INVALIDARG).
constexpr int32_t kVolumeInvalidArgument = static_cast<int32_t>(0x80070057);

// Notification codes (each sent only when its CDS_NOTIFY_ option is set).
constexpr int kNotifyDataEnd = 0;       // the source is exhausted
constexpr int kNotifyStopped = 1;       // playback stopped at the end
constexpr int kNotifyLoopQueued = 2;    // a loop restart was queued
constexpr int kNotifySeamHeard = 3;     // the loop seam has been heard
constexpr int kNotifyDecoderError = 4;  // a decoder module failed

// Play modes.
constexpr int kPlayNormal = 0;
constexpr int kPlayLoop = 16;
constexpr int kPlayKeepLoop = -2;

// Size of the looping sound buffer.
constexpr uint32_t kSoundBufferBytes = 0x100000;

}  // namespace snipora
