#pragma once

#include <chrono>
#include <csignal>
#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "export/export_interfaces.h"

namespace snipora::cli {

// Export progress on a terminal over a whole run: pieces done of the total,
// bytes, speed and a bar, redrawn in place a few times a second (with several
// sources also which source is being cut). Cancel is an interrupt signal.
class TerminalProgress : public IExportProgress {
 public:
  // pieceBytes: the data length of each piece of the run, in order. shown =
  // false keeps the terminal quiet. interrupted may be null. blockDelay: a
  // pause at each pump (0 normally; slows the work down for demonstrations
  // and tests).
  TerminalProgress(std::ostream& out, bool shown, std::vector<uint64_t> pieceBytes,
                   const volatile std::sig_atomic_t* interrupted,
                   std::chrono::microseconds blockDelay);

  // Shows `label` instead of the count of pieces (work that is not a cut).
  void SetLabel(std::string label) { label_ = std::move(label); }

  // The export's piece positions count from firstPiece of the run from now
  // on: the pieces of source `number` (from 1) of `count`.
  void StartSource(uint32_t firstPiece, uint32_t number, uint32_t count);
  // The outputs of the current source finished so far (indices in its plan,
  // in plan order).
  std::vector<size_t> WrittenInSource() const;

  // Ends the progress line (the last state stays on screen).
  void Finish();

  void SetFileRange(uint64_t) override;
  void SetFilePosition(uint64_t bytesDone) override;
  void SetOverallRange(uint32_t) override {}
  void SetOverallPosition(uint32_t piecesBegun) override;
  void Pump(bool mainWindowToo) override;
  bool IsCancelled() const override { return interrupted_ != nullptr && *interrupted_ != 0; }
  void OutputWritten(size_t index) override { written_.push_back(index); }

 private:
  void Draw(bool force);

  std::ostream& out_;
  bool shown_;
  std::vector<uint64_t> bytesBefore_;  // of each piece, and of all at the end
  const volatile std::sig_atomic_t* interrupted_;
  std::chrono::microseconds blockDelay_;
  uint32_t firstPiece_ = 0;
  uint32_t sourceNumber_ = 0;
  uint32_t sourceCount_ = 0;
  uint32_t piecesDone_ = 0;
  uint64_t fileStart_ = 0;  // bytes of the run before the file bar's range
  uint64_t bytesDone_ = 0;
  std::vector<size_t> written_;
  std::chrono::steady_clock::time_point started_;
  std::chrono::steady_clock::time_point lastDraw_;
  bool drawn_ = false;
  std::string label_;
};

}  // namespace snipora::cli
