// The Save, volume and speed commands and the about box: each runs its dialog
// modally over this window.
#include "app/about_dialog.h"
#include "app/dialog_hosts.h"
#include "app/main_dialog.h"
#include "app/status_line.h"
#include "export/dialogs/save_progress_dialog.h"
#include "playback/dialogs/speed_dialog.h"

namespace snipora {

void CMainDlg::OnMenuSave() {
  CMainExportHost host(*this);
  CSaveProgressDlg progress(host, ui_, this);
  progress.exec();
}

void CMainDlg::OnFilesSaved(const std::vector<std::string>& paths) {
  status_->ShowSaved(paths);
}

void CMainDlg::OnSaveStopped(bool cancelled, const std::vector<std::string>& kept) {
  status_->ShowStopped(cancelled, kept);
}

void CMainDlg::OnMenuVolume() {
  volumeDlg_.exec();
}

void CMainDlg::OnMenuSpeed() {
  CSpeedDlg speed(player_, this);
  speed.exec();
}

void CMainDlg::OnMenuAbout() {
  CAboutDlg about(this);
  about.exec();
}

}  // namespace snipora
