#include "app/silence_dialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include "waveform/widgets/waveform_view.h"

namespace snipora {

namespace {

constexpr int kSettleMs = 250;
constexpr int kPollMs = 50;
constexpr int kLongestMs = 3600000;  // an hour

QSpinBox* NewMilliseconds(const char* name, uint32_t value, const QString& tip) {
  auto* box = new QSpinBox;
  box->setObjectName(QString::fromLatin1(name));
  box->setRange(0, kLongestMs);
  box->setSingleStep(10);
  box->setValue(static_cast<int>(std::min<uint32_t>(value, kLongestMs)));
  box->setSuffix(CSilenceDlg::tr(" ミリ秒"));
  box->setToolTip(tip);
  return box;
}

}  // namespace

CSilenceDlg::CSilenceDlg(const std::string& path, const SoundFormatInfo& format,
                         const ranges::SilenceRules& rules, CWaveformView& waveform,
                         QWidget* parent)
    : QDialog(parent), preview_(path, format), waveform_(waveform) {
  setWindowTitle(tr("無音で区切って音を探す"));

  threshold_ = new QDoubleSpinBox;
  threshold_->setObjectName(QStringLiteral("threshold"));
  threshold_->setRange(-120.0, 0.0);
  threshold_->setDecimals(1);
  threshold_->setSingleStep(1.0);
  threshold_->setValue(rules.thresholdDb);
  threshold_->setSuffix(QStringLiteral(" dB"));
  threshold_->setToolTip(
      tr("どのチャンネルの音もこの大きさ以下のフレームを無音とみなします (0 dB がフルスケール)"));
  minSilence_ =
      NewMilliseconds("minSilence", rules.minSilenceMs, tr("これより短い無音では区切りません"));
  minSound_ = NewMilliseconds("minSound", rules.minSoundMs, tr("これより短い音は範囲にしません"));
  pad_ = NewMilliseconds("pad", rules.padMs,
                         tr("各範囲の前後に残す無音 (隣の範囲と重なるところでは中間で分けます)"));

  auto* form = new QFormLayout;
  form->addRow(tr("無音のしきい値(&T):"), threshold_);
  form->addRow(tr("最短の無音(&S):"), minSilence_);
  form->addRow(tr("最短の音(&M):"), minSound_);
  form->addRow(tr("前後の余白(&P):"), pad_);

  status_ = new QLabel;
  status_->setObjectName(QStringLiteral("status"));
  status_->setMinimumWidth(status_->fontMetrics().horizontalAdvance(QString(36, QChar(0x3042))));
  progress_ = new QProgressBar;
  progress_->setRange(0, 1000);
  progress_->setTextVisible(false);
  progress_->setToolTip(tr("ファイルを読んだ割合"));

  auto* buttons = new QDialogButtonBox;
  add_ = buttons->addButton(QString(), QDialogButtonBox::AcceptRole);
  add_->setObjectName(QStringLiteral("add"));
  add_->setDefault(true);
  add_->setToolTip(tr("見つかった範囲をすべて予約の一覧に加えます (元に戻すで一度に取り消せます)"));
  QPushButton* close = buttons->addButton(tr("閉じる"), QDialogButtonBox::RejectRole);
  close->setObjectName(QStringLiteral("close"));
  close->setToolTip(tr("何も加えずに閉じます"));
  connect(buttons, &QDialogButtonBox::accepted, this, &CSilenceDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CSilenceDlg::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(status_);
  layout->addWidget(progress_);
  layout->addWidget(buttons);

  settle_ = new QTimer(this);
  settle_->setSingleShot(true);
  settle_->setInterval(kSettleMs);
  connect(settle_, &QTimer::timeout, this, &CSilenceDlg::Follow);
  poll_ = new QTimer(this);
  poll_->setInterval(kPollMs);
  connect(poll_, &QTimer::timeout, this, &CSilenceDlg::PollRead);
  connect(threshold_, &QDoubleSpinBox::valueChanged, settle_, qOverload<>(&QTimer::start));
  for (QSpinBox* box : {minSilence_, minSound_, pad_})
    connect(box, &QSpinBox::valueChanged, settle_, qOverload<>(&QTimer::start));
  Follow();
}

CSilenceDlg::~CSilenceDlg() = default;

bool CSilenceDlg::Following() const {
  return settle_->isActive() || preview_.Reading();
}

ranges::SilenceRules CSilenceDlg::Rules() const {
  return {threshold_->value(), static_cast<uint32_t>(minSilence_->value()),
          static_cast<uint32_t>(minSound_->value()), static_cast<uint32_t>(pad_->value())};
}

void CSilenceDlg::Follow() {
  settle_->stop();
  if (preview_.Request(Rules())) {
    poll_->stop();
  } else {
    poll_->start();
  }
  ShowSounds();
}

void CSilenceDlg::PollRead() {
  if (preview_.Poll()) poll_->stop();
  ShowSounds();
}

void CSilenceDlg::ShowSounds() {
  const std::vector<ranges::LabeledRange>& sounds = preview_.Sounds();
  const int count = static_cast<int>(sounds.size());
  add_->setText(tr("%n 個の範囲を追加", nullptr, count));
  add_->setEnabled(!preview_.Reading() && count > 0);
  progress_->setVisible(preview_.Reading());
  if (preview_.Reading()) {
    progress_->setValue(static_cast<int>(preview_.ReadShare() * 1000));
    status_->setText(tr("ファイルを読んでいます..."));
  } else if (preview_.End() == ranges::SilenceScanEnd::kFormatRefused) {
    status_->setText(tr("この形式のファイルでは無音を探せません"));
  } else if (preview_.End() == ranges::SilenceScanEnd::kOpenFailed) {
    status_->setText(tr("ファイルを開けません"));
  } else if (preview_.End() == ranges::SilenceScanEnd::kReadFailed) {
    status_->setText(tr("ファイルがヘッダの示す長さより短いため、読み終えられません"));
  } else if (count == 0) {
    status_->setText(tr("この値では音が見つかりません"));
  } else {
    status_->setText(tr("%n 個の音が見つかりました (波形に紫で表示)", nullptr, count));
  }
  std::vector<FrameRange> ranges;
  ranges.reserve(sounds.size());
  for (const ranges::LabeledRange& sound : sounds)
    ranges.push_back({sound.startFrame, sound.endFrame});
  waveform_.SetPreview(std::move(ranges));
}

void CSilenceDlg::accept() {
  if (settle_->isActive()) Follow();
  if (preview_.Reading() || Sounds().empty()) return;
  QDialog::accept();
}

void CSilenceDlg::done(int result) {
  settle_->stop();
  poll_->stop();
  preview_.Cancel();
  waveform_.SetPreview({});
  QDialog::done(result);
}

}  // namespace snipora
