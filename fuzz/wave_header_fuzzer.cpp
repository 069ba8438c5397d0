// Feeds arbitrary bytes as a .wav file to the RIFF WAVE header reader, with
// the two sector sizes the file layer supports, and checks what an accepted
// header promises: the data lies inside the file and the file stands at it.
#include <cstring>

#include "audiofile/sector_file.h"
#include "audiofile/wave_reader.h"
#include "fuzz/fuzz_support.h"

namespace {

using snipora::CSectorFile;
using snipora::SoundFormatInfo;
using snipora::fuzz::Require;

struct HeaderResult {
  int code;
  SoundFormatInfo info;
};

HeaderResult ReadWithSectorSize(const std::string& path, uint32_t sectorSize, uint32_t fileSize) {
  CSectorFile file(20480, sectorSize);
  Require(file.Open(path.c_str(), "rb", 0) == 0, "the scratch file does not open");
  HeaderResult result;
  result.code = snipora::ReadRiffWaveHeader(file, result.info);
  if (result.code == 0) {
    const SoundFormatInfo& info = result.info;
    Require(info.dataOffset >= 12, "data before the RIFF header");
    Require(uint64_t(uint32_t(info.dataOffset)) + info.dataSize <= fileSize,
            "data reaches past the end of the file");
    Require(file.Tell() == info.dataOffset, "the file is not left at the first sample byte");
    Require(info.formatBlock.blockAlign != 0 && info.formatBlock.avgBytesPerSec != 0,
            "a zero block alignment or byte rate was accepted");
    Require(info.formatBlock.extraSize < sizeof info.formatBlock.extra, "extra bytes overflow");
    Require(std::memchr(info.typeName, '\0', sizeof info.typeName) != nullptr,
            "type name without terminator");
  }
  file.Close();
  return result;
}

bool SameHeader(const HeaderResult& a, const HeaderResult& b) {
  if (a.code != b.code) return false;
  if (a.code != 0) return true;
  return a.info.dataOffset == b.info.dataOffset && a.info.dataSize == b.info.dataSize &&
         std::memcmp(&a.info.formatBlock, &b.info.formatBlock, 18) == 0 &&
         a.info.lengthFrames == b.info.lengthFrames && a.info.lengthMs == b.info.lengthMs;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = snipora::fuzz::ScratchPath(".wav");
  snipora::fuzz::WriteScratchFile(path, data, size);
  const auto fileSize = static_cast<uint32_t>(size);
  const HeaderResult small = ReadWithSectorSize(path, 512, fileSize);
  const HeaderResult large = ReadWithSectorSize(path, 4096, fileSize);
  Require(SameHeader(small, large), "the sector size changes what the header says");

  SoundFormatInfo probed;
  const int probe = snipora::ProbeWaveFile(path.c_str(), probed);
  const int expected = small.code == 0 && small.info.decoderType != 0 ? 3 : small.code;
  Require(probe == expected, "ProbeWaveFile disagrees with ReadRiffWaveHeader");
  return 0;
}
