#pragma once

#include <cstdint>
#include <vector>

#include "audiofile/extent_reader.h"
#include "audiofile/sector_file.h"
#include "export/export_interfaces.h"
#include "export/export_job.h"
#include "export/fade.h"

// Moving the bytes of one piece from the source to an output: a plain copy
// in blocks, and the faded stretches at its edges, with progress and cancel.
namespace snipora {

enum class CopyResult { Done, Cancelled, ShortRead, WriteFailed };

// The export's outcome for how a copy ended.
ExportOutcome ExportOutcomeOf(CopyResult result);

class CPieceCopier {
 public:
  static constexpr uint32_t kBlockSize = 102400;
  // The fade checks for cancel whenever the bytes left are a multiple of this.
  static constexpr uint32_t kFadePumpInterval = 512000;

  explicit CPieceCopier(IExportProgress& progress);

  // Starts a piece: the file bar runs from 0 to length, bytes done = 0.
  void StartPiece(uint64_t length);

  // Copies the source's next length bytes to the output's end in blocks,
  // pumping events (the main window's too when asked) and checking for
  // cancel before each block.
  CopyResult CopyRange(CExtentReader& source, CSectorFile& output, uint64_t length,
                       bool pumpMainWindow);

  // Reads, fades and writes the next fadeBytes (whole frames), which are the
  // output's frames from firstFrame on, continuing the piece's bytes done.
  CopyResult CopyFaded(CExtentReader& source, CSectorFile& output, uint64_t fadeBytes,
                       const OutputFades& fades, uint64_t firstFrame);

 private:
  // Reads n bytes, fades them as output frames from firstFrame on when
  // fades are given, and writes them.
  CopyResult MoveBlock(CExtentReader& source, CSectorFile& output, uint32_t n,
                       const OutputFades* fades, uint64_t firstFrame);

  IExportProgress& progress_;
  std::vector<uint8_t> buffer_;
  uint64_t bytesDone_ = 0;
};

}  // namespace snipora
