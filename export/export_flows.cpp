#include "export/export_flows.h"

#include <optional>
#include <string>
#include <vector>

#include "export/export_job.h"
#include "export/output_names.h"
#include "export/split_folder.h"
#include "foundation/number_text.h"
#include "platform/system/fs_ops.h"
#include "platform/ui/ui_text.h"
#include "ranges/piece_names.h"

namespace snipora {

namespace {

constexpr int kMessageFolderExists = 104;
constexpr int kMessageCannotOpen = 105;
constexpr int kMessageNothingToSave = 107;
constexpr const char* kLabelledPieceName = "{n:02} {label}";
constexpr const char* kWaveFilter = QT_TRANSLATE_NOOP("Snipora", "WAVEサウンド(*.wav)|*.wav||");

ExportRequest ReadJob(const IExportHost& host, uint32_t forcedSectorSize) {
  ExportRequest job;
  job.sourcePath = host.FullPath();
  job.format = host.Format();
  const auto number = [](const std::string& text) { return ReadUnsignedValue(text).value_or(0); };
  const auto frame = [](const std::string& text) { return ReadUnsigned64Value(text).value_or(0); };
  for (int row = 0; row < host.RowCount(); ++row) {
    job.ranges.push_back({frame(host.RowText(row, 1)), frame(host.RowText(row, 2)),
                          host.RowText(row, 3), std::nullopt});
  }
  // The check box is enabled for 16-bit files only; the fade is meaningless otherwise.
  // An unreadable or negative length fades nothing.
  if (host.FadeChecked() && host.FadeEnabled()) job.edges.fadeOutMs = number(host.FadeText());
  job.forcedSectorSize = forcedSectorSize;
  return job;
}

// The file names of the pieces in the split folder: numbered, or numbered
// and labelled when the window asks for it.
std::vector<std::string> PieceNames(const IExportHost& host, const ExportRequest& job) {
  std::vector<std::string> names;
  if (!host.NameByLabelsChecked()) {
    for (uint32_t i = 0; i < job.ranges.size(); ++i) names.push_back(PieceFileName(i));
    return names;
  }
  std::vector<ranges::LabeledRange> labelled;
  for (uint32_t i = 0; i < job.ranges.size(); ++i) {
    labelled.push_back({job.ranges[i].startFrame, job.ranges[i].endFrame, job.ranges[i].label});
  }
  return ranges::PieceNames(kLabelledPieceName, labelled, host.DisplayName());
}

std::optional<std::string> AskOutputFile(const ExportRequest& job, const IExportHost& host,
                                         IUiServices& ui) {
  SaveFileRequest request;
  request.filter = kWaveFilter;
  request.initialName = host.DisplayName();
  // Beside the source, and a bare typed name becomes a WAVE file's name.
  request.initialFolder = fsops::FolderOf(job.sourcePath);
  request.defaultSuffix = "wav";
  request.overwritePrompt = true;
  return ui.AskSaveFile(request);
}

// Plans and writes the request.
ExportOutcome Write(ExportRequest& request, std::vector<std::string> outputs,
                    IExportProgress& progress) {
  request.paths = std::move(outputs);
  ExportPlan plan;
  if (PlanExport(request, plan)) return ExportOutcome::BadRange;
  return WriteExport(plan, progress);
}

// Tells the user about a failure and gives the flow's result.
bool Finish(ExportOutcome outcome, const std::vector<std::string>& outputs, IExportHost& host,
            IUiServices& ui) {
  switch (outcome) {
    case ExportOutcome::Done:
      host.ClearUnsavedReservations();
      host.FilesWritten(outputs);
      return true;
    case ExportOutcome::Cancelled:
      return false;
    default:
      ui.ShowMessage(kMessageCannotOpen, MessageButtons::Ok);
      return false;
  }
}

}  // namespace

bool ExportSplit(IExportHost& host, IUiServices& ui, IExportProgress& progress,
                 uint32_t forcedSectorSize) {
  ExportRequest job = ReadJob(host, forcedSectorSize);
  if (job.ranges.empty()) {
    ui.ShowMessage(kMessageNothingToSave, MessageButtons::Ok);
    return true;
  }
  std::vector<std::string> outputs;
  // Lives until the export ends: removes the folder again when nothing went in.
  CSplitFolder folder(SplitFolderPath(job.sourcePath));
  if (job.ranges.size() == 1) {
    const auto chosen = AskOutputFile(job, host, ui);
    if (!chosen) return false;
    outputs.push_back(*chosen);
  } else {
    if (folder.Make() != 0 &&
        ui.ShowMessage(kMessageFolderExists, MessageButtons::YesNo) != MessageAnswer::Yes) {
      return false;
    }
    const std::vector<std::string> names = PieceNames(host, job);
    for (uint32_t i = 0; i < job.ranges.size(); ++i) {
      outputs.push_back(PathInFolder(folder.Path(), names[i]));
    }
  }
  return Finish(Write(job, outputs, progress), outputs, host, ui);
}

bool ExportJoined(IExportHost& host, IUiServices& ui, IExportProgress& progress,
                  uint32_t forcedSectorSize) {
  ExportRequest job = ReadJob(host, forcedSectorSize);
  if (job.ranges.empty()) {
    ui.ShowMessage(kMessageNothingToSave, MessageButtons::Ok);
    return true;
  }
  const auto chosen = AskOutputFile(job, host, ui);
  if (!chosen) return false;
  job.join = true;
  return Finish(Write(job, {*chosen}, progress), {*chosen}, host, ui);
}

}  // namespace snipora
