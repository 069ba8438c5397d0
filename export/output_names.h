#pragma once

#include <cstdint>
#include <string>

// Names of what the export writes, derived from the source path.
namespace snipora {

// The folder that receives the pieces of a split export: the path up to its
// last '.' (after the first character), without a leading double quote; a
// path without such a '.' is kept, or if it ends in a double quote, the text
// between the quotes. So /music/song.wav gives /music/song, and
// /music.old/song gives /music.
std::string SplitFolderPath(const std::string& fullPath);

// The file name of piece index (from 0): 01.wav ... 99.wav, 100.wav ...
std::string PieceFileName(uint32_t index);

// folder + "/" + name.
std::string PathInFolder(const std::string& folder, const std::string& name);

}  // namespace snipora
