#pragma once

#include <string>

#include "audiofile/sound_format.h"

namespace snipora::cli {

// Reads the format of a sound file the way the main window opens one: a PCM
// RIFF WAVE file by its header; anything else only if the NWA module (an
// uncompressed NWA file) or the FLAC module recognises it. False when refused.
bool ReadSourceFormat(const std::string& path, SoundFormatInfo& info);

}  // namespace snipora::cli
