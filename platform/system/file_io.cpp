#include "platform/system/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>

#include <string>

namespace snipora::fileio {
namespace {

FileCallHooks g_hooks;

ssize_t CallRead(int fd, void* buffer, size_t count) {
  return g_hooks.read ? g_hooks.read(fd, buffer, count) : ::read(fd, buffer, count);
}

ssize_t CallWrite(int fd, const void* buffer, size_t count) {
  return g_hooks.write ? g_hooks.write(fd, buffer, count) : ::write(fd, buffer, count);
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

int CloseFile(int fd) {
  return ::close(fd);
}

ssize_t ReadFull(int fd, void* buffer, size_t count) {
  auto* bytes = static_cast<char*>(buffer);
  size_t done = 0;
  while (done < count) {
    const ssize_t got = CallRead(fd, bytes + done, count - done);
    if (got < 0) {
      if (errno == EINTR) continue;
      // Bytes already read count; the caller sees a short read.
      return done > 0 ? static_cast<ssize_t>(done) : -1;
    }
    if (got == 0) break;  // end of file
    done += static_cast<size_t>(got);
  }
  return static_cast<ssize_t>(done);
}

ssize_t WriteFull(int fd, const void* buffer, size_t count) {
  const auto* bytes = static_cast<const char*>(buffer);
  size_t done = 0;
  while (done < count) {
    const ssize_t put = CallWrite(fd, bytes + done, count - done);
    if (put < 0) {
      if (errno == EINTR) continue;
      return done > 0 ? static_cast<ssize_t>(done) : -1;
    }
    if (put == 0) {
      errno = ENOSPC;  // a regular file that takes nothing is full
      break;
    }
    done += static_cast<size_t>(put);
  }
  return static_cast<ssize_t>(done);
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
