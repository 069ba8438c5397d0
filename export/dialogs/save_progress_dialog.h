#pragma once

#include <QDialog>
#include <QElapsedTimer>

#include <functional>

#include "export/export_interfaces.h"
#include "platform/ui/ui_services.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace snipora {

// The modal "saving" dialog of the Save command: once shown it runs one
// export (joined when the main window's "join all" box is checked, else
// split) and then closes itself. Cancel (button or Esc) only raises a flag
// that the export notices between blocks. Controls carry their numeric ids
// as object names: "1040" the bar of all bytes with its percentage, "1039"
// the bar of the current piece (shown only while a split writes several),
// "2" Cancel; a line below says the bytes written and the time left.
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
  void SetTotalLength(uint64_t bytes) override;
  void SetFileRange(uint64_t pieceLength) override;
  void SetFilePosition(uint64_t bytesDone) override;
  void SetOverallRange(uint32_t rows) override;
  void SetOverallPosition(uint32_t rowsBegun) override;
  void Pump(bool mainWindowToo) override;
  bool IsCancelled() const override { return cancelled_; }

  // The bytes written of all, and the time left once it can be told.
  void ShowDone(uint64_t done, bool force);

  Work work_;
  bool joined_ = false;  // the Save command's joined file: one file of several rows
  QLabel* fileLabel_;
  QProgressBar* fileBar_;
  QProgressBar* overallBar_;
  QLabel* doneLabel_;
  QPushButton* cancelButton_;
  // A QProgressBar holds int: lengths are scaled down by 2^shift.
  unsigned fileShift_ = 0;
  unsigned totalShift_ = 0;
  uint64_t totalBytes_ = 0;
  uint64_t finishedBytes_ = 0;  // of the pieces before the current one
  uint64_t pieceLength_ = 0;
  uint32_t rows_ = 0;
  QElapsedTimer elapsed_;
  qint64 shownAtMs_ = -1;  // when the line was last rewritten
  bool cancelled_ = false;
  bool started_ = false;  // one export per showing
  bool lastResult_ = false;
};

}  // namespace snipora
