#include "ranges/sounds_between_silences.h"

#include <algorithm>

#include "audiofile/sound_units.h"

namespace snipora::ranges {

uint64_t FramesForMilliseconds(uint32_t ms, uint32_t rate) {
  return (uint64_t{ms} * rate + 500) / 1000;
}

std::vector<LabeledRange> SoundsBetween(const std::vector<FrameSpan>& silences,
                                        uint64_t totalFrames, uint64_t minSoundFrames,
                                        uint64_t padFrames) {
  std::vector<FrameSpan> sounds;
  uint64_t from = 0;
  for (const FrameSpan& silence : silences) {
    if (silence.start > from) sounds.push_back({from, silence.start});
    from = silence.end;
  }
  if (totalFrames > from) sounds.push_back({from, totalFrames});
  std::erase_if(sounds, [&](const FrameSpan& s) { return s.end - s.start < minSoundFrames; });

  std::vector<LabeledRange> ranges(sounds.size());
  for (size_t i = 0; i < sounds.size(); ++i) {
    ranges[i].startFrame = sounds[i].start - std::min(sounds[i].start, padFrames);
    ranges[i].endFrame = std::min(sounds[i].end + padFrames, totalFrames);
    if (i > 0 && ranges[i - 1].endFrame > ranges[i].startFrame) {
      const uint64_t meet = (sounds[i - 1].end + sounds[i].start) / 2;
      ranges[i - 1].endFrame = meet;
      ranges[i].startFrame = meet;
    }
  }
  return ranges;
}

SilenceScanEnd FindSoundsBetweenSilences(const std::string& path, const SoundFormatInfo& info,
                                         const SilenceRules& rules, IScanProgress& progress,
                                         std::vector<LabeledRange>& sounds) {
  sounds.clear();
  const uint32_t rate = info.formatBlock.samplesPerSec;
  std::vector<FrameSpan> silences;
  const SilenceScanEnd end =
      FindSilences(path, info, rules.thresholdDb, FramesForMilliseconds(rules.minSilenceMs, rate),
                   progress, silences);
  if (end == SilenceScanEnd::kDone) {
    sounds =
        SoundsBetween(silences, TotalFrames(info), FramesForMilliseconds(rules.minSoundMs, rate),
                      FramesForMilliseconds(rules.padMs, rate));
  }
  return end;
}

}  // namespace snipora::ranges
