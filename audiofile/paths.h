#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace snipora {

// An absolute, lexically normal path ('.' and '..' resolved, repeated '/'
// folded, no symbolic links followed) relative to the current directory.
// Surrounding double quotes are stripped; trailing spaces and dots, ':' and
// stream-like suffixes are kept (ordinary name characters on POSIX). Nothing
// when the path is empty or only quotes, or longer than PATH_MAX.
std::optional<std::string> NormaliseFullPath(std::string_view path);

// The file name of path without folder and extension; one further
// ".suffix" is removed for each dot the path ends with.
std::string FileTitle(std::string_view path);

// Byte index of the last occurrence of pattern in text, -1 when absent. A
// multi-byte character (snipora::CharLength) is stepped over as one unit, so
// a match never starts inside it.
std::ptrdiff_t FindLast(std::string_view text, std::string_view pattern);

}  // namespace snipora
