#include "waveform/widgets/time_ruler.h"

#include <QFontMetricsF>

#include <algorithm>
#include <iterator>

#include "audiofile/sound_units.h"
#include "waveform/clock_text.h"
#include "waveform/widgets/waveform_paint.h"

namespace snipora {

namespace {

// Ruler steps in milliseconds; the first that leaves room for a label is used.
constexpr uint64_t kStepsMs[] = {1,       2,       5,        10,      20,     50,     100,
                                 200,     500,     1000,     2000,    5000,   10000,  15000,
                                 30000,   60000,   120000,   300000,  600000, 900000, 1800000,
                                 3600000, 7200000, 18000000, 36000000};
// Below a millisecond: steps in frames.
constexpr uint64_t kStepsFrames[] = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000};
constexpr double kLabelGap = 8;  // pixels between one label's end and the next one's start

}  // namespace

void DrawTimeRuler(QPainter& painter, const FrameSpan& span, int width, int height,
                   uint32_t sampleRate, const WaveformColours& colours) {
  painter.setPen(colours.axis);
  painter.drawLine(0, height - 1, width, height - 1);
  if (sampleRate == 0) return;
  QFont font = painter.font();
  font.setPointSizeF(font.pointSizeF() * 0.85);
  painter.setFont(font);
  const QFontMetricsF metrics(font);
  // A tick needs room for the widest label of either kind.
  const double labelPixels = metrics.horizontalAdvance(QStringLiteral("0:00:00.000")) + kLabelGap;

  // Ticks are frames: a time tick stands at the frame its time goes to, which
  // the clock shows as that time.
  uint64_t stepFrames = 0;
  bool inFrames = false;
  const double msPixels = sampleRate / 1000.0 / span.framesPerPixel;
  if (msPixels >= 2 * labelPixels) {
    inFrames = true;
    const uint64_t* step =
        std::find_if(std::begin(kStepsFrames), std::end(kStepsFrames) - 1,
                     [&](uint64_t frames) { return frames / span.framesPerPixel >= labelPixels; });
    stepFrames = *step;
  }
  const uint64_t* stepMs = std::find_if(std::begin(kStepsMs), std::end(kStepsMs) - 1,
                                        [&](uint64_t ms) { return ms * msPixels >= labelPixels; });
  const double firstFrame = std::max(0.0, span.first);
  const uint64_t firstTick = inFrames
                                 ? static_cast<uint64_t>(firstFrame) / stepFrames
                                 : static_cast<uint64_t>(firstFrame * 1000 / sampleRate) / *stepMs;
  double previousEnd = -kLabelGap;
  for (uint64_t tick = firstTick;; ++tick) {
    const uint64_t frame =
        inFrames ? tick * stepFrames : MillisecondsToFrames(tick * *stepMs, sampleRate);
    const double x = span.XOf(static_cast<double>(frame));
    if (x > width) break;
    if (x < 0) continue;
    painter.setPen(colours.axis);
    painter.drawLine(QPointF(x + 0.5, height - 5), QPointF(x + 0.5, height - 1));
    const QString label =
        inFrames ? QString::number(frame) : QString::fromStdString(ClockText(frame, sampleRate));
    const double labelWidth = metrics.horizontalAdvance(label);
    // The last label keeps inside the view; one that would overlap is left out.
    const double left = std::min(x + 3, width - labelWidth - 1);
    if (left < previousEnd + kLabelGap) continue;
    painter.setPen(colours.text);
    painter.drawText(QPointF(left, height - 4), label);
    previousEnd = left + labelWidth;
  }
}

}  // namespace snipora
