#pragma once

// The program's string table: the message texts with ids 101-109 (UTF-8).
namespace snipora {

enum StringId : int {
  kStrAboutMenu = 101,       // not used
  kStrAskFileAgain = 102,    // not used: the window starts without a file
  kStrCannotOpenFile = 103,  // the file does not open; the program ends
  kStrFolderExists = 104,    // not used: the save names the files it would replace
  kStrCannotWrite = 105,     // not used: the save names the file and the reason
  kStrInvalidValue = 106,    // jump dialog: the value is unreadable or too large
  kStrNothingToSave = 107,   // export: no reservations
  kStrDiscardUnsaved = 108,  // unsaved reservations: discard them?
  kStrLoopFailed = 109,      // the player refused the loop range
};

// Text of string `id`, or nullptr when the table has no such string.
const char* StringTableText(int id);

}  // namespace snipora
