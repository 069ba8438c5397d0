#include "platform/system/write_room.h"

#include <sys/resource.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace snipora::fsops {

bool CanCreateIn(const std::string& folder) {
  return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::optional<uint64_t> FreeBytes(const std::string& folder) {
  struct statvfs info {};
  if (::statvfs(folder.c_str(), &info) != 0) return std::nullopt;
  return uint64_t{info.f_bavail} * info.f_frsize;
}

std::optional<uint64_t> FileSizeLimit() {
  struct rlimit limit {};
  if (::getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
    return std::nullopt;
  return uint64_t{limit.rlim_cur};
}

}  // namespace snipora::fsops
