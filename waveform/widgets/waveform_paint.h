#pragma once

#include <QColor>
#include <QPainter>
#include <QRect>

#include <functional>

#include "waveform/widgets/waveform_model.h"

class QPalette;

namespace snipora {

// Colours from the widget's palette where it has a say, fixed hues that read
// on light and dark backgrounds for the marks.
struct WaveformColours {
  QColor background;
  QColor wave;
  QColor axis;  // centre lines, ruler and lane separators
  QColor text;
  QColor position;
  QColor markers[2];
  QColor selection;  // the span between the markers
  QColor region;     // a reservation; stronger when its row is highlighted
  QColor highlightedRegion;
  QColor markedRegion;  // the edge of one that overlaps or duplicates another
  QColor preview;       // a range a dialog proposes
};

WaveformColours ColoursFor(const QPalette& palette);

// The vertical band of channel `c` of `channels` within `area`.
QRect LaneRect(const QRect& area, uint32_t c, uint32_t channels);
// The y of a sample value (+1 top, -1 bottom) in a lane.
double YOf(const QRect& lane, float value);

// One min/max bar per pixel column and channel: peakAt(column, channel, out)
// gives the column's pair, false for nothing ready (the column stays empty).
void DrawPeakColumns(QPainter& painter, const QRect& area, uint32_t channels,
                     const std::function<bool(int, uint32_t, PeakPair&)>& peakAt,
                     const WaveformColours& colours);

// The selection and the reservations as bands (with their number and label
// when `labels`), the ranges a dialog proposes as bands with a bar along
// their foot, then both markers and the play position as lines, and the
// frame a drag has set beside its line, mapped through `span`.
void DrawMarks(QPainter& painter, const QRect& area, const WaveformModel& model,
               const FrameSpan& span, const WaveformColours& colours, bool labels);

}  // namespace snipora
