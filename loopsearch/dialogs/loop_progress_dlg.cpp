#include "loopsearch/dialogs/loop_progress_dlg.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

#include "platform/ui/qt_ui_text.h"

namespace snipora {

namespace {

// Posted to the dialog once it is shown, so that the search starts with the
// dialog visible.
const QEvent::Type kStartSearchEvent = static_cast<QEvent::Type>(QEvent::User + 0x8001);

// Keeps a second search from starting while one runs (all dialogs share it).
bool searchRunning = false;

}  // namespace

CLoopProgressDlg::CLoopProgressDlg(LoopSearchInput input, ILoopSearchResults& results,
                                   IUiServices& ui, QWidget* parent)
    : CLoopProgressDlg(
          [input = std::move(input), &results, &ui](ILoopSearchProgress& progress) {
            return RunLoopSearch(input, results, progress, ui);
          },
          parent) {}

CLoopProgressDlg::CLoopProgressDlg(Search search, QWidget* parent)
    : QDialog(parent), search_(std::move(search)) {
  setWindowTitle(tr("ループ検出"));

  progressBar_ = new QProgressBar(this);
  progressBar_->setObjectName(QStringLiteral("1039"));
  progressBar_->setTextVisible(false);
  progressBar_->setValue(0);

  auto* caption = new QLabel(tr("調査範囲のアドレス(ミリ秒)\nループ検出数"), this);
  progressText_ = new QLabel(QStringLiteral("0 / 0\n0"), this);
  progressText_->setObjectName(QStringLiteral("1047"));
  progressText_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  auto* stop = new QPushButton(tr("中止"), this);
  stop->setObjectName(QStringLiteral("2"));
  stop->setAutoDefault(false);
  connect(stop, &QPushButton::clicked, this, &CLoopProgressDlg::reject);
  stop->setToolTip(
      UiText(QT_TRANSLATE_NOOP("Snipora", "検出を中止します。見つかったループは残ります")));

  auto* texts = new QHBoxLayout;
  texts->addWidget(caption);
  texts->addWidget(progressText_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(progressBar_);
  layout->addLayout(texts);
  layout->addWidget(stop, 0, Qt::AlignHCenter);
}

void CLoopProgressDlg::SetRange(uint32_t total) {
  // A range of 0 to 0 would turn the bar into a busy indicator.
  progressBar_->setRange(0, static_cast<int>(std::clamp<uint32_t>(total, 1, INT_MAX)));
}

void CLoopProgressDlg::SetPosition(uint32_t position) {
  // The elapsed time may overshoot the total by rounding; the bar stays full then.
  progressBar_->setValue(static_cast<int>(
      std::min<uint32_t>(position, static_cast<uint32_t>(progressBar_->maximum()))));
}

void CLoopProgressDlg::SetText(const std::string& text) {
  progressText_->setText(QString::fromStdString(text));
}

void CLoopProgressDlg::Pump() {
  QCoreApplication::processEvents();
}

void CLoopProgressDlg::accept() {
  // Enter does nothing: the dialog closes when the search ends.
}

void CLoopProgressDlg::reject() {
  cancelled_ = true;
  if (!startPosted_) QDialog::reject();
}

void CLoopProgressDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!startPosted_) {
    startPosted_ = true;
    QCoreApplication::postEvent(this, new QEvent(kStartSearchEvent));
  }
}

bool CLoopProgressDlg::event(QEvent* event) {
  if (event->type() != kStartSearchEvent) return QDialog::event(event);
  if (searchRunning) {
    // A search already runs in this process; this one never starts.
    QDialog::done(QDialog::Rejected);
    return true;
  }
  RunSearch();
  return true;
}

void CLoopProgressDlg::RunSearch() {
  struct RunningGuard {
    RunningGuard() { searchRunning = true; }
    ~RunningGuard() { searchRunning = false; }
  } running;
  outcome_ = search_(*this);
  QDialog::done(outcome_ == LoopSearchEnd::Cancelled ? QDialog::Rejected : QDialog::Accepted);
}

}  // namespace snipora
