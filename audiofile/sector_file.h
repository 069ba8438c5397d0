#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "audiofile/ring_buffer.h"

namespace snipora {

class CWriteBehind;

// Result codes of CSectorFile's operations; each operation says which it gives.
enum SectorFileResult : int {
  kFileOk = 0,
  kFileNoStorage = 1,    // Status: the ring has no storage
  kFileCannotOpen = 2,   // the system refused, or the size is unknown or too large
  kFileBadArgument = 3,  // bad path or mode; position out of range; sector unreadable
  kFileAlreadyOpen = 4,
  kFileNoMemory = 5,
  kFileShortRead = 6,  // fewer bytes than asked could be read or moved
  kFileEndOfFile = 8,
  kFileNotOpen = 9,
};

// A byte-granular, stdio-like file over sector-sized transfers that bypass
// the page cache (O_DIRECT where the file system accepts it). Every transfer
// to or from the disk is whole sectors at a sector boundary from page-aligned
// storage; the last partial sector of a written file is kept in memory and
// appended through an ordinary descriptor at Close. File positions and sizes
// are 64-bit; single transfers are limited by the ring. Not thread-safe.
class CSectorFile {
 public:
  // capacity: ring size in bytes, rounded up to whole sectors. The sector size
  // is the direct-I/O alignment of the current directory's file system (512
  // when unknown) and of the file's file system at each Open.
  explicit CSectorFile(uint32_t capacity);
  // Same with a fixed sector size (a power of two, at least 512), for tests.
  CSectorFile(uint32_t capacity, uint32_t forcedSectorSize);
  CSectorFile(const CSectorFile&) = delete;
  CSectorFile& operator=(const CSectorFile&) = delete;
  virtual ~CSectorFile();

  // mode: contains "r" (read an existing file) or else "w" (create or
  // truncate for writing); other letters are ignored. attributes are accepted
  // for compatibility and have no effect. Returns 0; 2 the system refused or
  // the size is unknown; 3 bad path or mode; 4 already open; 5 no memory.
  int Open(const char* path, const char* mode, uint32_t attributes);
  // Writes back what is buffered, appends the last partial sector and closes.
  // 0, or -1 when not open, when closing fails or when any write failed.
  int Close();

  // Whole items delivered; a request above capacity - one sector gives 0.
  uint32_t Read(void* dst, uint32_t itemSize, uint32_t itemCount);
  // Items accepted (buffered; errors while flushing show in HasWriteError).
  uint32_t Write(const void* src, uint32_t itemSize, uint32_t itemCount);
  // Little-endian; 0xFFFF / 0xFFFFFFFF on failure.
  uint16_t ReadU16();
  uint32_t ReadU32();
  // Little-endian; 0, or -1.
  int WriteU16(uint16_t v);
  int WriteU32(uint32_t v);

  // origin 0 start, 1 current position, 2 end. 0, or 3 (out of range, not
  // open or the sector could not be read).
  int Seek(int32_t offset, int origin);
  // Absolute position anywhere in the file. 0, or 3.
  int SeekLarge(uint64_t position);
  // Current position, -1 if not open.
  int64_t Tell() const;
  // Logical size (whole sectors on disk plus what is buffered past them).
  uint64_t GetSize() const;

  // The normalised full path; 0, or 9 when not open.
  int GetPath(std::string& out) const;
  bool IsOpen() const { return openMode_ != 0; }
  // Read mode: skips n bytes (0, 8 end of file, -1 short read). Write mode:
  // moves over n existing bytes without changing them.
  int Skip(uint32_t n);
  // Mode 0 reads only what is needed, 1 fills the ring, 2 reads at least
  // minimum bytes ahead. 0, or 3.
  int SetReadAhead(uint32_t mode, int32_t minimum);

  // Reads n bytes in pieces of capacity - one sector; bytes delivered.
  uint32_t ReadBlock(void* dst, uint32_t n);
  // Moves up to n bytes of the file into ring. 0, or -1.
  int ReadToRing(CRingBuffer& ring, uint32_t n);
  // Same in pieces; n, or the bytes moved before a failure.
  uint32_t ReadToRingChunked(CRingBuffer& ring, uint32_t n);

  // Write mode, for the rest of this Open: whole blocks appended at the end
  // are written by a thread of its own (from a second ring of the same
  // capacity) while the caller goes on filling the ring. Their write errors
  // show in HasWriteError from the next flush on, and in Close. 0; 3 not open
  // for writing; 1 no memory or thread (the file is then written directly).
  int EnableWriteBehind();

  // 1 no ring storage, 8 end of file reached, -2 the last partial sector could
  // not be appended at Close, otherwise 0.
  int Status() const { return status_; }
  // True once any write to the file failed since Open (sticky until the next
  // Open); Close then returns -1.
  bool HasWriteError() const { return writeError_; }

  uint32_t SectorSize() const { return sectorSize_; }
  uint32_t Capacity() const { return ring_.Capacity(); }
  // True when the open file bypasses the page cache (a file system that
  // refuses direct transfers makes the file drop it at the first one).
  bool IsDirect() const;

 private:
  enum OpenMode { kClosed = 0, kRead = 1, kWrite = 2 };

  void ResetClosedState();
  int EnsureRing();
  uint32_t WholeSectorsBelow(uint32_t n) const;
  uint64_t SectorStart(uint64_t position) const;
  uint32_t RoundUpToSector(uint64_t n) const;
  uint32_t UsableCapacity() const;

  int Refill(uint32_t n);
  int SeekRead(uint64_t target);
  int SeekWrite(uint64_t target);
  int SeekTo(uint64_t target);
  int MakeRoom(uint32_t n);
  int SkipWrite(uint32_t n);
  int LoadFollowingSectors(uint32_t n);
  void FlushWholeSectors();
  void FlushToBlockBoundary();
  void HandToWriter(uint32_t n);
  void WaitForWriter();
  void FinalFlush();
  bool WriteRingSectors(uint32_t n);
  int AppendTail();
  uint64_t WriteModeEnd() const;
  bool CursorAtEnd() const;

  uint32_t readAheadMinimum_ = 0;
  int32_t writeStart_ = -1;
  bool endFlag_ = false;
  int32_t cursor_ = -1;
  uint32_t readAheadMode_ = 1;
  uint32_t tailLength_ = 0;
  uint8_t* tailBuffer_ = nullptr;
  uint64_t diskPosition_ = 0;
  uint64_t alignedSize_ = 0;
  int32_t openMode_ = kClosed;
  uint32_t sectorSize_ = 512;
  uint32_t blockSize_ = 512;  // appended data is flushed up to multiples of this
  uint32_t forcedSectorSize_ = 0;
  uint32_t requestedCapacity_ = 0;
  std::string path_;
  int32_t status_ = 0;
  bool writeError_ = false;
  CRingBuffer ring_;
  int fd_ = -1;
  std::unique_ptr<CWriteBehind> behind_;  // null: every write is made directly
};

}  // namespace snipora
