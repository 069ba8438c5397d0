#include "export/pending_output.h"

#include <utility>

#include "platform/system/fs_ops.h"

namespace snipora {

CPendingOutput::CPendingOutput(std::string finalPath, uint32_t ringBytes, uint32_t forcedSectorSize)
    : finalPath_(std::move(finalPath)), file_(ringBytes, forcedSectorSize) {}

CPendingOutput::~CPendingOutput() {
  Discard();
}

bool CPendingOutput::Open() {
  Discard();
  temporaryPath_ = fsops::CreateTemporaryBeside(finalPath_);
  if (temporaryPath_.empty()) return false;
  if (file_.Open(temporaryPath_.c_str(), "wb", 32) != 0) {
    Discard();
    return false;
  }
  // Writing overlaps the filling of the ring; without the second ring or
  // thread (no memory) the file is written directly, only slower.
  file_.EnableWriteBehind();
  return true;
}

bool CPendingOutput::Commit(bool (*verify)(const std::string& path)) {
  if (temporaryPath_.empty()) return false;
  const bool written =
      !file_.HasWriteError() && file_.Close() == 0 && (verify == nullptr || verify(temporaryPath_));
  // The data must be on the disk before the rename makes it the file of
  // that name, or a crash could leave an empty file in place of an old one.
  if (!written || fsops::SyncFile(temporaryPath_) != 0 ||
      fsops::RenameReplacing(temporaryPath_, finalPath_) != 0) {
    Discard();
    return false;
  }
  temporaryPath_.clear();
  fsops::SyncFolder(fsops::FolderOf(finalPath_));
  return true;
}

void CPendingOutput::Discard() {
  if (file_.IsOpen()) file_.Close();
  if (!temporaryPath_.empty()) fsops::RemoveFile(temporaryPath_);
  temporaryPath_.clear();
}

}  // namespace snipora
