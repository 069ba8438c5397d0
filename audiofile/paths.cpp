#include "audiofile/paths.h"

#include <climits>
#include <vector>

#include "foundation/text_encoding.h"
#include "platform/system/file_io.h"

namespace snipora {
namespace {

// Drops one pair of surrounding double quotes (or a lone leading one, as a
// command line cut short would leave).
std::string_view StripQuotes(std::string_view path) {
  if (!path.empty() && path.front() == '"') {
    path.remove_prefix(1);
    if (!path.empty() && path.back() == '"') path.remove_suffix(1);
  }
  return path;
}

// Resolves "." and ".." and folds repeated '/' in an absolute path, without
// asking the file system.
std::string LexicallyNormal(std::string_view absolute) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (start <= absolute.size()) {
    size_t slash = absolute.find('/', start);
    if (slash == std::string_view::npos) slash = absolute.size();
    const std::string_view part = absolute.substr(start, slash - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = slash + 1;
  }
  if (parts.empty()) return "/";
  std::string result;
  for (std::string_view part : parts) {
    result += '/';
    result += part;
  }
  return result;
}

}  // namespace

std::optional<std::string> NormaliseFullPath(std::string_view path) {
  path = StripQuotes(path);
  if (path.empty()) return std::nullopt;
  std::string absolute;
  if (path.front() != '/') {
    absolute = fileio::CurrentDirectory();
    if (absolute.empty()) return std::nullopt;
    absolute += '/';
  }
  absolute += path;
  std::string result = LexicallyNormal(absolute);
  if (result.size() >= PATH_MAX) return std::nullopt;
  return result;
}

std::ptrdiff_t FindLast(std::string_view text, std::string_view pattern) {
  if (pattern.empty()) return -1;
  std::ptrdiff_t last = -1;
  size_t i = 0;
  while (i < text.size()) {
    if (text.compare(i, pattern.size(), pattern) == 0) last = static_cast<std::ptrdiff_t>(i);
    // Step over a whole character so a match never starts inside one.
    i += CharLength(text.data() + i, text.size() - i);
  }
  return last;
}

std::string FileTitle(std::string_view path) {
  path = StripQuotes(path);
  size_t trailingDots = 0;
  while (trailingDots < path.size() && path[path.size() - 1 - trailingDots] == '.') ++trailingDots;

  const std::ptrdiff_t slash = FindLast(path, "/");
  std::string_view title = slash < 0 ? path : path.substr(static_cast<size_t>(slash) + 1);
  // The extension and then one further ".suffix" per trailing dot.
  for (size_t removals = 0; removals <= trailingDots; ++removals) {
    const std::ptrdiff_t dot = FindLast(title, ".");
    if (dot < 0) break;
    title = title.substr(0, static_cast<size_t>(dot));
  }
  return std::string(title);
}

}  // namespace snipora
