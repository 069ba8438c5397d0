#pragma once

#include <QDialog>

#include <functional>

#include "export/export_interfaces.h"
#include "platform/ui/ui_services.h"

class QProgressBar;
class QPushButton;

namespace snipora {

// The modal "saving" dialog of the Save command: once shown it runs one
// export (joined when the main window's "join all" box is checked, else
// split) and then closes itself. Cancel (button or Esc) only raises a flag
// that the export notices between blocks. Controls carry their numeric ids
// as object names: "1039" piece bar, "1040" reservations bar, "2" Cancel.
class CSaveProgressDlg : public QDialog, private IExportProgress {
  Q_OBJECT

 public:
  CSaveProgressDlg(IExportHost& host, IUiServices& ui, QWidget* parent = nullptr);
  // Runs `work` (a save that reports to this progress) instead of the Save
  // command's export; it returns whether it succeeded.
  using Work = std::function<bool(IExportProgress&)>;
  explicit CSaveProgressDlg(Work work, QWidget* parent = nullptr);

  // Starts the export unless one is running or this dialog already ran one
  // (a second start arriving while the first pumps events is swallowed);
  // closes the dialog after it.
  void RunExport();

  // The result of the last export run by this dialog.
  bool LastResult() const { return lastResult_; }
  bool CancelRequested() const { return cancelled_; }

  // Cancel and Esc: ask the running export to stop; the dialog stays open
  // until it has.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // IExportProgress
  void SetFileRange(uint64_t pieceLength) override;
  void SetFilePosition(uint64_t bytesDone) override;
  void SetOverallRange(uint32_t rows) override;
  void SetOverallPosition(uint32_t rowsBegun) override;
  void Pump(bool mainWindowToo) override;
  bool IsCancelled() const override { return cancelled_; }

  Work work_;
  QProgressBar* fileBar_;
  QProgressBar* overallBar_;
  QPushButton* cancelButton_;
  unsigned fileShift_ = 0;  // a QProgressBar holds int: lengths are scaled down by 2^shift
  bool cancelled_ = false;
  bool started_ = false;  // one export per showing
  bool lastResult_ = false;
};

}  // namespace snipora
