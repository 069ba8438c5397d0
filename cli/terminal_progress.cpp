#include "cli/terminal_progress.h"

#include <algorithm>
#include <cstdio>
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
      bytesBefore_{0},
      interrupted_(interrupted),
      blockDelay_(blockDelay),
      started_(std::chrono::steady_clock::now()),
      lastDraw_(started_) {
  for (const uint64_t bytes : pieceBytes) bytesBefore_.push_back(bytesBefore_.back() + bytes);
}

void TerminalProgress::StartSource(uint32_t firstPiece, uint32_t number, uint32_t count) {
  firstPiece_ = firstPiece;
  piecesDone_ = firstPiece;
  sourceNumber_ = number;
  sourceCount_ = count;
  written_.clear();
}

std::vector<size_t> TerminalProgress::WrittenInSource() const {
  std::vector<size_t> written = written_;
  std::sort(written.begin(), written.end());
  return written;
}

void TerminalProgress::SetOverallPosition(uint32_t piecesBegun) {
  const auto pieces = static_cast<uint32_t>(bytesBefore_.size() - 1);
  piecesDone_ = std::min(firstPiece_ + piecesBegun, pieces);
  if (piecesDone_ == pieces) bytesDone_ = bytesBefore_.back();
  Draw(piecesDone_ == pieces);
}

void TerminalProgress::SetFileRange(uint64_t) {
  // The file bar runs over one piece of a WAVE export, over all FLAC pieces
  // of the source at once: from the pieces before those begun.
  fileStart_ = bytesBefore_[piecesDone_];
}

void TerminalProgress::SetFilePosition(uint64_t bytesDone) {
  bytesDone_ = fileStart_ + bytesDone;
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
  const uint64_t totalBytes = bytesBefore_.back();
  const double seconds = std::chrono::duration<double>(now - started_).count();
  const double speed = seconds > 0 ? static_cast<double>(bytesDone_) / seconds : 0;
  constexpr int kWidth = 24;
  const int filled = totalBytes ? static_cast<int>(bytesDone_ * kWidth / totalBytes) : kWidth;
  std::string bar(static_cast<size_t>(filled), '#');
  bar.resize(kWidth, '.');
  out_ << "\r";
  if (!label_.empty()) {
    out_ << label_;
  } else {
    if (sourceCount_ > 1) out_ << "source " << sourceNumber_ << "/" << sourceCount_ << ", ";
    out_ << piecesDone_ << "/" << bytesBefore_.size() - 1 << " pieces";
  }
  out_ << " [" << bar << "] " << Mebibytes(bytesDone_) << "/" << Mebibytes(totalBytes) << " MiB  "
       << Mebibytes(static_cast<uint64_t>(speed)) << " MiB/s " << std::flush;
  drawn_ = true;
}

void TerminalProgress::Finish() {
  if (drawn_) out_ << "\n" << std::flush;
  drawn_ = false;
}

}  // namespace snipora::cli
