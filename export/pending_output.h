#pragma once

#include <cstdint>
#include <string>

#include "audiofile/sector_file.h"

namespace snipora {

// An output file written under a hidden temporary name beside its final name
// and moved into place only when complete, so that a cancel or a failure
// never destroys an existing file of that name. Discarded unless committed.
class CPendingOutput {
 public:
  // ringBytes and forcedSectorSize (0 = the file system's) as for CSectorFile.
  CPendingOutput(std::string finalPath, uint32_t ringBytes, uint32_t forcedSectorSize);
  CPendingOutput(const CPendingOutput&) = delete;
  CPendingOutput& operator=(const CPendingOutput&) = delete;
  ~CPendingOutput();

  // Creates the temporary file and opens it for writing. False on failure.
  bool Open();
  CSectorFile& File() { return file_; }

  // Closes the file, lets verify (when given) check the closed file, makes it
  // durable and renames it to the final name. False (and the temporary file
  // removed) when any write failed or verify refused the file.
  bool Commit(bool (*verify)(const std::string& path) = nullptr);
  // Closes and removes the temporary file; the final name is untouched.
  void Discard();

 private:
  std::string finalPath_;
  std::string temporaryPath_;  // empty when nothing is pending
  CSectorFile file_;
};

}  // namespace snipora
