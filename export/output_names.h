#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "export/export_plan.h"

// Names of what the export writes, derived from the source path.
namespace snipora {

// The source's file name without its folder and without its last extension;
// a leading dot starts no extension: /music/song.wav gives "song",
// /music/.hidden gives ".hidden", /music/a.b.wav gives "a.b".
std::string FileStem(const std::string& path);

// The folder that receives the pieces of a split export: the source's folder
// plus its stem, so /music/song.wav gives /music/song and dots/v1.0/song.wav
// gives dots/v1.0/song. Where that would be the source itself (a name without
// an extension, /music/song or /music/.hidden), ".pieces" is added:
// /music/song.pieces. Double quotes around the path are dropped.
std::string SplitFolderPath(const std::string& fullPath);

// The file name extension of outputs in `format`: ".wav" or ".flac".
const char* OutputExtension(OutputFormat format);

// The format a file name's extension names (.flac or .wav, in any case);
// nothing for other names.
std::optional<OutputFormat> FormatNamed(const std::string& path);

// The file name of piece index (from 0): 01.wav ... 99.wav, 100.wav ...
// (with another extension, 01.flac ...).
std::string PieceFileName(uint32_t index, const char* extension = ".wav");

// folder + "/" + name.
std::string PathInFolder(const std::string& folder, const std::string& name);

}  // namespace snipora
