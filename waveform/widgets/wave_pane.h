#pragma once

#include <QWidget>

#include <optional>

#include "waveform/widgets/waveform_model.h"

namespace snipora {

// A line on the detail view that can be dragged: a marker (index 1 or 2) or
// an edge of a reservation (index: its row).
struct WaveHandle {
  enum Kind { Marker, RowStart, RowEnd };
  Kind kind = Marker;
  int index = 0;
};

// What the mouse does on a picture of the sound, for the overview and the
// detail view alike: a click asks for its frame (and highlights the region
// under it), a drag selects, Shift+click extends the selection, a double
// click on a region plays it; where the pane has handles, a press on one
// drags it. The pane changes nothing itself: it asks with its signals, in
// frames.
class CWavePane : public QWidget {
  Q_OBJECT

 public:
  explicit CWavePane(const WaveformModel& model, QWidget* parent = nullptr);

  // How the pane maps frames to pixels now.
  virtual FrameSpan Span() const = 0;

 signals:
  void PositionRequested(quint64 frame);
  // From the frame pressed to the frame under the mouse; finished at the release.
  void SelectionDragged(quint64 anchor, quint64 frame, bool finished);
  void SelectionExtended(quint64 frame);
  void HandleDragged(int kind, int index, quint64 frame, bool finished);
  void RegionClicked(int row);
  void RegionActivated(int row);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

  // Only the detail view offers handles.
  virtual bool HasHandles() const { return false; }
  // The left button went down and came up (the detail view holds its picture).
  virtual void PressStarted() {}
  virtual void PressEnded() {}
  // The area the marks are drawn in.
  virtual QRect MarkArea() const { return rect(); }
  // The handle within a few pixels of x, the nearest; markers first.
  std::optional<WaveHandle> HandleAt(double x) const;
  // The region under x (the last drawn, on top), -1 for none.
  int RegionAt(double x) const;

  const WaveformModel& model_;

 private:
  enum class Gesture { None, Click, Select, Drag };

  uint64_t FrameAt(double x) const;
  void ShowCursorFor(double x);

  Gesture gesture_ = Gesture::None;
  double pressX_ = 0;
  uint64_t pressFrame_ = 0;
  WaveHandle handle_;
};

}  // namespace snipora
