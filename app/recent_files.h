#pragma once

#include <string>
#include <vector>

// The files opened last, newest first, kept in the settings file beside the
// volume settings.
namespace snipora {

inline constexpr size_t kMaxRecentFiles = 10;

std::vector<std::string> LoadRecentFiles();
// Rewrites the list's section and keeps the rest of the settings file.
bool SaveRecentFiles(const std::vector<std::string>& files);
// `path` moved (or added) to the front; at most kMaxRecentFiles.
std::vector<std::string> WithRecentFile(std::vector<std::string> files, const std::string& path);

}  // namespace snipora
