#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "audiofile/sound_format.h"

// Loop points of a WAVE file: its "smpl" chunk (the sampler chunk that
// samplers and game engines read), read from a file, moved with a cut and
// laid out for writing.
namespace snipora {

// One loop of a "smpl" chunk; positions are sample frames, the end inclusive
// (the last frame played before going back to the start).
struct SampleLoop {
  uint32_t cuePointId = 0;
  uint32_t type = 0;  // 0 forward, 1 alternating, 2 backward
  uint32_t start = 0;
  uint32_t end = 0;
  uint32_t fraction = 0;
  uint32_t playCount = 0;  // 0: endless
};

// The fields of a "smpl" chunk; sampler-specific bytes are not kept.
struct SampleChunk {
  uint32_t manufacturer = 0;
  uint32_t product = 0;
  uint32_t samplePeriod = 0;  // nanoseconds per frame
  uint32_t unityNote = 60;
  uint32_t pitchFraction = 0;
  uint32_t smpteFormat = 0;
  uint32_t smpteOffset = 0;
  std::vector<SampleLoop> loops;
};

// The "smpl" chunk of a RIFF WAVE file; nothing when the file has none, is not
// a RIFF WAVE file or the chunk is cut short.
std::optional<SampleChunk> ReadSampleChunk(const std::string& path);

// A chunk holding one endless forward loop over frames [start, end), end
// exclusive as the cutting ranges are, stored with its inclusive end.
SampleChunk ForwardLoopChunk(uint32_t sampleRate, uint32_t start, uint32_t end);

// The loops lying wholly inside frames [start, end) (end exclusive), moved by
// `to - start` so that frame `start` becomes frame `to`; in their order.
std::vector<SampleLoop> LoopsInside(const std::vector<SampleLoop>& loops, uint64_t start,
                                    uint64_t end, uint64_t to);

// The chunk as written into a file: "smpl", its size, its fields and loops.
std::vector<uint8_t> SampleChunkBytes(const SampleChunk& chunk);

// Byte positions in the sample data [start, end) of the first loop, end
// exclusive; nothing when there is none or it does not lie in the data.
std::optional<std::pair<uint64_t, uint64_t>> FirstLoopBytes(const SampleChunk& chunk,
                                                            const SoundFormatInfo& info);

}  // namespace snipora
