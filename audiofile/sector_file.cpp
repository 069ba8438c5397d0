#include "audiofile/sector_file.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "audiofile/paths.h"
#include "audiofile/write_behind.h"
#include "platform/system/file_io.h"

namespace snipora {
namespace {

constexpr uint32_t kDefaultSectorSize = 512;
constexpr uint64_t kFourGiB = uint64_t{1} << 32;

bool IsPowerOfTwo(uint32_t value) {
  return value != 0 && (value & (value - 1)) == 0;
}

// A usable sector size from a reported direct-I/O alignment: never 0, never
// below 512, always a power of two.
uint32_t SafeSectorSize(uint32_t alignment) {
  if (!IsPowerOfTwo(alignment)) return kDefaultSectorSize;
  return std::max(alignment, kDefaultSectorSize);
}

}  // namespace

CSectorFile::CSectorFile(uint32_t capacity) : CSectorFile(capacity, 0) {}

CSectorFile::CSectorFile(uint32_t capacity, uint32_t forcedSectorSize)
    : forcedSectorSize_(IsPowerOfTwo(forcedSectorSize) ? SafeSectorSize(forcedSectorSize) : 0),
      requestedCapacity_(capacity) {
  sectorSize_ = forcedSectorSize_ != 0 ? forcedSectorSize_
                                       : SafeSectorSize(fileio::DirectIoAlignmentOfPath("."));
  if (EnsureRing() != 0) status_ = 1;
}

CSectorFile::~CSectorFile() {
  if (IsOpen()) Close();
  delete[] tailBuffer_;
}

uint64_t CSectorFile::SectorStart(uint64_t position) const {
  return position - position % sectorSize_;
}

uint32_t CSectorFile::WholeSectorsBelow(uint32_t n) const {
  return n - n % sectorSize_;
}

uint32_t CSectorFile::RoundUpToSector(uint64_t n) const {
  const uint64_t rounded = (n + sectorSize_ - 1) / sectorSize_ * sectorSize_;
  return static_cast<uint32_t>(std::min<uint64_t>(rounded, kFourGiB - sectorSize_));
}

uint32_t CSectorFile::UsableCapacity() const {
  const uint32_t capacity = ring_.Capacity();
  return capacity > sectorSize_ ? capacity - sectorSize_ : 0;
}

// Gives the ring whole sectors of the current sector size (the file's file
// system may have larger sectors than the one the object was built on).
int CSectorFile::EnsureRing() {
  const uint32_t wanted = RoundUpToSector(std::max<uint32_t>(requestedCapacity_, 1));
  if (ring_.Capacity() == wanted) return ring_.Clear();
  ring_.Release();
  return ring_.AllocatePages(wanted) == 0 ? 0 : 1;
}

void CSectorFile::ResetClosedState() {
  writeStart_ = -1;
  endFlag_ = false;
  cursor_ = -1;
  tailLength_ = 0;
  delete[] tailBuffer_;
  tailBuffer_ = nullptr;
  diskPosition_ = 0;
  alignedSize_ = 0;
  openMode_ = kClosed;
  path_.clear();
  fd_ = -1;
  behind_.reset();
  ring_.Clear();
}

int CSectorFile::Open(const char* path, const char* mode, uint32_t /*attributes*/) {
  if (IsOpen()) return kFileAlreadyOpen;
  if (path == nullptr || *path == '\0' || mode == nullptr) return kFileBadArgument;
  const std::optional<std::string> fullPath = NormaliseFullPath(path);
  if (!fullPath) return kFileBadArgument;
  int newMode;
  if (std::strchr(mode, 'r') != nullptr) {
    newMode = kRead;
  } else if (std::strchr(mode, 'w') != nullptr) {
    newMode = kWrite;
  } else {
    return kFileBadArgument;
  }

  sectorSize_ = forcedSectorSize_ != 0
                    ? forcedSectorSize_
                    : SafeSectorSize(fileio::DirectIoAlignmentOfPath(fullPath->c_str()));
  if (EnsureRing() != 0) return kFileNoMemory;

  const fileio::OpenedFile opened = fileio::OpenFile(
      fullPath->c_str(),
      newMode == kRead ? fileio::OpenAccess::Read : fileio::OpenAccess::CreateReadWrite, true);
  if (opened.fd < 0) return kFileCannotOpen;
  fd_ = opened.fd;
  if (opened.direct) {
    // A forced sector size below the file system's alignment would make every
    // direct transfer fail with EINVAL: use the page cache instead.
    const uint32_t alignment = fileio::DirectIoAlignment(fd_);
    if (alignment != 0 && sectorSize_ % alignment != 0) fileio::DisableDirect(fd_);
  }

  // Appending flushes end on file-system block boundaries where the ring
  // allows: a direct write that starts or ends inside a block makes the file
  // system zero and serialise partial blocks, several times slower on ext4.
  const uint32_t preferred = fileio::PreferredBlockSize(fd_);
  blockSize_ =
      IsPowerOfTwo(preferred) && preferred > sectorSize_ && preferred <= UsableCapacity() / 4
          ? preferred
          : sectorSize_;

  tailBuffer_ = new (std::nothrow) uint8_t[sectorSize_ + 1];
  if (tailBuffer_ == nullptr) {
    fileio::CloseFile(fd_);
    ResetClosedState();
    return kFileNoMemory;
  }
  const int64_t size = fileio::FileSize(fd_);
  if (size < 0) {
    fileio::CloseFile(fd_);
    ResetClosedState();
    return kFileCannotOpen;
  }
  alignedSize_ = static_cast<uint64_t>(size);
  openMode_ = newMode;
  endFlag_ = newMode == kWrite;  // a new file is all end
  path_ = *fullPath;
  status_ = 0;
  writeError_ = false;
  return kFileOk;
}

int CSectorFile::Close() {
  if (!IsOpen()) return -1;
  int result = 0;
  if (openMode_ == kWrite) {
    FinalFlush();
    WaitForWriter();
  } else {
    ring_.Clear();
  }
  if (fileio::CloseFile(fd_) != 0) {
    // A failing close of a written file may mean lost data (EIO, ENOSPC on
    // network file systems).
    if (openMode_ == kWrite) writeError_ = true;
    result = -1;
  }
  if (openMode_ == kWrite && tailLength_ > 0 && AppendTail() != 0) result = -1;
  if (writeError_) result = -1;
  ResetClosedState();
  return result;
}

// The last partial sector goes through an ordinary descriptor, where no
// alignment rule applies.
int CSectorFile::AppendTail() {
  const fileio::OpenedFile appender =
      fileio::OpenFile(path_.c_str(), fileio::OpenAccess::Append, false);
  if (appender.fd < 0) {
    status_ = -2;
    writeError_ = true;
    return -1;
  }
  const ssize_t written = fileio::WriteFull(appender.fd, tailBuffer_, tailLength_);
  const bool closed = fileio::CloseFile(appender.fd) == 0;
  if (written != static_cast<ssize_t>(tailLength_) || !closed) {
    writeError_ = true;
    return -1;
  }
  return 0;
}

bool CSectorFile::IsDirect() const {
  return fd_ >= 0 && fileio::IsDirect(fd_);
}

int64_t CSectorFile::Tell() const {
  if (!IsOpen()) return -1;
  const auto disk = static_cast<int64_t>(diskPosition_);
  if (openMode_ == kRead) return disk - ring_.Count();
  return disk + (cursor_ == -1 ? ring_.Count() : static_cast<uint32_t>(cursor_));
}

// End of the file in write mode: the ring holds the end when it starts at
// the end of the whole sectors on disk.
uint64_t CSectorFile::WriteModeEnd() const {
  if (diskPosition_ == alignedSize_) return diskPosition_ + ring_.Count();
  return alignedSize_ + tailLength_;
}

uint64_t CSectorFile::GetSize() const {
  if (openMode_ == kWrite) return WriteModeEnd();
  return alignedSize_ + tailLength_;
}

int CSectorFile::GetPath(std::string& out) const {
  if (!IsOpen()) return kFileNotOpen;
  out = path_;
  return kFileOk;
}

int CSectorFile::SetReadAhead(uint32_t mode, int32_t minimum) {
  if (mode == 0 || mode == 1) {
    readAheadMode_ = mode;
    return kFileOk;
  }
  if (mode == 2 && minimum >= 0 && static_cast<uint32_t>(minimum) <= UsableCapacity()) {
    readAheadMode_ = 2;
    readAheadMinimum_ = static_cast<uint32_t>(minimum);
    return kFileOk;
  }
  return kFileBadArgument;
}

// Makes the ring hold at least n bytes if the file has them. 0 done; 8 end
// of file with fewer than n bytes held; 6 n bytes could not be had (the ring
// has too little room).
int CSectorFile::Refill(uint32_t n) {
  const uint32_t count = ring_.Count();
  if (count >= n) return kFileOk;
  if (endFlag_) return kFileEndOfFile;
  const uint32_t freeSpace = ring_.FreeSpace();
  uint32_t amount;
  if (readAheadMode_ == 1) {
    amount = WholeSectorsBelow(freeSpace);
  } else {
    uint32_t wanted = n - count;
    if (readAheadMode_ == 2 && readAheadMinimum_ > count) {
      wanted = std::max(wanted, readAheadMinimum_ - count);
    }
    amount = RoundUpToSector(wanted);
    if (amount > freeSpace) amount = WholeSectorsBelow(freeSpace);
  }
  if (fileio::SeekTo(fd_, static_cast<int64_t>(diskPosition_)) < 0) return kFileShortRead;
  const int result = ring_.ReadFromFile(amount, fd_);
  if (result == 0) {
    diskPosition_ += amount;
    return ring_.Count() < n ? 6 : 0;
  }
  if (result != kFileShortRead) return kFileShortRead;
  // A short read is the end of the file.
  diskPosition_ = alignedSize_;
  status_ = 8;
  endFlag_ = true;
  return ring_.Count() < n ? 8 : 0;
}

uint32_t CSectorFile::Read(void* dst, uint32_t itemSize, uint32_t itemCount) {
  const uint64_t total = uint64_t{itemSize} * itemCount;
  if (total == 0 || total > UsableCapacity() || openMode_ != kRead) return 0;
  const auto bytes = static_cast<uint32_t>(total);
  if (Refill(bytes) == kFileShortRead) return 0;
  if (ring_.Count() >= bytes) {
    ring_.Pop(dst, bytes);
    return itemCount;
  }
  // End of file: deliver whole items; a partial last item is consumed too.
  const uint32_t held = ring_.Count();
  ring_.Pop(dst, held);
  return held / itemSize;
}

uint16_t CSectorFile::ReadU16() {
  uint8_t bytes[2];
  if (Read(bytes, 2, 1) != 1) return 0xFFFF;
  return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

uint32_t CSectorFile::ReadU32() {
  uint8_t bytes[4];
  if (Read(bytes, 4, 1) != 1) return 0xFFFFFFFF;
  return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
         uint32_t{bytes[3]} << 24;
}

int CSectorFile::Seek(int32_t offset, int origin) {
  if (!IsOpen()) return kFileBadArgument;
  int64_t base;
  switch (origin) {
    case 0:
      base = 0;
      break;
    case 1:
      base = Tell();
      break;
    case 2:
      base = static_cast<int64_t>(GetSize());
      break;
    default:
      return kFileBadArgument;
  }
  const int64_t target = base + offset;
  if (target < 0) return kFileBadArgument;
  return SeekTo(static_cast<uint64_t>(target));
}

int CSectorFile::SeekLarge(uint64_t position) {
  if (!IsOpen()) return kFileBadArgument;
  // File offsets are 64-bit here, so no two-step move is needed.
  return SeekTo(position);
}

int CSectorFile::SeekTo(uint64_t target) {
  if (target > GetSize()) return kFileBadArgument;
  return openMode_ == kWrite ? SeekWrite(target) : SeekRead(target);
}

// Re-reads the sector holding target and skips to target inside it.
int CSectorFile::SeekRead(uint64_t target) {
  endFlag_ = false;
  ring_.Clear();
  diskPosition_ = SectorStart(target);
  const uint64_t sectorStart = diskPosition_;
  if (fileio::SeekTo(fd_, static_cast<int64_t>(diskPosition_)) < 0) return kFileBadArgument;
  ring_.ReadFromFile(sectorSize_, fd_);
  if (diskPosition_ + sectorSize_ >= alignedSize_) {
    diskPosition_ = alignedSize_;
    endFlag_ = true;
  } else {
    diskPosition_ += sectorSize_;
  }
  if (ring_.Count() != std::min<uint64_t>(sectorSize_, alignedSize_ - sectorStart)) {
    // The sector could not be read in full: nothing sensible is buffered.
    ring_.Clear();
    diskPosition_ = sectorStart;
    endFlag_ = false;
    return kFileBadArgument;
  }
  ring_.Skip(static_cast<uint32_t>(target - sectorStart));
  if (endFlag_) cursor_ = -1;
  return kFileOk;
}

int CSectorFile::Skip(uint32_t n) {
  if (openMode_ == kRead) {
    if (ring_.Count() < n && n > UsableCapacity()) {
      // Longer than the ring can hold: reposition instead of buffering.
      const uint64_t target = diskPosition_ - ring_.Count() + n;
      if (target > alignedSize_) {
        SeekRead(alignedSize_);
        return kFileEndOfFile;
      }
      return SeekRead(target) == 0 ? 0 : -1;
    }
    const int result = Refill(n);
    if (result == kFileShortRead) return -1;
    if (result == 8) {
      ring_.Clear();
      return kFileEndOfFile;
    }
    ring_.Skip(n);
    return kFileOk;
  }
  if (openMode_ == kWrite) return SkipWrite(n);
  return -1;
}

uint32_t CSectorFile::ReadBlock(void* dst, uint32_t n) {
  const uint32_t pieceLimit = UsableCapacity();
  if (pieceLimit == 0) return 0;
  auto* bytes = static_cast<uint8_t*>(dst);
  uint32_t done = 0;
  while (done < n) {
    const uint32_t piece = std::min(n - done, pieceLimit);
    const uint32_t got = Read(bytes + done, 1, piece);
    done += got;
    if (got < piece) break;
  }
  return done;
}

int CSectorFile::ReadToRing(CRingBuffer& ring, uint32_t n) {
  if (n == 0) return 0;
  if (n > UsableCapacity() || openMode_ != kRead) return -1;
  if (Refill(n) == 6) return -1;
  const uint32_t amount = std::min(n, ring_.Count());
  return ring.Transfer(ring_, amount) == 0 ? 0 : -1;
}

uint32_t CSectorFile::ReadToRingChunked(CRingBuffer& ring, uint32_t n) {
  const uint32_t pieceLimit = UsableCapacity();
  if (pieceLimit == 0) return 0;
  uint32_t done = 0;
  while (done < n) {
    const uint32_t piece = std::min(n - done, pieceLimit);
    const uint32_t before = ring.Count();
    const int result = ReadToRing(ring, piece);
    const uint32_t moved = ring.Count() - before;
    done += moved;
    if (result != 0 || moved < piece) break;
  }
  return done;
}

}  // namespace snipora
