#include "export/output_names.h"

#include "foundation/str.h"

namespace snipora {

namespace {

constexpr const char* kFolderSuffix = ".pieces";

// Where the last extension of the file name starting at nameStart begins;
// npos when it has none.
size_t ExtensionDot(const std::string& path, size_t nameStart) {
  const size_t dot = path.rfind('.');
  return dot == std::string::npos || dot <= nameStart ? std::string::npos : dot;
}

size_t NameStart(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? 0 : slash + 1;
}

}  // namespace

std::string FileStem(const std::string& path) {
  const size_t nameStart = NameStart(path);
  const size_t dot = ExtensionDot(path, nameStart);
  return path.substr(nameStart, dot == std::string::npos ? std::string::npos : dot - nameStart);
}

std::string SplitFolderPath(const std::string& fullPath) {
  std::string path = fullPath;
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
    path = path.substr(1, path.size() - 2);
  } else if (!path.empty() && path.front() == '"') {
    path.erase(0, 1);
  }
  const size_t dot = ExtensionDot(path, NameStart(path));
  return dot == std::string::npos ? path + kFolderSuffix : path.substr(0, dot);
}

std::string PieceFileName(uint32_t index) {
  CStr_base<64> name;
  name.Format("%02u.wav", index + 1);
  return name.Buffer();
}

std::string PathInFolder(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

}  // namespace snipora
