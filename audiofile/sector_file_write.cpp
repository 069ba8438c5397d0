// Write mode of CSectorFile: placing bytes in the ring, loading sectors that
// are overwritten in place, and writing whole sectors back.
#include <algorithm>

#include "audiofile/sector_file.h"
#include "audiofile/write_behind.h"
#include "platform/system/file_io.h"

namespace snipora {

// The position is past every buffered byte: new bytes are appended.
bool CSectorFile::CursorAtEnd() const {
  return cursor_ == -1 || static_cast<uint32_t>(cursor_) >= ring_.Count();
}

// Writes the n oldest bytes of the ring (whole sectors) at the disk position.
// A failure is remembered and the bytes are dropped so that the positions
// stay consistent.
bool CSectorFile::WriteRingSectors(uint32_t n) {
  if (n == 0) return true;
  WaitForWriter();
  bool ok = fileio::SeekTo(fd_, static_cast<int64_t>(diskPosition_)) >= 0 &&
            ring_.WriteToFile(n, fd_) == 0;
  if (!ok) {
    writeError_ = true;
    ring_.Skip(n);
  }
  diskPosition_ += n;
  alignedSize_ = std::max(alignedSize_, diskPosition_);
  return ok;
}

void CSectorFile::FlushWholeSectors() {
  const uint32_t limit = cursor_ == -1 ? ring_.Count() : static_cast<uint32_t>(cursor_);
  const uint32_t whole = WholeSectorsBelow(limit);
  if (whole == 0) return;
  WriteRingSectors(whole);
  if (cursor_ != -1) cursor_ -= static_cast<int32_t>(whole);
}

// Writes the appended data up to the last block boundary of the file, so
// that this write and the next one start on a block boundary.
void CSectorFile::FlushToBlockBoundary() {
  const uint64_t end = diskPosition_ + ring_.Count();
  const uint64_t boundary = end - end % blockSize_;
  if (boundary <= diskPosition_) return;
  const auto n = static_cast<uint32_t>(boundary - diskPosition_);
  if (behind_) {
    HandToWriter(n);
  } else {
    WriteRingSectors(n);
  }
}

// Swaps the ring for the writer's empty one and lets the writer write the
// n oldest bytes; the few bytes after them come back into the ring. The disk
// position moves on at once, as after a direct write.
void CSectorFile::HandToWriter(uint32_t n) {
  WaitForWriter();
  CRingBuffer& full = behind_->Ring();
  ring_.Swap(full);
  const uint32_t rest = full.Count() - n;
  if (rest > 0) {
    // The writer leaves its ring empty from index 0: one span.
    uint8_t* span = nullptr;
    uint32_t spanLength = 0;
    ring_.Lock(0, rest, &span, &spanLength, nullptr, nullptr);
    full.PeekAt(n, span, rest);
    full.Unpush(rest);
  }
  behind_->Start(fd_, diskPosition_, n);
  diskPosition_ += n;
  alignedSize_ = std::max(alignedSize_, diskPosition_);
}

// Every use of the descriptor other than the writer's own waits for it.
void CSectorFile::WaitForWriter() {
  if (behind_ && !behind_->Wait()) writeError_ = true;
}

int CSectorFile::EnableWriteBehind() {
  if (openMode_ != kWrite) return 3;
  if (!behind_) behind_ = std::make_unique<CWriteBehind>();
  if (behind_->Prepare(ring_.Capacity()) != 0) {
    behind_.reset();
    return 1;
  }
  return 0;
}

// Empties the ring: whole sectors to disk, a partial remainder into the tail
// buffer. A remainder longer than a sector has its whole sectors written
// first, so the one-sector tail buffer never overflows.
void CSectorFile::FinalFlush() {
  FlushWholeSectors();
  const uint32_t remaining = ring_.Count();
  WriteRingSectors(WholeSectorsBelow(remaining));
  const uint32_t rest = ring_.Count();
  if (rest > 0) {
    // A tail buffer still in use means the ring did not hold the file's end;
    // overwriting it would lose bytes.
    if (tailLength_ != 0) writeError_ = true;
    ring_.Pop(tailBuffer_, rest);
    tailLength_ = rest;
  }
  ring_.Clear();
  cursor_ = -1;
  writeStart_ = -1;
}

int CSectorFile::SeekWrite(uint64_t target) {
  WaitForWriter();
  const uint64_t logicalEnd = WriteModeEnd();
  FinalFlush();
  diskPosition_ = SectorStart(target);
  if (diskPosition_ == alignedSize_) {
    // The partial last sector lives in the tail buffer: take it back.
    ring_.Push(tailBuffer_, tailLength_);
    tailLength_ = 0;
    endFlag_ = target == logicalEnd;
  } else {
    endFlag_ = false;
    if (fileio::SeekTo(fd_, static_cast<int64_t>(diskPosition_)) < 0 ||
        ring_.ReadFromFile(sectorSize_, fd_) != 0) {
      writeError_ = true;
      ring_.Clear();
      return kFileBadArgument;
    }
  }
  cursor_ = endFlag_ ? -1 : static_cast<int32_t>(target - diskPosition_);
  return kFileOk;
}

// Inside existing data: loads following sectors until n bytes after the
// cursor are buffered. Reaching the file's end merges the tail buffer and
// cuts the file at the disk position (the ring now holds everything after it).
int CSectorFile::LoadFollowingSectors(uint32_t n) {
  if (cursor_ < 0) return kFileShortRead;
  WaitForWriter();
  while (ring_.Count() - static_cast<uint32_t>(cursor_) < n && !endFlag_) {
    const uint64_t next = diskPosition_ + ring_.Count();
    if (ring_.FreeSpace() < sectorSize_) FlushWholeSectors();
    if (next >= alignedSize_) {
      if (ring_.FreeSpace() < tailLength_) FlushWholeSectors();
      if (ring_.FreeSpace() < tailLength_) return kFileShortRead;
      ring_.Push(tailBuffer_, tailLength_);
      tailLength_ = 0;
      if (fileio::TruncateFile(fd_, static_cast<int64_t>(diskPosition_)) != 0) writeError_ = true;
      alignedSize_ = diskPosition_;
      endFlag_ = true;
      break;
    }
    const uint32_t missing = n - (ring_.Count() - static_cast<uint32_t>(cursor_));
    const uint32_t amount =
        std::min({RoundUpToSector(missing), WholeSectorsBelow(ring_.FreeSpace()),
                  static_cast<uint32_t>(std::min<uint64_t>(alignedSize_ - next, UINT32_MAX))});
    if (amount == 0) return kFileShortRead;
    if (fileio::SeekTo(fd_, static_cast<int64_t>(next)) < 0 ||
        ring_.ReadFromFile(amount, fd_) != 0) {
      writeError_ = true;
      return kFileShortRead;
    }
  }
  return kFileOk;
}

int CSectorFile::MakeRoom(uint32_t n) {
  if (readAheadMode_ == 0 || (readAheadMode_ == 2 && ring_.Count() > readAheadMinimum_)) {
    FlushWholeSectors();
  }
  if (endFlag_ && CursorAtEnd()) {
    writeStart_ = -1;
    cursor_ = -1;
    if (ring_.FreeSpace() < n) FlushToBlockBoundary();
    if (ring_.FreeSpace() < n) FlushWholeSectors();
    return ring_.FreeSpace() < n ? 6 : 0;
  }
  if (LoadFollowingSectors(n) != 0) return kFileShortRead;
  const auto fits = [&] {
    return uint64_t{static_cast<uint32_t>(cursor_)} + n <= ring_.Capacity();
  };
  if (!fits()) FlushWholeSectors();
  if (!fits()) return kFileShortRead;
  writeStart_ = cursor_;
  cursor_ += static_cast<int32_t>(n);
  return kFileOk;
}

uint32_t CSectorFile::Write(const void* src, uint32_t itemSize, uint32_t itemCount) {
  if (openMode_ != kWrite) return 0;
  const uint64_t total = uint64_t{itemSize} * itemCount;
  if (total == 0) return 0;
  if (total > UsableCapacity()) {
    writeError_ = true;
    return 0;
  }
  const auto bytes = static_cast<uint32_t>(total);
  if (MakeRoom(bytes) != 0 || ring_.WriteAt(writeStart_, src, bytes) != 0) {
    // The bytes never reach the file: the file as a whole is now wrong.
    writeError_ = true;
    return 0;
  }
  return itemCount;
}

namespace {

// Little-endian bytes of value, lowest first.
template <typename T>
void LittleEndian(T value, uint8_t* bytes) {
  for (size_t i = 0; i < sizeof(T); ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

int CSectorFile::WriteU16(uint16_t v) {
  uint8_t bytes[2];
  LittleEndian(v, bytes);
  return Write(bytes, 2, 1) == 1 ? 0 : -1;
}

int CSectorFile::WriteU32(uint32_t v) {
  uint8_t bytes[4];
  LittleEndian(v, bytes);
  return Write(bytes, 4, 1) == 1 ? 0 : -1;
}

// Moves over n existing bytes without changing them; at the end of the file
// nothing happens. Skipping past the end stops at the end (8).
int CSectorFile::SkipWrite(uint32_t n) {
  if (n == 0 || (endFlag_ && CursorAtEnd())) return kFileOk;
  if (LoadFollowingSectors(n) != 0) return -1;
  const uint32_t available = ring_.Count() - static_cast<uint32_t>(cursor_);
  if (available < n) {
    cursor_ = -1;
    return kFileEndOfFile;
  }
  cursor_ += static_cast<int32_t>(n);
  return kFileOk;
}

}  // namespace snipora
