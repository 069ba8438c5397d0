#pragma once

#include <functional>

#include "waveform/widgets/wave_pane.h"

namespace snipora {

// The whole file in one strip: min/max per pixel column and channel, the
// reservations, the selection, both markers, the play position and the part
// the detail view shows. The mouse acts as CWavePane says, without handles.
class COverviewStrip : public CWavePane {
  Q_OBJECT

 public:
  // detailSpan: the frames the detail view shows, outlined on the strip.
  COverviewStrip(const WaveformModel& model, std::function<FrameRange()> detailSpan,
                 QWidget* parent = nullptr);

  // The whole file across the strip's width.
  FrameSpan Span() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::function<FrameRange()> detailSpan_;
};

}  // namespace snipora
