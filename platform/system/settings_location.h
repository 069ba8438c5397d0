#pragma once

#include <string>

// Where the program keeps its settings file.
namespace snipora {

// The settings file for the given environment values (null or empty: unset):
// <xdgConfigHome>/snipora/snipora.ini when xdgConfigHome is an absolute path,
// else <home>/.config/snipora/snipora.ini; empty when neither gives a folder.
std::string SettingsFilePath(const char* xdgConfigHome, const char* home);

// The settings file of this process, from XDG_CONFIG_HOME and HOME (when HOME
// is unset, the home folder of the user database).
std::string SettingsFilePath();

}  // namespace snipora
