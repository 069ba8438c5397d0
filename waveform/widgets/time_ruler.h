#pragma once

#include <QPainter>

#include <cstdint>

#include "waveform/widgets/waveform_model.h"

namespace snipora {

struct WaveformColours;

// The ruler along the top of a view `width` pixels wide and `height` high:
// ticks at round times labelled h:mm:ss.mmm, or, closer than a millisecond
// per label, at round sample frames labelled with the frame number. No label
// is cut off at the right edge or overlaps the one before it.
void DrawTimeRuler(QPainter& painter, const FrameSpan& span, int width, int height,
                   uint32_t sampleRate, const WaveformColours& colours);

}  // namespace snipora
