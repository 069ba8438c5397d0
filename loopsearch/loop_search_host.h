#pragma once

#include <cstdint>
#include <string>

#include "audiofile/sound_format.h"
#include "platform/ui/ui_services.h"

namespace snipora {

// What the loop detection dialog reads from the main window.
class ILoopSearchHost {
 public:
  virtual ~ILoopSearchHost() = default;
  virtual bool IsMarker1Set() const = 0;
  virtual bool IsMarker2Set() const = 0;
  // Byte positions in the sample data.
  virtual uint64_t Marker1Position() const = 0;
  virtual uint64_t Marker2Position() const = 0;
  // The player's current byte position (its GetPosition(1)).
  virtual uint64_t PlayerBytePosition() = 0;
  // The file open in the player and its format record.
  virtual std::string OpenFilePath() const = 0;
  virtual const SoundFormatInfo& FormatInfo() const = 0;
  virtual IUiServices& Ui() = 0;
};

}  // namespace snipora
