#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audiofile/sound_format.h"
#include "audiofile/wave_writer.h"
#include "export/export_interfaces.h"
#include "export/export_job.h"

// Listening copies of looping pieces: the piece as a player that honours its
// loop would play it, the loop taken `count` times and then faded out.
namespace snipora {

struct ExtendedLoopJob {
  std::string sourcePath;
  SoundFormatInfo format;
  ExportRange piece;  // source frames, end exclusive
  // The loop in source frames as a "smpl" chunk states it: its first and its
  // last frame (inclusive), both inside the piece.
  uint64_t loopStartFrame = 0;
  uint64_t loopEndFrame = 0;
  uint32_t count = 2;             // how often the loop plays in all, at least 1
  uint32_t fadeMs = 10000;        // audio after the last loop, faded out; 0 = none
  uint32_t forcedSectorSize = 0;  // 0: the file system's; tests force 512 or 4096
  Rf64Policy rf64 = Rf64Policy::kAuto;
};

// The source frames of the copy, in order: the piece from its start to the
// loop's last frame, the loop count - 1 more times, then fadeFrames frames
// from the loop's start on, going round the loop again where the fade is
// longer than it. Empty when the loop does not lie inside the piece or count
// is 0.
std::vector<ExportRange> ExtendedLoopRanges(const ExtendedLoopJob& job, uint64_t fadeFrames);

// Frames of the fade at the copy's end: fadeMs of audio in whole frames, 0
// for a source whose samples cannot be faded (as the export's fade-out).
uint64_t ExtendedLoopFadeFrames(const ExtendedLoopJob& job);

// The copy as an output of an export plan, written to `path`: its ranges
// (ExtendedLoopRanges) with the fade-out over its last ExtendedLoopFadeFrames,
// and no chunks from the source. No ranges when the loop does not lie inside
// the piece or count is 0.
ExportOutput ExtendedLoopOutput(const ExtendedLoopJob& job, std::string path);

// Writes the copy to `output` through the export's writer: a WAVE file (RF64 from 4 GiB, as the
// export) without a "smpl" chunk, whose samples are exact copies of the source's except for the
// last ExtendedLoopFadeFrames, which fade out linearly with the export's fade rule. Written under a
// temporary name and renamed when complete; progress runs over the copy's bytes as one piece and
// the work stops when cancelled (nothing is left behind). BadRange when the loop does not lie
// inside the piece, the piece not inside the data, or count is 0.
ExportOutcome WriteExtendedLoop(const ExtendedLoopJob& job, const std::string& output,
                                IExportProgress& progress);

}  // namespace snipora
