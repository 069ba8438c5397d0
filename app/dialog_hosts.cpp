#include "app/dialog_hosts.h"

#include "app/main_dialog.h"

namespace snipora {

std::string CMainExportHost::FullPath() const {
  return dialog_.FullPath();
}

std::string CMainExportHost::DisplayName() const {
  return dialog_.DisplayName();
}

const SoundFormatInfo& CMainExportHost::Format() const {
  return dialog_.FormatInfo();
}

std::vector<CutRange> CMainExportHost::Ranges() const {
  // The loop kept with "use as the file's loop" goes to every range that holds it.
  std::optional<ExportRange> loop;
  if (const std::optional<ByteRange> kept = dialog_.Model().LoopForSave()) {
    const uint32_t blockAlign = dialog_.FormatInfo().formatBlock.blockAlign;
    loop = ExportRange{kept->start / blockAlign, kept->end / blockAlign};
  }
  std::vector<CutRange> ranges;
  for (const ReservationRow& row : dialog_.Model().Rows()) {
    const bool holds = loop && row.startFrame <= loop->startFrame && loop->endFrame <= row.endFrame;
    ranges.push_back(
        {row.startFrame, row.endFrame, row.label, holds ? loop : std::optional<ExportRange>{}});
  }
  return ranges;
}

ExportChoices CMainExportHost::Choices() const {
  return dialog_.ExportOptions();
}

void CMainExportHost::ClearUnsavedReservations() {
  dialog_.ClearUnsavedReservations();
}

void CMainExportHost::FilesWritten(const std::vector<std::string>& paths) {
  dialog_.OnFilesSaved(paths);
}

void CMainExportHost::SaveStopped(bool cancelled, const std::vector<std::string>& kept) {
  dialog_.OnSaveStopped(cancelled, kept);
}

}  // namespace snipora
