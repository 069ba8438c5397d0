#pragma once

#include <cstdint>
#include <string>

#include "export/export_interfaces.h"
#include "export/export_plan.h"
#include "platform/ui/ui_services.h"

// The two save commands of the main window, run by the save-progress dialog.
namespace snipora {

// Saves each reservation as a file of its own: with one reservation the user
// names the file (its type, FLAC or WAVE, chosen in the save dialog); with
// more, they go into a folder named after the source as 01.wav, 02.wav ...
// (01.flac ... for a FLAC source) True when done (or nothing to save), false when cancelled
// or failed. forcedSectorSize is for tests (0: the file system's).
bool ExportSplit(IExportHost& host, IUiServices& ui, IExportProgress& progress,
                 uint32_t forcedSectorSize = 0);

// Saves all reservations joined into one file the user names; a fade-out
// applies to the end of that file only. Results as ExportSplit.
bool ExportJoined(IExportHost& host, IUiServices& ui, IExportProgress& progress,
                  uint32_t forcedSectorSize = 0);

// How "Save extended" ended: the file written, or nothing with whether the
// user stopped it (otherwise it was refused or failed, and the user was told why).
struct ExtendedCopySaved {
  std::string written;
  bool cancelled = false;
};

// The window's "Save extended": asks for the file (beside the source,
// proposing "<name> (extended).wav") and writes the listening copy `request`
// asks for (one range with its loop, and `extend`) through the export plan.
ExtendedCopySaved ExportExtendedCopy(ExportRequest request, const std::string& displayName,
                                     IUiServices& ui, IExportProgress& progress);

}  // namespace snipora
