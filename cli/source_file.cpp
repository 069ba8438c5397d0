#include "cli/source_file.h"

#include "audiofile/flac_module.h"
#include "audiofile/nwa_module.h"
#include "audiofile/sector_file.h"
#include "audiofile/wave_reader.h"

namespace snipora::cli {

bool ReadSourceFormat(const std::string& path, SoundFormatInfo& info) {
  if (ProbeWaveFile(path.c_str(), info) == 0) return true;
  CSectorFile file(524288);
  if (file.Open(path.c_str(), "rb", 32) != 0) return false;
  Cdeclib_h_nwa nwa;
  if (nwa.ReadHeader(file, info) == 0) return true;
  file.Seek(0, 0);
  Cdeclib_flac flac;
  return flac.ReadHeader(file, info) == 0;
}

}  // namespace snipora::cli
