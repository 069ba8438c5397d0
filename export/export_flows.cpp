#include "export/export_flows.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <vector>

#include "export/export_job.h"
#include "export/export_verify.h"
#include "export/output_names.h"
#include "export/output_progress.h"
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
// The window's check boxes, as messages name them.
constexpr const char* kFadeOutBox = QT_TRANSLATE_NOOP("Snipora", "フェードアウト処理を行う");
constexpr const char* kFadeInBox = QT_TRANSLATE_NOOP("Snipora", "フェードイン処理を行う");
constexpr const char* kDeclickBox = QT_TRANSLATE_NOOP("Snipora", "クリックノイズを防ぐ");

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

// The milliseconds of a ticked length; nothing (after saying so) when its
// field holds no number.
std::optional<uint32_t> TickedLength(const ExportChoices::Length& length, const char* boxName,
                                     IUiServices& ui) {
  if (!length.ticked) return 0;
  if (const std::optional<uint32_t> ms = ReadUnsignedValue(length.text)) return ms;
  ui.ShowText(FilledText(ui.Translated(QT_TRANSLATE_NOOP(
                             "Snipora",
                             "「%1」にチェックがありますが、長さ (ミリ秒) の欄に数がありません。\n"
                             "長さを入れるか、チェックを外してください。\n何も保存していません。")),
                         {ui.Translated(boxName)}),
              MessageButtons::Ok);
  return std::nullopt;
}

// The request the window's list and options describe; nothing (after saying
// so) when a ticked fade's length field holds no number.
std::optional<ExportRequest> ReadJob(const IExportHost& host, const ExportChoices& choices,
                                     IUiServices& ui, uint32_t forcedSectorSize) {
  ExportRequest job;
  job.sourcePath = host.FullPath();
  job.format = host.Format();
  job.ranges = host.Ranges();
  const std::optional<uint32_t> fadeOut = TickedLength(choices.fadeOut, kFadeOutBox, ui);
  if (!fadeOut) return std::nullopt;
  const std::optional<uint32_t> fadeIn = TickedLength(choices.fadeIn, kFadeInBox, ui);
  if (!fadeIn) return std::nullopt;
  const std::optional<uint32_t> declick = TickedLength(choices.declick, kDeclickBox, ui);
  if (!declick) return std::nullopt;
  job.edges = {*fadeIn, *fadeOut, *declick};
  job.keepMetadata = !choices.stripMetadata;
  job.forcedSectorSize = forcedSectorSize;
  return job;
}

std::vector<ranges::LabeledRange> Labelled(const ExportRequest& job) {
  std::vector<ranges::LabeledRange> labelled;
  for (const CutRange& r : job.ranges) labelled.push_back({r.startFrame, r.endFrame, r.label, 0});
  return labelled;
}

// The file names of the pieces in the split folder: numbered, or numbered
// and labelled when the window asks for it.
std::vector<std::string> PieceNames(const IExportHost& host, const ExportChoices& choices,
                                    const ExportRequest& job) {
  std::vector<std::string> names;
  if (!choices.nameByLabels) {
    for (uint32_t i = 0; i < job.ranges.size(); ++i) names.push_back(PieceFileName(i));
    return names;
  }
  return ranges::PieceNames(kLabelledPieceName, Labelled(job), host.DisplayName());
}

// The name a save dialog proposes: one piece by its label, else
// "<source> 1"; a joined file "<source> 1-<n>". Never the source's own name.
std::string ProposedName(const IExportHost& host, const ExportRequest& job, bool joined) {
  if (joined) {
    return host.DisplayName() + " 1-" + std::to_string(job.ranges.size()) + ".wav";
  }
  const std::vector<ranges::LabeledRange> labelled = Labelled(job);
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

std::optional<std::string> AskOutputFile(const ExportRequest& job, const IExportHost& host,
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
bool Finish(ExportOutcome outcome, const ExportPlan& plan, const std::vector<std::string>& outputs,
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
    if (outcome == ExportOutcome::OutputIsSource && fsops::SameFile(output, plan.sourcePath))
      failed = output;
  }
  const uint64_t bytes = DataLength(plan, plan.outputs[index]);
  ui.ShowText(SaveFailedText(ui, outcome, failed, plan.sourcePath, bytes, kept),
              MessageButtons::Ok);
  return false;
}

// Reads every output back and compares it with the source; the first that
// differs is named to the user. True when all match (or the user stopped
// the check: what was written is complete).
bool Verified(const ExportPlan& plan, IExportProgress& progress, IUiServices& ui) {
  for (const ExportOutput& output : plan.outputs) {
    const std::string problem = VerifyOutput(plan, output, &progress);
    if (progress.IsCancelled()) return true;
    if (problem.empty()) continue;
    ui.ShowText(FilledText(ui.Translated(QT_TRANSLATE_NOOP(
                               "Snipora",
                               "保存したファイルを読み直したところ、元のファイルと一致しません:\n"
                               "%1\nファイルは残してあります。ディスクを確かめてから保存し直して"
                               "ください。")),
                           {output.path}),
                MessageButtons::Ok);
    return false;
  }
  return true;
}

// Plans the request with its outputs at `paths`, writes it (and checks it
// when asked) and finishes.
bool WritePlanned(ExportRequest& request, const std::vector<std::string>& paths, bool verify,
                  IExportHost& host, IUiServices& ui, IExportProgress& progress) {
  request.paths = paths;
  ExportPlan plan;
  if (const std::optional<std::string> refused = PlanExport(request, plan)) {
    ui.ShowText(*refused, MessageButtons::Ok);
    return NothingSaved(host, false);
  }
  CBegunOutput begun(progress);
  uint64_t total = 0;
  for (const ExportOutput& output : plan.outputs) total += DataLength(plan, output);
  begun.SetTotalLength(total);
  const ExportOutcome outcome = WriteExport(plan, begun);
  if (outcome == ExportOutcome::Done && verify && !Verified(plan, progress, ui)) {
    // Written, but not as the source has it: the save is not done.
    host.SaveStopped(false, paths);
    return false;
  }
  return Finish(outcome, plan, paths, request.join, begun.Begun(), host, ui);
}

}  // namespace

bool ExportSplit(IExportHost& host, IUiServices& ui, IExportProgress& progress,
                 uint32_t forcedSectorSize) {
  const ExportChoices choices = host.Choices();
  std::optional<ExportRequest> job = ReadJob(host, choices, ui, forcedSectorSize);
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
    const std::vector<std::string> names = PieceNames(host, choices, *job);
    const std::optional<std::string> folder = ChooseSplitFolder(made, names, ui);
    if (!folder) return NothingSaved(host, true);
    for (const std::string& name : names) outputs.push_back(PathInFolder(*folder, name));
  }
  if (AnOutputIsAFolder(job->sourcePath, outputs, ui)) return NothingSaved(host, false);
  return WritePlanned(*job, outputs, choices.verify, host, ui, progress);
}

bool ExportJoined(IExportHost& host, IUiServices& ui, IExportProgress& progress,
                  uint32_t forcedSectorSize) {
  const ExportChoices choices = host.Choices();
  std::optional<ExportRequest> job = ReadJob(host, choices, ui, forcedSectorSize);
  if (!job) return NothingSaved(host, false);
  if (job->ranges.empty()) {
    ui.ShowMessage(kMessageNothingToSave, MessageButtons::Ok);
    return true;
  }
  const auto chosen = AskOutputFile(*job, host, ui, true);
  if (!chosen) return NothingSaved(host, true);
  if (AnOutputIsAFolder(job->sourcePath, {*chosen}, ui)) return NothingSaved(host, false);
  job->join = true;
  return WritePlanned(*job, {*chosen}, choices.verify, host, ui, progress);
}

ExtendedCopySaved ExportExtendedCopy(ExportRequest request, const std::string& displayName,
                                     IUiServices& ui, IExportProgress& progress) {
  const std::optional<std::string> chosen =
      AskWaveFile(request.sourcePath, displayName + " (extended).wav", ui);
  if (!chosen) return {"", true};
  if (AnOutputIsAFolder(request.sourcePath, {*chosen}, ui)) return {};
  request.paths = {*chosen};
  ExportPlan plan;
  if (const std::optional<std::string> refused = PlanExport(request, plan)) {
    ui.ShowText(*refused, MessageButtons::Ok);
    return {};
  }
  const uint64_t bytes = DataLength(plan, plan.outputs.front());
  progress.SetTotalLength(bytes);
  COutputProgress file(plan, progress);
  const ExportOutcome outcome = WriteExport(plan, file);
  if (outcome == ExportOutcome::Done) return {*chosen, false};
  if (outcome == ExportOutcome::Cancelled) return {"", true};
  ui.ShowText(SaveFailedText(ui, outcome, *chosen, plan.sourcePath, bytes, {}), MessageButtons::Ok);
  return {};
}

}  // namespace snipora
