#pragma once

#include <string>

#include "audiofile/sound_format.h"

namespace snipora {

// What kind of file holds the sound at `path`, as the summary names it:
// "FLAC" when its FLAC decoder reads it, else "WAVE", "RF64" or "BW64" by the
// file's first four bytes, else "NWA".
std::string ContainerName(const std::string& path, const SoundFormatInfo& format);

// The open file in one line: "48 kHz · 24-bit · 6 ch · 0:03:12.500 · RF64"
// (float samples "32-bit float"; fewer valid bits than the container "20/24-bit").
std::string FormatSummary(const SoundFormatInfo& format, const std::string& container);

}  // namespace snipora
