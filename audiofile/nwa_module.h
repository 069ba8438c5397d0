#pragma once

#include "audiofile/decoder_module.h"

namespace snipora {

// Reads the header of uncompressed NWA files and reports them as plain PCM
// starting at byte 44; compressed NWA files are refused.
class Cdeclib_h_nwa : public Cdeclib {
 public:
  const char* GetInfo(int id, int* number) override;
  // The path must end in "nwa" (lower case); 1 or 2 channels, compression -1,
  // the next field 0, at least 8 bits per sample, at least 44 bytes. 0, or -1.
  int ReadHeader(CSectorFile& file, SoundFormatInfo& info) override;
};

}  // namespace snipora
