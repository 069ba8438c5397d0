#include "waveform/widgets/waveform_paint.h"

#include <QFontMetrics>
#include <QPalette>

#include <algorithm>
#include <cmath>

#include "waveform/clock_text.h"

namespace snipora {

namespace {

// The frame a drag has set, as h:mm:ss.mmm and frames, in a box beside its line.
void DrawReadout(QPainter& painter, const QRect& area, const WaveformModel& model,
                 const FrameSpan& span, const WaveformColours& colours) {
  const uint64_t frame = *model.readout;
  const QString text = QString::fromStdString(ClockText(frame, model.sampleRate)) +
                       QStringLiteral("  ") + QString::number(frame);
  const QFontMetrics metrics = painter.fontMetrics();
  const double width = metrics.horizontalAdvance(text) + 8;
  const double x = area.left() + span.XOf(static_cast<double>(frame));
  // Right of the line, or left of it near the right edge; always inside.
  double left = x + width + 6 <= area.right() ? x + 6 : x - width - 6;
  left = std::clamp(left, static_cast<double>(area.left()),
                    std::max<double>(area.left(), area.right() - width));
  const QRectF box(left, area.center().y() - metrics.height() / 2.0, width, metrics.height() + 2);
  painter.fillRect(box, colours.text);
  painter.setPen(colours.background);
  painter.drawText(box, Qt::AlignCenter, text);
}

}  // namespace

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
  c.selection = c.wave;
  c.selection.setAlpha(45);
  c.region = QColor(0x1E, 0x9E, 0x8E, 50);
  c.highlightedRegion = QColor(0x1E, 0x9E, 0x8E, 120);
  c.markedRegion = QColor(0xD0, 0x20, 0x20);
  c.preview = QColor(0x8E, 0x44, 0xAD);
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
               const FrameSpan& span, const WaveformColours& colours, bool labels) {
  const auto xOf = [&](uint64_t frame) {
    return area.left() + std::clamp(span.XOf(static_cast<double>(frame)), -1.0, area.width() + 1.0);
  };
  // At least one pixel wide, so that a short span is still seen.
  const auto band = [&](uint64_t first, uint64_t last) {
    const double left = xOf(first);
    return QRectF(left, area.top(), std::max(1.0, xOf(last) - left), area.height());
  };
  if (model.markers[0] && model.markers[1]) {
    painter.fillRect(band(std::min(*model.markers[0], *model.markers[1]),
                          std::max(*model.markers[0], *model.markers[1])),
                     colours.selection);
  }
  const QFontMetrics metrics = painter.fontMetrics();
  for (size_t i = 0; i < model.regions.size(); ++i) {
    const WaveRegion& region = model.regions[i];
    const QRectF rect = band(region.range.first, region.range.last);
    painter.fillRect(rect, region.highlighted ? colours.highlightedRegion : colours.region);
    QColor edge = region.marked ? colours.markedRegion : colours.highlightedRegion;
    if (!region.highlighted && !region.marked) edge.setAlpha(160);
    painter.setPen(QPen(edge, region.highlighted || region.marked ? 2 : 1));
    painter.drawLine(rect.topLeft(), rect.topRight());
    if (!labels || rect.width() < 14) continue;
    // "1 Intro", cut to the region's width, under its top edge.
    QString text = QString::number(i + 1);
    if (!region.label.empty()) text += QLatin1Char(' ') + QString::fromStdString(region.label);
    text = metrics.elidedText(text, Qt::ElideRight, static_cast<int>(rect.width()) - 6);
    const QRectF box(rect.left() + 2, area.top() + 3, metrics.horizontalAdvance(text) + 4,
                     metrics.height());
    QColor back = colours.background;
    back.setAlpha(190);
    painter.fillRect(box, back);
    painter.setPen(region.marked ? colours.markedRegion : colours.text);
    painter.drawText(box.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
  }
  for (const FrameRange& range : model.preview) {
    const QRectF rect = band(range.first, range.last);
    QColor fill = colours.preview;
    fill.setAlpha(55);
    painter.fillRect(rect, fill);
    painter.fillRect(QRectF(rect.left(), rect.bottom() - 3, rect.width(), 4), colours.preview);
  }
  // A line with an optional label to its right, when the frame is in view.
  const auto line = [&](uint64_t frame, const QColor& colour, const QString& label) {
    double x = std::floor(area.left() + span.XOf(static_cast<double>(frame)));
    if (x < area.left() || x > area.right() + 1) return;
    x = std::min<double>(x, area.right());  // the end of the file is still seen
    painter.setPen(QPen(colour, 1));
    painter.drawLine(QPointF(x + 0.5, area.top()), QPointF(x + 0.5, area.bottom() + 1));
    if (!label.isEmpty()) painter.drawText(QPointF(x + 3, area.bottom() - 3), label);
  };
  for (int k = 0; k < 2; ++k) {
    if (model.markers[k]) line(*model.markers[k], colours.markers[k], QString::number(k + 1));
  }
  line(model.position, colours.position, {});
  if (model.readout && model.sampleRate > 0) DrawReadout(painter, area, model, span, colours);
}

}  // namespace snipora
