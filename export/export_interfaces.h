#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "audiofile/sound_format.h"
#include "export/export_plan.h"

// What the export reads from the main window and how it reports progress,
// as small interfaces so that the engine needs neither the window nor a
// toolkit (the command-line front end and the tests provide their own).
namespace snipora {

// The export options of the main window. A length counts only where its box
// is ticked, and a box only where it is enabled (the window leaves the fade
// boxes disabled for samples that cannot be faded).
struct ExportChoices {
  struct Length {
    bool ticked = false;
    std::string text;  // milliseconds, as typed
  };
  Length fadeOut;              // 1041 and its length 1042
  Length fadeIn;               // 1045 and 1046
  Length declick;              // 1047 and 1048
  bool join = false;           // 1043 "join all"
  bool nameByLabels = false;   // 1044: split pieces are "01 Intro.wav"
  bool stripMetadata = false;  // 1049: no chunk kept from the source
  bool verify = false;         // 1050: every output read back after saving
};

// The open file, the reservations list and the export options of the main window.
class IExportHost {
 public:
  virtual ~IExportHost() = default;

  // Normalised full path of the open file.
  virtual std::string FullPath() const = 0;
  // File name without folder and extension (the proposed save name).
  virtual std::string DisplayName() const = 0;
  virtual const SoundFormatInfo& Format() const = 0;

  // The reservations list (1022) in order: source frames and labels, from
  // the window's model; a range that holds the loop kept for Save has it as
  // its own.
  virtual std::vector<CutRange> Ranges() const = 0;
  // The export options as the window's controls hold them.
  virtual ExportChoices Choices() const = 0;

  // Called after a successful save.
  virtual void ClearUnsavedReservations() = 0;
  // After a save that succeeded: every file it wrote, in order.
  virtual void FilesWritten(const std::vector<std::string>& /*paths*/) {}
  // After a save that was cancelled (also in one of its dialogs) or refused or
  // failed: the finished files it kept, in order.
  virtual void SaveStopped(bool /*cancelled*/, const std::vector<std::string>& /*kept*/) {}
};

// The save-progress display: a bar for the bytes of the current piece (1039),
// a bar for the reservations begun (1040), event pumping and the cancel flag.
class IExportProgress {
 public:
  virtual ~IExportProgress() = default;

  // Bytes of sample data the whole export writes, before it begins.
  virtual void SetTotalLength(uint64_t /*bytes*/) {}
  virtual void SetFileRange(uint64_t pieceLength) = 0;
  virtual void SetFilePosition(uint64_t bytesDone) = 0;
  virtual void SetOverallRange(uint32_t rows) = 0;
  virtual void SetOverallPosition(uint32_t rowsBegun) = 0;
  // Handles pending events of the progress display and, when asked, of the
  // main window too, so both stay responsive during the work.
  virtual void Pump(bool mainWindowToo) = 0;
  virtual bool IsCancelled() const = 0;
  // Output `index` of the plan is complete under its name. Outputs written
  // side by side may finish in any order.
  virtual void OutputWritten(size_t /*index*/) {}
  // Writing output `index` failed, which ends the export (not called for a
  // cancel, nor for the outputs the failure stopped).
  virtual void OutputFailed(size_t /*index*/) {}
};

}  // namespace snipora
