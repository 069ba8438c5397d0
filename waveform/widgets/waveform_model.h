#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "waveform/frame_reader.h"
#include "waveform/peak_engine.h"

namespace snipora {

// A range of frames [first, last).
struct FrameRange {
  uint64_t first;
  uint64_t last;
};

// A reservation as the views draw it: its range, numbered from 1 with its
// label, highlighted with its row, marked when it overlaps or duplicates
// another.
struct WaveRegion {
  FrameRange range;
  std::string label;
  bool highlighted = false;
  bool marked = false;
};

// What the overview and the detail view draw: the open file's peaks and
// frames, and the positions the window shows on them (all in frames).
struct WaveformModel {
  std::unique_ptr<CPeakEngine> peaks;
  std::unique_ptr<CFrameReader> frames;
  uint64_t totalFrames = 0;
  uint32_t sampleRate = 0;
  uint32_t channels = 0;

  uint64_t position = 0;
  std::optional<uint64_t> markers[2];
  std::vector<WaveRegion> regions;
  // Ranges a dialog proposes (found sounds), drawn apart from the reservations.
  std::vector<FrameRange> preview;
  // The frame a drag has set, shown beside its line while the drag goes on.
  std::optional<uint64_t> readout;

  bool HasPeaks() const { return peaks && peaks->Supported() && totalFrames > 0; }
};

// A span of frames in fractional units, as a view maps it onto its width.
struct FrameSpan {
  double first = 0;
  double framesPerPixel = 1;

  double XOf(double frame) const { return (frame - first) / framesPerPixel; }
  // The frame whose [f, f + 1) covers pixel x, not below 0 nor above last.
  uint64_t FrameAt(double x, uint64_t last) const {
    const double frame = std::floor(first + x * framesPerPixel);
    return frame <= 0 ? 0 : std::min(static_cast<uint64_t>(frame), last);
  }
};

}  // namespace snipora
