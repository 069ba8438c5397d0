#include "export/split_folder.h"

#include <utility>

#include "platform/system/fs_ops.h"

namespace snipora {

CSplitFolder::CSplitFolder(std::string path) : path_(std::move(path)) {}

CSplitFolder::~CSplitFolder() {
  // Removing a folder fails unless it is empty: finished pieces keep it.
  if (made_) fsops::RemoveFolder(path_);
}

int CSplitFolder::Make() {
  const int error = fsops::MakeFolder(path_);
  if (error != 0) return error;
  made_ = true;
  std::string trimmed = path_;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  fsops::SyncFolder(fsops::FolderOf(trimmed));
  return 0;
}

}  // namespace snipora
