#include "app/dialog_hosts.h"

#include "app/main_dialog.h"
#include "playback/player_flags.h"

namespace snipora {

std::string CMainExportHost::FullPath() const {
  return dialog_.FullPath();
}

std::string CMainExportHost::DisplayName() const {
  return dialog_.DisplayName();
}

const SoundFormatInfo& CMainExportHost::Format() const {
  return dialog_.FormatInfo();
}

std::vector<CutRange> CMainExportHost::Ranges() const {
  std::vector<CutRange> ranges;
  for (const ReservationRow& row : dialog_.Model().Rows()) {
    ranges.push_back({row.startFrame, row.endFrame, row.label, std::nullopt});
  }
  return ranges;
}

ExportChoices CMainExportHost::Choices() const {
  return dialog_.ExportOptions();
}

void CMainExportHost::ClearUnsavedReservations() {
  dialog_.ClearUnsavedReservations();
}

void CMainExportHost::FilesWritten(const std::vector<std::string>& paths) {
  dialog_.OnFilesSaved(paths);
}

void CMainExportHost::SaveStopped(bool cancelled, const std::vector<std::string>& kept) {
  dialog_.OnSaveStopped(cancelled, kept);
}

bool CMainLoopSearchHost::IsMarker1Set() const {
  return dialog_.MarkerSet(1);
}

bool CMainLoopSearchHost::IsMarker2Set() const {
  return dialog_.MarkerSet(2);
}

uint64_t CMainLoopSearchHost::Marker1Position() const {
  return dialog_.MarkerPosition(1);
}

uint64_t CMainLoopSearchHost::Marker2Position() const {
  return dialog_.MarkerPosition(2);
}

uint64_t CMainLoopSearchHost::PlayerBytePosition() {
  return dialog_.Player().GetPosition(kUnitBytes);
}

std::string CMainLoopSearchHost::OpenFilePath() const {
  return dialog_.FullPath();
}

const SoundFormatInfo& CMainLoopSearchHost::FormatInfo() const {
  return dialog_.FormatInfo();
}

IUiServices& CMainLoopSearchHost::Ui() {
  return dialog_.Ui();
}

}  // namespace snipora
