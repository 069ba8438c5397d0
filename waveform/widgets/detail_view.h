#pragma once

#include <optional>
#include <vector>

#include "waveform/widgets/wave_pane.h"

namespace snipora {

struct WaveformColours;

// A close look around the play position: from the whole file down to single
// samples, where every sample is drawn as a point, with the reservations as
// numbered regions. The wheel and the + and - keys zoom; the mouse acts as
// CWavePane says (at sample zoom on exactly the sample clicked), and markers
// and region edges can be dragged. From the press until the position moves
// on after the release the view stays where it was, so that the mouse points
// into a still picture.
class CDetailView : public CWavePane {
  Q_OBJECT

 public:
  static constexpr double kMinFramesPerPixel = 1.0 / 32;  // 32 pixels per sample
  static constexpr int kRulerHeight = 16;

  explicit CDetailView(const WaveformModel& model, QWidget* parent = nullptr);

  // Frames per pixel, within [kMinFramesPerPixel, the whole file per width].
  double FramesPerPixel() const;
  void SetFramesPerPixel(double framesPerPixel);
  void ZoomIn() { SetFramesPerPixel(FramesPerPixel() / 2); }
  void ZoomOut() { SetFramesPerPixel(FramesPerPixel() * 2); }
  // Back to the first zoom after a file opened: a few seconds across.
  void ResetZoom();

  // How the view maps frames to pixels now (held while the mouse is down).
  FrameSpan Span() const override;
  // Shows `range` (zooming out when it does not fit) until the position moves.
  void ShowFrames(FrameRange range);
  void FollowPosition() { centre_.reset(); }
  // The frames shown, for the overview's outline.
  FrameRange Shown() const;
  // Forgets frames read for an earlier file.
  void DropCache() { cached_ = {}; }

 signals:
  void ZoomChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool HasHandles() const override { return true; }
  void PressStarted() override { heldSpan_ = LiveSpan(); }
  void PressEnded() override;
  QRect MarkArea() const override { return WaveArea(); }

 private:
  struct CachedFrames {
    uint64_t first = 0;
    uint32_t count = 0;
    std::vector<float> samples;
  };

  FrameSpan LiveSpan() const;
  QRect WaveArea() const;
  // Frames [first, first + count) read directly, kept for the next repaint.
  const std::vector<float>& FramesAt(uint64_t first, uint32_t count);
  void DrawColumns(QPainter& painter, const FrameSpan& span, const WaveformColours& c);
  void DrawSamples(QPainter& painter, const FrameSpan& span, const WaveformColours& c);
  void DrawRuler(QPainter& painter, const FrameSpan& span, const WaveformColours& c);

  double framesPerPixel_ = 1;
  std::optional<FrameSpan> heldSpan_;  // while the left button is down
  std::optional<double> centre_;       // the frame shown in the middle instead of the position
  int wheelAngle_ = 0;                 // eighths of a degree not yet zoomed by
  CachedFrames cached_;
};

}  // namespace snipora
