#pragma once

#include <string>

#include "export/export_interfaces.h"

namespace snipora {

class CMainDlg;

// What the save-progress dialog reads from the main window, and where a
// successful save clears the unsaved-reservations flag.
class CMainExportHost : public IExportHost {
 public:
  explicit CMainExportHost(CMainDlg& dialog) : dialog_(dialog) {}

  std::string FullPath() const override;
  std::string DisplayName() const override;
  const SoundFormatInfo& Format() const override;
  std::vector<CutRange> Ranges() const override;
  ExportChoices Choices() const override;
  void ClearUnsavedReservations() override;
  void FilesWritten(const std::vector<std::string>& paths) override;
  void SaveStopped(bool cancelled, const std::vector<std::string>& kept) override;

 private:
  CMainDlg& dialog_;
};

}  // namespace snipora
