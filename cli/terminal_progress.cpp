#include "cli/terminal_progress.h"

#include <cstdio>
#include <numeric>
#include <string>
#include <thread>
#include <utility>

namespace snipora::cli {

namespace {

std::string Mebibytes(uint64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / (1024.0 * 1024.0));
  return text;
}

}  // namespace

TerminalProgress::TerminalProgress(std::ostream& out, bool shown, std::vector<uint64_t> pieceBytes,
                                   const volatile std::sig_atomic_t* interrupted,
                                   std::chrono::microseconds blockDelay)
    : out_(out),
      shown_(shown),
      pieceBytes_(std::move(pieceBytes)),
      totalBytes_(std::accumulate(pieceBytes_.begin(), pieceBytes_.end(), uint64_t{0})),
      interrupted_(interrupted),
      blockDelay_(blockDelay),
      started_(std::chrono::steady_clock::now()),
      lastDraw_(started_) {}

void TerminalProgress::SetOverallPosition(uint32_t piecesBegun) {
  piecesDone_ = piecesBegun;
  bytesBeforePiece_ = 0;
  for (uint32_t i = 0; i < piecesBegun && i < pieceBytes_.size(); ++i) {
    bytesBeforePiece_ += pieceBytes_[i];
  }
  bytesDone_ = bytesBeforePiece_;
  Draw(piecesBegun == pieceBytes_.size());
}

void TerminalProgress::SetFilePosition(uint64_t bytesDone) {
  bytesDone_ = bytesBeforePiece_ + bytesDone;
}

void TerminalProgress::Pump(bool) {
  if (blockDelay_.count() > 0) std::this_thread::sleep_for(blockDelay_);
  Draw(false);
}

void TerminalProgress::Draw(bool force) {
  if (!shown_) return;
  const auto now = std::chrono::steady_clock::now();
  if (!force && now - lastDraw_ < std::chrono::milliseconds(100)) return;
  lastDraw_ = now;
  const double seconds = std::chrono::duration<double>(now - started_).count();
  const double speed = seconds > 0 ? static_cast<double>(bytesDone_) / seconds : 0;
  constexpr int kWidth = 24;
  const int filled = totalBytes_ ? static_cast<int>(bytesDone_ * kWidth / totalBytes_) : kWidth;
  std::string bar(static_cast<size_t>(filled), '#');
  bar.resize(kWidth, '.');
  if (label_.empty()) {
    out_ << "\r" << piecesDone_ << "/" << pieceBytes_.size() << " pieces";
  } else {
    out_ << "\r" << label_;
  }
  out_ << " [" << bar << "] " << Mebibytes(bytesDone_) << "/" << Mebibytes(totalBytes_) << " MiB  "
       << Mebibytes(static_cast<uint64_t>(speed)) << " MiB/s " << std::flush;
  drawn_ = true;
}

void TerminalProgress::Finish() {
  if (drawn_) out_ << "\n" << std::flush;
  drawn_ = false;
}

}  // namespace snipora::cli
