#include "export/export_flows.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <vector>

#include "export/export_job.h"
#include "export/output_names.h"
#include "export/save_messages.h"
#include "export/split_folder.h"
#include "foundation/number_text.h"
#include "platform/system/fs_ops.h"
#include "platform/ui/ui_text.h"
#include "ranges/piece_names.h"

namespace snipora {

namespace {

constexpr int kMessageNothingToSave = 107;
constexpr const char* kLabelledPieceName = "{n:02} {label}";
constexpr const char* kWaveFilter = QT_TRANSLATE_NOOP("Snipora", "WAVEサウンド(*.wav)|*.wav||");

// Passes the progress on and remembers which output the export has begun,
// so that a failure can name it and a stop can tell what was finished.
class CBegunOutput : public IExportProgress {
 public:
  explicit CBegunOutput(IExportProgress& progress) : progress_(progress) {}

  uint32_t Begun() const { return begun_; }

  void SetTotalLength(uint64_t bytes) override { progress_.SetTotalLength(bytes); }
  void SetFileRange(uint64_t pieceLength) override { progress_.SetFileRange(pieceLength); }
  void SetFilePosition(uint64_t bytesDone) override { progress_.SetFilePosition(bytesDone); }
  void SetOverallRange(uint32_t rows) override { progress_.SetOverallRange(rows); }
  void SetOverallPosition(uint32_t rowsBegun) override {
    begun_ = rowsBegun;
    progress_.SetOverallPosition(rowsBegun);
  }
  void Pump(bool mainWindowToo) override { progress_.Pump(mainWindowToo); }
  bool IsCancelled() const override { return progress_.IsCancelled(); }

 private:
  IExportProgress& progress_;
  uint32_t begun_ = 0;
};

// The job the window's list and options describe; nothing (after saying so)
// when the fade-out is ticked but its length field holds no number.
std::optional<ExportJob> ReadJob(const IExportHost& host, IUiServices& ui,
                                 uint32_t forcedSectorSize) {
  ExportJob job;
  job.sourcePath = host.FullPath();
  job.format = host.Format();
  const auto frame = [](const std::string& text) { return ReadUnsigned64Value(text).value_or(0); };
  for (int row = 0; row < host.RowCount(); ++row) {
    job.ranges.push_back({frame(host.RowText(row, 1)), frame(host.RowText(row, 2))});
  }
  // The check box is enabled only for files whose samples can be faded.
  if (host.FadeChecked() && host.FadeEnabled()) {
    const std::optional<uint32_t> fadeMs = ReadUnsignedValue(host.FadeText());
    if (!fadeMs) {
      ui.ShowText(ui.Translated(QT_TRANSLATE_NOOP(
                      "Snipora",
                      "「フェードアウト処理を行う」にチェックがありますが、長さ (ミリ秒) "
                      "の欄に数がありません。\n長さを入れるか、チェックを外してください。\n"
                      "何も保存していません。")),
                  MessageButtons::Ok);
      return std::nullopt;
    }
    job.fadeMs = *fadeMs;
  }
  job.forcedSectorSize = forcedSectorSize;
  return job;
}

std::vector<ranges::LabeledRange> Labelled(const IExportHost& host, const ExportJob& job) {
  std::vector<ranges::LabeledRange> labelled;
  for (uint32_t i = 0; i < job.ranges.size(); ++i) {
    labelled.push_back(
        {job.ranges[i].startFrame, job.ranges[i].endFrame, host.RowText(static_cast<int>(i), 3)});
  }
  return labelled;
}

// The file names of the pieces in the split folder: numbered, or numbered
// and labelled when the window asks for it.
std::vector<std::string> PieceNames(const IExportHost& host, const ExportJob& job) {
  std::vector<std::string> names;
  if (!host.NameByLabelsChecked()) {
    for (uint32_t i = 0; i < job.ranges.size(); ++i) names.push_back(PieceFileName(i));
    return names;
  }
  return ranges::PieceNames(kLabelledPieceName, Labelled(host, job), host.DisplayName());
}

// The name a save dialog proposes: one piece by its label, else
// "<source> 1"; a joined file "<source> 1-<n>". Never the source's own name.
std::string ProposedName(const IExportHost& host, const ExportJob& job, bool joined) {
  if (joined) {
    return host.DisplayName() + " 1-" + std::to_string(job.ranges.size()) + ".wav";
  }
  const std::vector<ranges::LabeledRange> labelled = Labelled(host, job);
  return ranges::PieceNames(labelled.front().label.empty() ? "{source} {n}" : "{label}", labelled,
                            host.DisplayName())
      .front();
}

// Asks for a WAVE file to write, proposing `name` beside the source.
std::optional<std::string> AskWaveFile(const std::string& sourcePath, const std::string& name,
                                       IUiServices& ui) {
  SaveFileRequest request;
  request.filter = kWaveFilter;
  request.initialName = name;
  // Beside the source, and a bare typed name becomes a WAVE file's name.
  request.initialFolder = fsops::FolderOf(sourcePath);
  request.defaultSuffix = "wav";
  request.overwritePrompt = true;
  // The source itself is refused at once and the dialog comes back.
  std::optional<SaveFileAnswer> answer;
  while ((answer = ui.AskSaveFile(request)) && fsops::SameFile(answer->path, sourcePath)) {
    ui.ShowText(SaveFailedText(ui, ExportOutcome::OutputIsSource, answer->path, sourcePath, 0, {}),
                MessageButtons::Ok);
  }
  if (!answer) return std::nullopt;
  return answer->path;
}

std::optional<std::string> AskOutputFile(const ExportJob& job, const IExportHost& host,
                                         IUiServices& ui, bool joined) {
  return AskWaveFile(job.sourcePath, ProposedName(host, job, joined), ui);
}

// Where the pieces of a split go: the folder named after the source, made
// now; when that cannot be made, what the user chooses: the existing folder
// (its question names the files that would be replaced), another folder, or
// nothing. A folder chosen where no piece replaces a file is taken at once.
std::optional<std::string> ChooseSplitFolder(CSplitFolder& made,
                                             const std::vector<std::string>& names,
                                             IUiServices& ui) {
  int error = made.Make();
  if (error == 0) return made.Path();
  std::string folder = made.Path();
  bool chosen = false;
  while (true) {
    std::string question;
    std::vector<std::string> choices;
    if (fsops::IsFolder(folder)) {
      std::vector<std::string> replaced;
      for (const std::string& name : names) {
        const std::string path = PathInFolder(folder, name);
        if (fsops::Exists(path)) replaced.push_back(path);
      }
      if (chosen && replaced.empty()) return folder;
      question =
          replaced.empty()
              ? FilledText(
                    ui.Translated(QT_TRANSLATE_NOOP(
                        "Snipora",
                        "フォルダ「%1」はすでにあります。\n\n"
                        "置き換えられるファイルはありません。分割したファイルはこのフォルダに"
                        "加わります。")),
                    {folder})
              : FilledText(
                    ui.Translated(QT_TRANSLATE_NOOP(
                        "Snipora",
                        "フォルダ「%1」はすでにあります。\n\n次のファイルは置き換えられます:\n"
                        "%2\n\nフォルダのほかのファイルはそのまま残ります。")),
                    {folder, NameList(ui, replaced)});
      choices.push_back(replaced.empty()
                            ? ui.Translated(QT_TRANSLATE_NOOP("Snipora", "このフォルダに保存(&S)"))
                            : ui.Translated(QT_TRANSLATE_NOOP("Snipora", "置き換える(&R)")));
    } else {
      question = FilledText(
          ui.Translated(QT_TRANSLATE_NOOP("Snipora", "フォルダ「%1」を作れません。\n%2")),
          {folder, ErrorReason(ui, error == 0 ? ENOENT : error)});
    }
    choices.push_back(ui.Translated(QT_TRANSLATE_NOOP("Snipora", "別のフォルダを選ぶ(&F)...")));
    choices.push_back(ui.Translated(QT_TRANSLATE_NOOP("Snipora", "キャンセル")));
    const size_t answer = ui.AskChoice(question, choices);
    if (answer + 1 == choices.size()) return std::nullopt;
    if (answer + 2 != choices.size()) return folder;
    // Another folder; cancelling its dialog comes back to the question.
    if (const std::optional<std::string> other = ui.AskFolder(fsops::FolderOf(folder))) {
      folder = *other;
      chosen = true;
      error = 0;
    }
  }
}

// An output name taken by a folder can never be written: refused before
// anything is, naming it.
bool AnOutputIsAFolder(const std::string& sourcePath, const std::vector<std::string>& outputs,
                       IUiServices& ui) {
  for (const std::string& output : outputs) {
    if (!fsops::IsFolder(output)) continue;
    ui.ShowText(SaveFailedText(ui, ExportOutcome::OutputFailed, output, sourcePath, 0, {}),
                MessageButtons::Ok);
    return true;
  }
  return false;
}

// The save ended before writing anything: cancelled by the user, or refused.
bool NothingSaved(IExportHost& host, bool cancelled) {
  host.SaveStopped(cancelled, {});
  return false;
}

// Tells the window and the user how the save ended and gives the flow's
// result. `begun` is the output the export had reached.
bool Finish(ExportOutcome outcome, const ExportJob& job, const std::vector<std::string>& outputs,
            bool joined, uint32_t begun, IExportHost& host, IUiServices& ui) {
  if (outcome == ExportOutcome::Done) {
    host.ClearUnsavedReservations();
    host.FilesWritten(outputs);
    return true;
  }
  // The pieces before the one begun are complete; a joined file is all or nothing.
  const size_t index = joined ? 0 : std::min<size_t>(begun, outputs.size() - 1);
  const std::vector<std::string> kept(outputs.begin(), outputs.begin() + (joined ? 0 : index));
  host.SaveStopped(outcome == ExportOutcome::Cancelled, kept);
  if (outcome == ExportOutcome::Cancelled) return false;

  std::string failed = outputs[index];
  for (const std::string& output : outputs) {
    if (outcome == ExportOutcome::OutputIsSource && fsops::SameFile(output, job.sourcePath))
      failed = output;
  }
  const uint64_t bytes = joined ? TotalDataLength(job)
                                : (job.ranges[index].endFrame - job.ranges[index].startFrame) *
                                      job.format.formatBlock.blockAlign;
  ui.ShowText(SaveFailedText(ui, outcome, failed, job.sourcePath, bytes, kept), MessageButtons::Ok);
  return false;
}

}  // namespace

bool ExportSplit(IExportHost& host, IUiServices& ui, IExportProgress& progress,
                 uint32_t forcedSectorSize) {
  const std::optional<ExportJob> job = ReadJob(host, ui, forcedSectorSize);
  if (!job) return NothingSaved(host, false);
  if (job->ranges.empty()) {
    ui.ShowMessage(kMessageNothingToSave, MessageButtons::Ok);
    return true;
  }
  std::vector<std::string> outputs;
  // Lives until the export ends: removes the folder again when nothing went in.
  CSplitFolder made(SplitFolderPath(job->sourcePath));
  if (job->ranges.size() == 1) {
    const auto chosen = AskOutputFile(*job, host, ui, false);
    if (!chosen) return NothingSaved(host, true);
    outputs.push_back(*chosen);
  } else {
    const std::vector<std::string> names = PieceNames(host, *job);
    const std::optional<std::string> folder = ChooseSplitFolder(made, names, ui);
    if (!folder) return NothingSaved(host, true);
    for (const std::string& name : names) outputs.push_back(PathInFolder(*folder, name));
  }
  if (AnOutputIsAFolder(job->sourcePath, outputs, ui)) return NothingSaved(host, false);
  CBegunOutput begun(progress);
  begun.SetTotalLength(TotalDataLength(*job));
  const ExportOutcome outcome = WriteSplitPieces(*job, outputs, begun);
  return Finish(outcome, *job, outputs, false, begun.Begun(), host, ui);
}

bool ExportJoined(IExportHost& host, IUiServices& ui, IExportProgress& progress,
                  uint32_t forcedSectorSize) {
  const std::optional<ExportJob> job = ReadJob(host, ui, forcedSectorSize);
  if (!job) return NothingSaved(host, false);
  if (job->ranges.empty()) {
    ui.ShowMessage(kMessageNothingToSave, MessageButtons::Ok);
    return true;
  }
  const auto chosen = AskOutputFile(*job, host, ui, true);
  if (!chosen) return NothingSaved(host, true);
  if (AnOutputIsAFolder(job->sourcePath, {*chosen}, ui)) return NothingSaved(host, false);
  CBegunOutput begun(progress);
  begun.SetTotalLength(TotalDataLength(*job));
  const ExportOutcome outcome = WriteJoinedFile(*job, *chosen, begun);
  return Finish(outcome, *job, {*chosen}, true, 0, host, ui);
}

ExtendedCopySaved ExportExtendedCopy(const ExtendedLoopJob& job, const std::string& displayName,
                                     IUiServices& ui, IExportProgress& progress) {
  const std::optional<std::string> chosen =
      AskWaveFile(job.sourcePath, displayName + " (extended).wav", ui);
  if (!chosen) return {"", true};
  if (AnOutputIsAFolder(job.sourcePath, {*chosen}, ui)) return {};
  uint64_t bytes = 0;
  for (const ExportRange& r : ExtendedLoopRanges(job, ExtendedLoopFadeFrames(job)))
    bytes += (r.endFrame - r.startFrame) * job.format.formatBlock.blockAlign;
  progress.SetTotalLength(bytes);
  const ExportOutcome outcome = WriteExtendedLoop(job, *chosen, progress);
  if (outcome == ExportOutcome::Done) return {*chosen, false};
  if (outcome == ExportOutcome::Cancelled) return {"", true};
  ui.ShowText(SaveFailedText(ui, outcome, *chosen, job.sourcePath, bytes, {}), MessageButtons::Ok);
  return {};
}

}  // namespace snipora
