#pragma once

#include <cstdint>
#include <string>

// File-system calls of the export and the command-line front end: folders,
// renames, removal, identity checks, temporary names and durability. Results
// are 0 on success or the errno value of the failing call.
namespace snipora::fsops {

// Creates one folder (permissions from the umask). EEXIST when anything of
// that name exists already.
int MakeFolder(const std::string& path);

// True when something (file, folder, ...) exists at path.
bool Exists(const std::string& path);
// True when path names a folder (following symbolic links).
bool IsFolder(const std::string& path);

// The size of the file at path in bytes; 0 when it cannot be found.
uint64_t FileSize(const std::string& path);

// True when both paths name the same file (same device and inode); false when
// either does not exist.
bool SameFile(const std::string& a, const std::string& b);

// Atomically moves from onto to, replacing a file of that name.
int RenameReplacing(const std::string& from, const std::string& to);

// Removes a file (not a folder).
int RemoveFile(const std::string& path);
// Removes an empty folder.
int RemoveFolder(const std::string& path);

// Creates an empty file with a unique name beside finalPath (same folder, so
// that a later rename is atomic) and returns its path; empty on failure, with
// errno set. The name is hidden and short whatever the final name's length
// (".snipora-XXXXXX.part"), so a final name of up to 255 bytes is possible.
// Its permissions are those of an existing file at finalPath, else the
// default for a new file (0666 less the umask).
std::string CreateTemporaryBeside(const std::string& finalPath);

// Flushes a file's data and metadata to the disk (fsync).
int SyncFile(const std::string& path);
// Flushes a folder's entries to the disk, making renames in it durable.
int SyncFolder(const std::string& path);

// The folder part of a path ("." for a bare name, "/" for a name in the root).
std::string FolderOf(const std::string& path);

// True when the descriptor is a terminal (progress display decisions).
bool IsTerminal(int fd);

}  // namespace snipora::fsops
