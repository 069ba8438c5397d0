#pragma once

#include <QWidget>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "audiofile/sound_format.h"
#include "waveform/widgets/waveform_model.h"

class QLabel;
class QTimer;

namespace snipora {

class CDetailView;
class COverviewStrip;
class CWavePane;

// The picture of the open file for the main window: an overview strip of the
// whole file above a zoomable detail view around the play position, and the
// position as h:mm:ss.mmm; with no file, how to open one. Peaks are computed
// off the GUI thread and drawn as they arrive. The view never changes what it
// shows by itself: clicks, drags and handles ask with the signals of its
// panes (CWavePane), and the window answers with SetPosition, SetMarkers and
// SetRegions. All positions are sample frames.
class CWaveformView : public QWidget {
  Q_OBJECT

 public:
  explicit CWaveformView(QWidget* parent = nullptr);
  ~CWaveformView() override;

  // Shows a newly opened file (cancelling the peaks of the one before) with
  // the position at 0, no markers and no reservations. Files whose samples
  // cannot be read straight from the file (see CodecFor) show their length
  // and marks without a waveform.
  void SetFile(const std::string& path, const SoundFormatInfo& info);
  void Clear();

  void SetPosition(uint64_t frame);
  void SetMarkers(std::optional<uint64_t> marker1, std::optional<uint64_t> marker2);
  void SetRegions(std::vector<WaveRegion> regions);
  // Ranges a dialog proposes, shown until it sets none.
  void SetPreview(std::vector<FrameRange> ranges);
  // The frame a drag has set, shown beside its line; none when the drag ends.
  void SetDragReadout(std::optional<uint64_t> frame);
  // The detail view shows `range` until the position moves.
  void ShowFrames(FrameRange range);
  void ZoomIn();
  void ZoomOut();

  // For the window's tests and its status texts.
  COverviewStrip* Overview() const { return overview_; }
  CDetailView* Detail() const { return detail_; }
  // Both panes, whose signals say what the mouse asks for.
  std::array<CWavePane*, 2> Panes() const;
  const CPeakEngine* Peaks() const { return model_.peaks.get(); }
  QString PositionText() const;
  const std::vector<WaveRegion>& Regions() const { return model_.regions; }
  const std::vector<FrameRange>& Preview() const { return model_.preview; }

 private:
  void PollPeaks();
  void Repaint();

  WaveformModel model_;
  COverviewStrip* overview_;
  CDetailView* detail_;
  QLabel* clock_;
  QLabel* hint_;
  QTimer* poll_;
  uint64_t drawnReadyFrames_ = 0;
};

}  // namespace snipora
