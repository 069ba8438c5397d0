#include "loopsearch/dialogs/loop_candidates_dlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "audiofile/sound_units.h"
#include "loopsearch/dialogs/loop_choice_lists.h"
#include "loopsearch/dialogs/loop_progress_dlg.h"
#include "waveform/clock_text.h"

namespace snipora {

namespace {

enum Column { kStart, kEnd, kLength, kSeam, kColumns };

QPushButton* NewButton(const QString& text, const char* name, const QString& tip) {
  auto* button = new QPushButton(text);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  button->setToolTip(tip);
  return button;
}

QTableWidgetItem* NewCell(const QString& text, const QString& tip = {}) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  item->setToolTip(tip);
  return item;
}

}  // namespace

CLoopCandidatesDlg::CLoopCandidatesDlg(ILoopCandidatesHost& host, QWidget* parent)
    : QDialog(parent), host_(host), span_(host.SearchSpan()) {
  setWindowTitle(tr("ループ検出"));
  BuildControls();
  ApplyState();
}

void CLoopCandidatesDlg::BuildControls() {
  const uint32_t rate = host_.FormatInfo().formatBlock.samplesPerSec;
  const QString from = QString::fromStdString(ClockText(span_.startFrame, rate));
  const QString to = QString::fromStdString(ClockText(span_.endFrame, rate));
  auto* span = new QLabel(span_.betweenMarkers
                              ? tr("検索範囲: マーカの間 (%1 から %2)").arg(from, to)
                              : tr("検索範囲: 現在位置から終わりまで (%1 から %2)").arg(from, to));
  span->setObjectName(QStringLiteral("span"));
  span->setToolTip(
      tr("ループの始まりはこの範囲の始め。マーカを 2 つ置くとその間を、置かなければ現在位置から"
         "終わりまでを探します"));

  lengthList_ = MakeLoopChoiceList(this, 1044, kLoopLengthChoices, kDefaultLoopLength);
  lengthList_->setToolTip(tr("ループの始まりと終わりの後で一致を調べる音の長さ"));
  precisionList_ = MakeLoopChoiceList(this, 1045, kLoopPrecisionChoices, kDefaultLoopPrecision);
  precisionList_->setToolTip(tr("一致とみなす差の大きさ (小さいほど厳密)"));
  QPushButton* start = NewButton(tr("検出開始"), "1", tr("この設定で検索範囲を探します"));
  start->setDefault(true);
  connect(start, &QPushButton::clicked, this, &CLoopCandidatesDlg::accept);

  auto* settings = new QGridLayout;
  settings->addWidget(new QLabel(tr("マッチさせる長さ")), 0, 0);
  settings->addWidget(lengthList_, 0, 1);
  settings->addWidget(new QLabel(tr("精度")), 1, 0);
  settings->addWidget(precisionList_, 1, 1);
  settings->addWidget(start, 0, 2);
  settings->setColumnStretch(1, 1);

  table_ = new QTableWidget(0, kColumns);
  table_->setObjectName(QStringLiteral("candidates"));
  table_->setHorizontalHeaderLabels({tr("開始"), tr("終了"), tr("長さ"), tr("継ぎ目の差")});
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->verticalHeader()->setVisible(false);
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  // Room for every header and a clock text in each column.
  int columnWidth = table_->fontMetrics().horizontalAdvance(QStringLiteral("0:00:00.000"));
  for (int column = 0; column < kColumns; ++column) {
    columnWidth = std::max(columnWidth, table_->fontMetrics().horizontalAdvance(
                                            table_->horizontalHeaderItem(column)->text()));
  }
  table_->setMinimumWidth(kColumns * (columnWidth + 24) + 4);
  table_->setMinimumHeight(table_->fontMetrics().height() * 10);
  table_->setToolTip(
      tr("見つかったループ、継ぎ目の差の小さい順。選ぶとマーカがループの始めと終わりに移ります"));
  connect(table_, &QTableWidget::itemSelectionChanged, this, &CLoopCandidatesDlg::OnRowChosen);

  listen_ = NewButton(tr("継ぎ目を聴く(&L)"), "listen",
                      tr("ループの終わりの 2 秒前から再生し、継ぎ目を越えて始まりへ続けます"));
  keep_ = NewButton(
      tr("ファイルのループにする(&U)"), "keep",
      tr("保存するとき、このループを含む範囲のファイルに smpl チャンクとして書き込みます"));
  connect(listen_, &QPushButton::clicked, this, [this] {
    if (const LoopCandidate* loop = Chosen()) host_.ListenToSeam(*loop);
  });
  connect(keep_, &QPushButton::clicked, this, [this] {
    const LoopCandidate* loop = Chosen();
    if (loop == nullptr) return;
    host_.KeepLoopForSave(*loop);
    const uint32_t sampleRate = host_.FormatInfo().formatBlock.samplesPerSec;
    status_->setText(tr("保存するときのループ: %1 から %2")
                         .arg(QString::fromStdString(ClockText(loop->startFrame, sampleRate)),
                              QString::fromStdString(ClockText(loop->endFrame, sampleRate))));
  });

  count_ = new QSpinBox;
  count_->setObjectName(QStringLiteral("count"));
  count_->setRange(1, 100);
  count_->setValue(2);
  count_->setSuffix(tr(" 回"));
  count_->setToolTip(tr("延長版でループを再生する回数"));
  fade_ = new QSpinBox;
  fade_->setObjectName(QStringLiteral("fade"));
  fade_->setRange(0, 600000);
  fade_->setSingleStep(1000);
  fade_->setValue(10000);
  fade_->setSuffix(tr(" ミリ秒"));
  fade_->setToolTip(tr("最後のループの後、ループの始まりから続けてフェードアウトする長さ"));
  saveExtended_ = NewButton(tr("延長版を保存(&S)..."), "saveExtended",
                            tr("ループを指定の回数繰り返してフェードアウトする試聴用のファイルを"
                               "書き出します (smpl チャンクなし)"));
  connect(saveExtended_, &QPushButton::clicked, this, [this] {
    const LoopCandidate* loop = Chosen();
    if (loop == nullptr) return;
    const std::string written = host_.SaveExtendedCopy(
        *loop, static_cast<uint32_t>(count_->value()), static_cast<uint32_t>(fade_->value()));
    if (!written.empty())
      status_->setText(tr("延長版を保存しました: %1").arg(QString::fromStdString(written)));
  });

  auto* actions = new QHBoxLayout;
  actions->addWidget(listen_);
  actions->addWidget(keep_);
  actions->addStretch(1);
  auto* extended = new QHBoxLayout;
  extended->addWidget(new QLabel(tr("延長版:")));
  extended->addWidget(count_);
  extended->addWidget(new QLabel(tr("フェード")));
  extended->addWidget(fade_);
  extended->addWidget(saveExtended_);
  extended->addStretch(1);

  status_ = new QLabel;
  status_->setObjectName(QStringLiteral("status"));
  status_->setWordWrap(true);
  QPushButton* close = NewButton(tr("閉じる"), "2", tr("閉じます"));
  connect(close, &QPushButton::clicked, this, &CLoopCandidatesDlg::reject);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(status_, 1);
  bottom->addWidget(close);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(span);
  layout->addLayout(settings);
  layout->addWidget(new QLabel(tr("検出結果")));
  layout->addWidget(table_, 1);
  layout->addLayout(actions);
  layout->addLayout(extended);
  layout->addLayout(bottom);
}

void CLoopCandidatesDlg::accept() {
  if (span_.endFrame <= span_.startFrame) {
    status_->setText(EmptySpanText());
    return;
  }
  LoopCandidateRequest request;
  request.path = host_.OpenFilePath();
  request.format = host_.FormatInfo();
  request.startFrame = span_.startFrame;
  request.endFrame = span_.endFrame;
  request.lengthIndex = lengthList_->currentIndex();
  request.precisionIndex = precisionList_->currentIndex();
  LoopSearchEnd end = LoopSearchEnd::Completed;
  std::vector<LoopCandidate> found;
  CLoopProgressDlg progress(
      [&](ILoopSearchProgress& searchProgress) {
        found = FindLoopCandidates(request, searchProgress, host_.Ui(), end);
        return end;
      },
      this);
  progress.exec();
  candidates_ = std::move(found);
  ShowCandidates();
  const int count = static_cast<int>(candidates_.size());
  switch (end) {
    case LoopSearchEnd::ConstantWindow:
      status_->setText(UiText(kLoopConstantWindowText));
      break;
    case LoopSearchEnd::Cancelled:
      status_->setText(tr("中止しました。それまでに見つかった %n 個の候補です", nullptr, count));
      break;
    case LoopSearchEnd::FormatRefused:
    case LoopSearchEnd::OpenFailed:
    case LoopSearchEnd::NoMemory:
      status_->clear();  // the search has said why
      break;
    case LoopSearchEnd::EmptyWindow:
      status_->setText(EmptySpanText());
      break;
    case LoopSearchEnd::DataEnded:
    case LoopSearchEnd::Completed:
      status_->setText(count == 0
                           ? tr("ループは見つかりませんでした。精度を下げるか、長さを短くして"
                                "ください")
                           : tr("%n 個の候補 (継ぎ目の差の小さい順)", nullptr, count));
      break;
  }
}

QString CLoopCandidatesDlg::EmptySpanText() {
  return tr(
      "検索範囲に音がありません。マーカを 2 つ置くか、現在位置を終わりより前に移して"
      "ください");
}

void CLoopCandidatesDlg::ShowCandidates() {
  const QSignalBlocker blocker(table_);
  const uint32_t rate = host_.FormatInfo().formatBlock.samplesPerSec;
  const auto clock = [rate](uint64_t frame) {
    return QString::fromStdString(ClockText(frame, rate));
  };
  const auto frames = [](uint64_t frame) { return tr("%1 サンプル").arg(frame); };
  table_->setRowCount(static_cast<int>(candidates_.size()));
  for (int row = 0; row < table_->rowCount(); ++row) {
    const LoopCandidate& c = candidates_[static_cast<size_t>(row)];
    const uint64_t length = c.endFrame - c.startFrame;
    table_->setItem(row, kStart, NewCell(clock(c.startFrame), frames(c.startFrame)));
    table_->setItem(row, kEnd, NewCell(clock(c.endFrame), frames(c.endFrame)));
    table_->setItem(
        row, kLength,
        NewCell(QString::fromStdString(MillisecondsClockText(FramesToMilliseconds(length, rate))),
                frames(length)));
    table_->setItem(row, kSeam, NewCell(QString::number(c.seamDifference)));
  }
  table_->clearSelection();
  ApplyState();
}

const LoopCandidate* CLoopCandidatesDlg::Chosen() const {
  const QList<QTableWidgetItem*> selected = table_->selectedItems();
  if (selected.isEmpty()) return nullptr;
  return &candidates_.at(static_cast<size_t>(selected.front()->row()));
}

void CLoopCandidatesDlg::OnRowChosen() {
  if (const LoopCandidate* loop = Chosen()) host_.ChooseLoop(*loop);
  ApplyState();
}

void CLoopCandidatesDlg::ApplyState() {
  const bool chosen = Chosen() != nullptr;
  for (QWidget* action : {static_cast<QWidget*>(listen_), static_cast<QWidget*>(keep_),
                          static_cast<QWidget*>(saveExtended_)})
    action->setEnabled(chosen);
}

}  // namespace snipora
