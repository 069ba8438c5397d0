#pragma once

#include <optional>
#include <string>

#include "export/export_interfaces.h"
#include "export/extended_loop.h"
#include "platform/ui/ui_services.h"

namespace snipora {

// The window's "Save extended": asks for the file (beside the source,
// proposing "<name> (extended).wav"), writes the listening copy and says so
// when it cannot. The file written; nothing when cancelled or failed.
std::optional<std::string> ExportExtendedCopy(const ExtendedLoopJob& job,
                                              const std::string& displayName, IUiServices& ui,
                                              IExportProgress& progress);

}  // namespace snipora
