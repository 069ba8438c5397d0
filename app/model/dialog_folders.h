#pragma once

#include <string>
#include <vector>

// Where the window's file dialogs start.
namespace snipora {

// The places a first dialog can fall back to: the user's Music folder (as
// the desktop names it) and home folder.
struct UserFolders {
  std::string music;
  std::string home;
};

// Beside the open file; with none open, in the folder of the file opened
// last (the recent files kept in the settings) while that folder exists,
// else in the Music folder when it exists, else at home.
std::string DialogStartFolder(const std::string& openFile,
                              const std::vector<std::string>& recentFiles,
                              const UserFolders& fallbacks);

}  // namespace snipora
