#pragma once

#include <memory>
#include <string>

#include "audiofile/flac_stream.h"
#include "audiofile/sample_source.h"
#include "audiofile/sector_file.h"

// FLAC files read through CSectorFile: recognising and describing them, and
// reading their decoded frames at any position.
namespace snipora {

// A decoder's input read from a CSectorFile.
class CFlacFileInput : public IFlacInput {
 public:
  explicit CFlacFileInput(CSectorFile& file) : file_(file) {}
  Status Read(uint8_t* dst, size_t& n) override;
  bool Seek(uint64_t position) override;
  uint64_t Tell() const override;
  uint64_t Length() const override;

 private:
  CSectorFile& file_;
};

// Why a file is not read as FLAC.
enum class FlacProblem {
  kNone,
  kNotFlac,   // no "fLaC" mark at the start (after an ID3v2 tag, if any)
  kDamaged,   // the header cannot be read, or states a format FLAC does not have
  kNoLength,  // the header does not state the length (a stream written to a pipe)
  kCutShort,  // the stated last frame cannot be decoded: damaged or cut short
};

// Reads the header of the FLAC file open in `file` (from its start), checks
// that the last frame it states decodes, and describes the decoded frames in
// `info` (FlacFormatRecord); `header` receives the header when given.
FlacProblem ReadFlacFile(CSectorFile& file, SoundFormatInfo& info, FlacHeader* header = nullptr);
// The same for the file at `path` (kNotFlac when it cannot be opened).
FlacProblem ReadFlacFile(const std::string& path, SoundFormatInfo& info,
                         FlacHeader* header = nullptr);

// The decoded frames of the FLAC file at `path` at any byte position, read
// through a ring of ringBytes (ISampleData); null when it cannot be opened or
// its header read.
std::unique_ptr<ISampleData> OpenFlacSampleData(const std::string& path, uint32_t ringBytes);

}  // namespace snipora
