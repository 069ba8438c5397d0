#pragma once

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
inline std::string SavedText(IniEx& ini) {
  TempDir dir;
  const std::string path = dir.File("tree.ini");
  if (!ini.Save(path.c_str())) return "<save failed>";
  return ReadText(path);
}

}  // namespace snipora::test
