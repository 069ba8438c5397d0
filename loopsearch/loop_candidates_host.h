#pragma once

#include <cstdint>
#include <string>

#include "audiofile/sound_format.h"
#include "loopsearch/loop_candidates.h"
#include "platform/ui/ui_services.h"

namespace snipora {

// The frames a loop search covers in the window: [start, end).
struct LoopSearchSpan {
  uint64_t startFrame = 0;
  uint64_t endFrame = 0;
  bool betweenMarkers = false;  // else from the position to the end of the file
};

// What the loop candidates dialog reads from the main window and asks of it.
class ILoopCandidatesHost {
 public:
  virtual ~ILoopCandidatesHost() = default;
  virtual std::string OpenFilePath() const = 0;
  virtual const SoundFormatInfo& FormatInfo() const = 0;
  virtual IUiServices& Ui() = 0;
  // Between the markers when both are set, else from the position to the end.
  virtual LoopSearchSpan SearchSpan() = 0;
  // The markers at the loop's start and end, as one step of the undo history.
  virtual void ChooseLoop(const LoopCandidate& loop) = 0;
  // Plays from 2 s before the loop's end on into its start, then stops.
  virtual void ListenToSeam(const LoopCandidate& loop) = 0;
  // Save writes this loop into the piece that holds it.
  virtual void KeepLoopForSave(const LoopCandidate& loop) = 0;
  // Asks for a file and writes the listening copy of the loop played `count`
  // times and then faded out over fadeMs, with the save's progress dialog.
  // The file written; "" when cancelled or failed (the user was told why).
  virtual std::string SaveExtendedCopy(const LoopCandidate& loop, uint32_t count,
                                       uint32_t fadeMs) = 0;
};

}  // namespace snipora
