#include "export/output_names.h"

#include <algorithm>
#include <string_view>

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

const char* OutputExtension(OutputFormat format) {
  return format == OutputFormat::kFlac ? ".flac" : ".wav";
}

std::optional<OutputFormat> FormatNamed(const std::string& path) {
  const auto endsWith = [&path](std::string_view end) {
    return path.size() >= end.size() &&
           std::equal(end.begin(), end.end(), path.end() - static_cast<std::ptrdiff_t>(end.size()),
                      [](char a, char b) { return a == (b >= 'A' && b <= 'Z' ? b + 32 : b); });
  };
  if (endsWith(".flac")) return OutputFormat::kFlac;
  if (endsWith(".wav")) return OutputFormat::kWave;
  return std::nullopt;
}

std::string PieceFileName(uint32_t index, const char* extension) {
  CStr_base<64> name;
  name.Format("%02u", index + 1);
  return name.Buffer() + std::string(extension);
}

std::string PathInFolder(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

}  // namespace snipora
