#pragma once

#include <cstddef>
#include <string>

// Whole-file reads and crash-safe whole-file writes.
namespace snipora {

// Replaces the content of path by size bytes of data: the bytes go to a new
// file in the same folder, are flushed to the disk, and that file is renamed
// over path, so path holds either its old or its new content, never a part.
// With createFolders, missing folders on the way to path are made first. A
// symbolic link at path is followed, its target is replaced. On failure
// nothing is changed, the temporary file is removed, and false is returned
// (with errno's text in *error when error is given).
bool WriteFileAtomically(const std::string& path, const void* data, size_t size, bool createFolders,
                         std::string* error = nullptr);

// Reads the whole content of the file at path; false when it cannot be opened
// or read (a folder included).
bool ReadWholeFile(const std::string& path, std::string& contents);

// Makes the folder and its missing parents (mode 0700 for each made);
// true when the folder exists afterwards.
bool CreateFolders(const std::string& folder);

}  // namespace snipora
