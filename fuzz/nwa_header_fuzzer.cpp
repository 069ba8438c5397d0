// Feeds arbitrary bytes as a .nwa file to the NWA module's header reader and
// checks what an accepted header promises.
#include "audiofile/nwa_module.h"
#include "audiofile/sector_file.h"
#include "fuzz/fuzz_support.h"

using snipora::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = snipora::fuzz::ScratchPath(".nwa");
  snipora::fuzz::WriteScratchFile(path, data, size);
  snipora::CSectorFile file(20480, 512);
  Require(file.Open(path.c_str(), "rb", 0) == 0, "the scratch file does not open");
  snipora::SoundFormatInfo info;
  snipora::Cdeclib_h_nwa module;
  if (module.ReadHeader(file, info) == 0) {
    Require(size >= 44, "a file shorter than the header was accepted");
    Require(info.dataOffset == 44 && info.dataSize == size - 44, "data outside the file");
    Require(info.formatBlock.blockAlign != 0, "a zero block alignment was accepted");
    Require(info.format == &info.formatBlock, "format points elsewhere");
  }
  file.Close();
  return 0;
}
