#include "platform/system/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace snipora {
namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

// Opens a new file beside target under a name no other writer uses.
int CreateTemporary(const std::string& target, std::string& temporaryPath) {
  static uint32_t counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporaryPath = target + ".tmp-" + std::to_string(getpid()) + "-" +
                    std::to_string(static_cast<unsigned long>(time(nullptr))) + "-" +
                    std::to_string(counter++);
    const int fd = open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// The file that path names, with a symbolic link at path resolved.
std::string ResolveTarget(const std::string& path) {
  struct stat status {};
  if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return path;
  std::string target = resolved;
  std::free(resolved);
  return target;
}

void SyncFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

bool Fail(std::string* error) {
  if (error != nullptr) *error = std::strerror(errno);
  return false;
}

}  // namespace

bool CreateFolders(const std::string& folder) {
  struct stat status {};
  if (stat(folder.c_str(), &status) == 0) return S_ISDIR(status.st_mode);
  const std::string parent = FolderOf(folder);
  if (parent != folder && !CreateFolders(parent)) return false;
  if (mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST) return true;
  return false;
}

bool WriteFileAtomically(const std::string& path, const void* data, size_t size, bool createFolders,
                         std::string* error) {
  if (path.empty()) {
    errno = ENOENT;
    return Fail(error);
  }
  const std::string target = ResolveTarget(path);
  const std::string folder = FolderOf(target);
  if (createFolders && !CreateFolders(folder)) return Fail(error);

  std::string temporaryPath;
  const int fd = CreateTemporary(target, temporaryPath);
  if (fd < 0) return Fail(error);
  // Keep the permissions of the file being replaced.
  int failure = 0;
  struct stat old {};
  if (stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode) &&
      fchmod(fd, old.st_mode & 07777) != 0) {
    failure = errno;
  }
  if (failure == 0 && !WriteAll(fd, static_cast<const char*>(data), size)) failure = errno;
  if (failure == 0 && fsync(fd) != 0) failure = errno;
  if (close(fd) != 0 && failure == 0) failure = errno;
  if (failure == 0 && rename(temporaryPath.c_str(), target.c_str()) != 0) failure = errno;
  if (failure == 0) {
    SyncFolder(folder);
    return true;
  }
  unlink(temporaryPath.c_str());
  errno = failure;
  return Fail(error);
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
  contents.clear();
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat status {};
  if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0) {
    contents.reserve(static_cast<size_t>(status.st_size));
  }
  char buffer[65536];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof(buffer));
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      const int failure = errno;
      close(fd);
      contents.clear();
      errno = failure;
      return false;
    }
    contents.append(buffer, static_cast<size_t>(got));
  }
  close(fd);
  return true;
}

}  // namespace snipora
