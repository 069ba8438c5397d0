#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audiofile/sound_format.h"
#include "ranges/labeled_range.h"

// Finds the sounds of a recording: the stretches between silences, as frame
// ranges ready for the export (the window's preview and `snipora-cut` use the
// same rules, so both agree to the frame).
//
// 1. A frame is silent when every channel's sample has a magnitude of at most
//    the threshold: floor(2^(bits-1) * 10^(dB/20)) in the sample's own units
//    for integers (8-bit measured from 128), 10^(dB/20) for floats.
// 2. A silence is a run of at least FramesForMilliseconds(minSilenceMs) silent
//    frames; the sounds are the stretches between silences and the file's ends.
// 3. Sounds shorter than FramesForMilliseconds(minSoundMs) are dropped.
// 4. Each sound is widened by FramesForMilliseconds(padMs) on both sides,
//    within the file; where two widened sounds would overlap they meet at
//    floor((end_left + start_right) / 2) of their bounds before widening.
namespace snipora::ranges {

struct SilenceRules {
  double thresholdDb = -50.0;
  uint32_t minSilenceMs = 1000;
  uint32_t minSoundMs = 100;
  uint32_t padMs = 50;
};

// Frames [start, end).
struct FrameSpan {
  uint64_t start = 0;
  uint64_t end = 0;
  bool operator==(const FrameSpan&) const = default;
};

// Progress and cancel of a scan. Both are called on the thread that runs the
// scan, between blocks of about a megabyte: a terminal bar can draw from
// Advance, a window's worker can store the figures in atomics and poll a flag.
class IScanProgress {
 public:
  virtual ~IScanProgress() = default;
  virtual void Advance(uint64_t framesDone, uint64_t totalFrames) = 0;
  // True stops the scan (it ends with kCancelled and no result).
  virtual bool IsCancelled() const = 0;
};

enum class SilenceScanEnd {
  kDone,
  kCancelled,
  kFormatRefused,  // data no sample source reads, or an unknown sample width
  kOpenFailed,     // the file could not be opened
  kReadFailed,     // the file delivered less than its header promised
};

// round(ms * rate / 1000), halves up.
uint64_t FramesForMilliseconds(uint32_t ms, uint32_t rate);

// Streams the sample data of the file at `path` (described by `info`) once,
// unbuffered (FLAC decoded) and in constant memory, and lists the runs of at least
// max(1, minSilenceFrames) silent frames (rule 1) in order. On any end but
// kDone `silences` is left empty.
SilenceScanEnd FindSilences(const std::string& path, const SoundFormatInfo& info,
                            double thresholdDb, uint64_t minSilenceFrames, IScanProgress& progress,
                            std::vector<FrameSpan>& silences);

// Rules 2 to 4 applied to the silences FindSilences found in totalFrames
// frames: the sounds, in order, without labels. A preview that follows the
// values can keep the silences of the smallest minimum silence it has scanned
// for the threshold, drop the shorter runs for a larger minimum and call this
// again, without reading the file.
std::vector<LabeledRange> SoundsBetween(const std::vector<FrameSpan>& silences,
                                        uint64_t totalFrames, uint64_t minSoundFrames,
                                        uint64_t padFrames);

// FindSilences and SoundsBetween with the rules' durations at the file's
// sample rate. `sounds` is empty unless the scan ends with kDone (and may be
// empty then too: a file without any sound).
SilenceScanEnd FindSoundsBetweenSilences(const std::string& path, const SoundFormatInfo& info,
                                         const SilenceRules& rules, IScanProgress& progress,
                                         std::vector<LabeledRange>& sounds);

}  // namespace snipora::ranges
