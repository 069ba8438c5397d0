#include "platform/system/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#include <cerrno>
#include <climits>

#include <string>

namespace snipora::fileio {
namespace {

FileCallHooks g_hooks;

enum class Direction { Read, Write };

// One system call over spans (count >= 1, the first one not empty).
ssize_t CallSpans(Direction direction, int fd, const IoSpan* spans, int count) {
  const bool reading = direction == Direction::Read;
  if (auto* hook = reading ? g_hooks.readSpans : g_hooks.writeSpans) {
    return hook(fd, spans, count);
  }
  if (reading && (g_hooks.read || count == 1)) {
    return g_hooks.read ? g_hooks.read(fd, spans[0].data, spans[0].size)
                        : ::read(fd, spans[0].data, spans[0].size);
  }
  if (!reading && (g_hooks.write || count == 1)) {
    return g_hooks.write ? g_hooks.write(fd, spans[0].data, spans[0].size)
                         : ::write(fd, spans[0].data, spans[0].size);
  }
  iovec vectors[kMaxIoSpans];
  for (int i = 0; i < count; ++i) vectors[i] = {spans[i].data, spans[i].size};
  return reading ? ::readv(fd, vectors, count) : ::writev(fd, vectors, count);
}

// Moves every byte of the spans, retrying EINTR and continuing after partial
// transfers; stops at the end of the file (reading), a full disk (writing)
// or an error. Returns the bytes moved, or -1 when an error came first.
ssize_t TransferAll(Direction direction, int fd, const IoSpan* spans, int count) {
  if (count < 0 || count > kMaxIoSpans) {
    errno = EINVAL;
    return -1;
  }
  IoSpan pending[kMaxIoSpans];
  int left = 0;
  for (int i = 0; i < count; ++i) {
    if (spans[i].size != 0) pending[left++] = spans[i];
  }
  IoSpan* next = pending;
  size_t done = 0;
  while (left > 0) {
    const ssize_t moved = CallSpans(direction, fd, next, left);
    if (moved < 0) {
      if (errno == EINTR) continue;
      // A refused direct transfer moved nothing: retry through the cache.
      if (errno == EINVAL && IsDirect(fd)) {
        if (DisableDirect(fd) == 0) continue;
        errno = EINVAL;
      }
      // Bytes already moved count; the caller sees a short transfer.
      return done > 0 ? static_cast<ssize_t>(done) : -1;
    }
    if (moved == 0) {
      // End of file; a regular file that takes nothing is full.
      if (direction == Direction::Write) errno = ENOSPC;
      break;
    }
    done += static_cast<size_t>(moved);
    // Drop the spans this call completed and shorten the one it ended in.
    auto rest = static_cast<size_t>(moved);
    while (left > 0 && rest >= next->size) {
      rest -= next->size;
      ++next;
      --left;
    }
    if (left > 0) {
      next->data = static_cast<char*>(next->data) + rest;
      next->size -= rest;
    }
  }
  return static_cast<ssize_t>(done);
}

int OpenFlags(OpenAccess access) {
  switch (access) {
    case OpenAccess::Read:
      return O_RDONLY;
    case OpenAccess::CreateReadWrite:
      return O_RDWR | O_CREAT | O_TRUNC;
    case OpenAccess::Append:
      return O_WRONLY | O_APPEND;
  }
  return O_RDONLY;
}

int OpenRetrying(const char* path, int flags) {
  int fd;
  do {
    fd = ::open(path, flags | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

uint32_t AlignmentFromStatx(int dirfd, const char* path, int flags) {
#if defined(STATX_DIOALIGN)
  struct statx info {};
  if (::statx(dirfd, path, flags, STATX_DIOALIGN, &info) != 0) return 0;
  if (!(info.stx_mask & STATX_DIOALIGN)) return 0;
  return info.stx_dio_offset_align;
#else
  (void)dirfd;
  (void)path;
  (void)flags;
  return 0;
#endif
}

}  // namespace

OpenedFile OpenFile(const char* path, OpenAccess access, bool tryDirect) {
  OpenedFile result;
  const int flags = OpenFlags(access);
  if (tryDirect) {
    result.fd = OpenRetrying(path, flags | O_DIRECT);
    if (result.fd >= 0) {
      result.direct = true;
      return result;
    }
    if (errno != EINVAL) return result;
  }
  result.fd = OpenRetrying(path, flags);
  return result;
}

int DisableDirect(int fd) {
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0) return -1;
  return ::fcntl(fd, F_SETFL, flags & ~O_DIRECT) < 0 ? -1 : 0;
}

bool IsDirect(int fd) {
  const int flags = ::fcntl(fd, F_GETFL);
  return flags >= 0 && (flags & O_DIRECT) != 0;
}

int CloseFile(int fd) {
  return ::close(fd);
}

ssize_t ReadFull(int fd, void* buffer, size_t count) {
  const IoSpan span{buffer, count};
  return TransferAll(Direction::Read, fd, &span, 1);
}

ssize_t WriteFull(int fd, const void* buffer, size_t count) {
  // The span type is shared with reading; writing never changes the bytes.
  const IoSpan span{const_cast<void*>(buffer), count};
  return TransferAll(Direction::Write, fd, &span, 1);
}

ssize_t ReadFullSpans(int fd, const IoSpan* spans, int count) {
  return TransferAll(Direction::Read, fd, spans, count);
}

ssize_t WriteFullSpans(int fd, const IoSpan* spans, int count) {
  return TransferAll(Direction::Write, fd, spans, count);
}

int64_t SeekTo(int fd, int64_t offset) {
  const off_t result = ::lseek(fd, static_cast<off_t>(offset), SEEK_SET);
  return result < 0 ? -1 : static_cast<int64_t>(result);
}

int64_t FileSize(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return -1;
  return static_cast<int64_t>(info.st_size);
}

uint32_t PreferredBlockSize(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0 || info.st_blksize <= 0 || info.st_blksize > INT32_MAX) return 0;
  return static_cast<uint32_t>(info.st_blksize);
}

int TruncateFile(int fd, int64_t size) {
  int result;
  do {
    result = ::ftruncate(fd, static_cast<off_t>(size));
  } while (result != 0 && errno == EINTR);
  return result;
}

uint32_t DirectIoAlignment(int fd) {
  return AlignmentFromStatx(fd, "", AT_EMPTY_PATH);
}

uint32_t DirectIoAlignmentOfPath(const char* path) {
  // The file may not exist yet (about to be created): ask its folder.
  uint32_t alignment = AlignmentFromStatx(AT_FDCWD, path, 0);
  if (alignment != 0) return alignment;
  std::string folder(path);
  const size_t slash = folder.rfind('/');
  folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : folder.substr(0, slash));
  return AlignmentFromStatx(AT_FDCWD, folder.c_str(), 0);
}

std::string CurrentDirectory() {
  char buffer[PATH_MAX];
  if (::getcwd(buffer, sizeof buffer) == nullptr) return {};
  return buffer;
}

void SetFileCallHooks(const FileCallHooks& hooks) {
  g_hooks = hooks;
}

void ResetFileCallHooks() {
  g_hooks = FileCallHooks{};
}

}  // namespace snipora::fileio
