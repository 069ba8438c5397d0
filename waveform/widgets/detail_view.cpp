#include "waveform/widgets/detail_view.h"

#include <QKeyEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "waveform/widgets/time_ruler.h"
#include "waveform/widgets/waveform_paint.h"

namespace snipora {

namespace {

constexpr double kFirstViewSeconds = 4;
// Sample points get dots from this many pixels per sample on.
constexpr double kDotPixels = 6;

}  // namespace

CDetailView::CDetailView(const WaveformModel& model, QWidget* parent) : CWavePane(model, parent) {
  setMinimumHeight(96);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  setFocusPolicy(Qt::WheelFocus);
  setCursor(Qt::IBeamCursor);
  setMouseTracking(true);  // the cursor shows where a line can be dragged
}

double CDetailView::FramesPerPixel() const {
  const double whole = static_cast<double>(model_.totalFrames) / std::max(1, width());
  return std::clamp(framesPerPixel_, kMinFramesPerPixel, std::max(whole, kMinFramesPerPixel));
}

void CDetailView::SetFramesPerPixel(double framesPerPixel) {
  framesPerPixel_ = framesPerPixel;
  framesPerPixel_ = FramesPerPixel();
  update();
  emit ZoomChanged();
}

void CDetailView::ResetZoom() {
  SetFramesPerPixel(model_.sampleRate * kFirstViewSeconds / std::max(1, width()));
}

FrameSpan CDetailView::LiveSpan() const {
  const double fpp = FramesPerPixel();
  const double shown = fpp * width();
  const double total = static_cast<double>(model_.totalFrames);
  // Centred on the position, but never past either end of the file.
  const double centre = centre_ ? *centre_ : static_cast<double>(model_.position);
  const double first = centre - shown / 2;
  return {std::clamp(first, 0.0, std::max(0.0, total - shown)), fpp};
}

FrameSpan CDetailView::Span() const {
  return heldSpan_ ? *heldSpan_ : LiveSpan();
}

void CDetailView::ShowFrames(FrameRange range) {
  const double frames = static_cast<double>(range.last - range.first);
  // With some room either side.
  if (frames > FramesPerPixel() * width() * 0.9) SetFramesPerPixel(frames / (width() * 0.8));
  centre_ = static_cast<double>(range.first) + frames / 2;
  update();
  emit ZoomChanged();
}

FrameRange CDetailView::Shown() const {
  const FrameSpan span = Span();
  const double last =
      std::min(span.first + span.framesPerPixel * width(), static_cast<double>(model_.totalFrames));
  return {static_cast<uint64_t>(span.first), static_cast<uint64_t>(std::ceil(last))};
}

QRect CDetailView::WaveArea() const {
  return rect().adjusted(0, kRulerHeight, 0, 0);
}

const std::vector<float>& CDetailView::FramesAt(uint64_t first, uint32_t count) {
  if (cached_.first != first || cached_.count != count || cached_.samples.empty()) {
    cached_.first = first;
    cached_.count = count;
    model_.frames->Read(first, count, cached_.samples);
  }
  return cached_.samples;
}

void CDetailView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const WaveformColours colours = ColoursFor(palette());
  painter.fillRect(rect(), colours.background);
  if (model_.totalFrames == 0) return;
  const FrameSpan span = Span();
  DrawRuler(painter, span, colours);
  if (model_.HasPeaks() && model_.frames) {
    if (span.framesPerPixel >= CPeakEngine::kFramesPerPeak) {
      const QRect area = WaveArea();
      DrawPeakColumns(
          painter, area, model_.channels,
          [&](int x, uint32_t c, PeakPair& peak) {
            const auto first = static_cast<uint64_t>(span.first + x * span.framesPerPixel);
            const auto last = static_cast<uint64_t>(span.first + (x + 1) * span.framesPerPixel);
            return model_.peaks->Peak(c, first, last, peak);
          },
          colours);
    } else if (span.framesPerPixel >= 1) {
      DrawColumns(painter, span, colours);
    } else {
      DrawSamples(painter, span, colours);
    }
  }
  DrawMarks(painter, WaveArea(), model_, span, colours, true);
  if (hasFocus()) {
    painter.setPen(QPen(colours.wave, 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

// Closer than the summary: min/max per column of frames read directly.
void CDetailView::DrawColumns(QPainter& painter, const FrameSpan& span,
                              const WaveformColours& colours) {
  const auto first = static_cast<uint64_t>(span.first);
  const auto count = static_cast<uint32_t>(std::ceil(span.framesPerPixel * width())) + 1;
  const std::vector<float>& samples = FramesAt(first, count);
  const uint32_t channels = model_.channels;
  const uint64_t available = samples.size() / channels;
  DrawPeakColumns(
      painter, WaveArea(), channels,
      [&](int x, uint32_t c, PeakPair& peak) {
        const auto from = static_cast<uint64_t>(span.first + x * span.framesPerPixel) - first;
        const uint64_t to = std::min<uint64_t>(
            static_cast<uint64_t>(span.first + (x + 1) * span.framesPerPixel) - first, available);
        if (from >= to) return false;
        peak = kNoPeak;
        for (uint64_t f = from; f < to; ++f) {
          peak.min = std::min(peak.min, samples[f * channels + c]);
          peak.max = std::max(peak.max, samples[f * channels + c]);
        }
        return true;
      },
      colours);
}

// Single samples: a line through the sample points, each drawn in the middle
// of its frame's pixels, with dots once they are far enough apart.
void CDetailView::DrawSamples(QPainter& painter, const FrameSpan& span,
                              const WaveformColours& colours) {
  const auto first = static_cast<uint64_t>(span.first);
  const auto count = static_cast<uint32_t>(std::ceil(span.framesPerPixel * width())) + 2;
  const std::vector<float>& samples = FramesAt(first, count);
  const uint32_t channels = model_.channels;
  const size_t frames = samples.size() / channels;
  const QRect area = WaveArea();
  const double pixelsPerFrame = 1 / span.framesPerPixel;
  painter.setRenderHint(QPainter::Antialiasing);
  for (uint32_t c = 0; c < channels; ++c) {
    const QRect lane = LaneRect(area, c, channels);
    painter.setPen(colours.axis);
    painter.drawLine(lane.left(), lane.center().y(), lane.right(), lane.center().y());
    QPolygonF points;
    for (size_t f = 0; f < frames; ++f) {
      points << QPointF(area.left() + span.XOf(first + f + 0.5),
                        YOf(lane, samples[f * channels + c]));
    }
    painter.setPen(QPen(colours.wave, 1.5));
    painter.drawPolyline(points);
    if (pixelsPerFrame >= kDotPixels) {
      painter.setBrush(colours.wave);
      for (const QPointF& p : points) painter.drawEllipse(p, 2.5, 2.5);
      painter.setBrush(Qt::NoBrush);
    }
  }
  painter.setRenderHint(QPainter::Antialiasing, false);
}

void CDetailView::DrawRuler(QPainter& painter, const FrameSpan& span,
                            const WaveformColours& colours) {
  DrawTimeRuler(painter, span, width(), kRulerHeight, model_.sampleRate, colours);
}

void CDetailView::PressEnded() {
  // The picture stays where the mouse left it, also when the click or drag
  // moved the position; it follows the position again once that moves on.
  if (heldSpan_) centre_ = heldSpan_->first + heldSpan_->framesPerPixel * width() / 2;
  heldSpan_.reset();
  update();
  emit ZoomChanged();
}

void CDetailView::wheelEvent(QWheelEvent* event) {
  // One zoom step per notch (120); touchpads send fractions of one.
  wheelAngle_ += event->angleDelta().y();
  const int steps = wheelAngle_ / 120;
  wheelAngle_ -= steps * 120;
  if (steps != 0) SetFramesPerPixel(FramesPerPixel() * std::pow(2.0, -steps));
  event->accept();
}

void CDetailView::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      ZoomIn();
      break;
    case Qt::Key_Minus:
      ZoomOut();
      break;
    default:
      QWidget::keyPressEvent(event);
  }
}

}  // namespace snipora
