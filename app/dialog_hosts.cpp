#include "app/dialog_hosts.h"

#include "app/main_dialog.h"

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

int CMainExportHost::RowCount() const {
  return dialog_.ReservationCount();
}

std::string CMainExportHost::RowText(int row, int column) const {
  return dialog_.ReservationText(row, column);
}

bool CMainExportHost::FadeChecked() const {
  return dialog_.FadeOutChecked();
}

bool CMainExportHost::FadeEnabled() const {
  return dialog_.FadeOutEnabled();
}

std::string CMainExportHost::FadeText() const {
  return dialog_.FadeOutLengthText();
}

bool CMainExportHost::JoinChecked() const {
  return dialog_.JoinChecked();
}

bool CMainExportHost::NameByLabelsChecked() const {
  return dialog_.NameByLabelsChecked();
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

}  // namespace snipora
