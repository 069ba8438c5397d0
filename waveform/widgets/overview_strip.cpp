#include "waveform/widgets/overview_strip.h"

#include <QPainter>

#include "waveform/widgets/waveform_paint.h"

namespace snipora {

COverviewStrip::COverviewStrip(const WaveformModel& model, std::function<FrameRange()> detailSpan,
                               QWidget* parent)
    : CWavePane(model, parent), detailSpan_(std::move(detailSpan)) {
  setMinimumHeight(48);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  setCursor(Qt::PointingHandCursor);
}

FrameSpan COverviewStrip::Span() const {
  return {0, static_cast<double>(model_.totalFrames) / std::max(1, width())};
}

void COverviewStrip::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const WaveformColours colours = ColoursFor(palette());
  painter.fillRect(rect(), colours.background);
  if (model_.totalFrames == 0) return;
  const FrameSpan span = Span();
  if (model_.HasPeaks()) {
    DrawPeakColumns(
        painter, rect(), model_.channels,
        [&](int x, uint32_t c, PeakPair& peak) {
          const auto first = static_cast<uint64_t>(x * span.framesPerPixel);
          const auto last = static_cast<uint64_t>((x + 1) * span.framesPerPixel);
          return model_.peaks->Peak(c, first, std::max(last, first + 1), peak);
        },
        colours);
  }
  const FrameRange shown = detailSpan_();
  if (shown.last > shown.first) {
    QColor frame = colours.text;
    frame.setAlpha(110);
    painter.setPen(frame);
    const double left = span.XOf(static_cast<double>(shown.first));
    const double right = span.XOf(static_cast<double>(shown.last));
    painter.drawRect(QRectF(left, 0, std::max(1.0, right - left), height() - 1));
  }
  DrawMarks(painter, rect(), model_, span, colours, false);
}

}  // namespace snipora
