#pragma once

#include <cstdlib>
#include <string>

#include "foundation/ini.h"
#include "tests/support/test_support.h"

namespace snipora::test {

inline std::string ReadText(const std::string& path) {
  const Bytes bytes = ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

inline void WriteText(const std::string& path, const std::string& text) {
  WriteFileBytes(path, Bytes(text.begin(), text.end()));
}

// The text Save writes for the tree.
inline std::string SavedText(const IniEx& ini) {
  CStr_base<64> text;
  ini.SaveText(text);
  return text.Buffer();
}

// Points XDG_CONFIG_HOME at a folder for one test.
class ConfigHomeScope {
 public:
  explicit ConfigHomeScope(const std::string& folder) {
    const char* value = std::getenv("XDG_CONFIG_HOME");
    wasSet_ = value != nullptr;
    if (wasSet_) saved_ = value;
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
  }
  ~ConfigHomeScope() {
    if (wasSet_) {
      setenv("XDG_CONFIG_HOME", saved_.c_str(), 1);
    } else {
      unsetenv("XDG_CONFIG_HOME");
    }
  }

 private:
  std::string saved_;
  bool wasSet_ = false;
};

}  // namespace snipora::test
