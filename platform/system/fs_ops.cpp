#include "platform/system/fs_ops.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace snipora::fsops {

namespace {

int ErrnoOr0(int result) {
  return result == 0 ? 0 : errno;
}

// open() retrying EINTR.
int OpenRetrying(const char* path, int flags) {
  int fd;
  do {
    fd = ::open(path, flags | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

int SyncPath(const std::string& path, int flags) {
  const int fd = OpenRetrying(path.c_str(), flags);
  if (fd < 0) return errno;
  int error = ErrnoOr0(::fsync(fd));
  // Folders on some file systems cannot be synced; that is not a failure.
  if (error == EINVAL && (flags & O_DIRECTORY)) error = 0;
  ::close(fd);
  return error;
}

}  // namespace

int MakeFolder(const std::string& path) {
  return ErrnoOr0(::mkdir(path.c_str(), 0777));
}

bool Exists(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0;
}

bool IsFolder(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

uint64_t FileSize(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat infoA, infoB;
  if (::stat(a.c_str(), &infoA) != 0 || ::stat(b.c_str(), &infoB) != 0) return false;
  return infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino;
}

int RenameReplacing(const std::string& from, const std::string& to) {
  return ErrnoOr0(::rename(from.c_str(), to.c_str()));
}

int RemoveFile(const std::string& path) {
  return ErrnoOr0(::unlink(path.c_str()));
}

int RemoveFolder(const std::string& path) {
  return ErrnoOr0(::rmdir(path.c_str()));
}

std::string CreateTemporaryBeside(const std::string& finalPath) {
  // A short name of its own, not one derived from the final name: a final
  // name near the 255-byte limit must still have room for its temporary.
  const std::string folder = FolderOf(finalPath);
  const std::string prefix = (folder == "/" ? "" : folder) + "/.snipora-";
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string path = prefix;
    for (int i = 0; i < 6; ++i) path += kLetters[random() % (sizeof kLetters - 1)];
    path += ".part";
    // Mode 0666 less the umask, as for any new file; O_EXCL makes the name ours.
    int fd;
    do {
      fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return {};
    // A file that will replace another takes over its permissions.
    struct stat existing;
    if (::stat(finalPath.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
      ::fchmod(fd, existing.st_mode & 07777);
    }
    ::close(fd);
    return path;
  }
  errno = EEXIST;
  return {};
}

int SyncFile(const std::string& path) {
  return SyncPath(path, O_RDONLY);
}

int SyncFolder(const std::string& path) {
  return SyncPath(path, O_RDONLY | O_DIRECTORY);
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool IsTerminal(int fd) {
  return ::isatty(fd) == 1;
}

}  // namespace snipora::fsops
