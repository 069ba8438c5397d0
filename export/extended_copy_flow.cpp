#include "export/extended_copy_flow.h"

#include "platform/system/fs_ops.h"
#include "platform/ui/ui_text.h"

namespace snipora {

namespace {

constexpr int kMessageCannotOpen = 105;
constexpr const char* kWaveFilter = QT_TRANSLATE_NOOP("Snipora", "WAVEサウンド(*.wav)|*.wav||");

}  // namespace

std::optional<std::string> ExportExtendedCopy(const ExtendedLoopJob& job,
                                              const std::string& displayName, IUiServices& ui,
                                              IExportProgress& progress) {
  SaveFileRequest request;
  request.filter = kWaveFilter;
  request.initialName = displayName + " (extended)";
  request.initialFolder = fsops::FolderOf(job.sourcePath);
  request.defaultSuffix = "wav";
  request.overwritePrompt = true;
  const std::optional<std::string> chosen = ui.AskSaveFile(request);
  if (!chosen) return std::nullopt;
  const ExportOutcome outcome = WriteExtendedLoop(job, *chosen, progress);
  if (outcome == ExportOutcome::Done) return chosen;
  if (outcome != ExportOutcome::Cancelled) ui.ShowMessage(kMessageCannotOpen, MessageButtons::Ok);
  return std::nullopt;
}

}  // namespace snipora
