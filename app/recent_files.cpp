#include "app/recent_files.h"

#include <algorithm>

#include "foundation/ini.h"
#include "foundation/str.h"

namespace snipora {

namespace {

constexpr const char* kSection = "RecentFiles";

std::string Key(size_t index) {
  return "File" + std::to_string(index + 1);
}

}  // namespace

std::vector<std::string> LoadRecentFiles() {
  std::vector<std::string> files;
  IniEx ini;
  if (!ini.Load(nullptr, true) || !ini.ChangeSection(kSection)) return files;
  for (size_t i = 0; i < kMaxRecentFiles; ++i) {
    const CStr* value = ini.FindValue(Key(i).c_str());
    if (value != nullptr && value->Buffer()[0] != '\0') files.emplace_back(value->Buffer());
  }
  return files;
}

bool SaveRecentFiles(const std::vector<std::string>& files) {
  IniEx ini;
  ini.Load(nullptr, true);  // a missing file starts empty
  if (!ini.CreateSection(kSection) || !ini.ChangeSection(kSection)) return false;
  // Every slot is written, so that no entry of a longer old list remains.
  for (size_t i = 0; i < kMaxRecentFiles; ++i)
    ini.Value(Key(i).c_str()).Assign(i < files.size() ? files[i].c_str() : "");
  return ini.Save(nullptr);
}

std::vector<std::string> WithRecentFile(std::vector<std::string> files, const std::string& path) {
  // A line break would end the settings line early: such a path is not kept.
  if (path.find_first_of("\r\n") != std::string::npos) return files;
  files.erase(std::remove(files.begin(), files.end(), path), files.end());
  files.insert(files.begin(), path);
  if (files.size() > kMaxRecentFiles) files.resize(kMaxRecentFiles);
  return files;
}

}  // namespace snipora
