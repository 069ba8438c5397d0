#include "export/dialogs/save_progress_dialog.h"

#include <climits>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "export/export_flows.h"

namespace snipora {

namespace {

// One export at a time in the whole program: pumping events inside an export
// must not start another one.
bool exportRunning = false;

// The line below the bars is rewritten this often at most.
constexpr qint64 kDoneLineMs = 200;
// The time left is guessed from the speed so far once this much has passed.
constexpr qint64 kFirstGuessMs = 1000;

QProgressBar* NewBar(const char* id) {
  auto* bar = new QProgressBar;
  bar->setObjectName(QString::fromLatin1(id));
  bar->setRange(0, 1);
  bar->setValue(0);
  bar->setMinimumWidth(300);
  return bar;
}

// The shift that brings `length` into an int.
unsigned ShiftFor(uint64_t length) {
  unsigned shift = 0;
  while ((length >> shift) > INT_MAX) ++shift;
  return shift;
}

QString DurationText(qint64 seconds) {
  if (seconds >= 3600) {
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
  }
  return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

CSaveProgressDlg::CSaveProgressDlg(IExportHost& host, IUiServices& ui, QWidget* parent)
    : CSaveProgressDlg(
          [&host, &ui](IExportProgress& progress) {
            return host.Choices().join ? ExportJoined(host, ui, progress)
                                       : ExportSplit(host, ui, progress);
          },
          parent) {
  joined_ = host.Choices().join;
}

CSaveProgressDlg::CSaveProgressDlg(Work work, QWidget* parent)
    : QDialog(parent), work_(std::move(work)) {
  setWindowTitle(tr("保存しています"));
  setModal(true);
  fileLabel_ = new QLabel(tr("処理中のファイル進捗情報"));
  fileBar_ = NewBar("1039");
  fileBar_->setTextVisible(false);
  overallBar_ = NewBar("1040");
  overallBar_->setToolTip(tr("保存する全データのうち書き込んだ割合"));
  fileBar_->setToolTip(tr("いま書いているファイルの進み具合"));
  doneLabel_ = new QLabel;
  doneLabel_->setObjectName(QStringLiteral("done"));
  cancelButton_ = new QPushButton(tr("ｷｬﾝｾﾙ"));
  cancelButton_->setObjectName(QStringLiteral("2"));
  cancelButton_->setAutoDefault(false);
  cancelButton_->setToolTip(
      tr("保存を中止します。書きかけのファイルは消し、書き終えたファイルは残します"));
  connect(cancelButton_, &QPushButton::clicked, this, &CSaveProgressDlg::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(tr("全体の進捗情報")));
  layout->addWidget(overallBar_);
  layout->addWidget(doneLabel_);
  layout->addWidget(fileLabel_);
  layout->addWidget(fileBar_);
  // Shown once a split turns out to write several files.
  fileLabel_->hide();
  fileBar_->hide();
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cancelButton_);
  layout->addLayout(buttons);
  ShowDone(0, true);
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

void CSaveProgressDlg::SetTotalLength(uint64_t bytes) {
  totalBytes_ = bytes;
  totalShift_ = ShiftFor(bytes);
  overallBar_->setRange(0, static_cast<int>(bytes >> totalShift_));
  overallBar_->setValue(0);
  elapsed_.start();
  ShowDone(0, true);
}

void CSaveProgressDlg::SetFileRange(uint64_t pieceLength) {
  finishedBytes_ += pieceLength_;
  pieceLength_ = pieceLength;
  fileShift_ = ShiftFor(pieceLength);
  fileBar_->setRange(0, static_cast<int>(pieceLength >> fileShift_));
}

void CSaveProgressDlg::SetFilePosition(uint64_t bytesDone) {
  fileBar_->setValue(static_cast<int>(bytesDone >> fileShift_));
  const uint64_t done = std::min(finishedBytes_ + bytesDone, totalBytes_);
  overallBar_->setValue(static_cast<int>(done >> totalShift_));
  ShowDone(done, false);
}

void CSaveProgressDlg::SetOverallRange(uint32_t rows) {
  rows_ = rows;
  // A joined file or a single piece is one file: its bar is the one above.
  const bool several = !joined_ && rows > 1;
  fileLabel_->setVisible(several);
  fileBar_->setVisible(several);
}

void CSaveProgressDlg::SetOverallPosition(uint32_t rowsBegun) {
  if (rowsBegun < rows_) {
    fileLabel_->setText(tr("処理中のファイル進捗情報 (%1 / %2)").arg(rowsBegun + 1).arg(rows_));
  } else {
    // Every piece is in: the whole is done.
    overallBar_->setValue(overallBar_->maximum());
    ShowDone(totalBytes_, true);
  }
}

void CSaveProgressDlg::ShowDone(uint64_t done, bool force) {
  const qint64 now = elapsed_.isValid() ? elapsed_.elapsed() : 0;
  if (!force && shownAtMs_ >= 0 && now - shownAtMs_ < kDoneLineMs) return;
  shownAtMs_ = now;
  const QLocale locale;
  const QString written =
      tr("%1 / %2 を書き込みました")
          .arg(locale.formattedDataSize(static_cast<qint64>(done), 1, QLocale::DataSizeSIFormat),
               locale.formattedDataSize(static_cast<qint64>(totalBytes_), 1,
                                        QLocale::DataSizeSIFormat));
  QString left;
  if (done >= totalBytes_ && totalBytes_ > 0) {
    left = tr("完了");
  } else if (now < kFirstGuessMs || done == 0) {
    left = tr("残り時間を計算しています…");
  } else {
    const double bytesPerMs = static_cast<double>(done) / static_cast<double>(now);
    const auto seconds =
        static_cast<qint64>(static_cast<double>(totalBytes_ - done) / bytesPerMs / 1000 + 0.999);
    left = tr("残り約 %1").arg(DurationText(seconds));
  }
  doneLabel_->setText(written + QStringLiteral(" · ") + left);
}

void CSaveProgressDlg::Pump(bool /*mainWindowToo*/) {
  // Qt dispatches the events of every window at once; the main window is
  // blocked by this modal dialog, so only repaints and Cancel get through.
  QCoreApplication::processEvents();
}

}  // namespace snipora
