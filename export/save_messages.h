#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "export/export_job.h"
#include "platform/ui/ui_services.h"

// What the window's save says when it cannot do what was asked: which file
// and why, composed in the interface's language.
namespace snipora {

// Why an operation on `path` failed with errno value `error`.
std::string ErrorReason(const IUiServices& ui, int error);

// Why `path` (an output of `bytes` bytes of sample data) could not be
// created or written, as the file system tells after the fact: a folder of
// that name, no folder or no permission to write in it, too little room, the
// file-size limit; else a general write error.
std::string WhyNotWritten(const IUiServices& ui, const std::string& path, uint64_t bytes);

// The message for an export that failed with `outcome` while writing
// `output` (the source `source`); `kept` are the finished files that stay.
std::string SaveFailedText(const IUiServices& ui, ExportOutcome outcome, const std::string& output,
                           const std::string& source, uint64_t bytes,
                           const std::vector<std::string>& kept);

// The file names of `paths` one a line, at most ten and then how many more.
std::string NameList(const IUiServices& ui, const std::vector<std::string>& paths);

}  // namespace snipora
