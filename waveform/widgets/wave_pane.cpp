#include "waveform/widgets/wave_pane.h"

#include <QApplication>
#include <QMouseEvent>

#include <cmath>

namespace snipora {

namespace {

// How near a line the mouse must be to take it.
constexpr double kHandlePixels = 4;

}  // namespace

CWavePane::CWavePane(const WaveformModel& model, QWidget* parent)
    : QWidget(parent), model_(model) {}

uint64_t CWavePane::FrameAt(double x) const {
  return Span().FrameAt(x - MarkArea().left(), model_.totalFrames);
}

std::optional<WaveHandle> CWavePane::HandleAt(double x) const {
  const FrameSpan span = Span();
  std::optional<WaveHandle> best;
  double nearest = kHandlePixels + 0.5;
  const auto consider = [&](uint64_t frame, WaveHandle handle) {
    const double distance = std::abs(MarkArea().left() + span.XOf(static_cast<double>(frame)) - x);
    if (distance < nearest) {
      nearest = distance;
      best = handle;
    }
  };
  for (int k = 0; k < 2; ++k) {
    if (model_.markers[k]) consider(*model_.markers[k], {WaveHandle::Marker, k + 1});
  }
  for (size_t row = 0; row < model_.regions.size(); ++row) {
    const FrameRange& range = model_.regions[row].range;
    consider(range.first, {WaveHandle::RowStart, static_cast<int>(row)});
    consider(range.last, {WaveHandle::RowEnd, static_cast<int>(row)});
  }
  return best;
}

int CWavePane::RegionAt(double x) const {
  const uint64_t frame = FrameAt(x);
  for (size_t row = model_.regions.size(); row-- > 0;) {
    const FrameRange& range = model_.regions[row].range;
    if (frame >= range.first && frame < range.last) return static_cast<int>(row);
  }
  return -1;
}

void CWavePane::ShowCursorFor(double x) {
  if (!HasHandles()) return;
  setCursor(HandleAt(x) ? Qt::SizeHorCursor : Qt::IBeamCursor);
}

void CWavePane::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || model_.totalFrames == 0) return;
  const double x = event->position().x();
  pressX_ = x;
  pressFrame_ = FrameAt(x);
  PressStarted();
  if (event->modifiers() & Qt::ShiftModifier) {
    gesture_ = Gesture::None;
    emit SelectionExtended(pressFrame_);
  } else if (const auto handle = HasHandles() ? HandleAt(x) : std::nullopt) {
    gesture_ = Gesture::Drag;
    handle_ = *handle;
  } else {
    gesture_ = Gesture::Click;
  }
}

void CWavePane::mouseMoveEvent(QMouseEvent* event) {
  const double x = event->position().x();
  if (!(event->buttons() & Qt::LeftButton)) {
    ShowCursorFor(x);
    return;
  }
  // Small moves of a click are no drag.
  if (gesture_ == Gesture::Click && std::abs(x - pressX_) >= QApplication::startDragDistance())
    gesture_ = Gesture::Select;
  if (gesture_ == Gesture::Select) emit SelectionDragged(pressFrame_, FrameAt(x), false);
  if (gesture_ == Gesture::Drag) emit HandleDragged(handle_.kind, handle_.index, FrameAt(x), false);
}

void CWavePane::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const double x = event->position().x();
  const Gesture gesture = gesture_;
  gesture_ = Gesture::None;
  switch (gesture) {
    case Gesture::Click: {
      const int region = RegionAt(pressX_);
      emit PositionRequested(pressFrame_);
      if (region >= 0) emit RegionClicked(region);
      break;
    }
    case Gesture::Select:
      emit SelectionDragged(pressFrame_, FrameAt(x), true);
      break;
    case Gesture::Drag:
      emit HandleDragged(handle_.kind, handle_.index, FrameAt(x), true);
      break;
    case Gesture::None:
      break;
  }
  PressEnded();
  ShowCursorFor(x);
}

void CWavePane::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  gesture_ = Gesture::None;
  const int region = RegionAt(event->position().x());
  if (region >= 0) emit RegionActivated(region);
}

}  // namespace snipora
