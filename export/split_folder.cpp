#include "export/split_folder.h"

#include <cerrno>
#include <utility>

#include "platform/system/fs_ops.h"

namespace snipora {

namespace {

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

CSplitFolder::CSplitFolder(std::string path) : path_(std::move(path)) {}

CSplitFolder::~CSplitFolder() {
  // Removing a folder fails unless it is empty: finished pieces keep it and
  // the folders around it.
  for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
    if (fsops::RemoveFolder(*it) != 0) break;
  }
}

int CSplitFolder::Make() {
  const std::string target = WithoutTrailingSlashes(path_);
  if (fsops::Exists(target)) return EEXIST;
  std::vector<std::string> missing{target};
  for (std::string up = fsops::FolderOf(target); !fsops::Exists(up); up = fsops::FolderOf(up)) {
    missing.push_back(up);
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    const int error = fsops::MakeFolder(*it);
    if (error != 0) return error;
    made_.push_back(*it);
    fsops::SyncFolder(fsops::FolderOf(*it));
  }
  return 0;
}

}  // namespace snipora
