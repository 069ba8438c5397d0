#pragma once

#include <cstdint>
#include <optional>
#include <string>

// What limits a write, asked after one failed so that the message can say
// why: the folder's permission, the room on its file system and the
// process's file-size limit.
namespace snipora::fsops {

// True when this process may create files in `folder`.
bool CanCreateIn(const std::string& folder);

// Bytes an unprivileged process can still write on the file system of
// `folder`; nothing when that cannot be told.
std::optional<uint64_t> FreeBytes(const std::string& folder);

// The largest file this process may write (ulimit -f); nothing for no limit.
std::optional<uint64_t> FileSizeLimit();

}  // namespace snipora::fsops
