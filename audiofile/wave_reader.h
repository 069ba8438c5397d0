#pragma once

#include <cstdint>

#include "audiofile/sector_file.h"
#include "audiofile/sound_format.h"
#include "audiofile/sound_units.h"

namespace snipora {

// Fills info from a RIFF WAVE file open in file at position 0 and leaves the
// file at the first sample byte. 0 success; 2 not RIFF WAVE; 4 a chunk is cut
// short, no "data" chunk follows, or the block alignment or byte rate is 0;
// 7 the extra format bytes do not fit.
int ReadRiffWaveHeader(CSectorFile& file, SoundFormatInfo& info);

// Opens path in its own small CSectorFile and reads its header. 0 plain data;
// 1 cannot be opened; 3 a RIFF WAVE file whose data needs a decoder (info filled);
// otherwise the result of ReadRiffWaveHeader.
int ProbeWaveFile(const char* path, SoundFormatInfo& info);

}  // namespace snipora
