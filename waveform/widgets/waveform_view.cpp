#include "waveform/widgets/waveform_view.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include "waveform/clock_text.h"
#include "waveform/widgets/detail_view.h"
#include "waveform/widgets/overview_strip.h"

namespace snipora {

namespace {

// Often enough to look continuous while peaks arrive, rare enough to cost
// nothing worth mentioning.
constexpr int kPollMs = 50;

}  // namespace

CWaveformView::CWaveformView(QWidget* parent)
    : QWidget(parent),
      detail_(new CDetailView(model_, this)),
      clock_(new QLabel(this)),
      poll_(new QTimer(this)) {
  overview_ = new COverviewStrip(
      model_, [this] { return detail_->Shown(); }, this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(overview_, 1);
  layout->addWidget(detail_, 2);
  layout->addWidget(clock_);
  clock_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  clock_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // Until a file is open the detail view says how to get one.
  hint_ = new QLabel(tr("ファイルを開く (Ctrl+O) か、ここにドロップしてください"), detail_);
  hint_->setObjectName(QStringLiteral("hint"));
  hint_->setAlignment(Qt::AlignCenter);
  hint_->setAttribute(Qt::WA_TransparentForMouseEvents);
  auto* hintLayout = new QVBoxLayout(detail_);
  hintLayout->addWidget(hint_);
  poll_->setInterval(kPollMs);
  connect(poll_, &QTimer::timeout, this, &CWaveformView::PollPeaks);
  connect(detail_, &CDetailView::ZoomChanged, overview_, qOverload<>(&QWidget::update));
  Clear();
}

CWaveformView::~CWaveformView() = default;

std::array<CWavePane*, 2> CWaveformView::Panes() const {
  return {overview_, detail_};
}

void CWaveformView::SetFile(const std::string& path, const SoundFormatInfo& info) {
  Clear();
  // The old engine is gone (cancelled and joined) before the new one starts.
  model_.peaks = std::make_unique<CPeakEngine>(path, info);
  model_.frames = std::make_unique<CFrameReader>(path, info);
  model_.channels = model_.peaks->Channels();
  model_.totalFrames =
      info.formatBlock.blockAlign ? info.dataSize / info.formatBlock.blockAlign : 0;
  model_.sampleRate = info.formatBlock.samplesPerSec;
  detail_->ResetZoom();
  if (!model_.peaks->Finished()) poll_->start();
  Repaint();
}

void CWaveformView::Clear() {
  poll_->stop();
  model_.peaks.reset();
  model_.frames.reset();
  model_.totalFrames = 0;
  model_.sampleRate = 0;
  model_.channels = 0;
  model_.position = 0;
  model_.markers[0].reset();
  model_.markers[1].reset();
  model_.regions.clear();
  model_.preview.clear();
  model_.readout.reset();
  drawnReadyFrames_ = 0;
  detail_->DropCache();
  detail_->FollowPosition();
  Repaint();
}

void CWaveformView::SetPosition(uint64_t frame) {
  if (frame == model_.position) return;
  model_.position = frame;
  detail_->FollowPosition();
  Repaint();
}

void CWaveformView::SetMarkers(std::optional<uint64_t> marker1, std::optional<uint64_t> marker2) {
  model_.markers[0] = marker1;
  model_.markers[1] = marker2;
  Repaint();
}

void CWaveformView::SetRegions(std::vector<WaveRegion> regions) {
  model_.regions = std::move(regions);
  Repaint();
}

void CWaveformView::SetPreview(std::vector<FrameRange> ranges) {
  model_.preview = std::move(ranges);
  Repaint();
}

void CWaveformView::SetDragReadout(std::optional<uint64_t> frame) {
  model_.readout = frame;
  Repaint();
}

void CWaveformView::ShowFrames(FrameRange range) {
  detail_->ShowFrames(range);
}

void CWaveformView::ZoomIn() {
  detail_->ZoomIn();
}
void CWaveformView::ZoomOut() {
  detail_->ZoomOut();
}

QString CWaveformView::PositionText() const {
  return clock_->text();
}

void CWaveformView::PollPeaks() {
  if (!model_.peaks) return poll_->stop();
  const uint64_t ready = model_.peaks->ReadyFrames();
  if (model_.peaks->Finished()) poll_->stop();
  if (ready == drawnReadyFrames_) return;
  drawnReadyFrames_ = ready;
  Repaint();
}

void CWaveformView::Repaint() {
  const bool empty = model_.totalFrames == 0 && !model_.peaks;
  hint_->setVisible(empty);
  if (empty) {
    clock_->clear();
  } else {
    QString text = QString::fromStdString(ClockText(model_.position, model_.sampleRate) + " / " +
                                          ClockText(model_.totalFrames, model_.sampleRate));
    if (model_.peaks && !model_.peaks->Supported())
      text.prepend(tr("この形式では波形を表示できません") + "   ");
    clock_->setText(text);
  }
  overview_->update();
  detail_->update();
}

}  // namespace snipora
