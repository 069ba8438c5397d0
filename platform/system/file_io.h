#pragma once

#include <sys/types.h>
#include <cstddef>
#include <cstdint>
#include <string>

// Every operating-system file call of the sound-file layer, in one place.
// Descriptors are plain POSIX file descriptors (-1 = none). Failures return -1
// with errno left as the failing call set it.
namespace snipora::fileio {

enum class OpenAccess {
  Read,             // existing file, read only
  CreateReadWrite,  // create or truncate, read and write
  Append,           // existing file, write only, every write at the end
};

struct OpenedFile {
  int fd = -1;
  bool direct = false;  // opened with O_DIRECT (cache bypassed)
};

// Opens path; with tryDirect the file is opened with O_DIRECT and, when the
// file system refuses that (EINVAL, e.g. tmpfs), opened again without it.
OpenedFile OpenFile(const char* path, OpenAccess access, bool tryDirect);

// Drops O_DIRECT from an open descriptor (used when a caller's alignment is
// not one the file system accepts). Returns 0 or -1.
int DisableDirect(int fd);
// True when fd transfers bypass the page cache (O_DIRECT is set).
bool IsDirect(int fd);

// Closes fd; EINTR is not retried (the descriptor is gone either way).
int CloseFile(int fd);

// Reads up to count bytes at the file position, retrying EINTR and
// continuing after partial transfers until count bytes, end of file or an
// error. A direct transfer refused with EINVAL (a file system that takes
// O_DIRECT at open but needs an alignment it does not report) drops O_DIRECT
// from fd and is retried; this holds for every transfer below. Returns the bytes read (fewer than
// count = short read), or -1 when an error occurred before any byte arrived.
ssize_t ReadFull(int fd, void* buffer, size_t count);

// Writes count bytes at the file position, retrying EINTR and continuing
// after partial transfers. Returns the bytes written; fewer than count means
// the write failed (errno tells why, e.g. ENOSPC); -1 when nothing was written.
ssize_t WriteFull(int fd, const void* buffer, size_t count);

// One memory piece of a vectored transfer.
struct IoSpan {
  void* data;
  size_t size;
};
inline constexpr int kMaxIoSpans = 8;

// ReadFull and WriteFull over up to kMaxIoSpans pieces of memory filled or
// emptied in order, as one system request (readv / writev) when the system
// takes it whole: a ring's wrapped region then costs one disk request, not
// two. More than kMaxIoSpans spans give -1 with EINVAL.
ssize_t ReadFullSpans(int fd, const IoSpan* spans, int count);
ssize_t WriteFullSpans(int fd, const IoSpan* spans, int count);

// Moves the file position to an absolute offset. Returns it or -1.
int64_t SeekTo(int fd, int64_t offset);

// Size of the open file in bytes, or -1.
int64_t FileSize(int fd);

// The file system's preferred I/O block size for fd (st_blksize), 0 if unknown.
uint32_t PreferredBlockSize(int fd);

// Cuts or extends the file to size bytes. Returns 0 or -1.
int TruncateFile(int fd, int64_t size);

// The direct-I/O offset alignment of the file system holding fd (statx
// STATX_DIOALIGN), or of the folder holding path for the path variant;
// 0 when the file system does not tell.
uint32_t DirectIoAlignment(int fd);
uint32_t DirectIoAlignmentOfPath(const char* path);

// The process's current directory, or an empty string when it cannot be had.
std::string CurrentDirectory();

// Test hook: replacement read and write calls (nullptr = the real ones), so
// tests can inject EINTR, short transfers and ENOSPC. A vectored transfer
// goes to readSpans / writeSpans when set, else to read / write with its
// first non-empty span (a partial transfer, as the system may also make).
// Not thread-safe; set it only while no other thread does file I/O.
struct FileCallHooks {
  ssize_t (*read)(int fd, void* buffer, size_t count) = nullptr;
  ssize_t (*write)(int fd, const void* buffer, size_t count) = nullptr;
  ssize_t (*readSpans)(int fd, const IoSpan* spans, int count) = nullptr;
  ssize_t (*writeSpans)(int fd, const IoSpan* spans, int count) = nullptr;
};
void SetFileCallHooks(const FileCallHooks& hooks);
void ResetFileCallHooks();

}  // namespace snipora::fileio
