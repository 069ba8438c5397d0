#include "platform/system/settings_location.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace snipora {
namespace {

std::string HomeFromUserDatabase() {
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
      found->pw_dir == nullptr) {
    return {};
  }
  return found->pw_dir;
}

}  // namespace

std::string SettingsFilePath(const char* xdgConfigHome, const char* home) {
  std::string folder;
  // A relative XDG_CONFIG_HOME is invalid and ignored, as the base-directory rules say.
  if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
    folder = xdgConfigHome;
  } else if (home != nullptr && home[0] != 0) {
    folder = std::string(home);
    if (folder.back() != '/') folder += '/';
    folder += ".config";
  } else {
    return {};
  }
  if (folder.back() != '/') folder += '/';
  return folder + "snipora/snipora.ini";
}

std::string SettingsFilePath() {
  const char* home = std::getenv("HOME");
  std::string homeFromDatabase;
  if (home == nullptr || home[0] == 0) {
    homeFromDatabase = HomeFromUserDatabase();
    home = homeFromDatabase.c_str();
  }
  return SettingsFilePath(std::getenv("XDG_CONFIG_HOME"), home);
}

}  // namespace snipora
