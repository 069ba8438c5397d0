#pragma once

#include <QWidget>

#include <functional>

#include "waveform/widgets/waveform_model.h"

namespace snipora {

// The whole file in one strip: min/max per pixel column and channel, the
// reservations, both markers, the play position and the part the detail view
// shows. A click or drag asks for the position under the mouse.
class COverviewStrip : public QWidget {
  Q_OBJECT

 public:
  // detailSpan: the frames the detail view shows, outlined on the strip.
  COverviewStrip(const WaveformModel& model, std::function<FrameRange()> detailSpan,
                 QWidget* parent = nullptr);

  // The whole file across the strip's width.
  FrameSpan Span() const;

 signals:
  void PositionRequested(quint64 frame);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void RequestAt(double x);

  const WaveformModel& model_;
  std::function<FrameRange()> detailSpan_;
};

}  // namespace snipora
