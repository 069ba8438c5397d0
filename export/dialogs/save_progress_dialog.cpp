#include "export/dialogs/save_progress_dialog.h"

#include <climits>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "export/export_flows.h"

namespace snipora {

namespace {

// One export at a time in the whole program: pumping events inside an export
// must not start another one.
bool exportRunning = false;

QProgressBar* NewBar(const char* id) {
  auto* bar = new QProgressBar;
  bar->setObjectName(QString::fromLatin1(id));
  bar->setRange(0, 0);
  bar->setTextVisible(false);
  bar->setMinimumWidth(260);
  return bar;
}

}  // namespace

CSaveProgressDlg::CSaveProgressDlg(IExportHost& host, IUiServices& ui, QWidget* parent)
    : CSaveProgressDlg(
          [&host, &ui](IExportProgress& progress) {
            return host.JoinChecked() ? ExportJoined(host, ui, progress)
                                      : ExportSplit(host, ui, progress);
          },
          parent) {}

CSaveProgressDlg::CSaveProgressDlg(Work work, QWidget* parent)
    : QDialog(parent), work_(std::move(work)) {
  setWindowTitle(tr("保存しています"));
  setModal(true);
  fileBar_ = NewBar("1039");
  overallBar_ = NewBar("1040");
  overallBar_->setRange(0, 1);
  fileBar_->setRange(0, 1);
  cancelButton_ = new QPushButton(tr("ｷｬﾝｾﾙ"));
  cancelButton_->setObjectName(QStringLiteral("2"));
  cancelButton_->setAutoDefault(false);
  connect(cancelButton_, &QPushButton::clicked, this, &CSaveProgressDlg::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(tr("処理中のファイル進捗情報")));
  layout->addWidget(fileBar_);
  layout->addWidget(new QLabel(tr("全体の進捗情報")));
  layout->addWidget(overallBar_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cancelButton_);
  layout->addLayout(buttons);
}

void CSaveProgressDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Started from the event loop, once the dialog is on screen.
  QMetaObject::invokeMethod(this, &CSaveProgressDlg::RunExport, Qt::QueuedConnection);
}

void CSaveProgressDlg::RunExport() {
  if (exportRunning || started_) return;
  exportRunning = true;
  started_ = true;
  lastResult_ = work_(*this);
  QDialog::done(QDialog::Rejected);
  exportRunning = false;
}

void CSaveProgressDlg::reject() {
  cancelled_ = true;
}

void CSaveProgressDlg::closeEvent(QCloseEvent* event) {
  // The window's close button is a Cancel too; the export closes the dialog.
  cancelled_ = true;
  event->ignore();
}

void CSaveProgressDlg::SetFileRange(uint64_t pieceLength) {
  fileShift_ = 0;
  while ((pieceLength >> fileShift_) > INT_MAX) ++fileShift_;
  fileBar_->setRange(0, static_cast<int>(pieceLength >> fileShift_));
}

void CSaveProgressDlg::SetFilePosition(uint64_t bytesDone) {
  fileBar_->setValue(static_cast<int>(bytesDone >> fileShift_));
}

void CSaveProgressDlg::SetOverallRange(uint32_t rows) {
  overallBar_->setRange(0, static_cast<int>(rows < INT_MAX ? rows : INT_MAX));
}

void CSaveProgressDlg::SetOverallPosition(uint32_t rowsBegun) {
  overallBar_->setValue(static_cast<int>(rowsBegun < INT_MAX ? rowsBegun : INT_MAX));
}

void CSaveProgressDlg::Pump(bool /*mainWindowToo*/) {
  // Qt dispatches the events of every window at once; the main window is
  // blocked by this modal dialog, so only repaints and Cancel get through.
  QCoreApplication::processEvents();
}

}  // namespace snipora
