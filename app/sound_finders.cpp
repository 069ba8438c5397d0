// Tools → loop detection and finding sounds between silences: the dialogs
// that find cut points for the user, and what they ask of this window.
#include <QApplication>

#include "app/main_dialog.h"
#include "app/model/edit_steps.h"
#include "app/model/silence_settings.h"
#include "app/silence_dialog.h"
#include "audiofile/sound_units.h"
#include "export/dialogs/save_progress_dialog.h"
#include "export/export_flows.h"
#include "loopsearch/dialogs/loop_candidates_dlg.h"
#include "playback/player_flags.h"
#include "resources/string_table.h"
#include "waveform/widgets/waveform_view.h"

namespace snipora {

namespace {

// Seconds of data heard on each side of a loop's seam.
constexpr uint32_t kSeamSeconds = 2;

ByteRange LoopBytes(const LoopCandidate& loop, uint32_t blockAlign) {
  return {FramesToBytes(loop.startFrame, blockAlign), FramesToBytes(loop.endFrame, blockAlign)};
}

class CMainLoopCandidatesHost : public ILoopCandidatesHost {
 public:
  explicit CMainLoopCandidatesHost(CMainDlg& dialog) : dialog_(dialog) {}
  std::string OpenFilePath() const override { return dialog_.FullPath(); }
  const SoundFormatInfo& FormatInfo() const override { return dialog_.FormatInfo(); }
  IUiServices& Ui() override { return dialog_.Ui(); }
  LoopSearchSpan SearchSpan() override { return dialog_.LoopSpan(); }
  void ChooseLoop(const LoopCandidate& loop) override { dialog_.ChooseLoop(loop); }
  void ListenToSeam(const LoopCandidate& loop) override { dialog_.ListenToSeam(loop); }
  void KeepLoopForSave(const LoopCandidate& loop) override { dialog_.KeepLoopForSave(loop); }
  std::string SaveExtendedCopy(const LoopCandidate& loop, uint32_t count,
                               uint32_t fadeMs) override {
    return dialog_.SaveExtendedCopy(loop, count, fadeMs);
  }

 private:
  CMainDlg& dialog_;
};

}  // namespace

void CMainDlg::OnMenuLoopSearch() {
  if (!model_.HasFile()) return;
  CMainLoopCandidatesHost host(*this);
  CLoopCandidatesDlg search(host, this);
  search.exec();
  StopSeam();
}

LoopSearchSpan CMainDlg::LoopSpan() {
  const uint32_t blockAlign = BlockAlign();
  if (const std::optional<ByteRange> markers = model_.LoopRange())
    return {markers->start / blockAlign, markers->end / blockAlign, true};
  return {PlayerBytes() / blockAlign, model_.TotalFrames(), false};
}

void CMainDlg::ChooseLoop(const LoopCandidate& loop) {
  model_.SetMarkersTo(LoopBytes(loop, BlockAlign()), edit_step::kLoopCandidate);
  ApplyView();
  waveform_->ShowFrames({loop.startFrame, loop.endFrame});
}

void CMainDlg::ListenToSeam(const LoopCandidate& loop) {
  StopSeam();
  if (model_.IsPlaying()) TogglePlay();
  const ByteRange bytes = LoopBytes(loop, BlockAlign());
  const uint64_t leadIn = uint64_t{kSeamSeconds} * model_.Format().formatBlock.avgBytesPerSec;
  player_.Seek(bytes.end < leadIn ? 0 : bytes.end - leadIn, kUnitBytes);
  if (player_.SetLoop(bytes.start, bytes.end, kUnitBytes) != 0) {
    ui_.ShowMessage(kStrLoopFailed, MessageButtons::Ok);
    RefreshPosition(true, 0);
    return;
  }
  player_.Play(kPlayLoop);
  SetPlaying(true);
  // As long as the seconds before and after the seam take at this speed.
  const auto speed = static_cast<uint32_t>(std::max(1, player_.GetSpeedPercent()));
  SetTimer(kSeamTimer, 2 * kSeamSeconds * 1000 * 100 / speed);
  RefreshPosition(true, 0);
}

void CMainDlg::StopSeam() {
  if (!IsTimerRunning(kSeamTimer)) return;
  KillTimer(kSeamTimer);
  if (model_.IsPlaying()) TogglePlay();
}

void CMainDlg::KeepLoopForSave(const LoopCandidate& loop) {
  model_.SetLoopForSave(LoopBytes(loop, BlockAlign()));
}

std::string CMainDlg::SaveExtendedCopy(const LoopCandidate& loop, uint32_t count, uint32_t fadeMs) {
  StopSeam();
  ExportRequest request;
  request.sourcePath = model_.FullPath();
  request.format = model_.Format();
  request.ranges = {{0, model_.TotalFrames(), "", ExportRange{loop.startFrame, loop.endFrame}}};
  request.outputFormat = DefaultOutputFormat(request.format);
  request.extend = ExtendedCopies{count, fadeMs};
  ExtendedCopySaved saved;
  CSaveProgressDlg progress(
      [&](IExportProgress& saving) {
        saved = ExportExtendedCopy(request, model_.DisplayName(), ui_, saving);
        return !saved.written.empty();
      },
      QApplication::activeModalWidget());
  progress.exec();
  if (saved.written.empty()) {
    OnSaveStopped(saved.cancelled, {});
  } else {
    OnFilesSaved({saved.written});
  }
  return saved.written;
}

void CMainDlg::OnMenuFindSounds() {
  if (!model_.HasFile()) return;
  CSilenceDlg find(model_.FullPath(), model_.Format(), silenceRules_, *waveform_, this);
  const bool add = find.exec() == QDialog::Accepted;
  silenceRules_ = find.Rules();
  SaveSilenceRules(silenceRules_);
  if (!add) return;
  std::vector<ReservationRow> rows;
  for (const ranges::LabeledRange& sound : find.Sounds())
    rows.push_back({sound.startFrame, sound.endFrame, sound.label});
  // One step: Undo takes every found range back out.
  model_.AddRows(std::move(rows), edit_step::kFoundSounds);
  ApplyView();
}

}  // namespace snipora
