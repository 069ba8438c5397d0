#include "waveform/widgets/waveform_paint.h"

#include <QPalette>

#include <algorithm>
#include <cmath>

namespace snipora {

WaveformColours ColoursFor(const QPalette& palette) {
  WaveformColours c;
  c.background = palette.color(QPalette::Base);
  c.text = palette.color(QPalette::Text);
  c.wave = palette.color(QPalette::Highlight);
  c.axis = c.text;
  c.axis.setAlpha(70);
  c.position = QColor(0xE0, 0x30, 0x30);
  c.markers[0] = QColor(0x2C, 0xA0, 0x2C);
  c.markers[1] = QColor(0xFF, 0x8C, 0x00);
  c.reservation = c.wave;
  c.reservation.setAlpha(55);
  return c;
}

QRect LaneRect(const QRect& area, uint32_t c, uint32_t channels) {
  const int top = area.top() + static_cast<int>(int64_t{area.height()} * c / channels);
  const int bottom = area.top() + static_cast<int>(int64_t{area.height()} * (c + 1) / channels);
  return QRect(area.left(), top, area.width(), bottom - top);
}

double YOf(const QRect& lane, float value) {
  const double half = (lane.height() - 2) / 2.0;
  return lane.top() + 1 + half * (1.0 - std::clamp(value, -1.0f, 1.0f));
}

void DrawPeakColumns(QPainter& painter, const QRect& area, uint32_t channels,
                     const std::function<bool(int, uint32_t, PeakPair&)>& peakAt,
                     const WaveformColours& colours) {
  for (uint32_t c = 0; c < channels; ++c) {
    const QRect lane = LaneRect(area, c, channels);
    painter.setPen(colours.axis);
    painter.drawLine(lane.left(), lane.center().y(), lane.right(), lane.center().y());
    painter.setPen(colours.wave);
    for (int x = 0; x < area.width(); ++x) {
      PeakPair peak{};
      if (!peakAt(x, c, peak)) continue;
      // At least one pixel, so that silence and quiet passages stay visible.
      const int top = static_cast<int>(std::floor(YOf(lane, peak.max)));
      const int bottom = std::max(top, static_cast<int>(std::ceil(YOf(lane, peak.min))) - 1);
      painter.drawLine(area.left() + x, top, area.left() + x, bottom);
    }
  }
}

void DrawMarks(QPainter& painter, const QRect& area, const WaveformModel& model,
               const FrameSpan& span, const WaveformColours& colours) {
  const auto xOf = [&](uint64_t frame) {
    return area.left() + std::clamp(span.XOf(static_cast<double>(frame)), -1.0, area.width() + 1.0);
  };
  for (const FrameRange& range : model.reservations) {
    const double left = xOf(range.first);
    // At least one pixel wide, so that a short reservation is still seen.
    const double width = std::max(1.0, xOf(range.last) - left);
    painter.fillRect(QRectF(left, area.top(), width, area.height()), colours.reservation);
  }
  // A line with an optional label to its right, when the frame is in view.
  const auto line = [&](uint64_t frame, const QColor& colour, const QString& label) {
    double x = std::floor(area.left() + span.XOf(static_cast<double>(frame)));
    if (x < area.left() || x > area.right() + 1) return;
    x = std::min<double>(x, area.right());  // the end of the file is still seen
    painter.setPen(QPen(colour, 1));
    painter.drawLine(QPointF(x + 0.5, area.top()), QPointF(x + 0.5, area.bottom() + 1));
    if (!label.isEmpty()) painter.drawText(QPointF(x + 3, area.top() + 11), label);
  };
  for (int k = 0; k < 2; ++k) {
    if (model.markers[k]) line(*model.markers[k], colours.markers[k], QString::number(k + 1));
  }
  line(model.position, colours.position, {});
}

}  // namespace snipora
