#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audiofile/sound_format.h"
#include "audiofile/wave_writer.h"
#include "export/export_interfaces.h"

// The export work itself, independent of where its orders come from (the
// main window's list, the command line): copy ranges of the source's sample
// data behind a 46-byte WAVE header (longer only when extra chunks such as
// loop points are given, or for an RF64 file of 4 GiB or more), one file per
// range or all joined.
namespace snipora {

struct ExportRange {
  uint64_t startFrame = 0;
  uint64_t endFrame = 0;  // exclusive
};

struct ExportJob {
  std::string sourcePath;
  SoundFormatInfo format;
  std::vector<ExportRange> ranges;
  // Fade-out length at the end of each piece; of a joined file, at its end,
  // over as many pieces as it takes. 0 = none.
  uint32_t fadeMs = 0;
  uint32_t forcedSectorSize = 0;  // 0: the file system's; tests force 512 or 4096
  // Chunks written between "fmt " and "data" of each output (e.g. its loop
  // points): element i for range i's piece, element 0 for the joined file;
  // missing or empty: none.
  std::vector<WaveExtraChunks> extraChunks;
  // Which outputs are written as RF64; kNever refuses those of 4 GiB or more.
  Rf64Policy rf64 = Rf64Policy::kAuto;
};

enum class ExportOutcome {
  Done,
  Cancelled,       // the unfinished output was removed
  BadRange,        // a range is empty, reversed or beyond the sample data
  OutputIsSource,  // an output names the source file itself
  TooLarge,        // an output file would reach 4 GiB and RF64 is not allowed
  SourceFailed,    // the source could not be opened
  OutputFailed,    // an output could not be created
  ReadFailed,      // the source delivered fewer bytes than its header promised
  WriteFailed,     // writing an output failed (disk full, file size limit, ...)
};

// Ring of each output file (written from two of them in turn). 2 MiB is one
// huge page: the disk gets few, large requests, each pinned as one page.
inline constexpr uint32_t kExportRingBytes = 2097152;

// Bytes of the sample data all ranges together hold (64-bit).
uint64_t TotalDataLength(const ExportJob& job);
// False when a joined file of the job's ranges would be 4 GiB or more and the
// job does not allow RF64.
bool JoinedFileFits(const ExportJob& job);
// False when the file of any one range would be 4 GiB or more and the job
// does not allow RF64. Empty or reversed ranges are left to the range check.
bool PiecesFit(const ExportJob& job);

// Writes range i to outputs[i] (as many outputs as ranges). An output is
// complete or absent: finished pieces stay when a later one fails or is
// cancelled. Nothing is written when a range or an output is refused.
ExportOutcome WriteSplitPieces(const ExportJob& job, const std::vector<std::string>& outputs,
                               IExportProgress& progress);

// Writes all ranges one after the other into one file; only its end is
// faded: the last fadeMs of the whole file, across the seams of its ranges.
// On any failure or cancel the file is not created (an existing one stays).
ExportOutcome WriteJoinedFile(const ExportJob& job, const std::string& output,
                              IExportProgress& progress);

}  // namespace snipora
