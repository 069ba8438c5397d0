#include "app/model/dialog_folders.h"

#include "platform/system/fs_ops.h"

namespace snipora {

std::string DialogStartFolder(const std::string& openFile,
                              const std::vector<std::string>& recentFiles,
                              const UserFolders& fallbacks) {
  if (!openFile.empty()) return fsops::FolderOf(openFile);
  if (!recentFiles.empty() && fsops::IsFolder(fsops::FolderOf(recentFiles.front())))
    return fsops::FolderOf(recentFiles.front());
  if (!fallbacks.music.empty() && fsops::IsFolder(fallbacks.music)) return fallbacks.music;
  return fallbacks.home;
}

}  // namespace snipora
