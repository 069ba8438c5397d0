#include "export/export_flows.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <vector>

#include "export/export_job.h"
#include "export/export_verify.h"
#include "export/flac_writer.h"
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
// The save dialog's file types, the source's own first (the one chosen at
// first); a source FLAC cannot hold is offered as WAVE only.
constexpr const char* kWaveFilter = QT_TRANSLATE_NOOP("Snipora", "WAVEサウンド(*.wav)|*.wav||");
constexpr const char* kWaveFlacFilter =
    QT_TRANSLATE_NOOP("Snipora", "WAVEサウンド(*.wav)|*.wav|FLACサウンド(*.flac)|*.flac||");
constexpr const char* kFlacWaveFilter =
    QT_TRANSLATE_NOOP("Snipora", "FLACサウンド(*.flac)|*.flac|WAVEサウンド(*.wav)|*.wav||");
// The window's check boxes, as messages name them.
constexpr const char* kFadeOutBox = QT_TRANSLATE_NOOP("Snipora", "フェードアウト処理を行う");
constexpr const char* kFadeInBox = QT_TRANSLATE_NOOP("Snipora", "フェードイン処理を行う");
constexpr const char* kDeclickBox = QT_TRANSLATE_NOOP("Snipora", "クリックノイズを防ぐ");

// Passes the progress on and remembers which outputs the export finished
// and which one failed, so that a failure can name it and a stop can tell
// what was finished.
class CFinishedOutputs : public IExportProgress {
 public:
  explicit CFinishedOutputs(IExportProgress& progress) : progress_(progress) {}

  // The outputs finished, in plan order.
  std::vector<size_t> Written() const {
    std::vector<size_t> written = written_;
    std::sort(written.begin(), written.end());
    return written;
  }
  // The output that failed: the one reported, else the first not finished.
  size_t Failed() const {
    if (failed_) return *failed_;
    const std::vector<size_t> written = Written();
    size_t first = 0;
    while (first < written.size() && written[first] == first) ++first;
    return first;
  }

  void SetTotalLength(uint64_t bytes) override { progress_.SetTotalLength(bytes); }
  void SetFileRange(uint64_t pieceLength) override { progress_.SetFileRange(pieceLength); }
  void SetFilePosition(uint64_t bytesDone) override { progress_.SetFilePosition(bytesDone); }
  void SetOverallRange(uint32_t rows) override { progress_.SetOverallRange(rows); }
  void SetOverallPosition(uint32_t rowsBegun) override { progress_.SetOverallPosition(rowsBegun); }
  void Pump(bool mainWindowToo) override { progress_.Pump(mainWindowToo); }
  bool IsCancelled() const override { return progress_.IsCancelled(); }
  void OutputWritten(size_t index) override { written_.push_back(index); }
  void OutputFailed(size_t index) override { failed_ = index; }

 private:
  IExportProgress& progress_;
  std::vector<size_t> written_;
  std::optional<size_t> failed_;
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
  job.outputFormat = DefaultOutputFormat(job.format);
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
  const char* extension = OutputExtension(job.outputFormat);
  std::vector<std::string> names;
  if (!choices.nameByLabels) {
    for (uint32_t i = 0; i < job.ranges.size(); ++i) names.push_back(PieceFileName(i, extension));
    return names;
  }
  return ranges::PieceNames(kLabelledPieceName, Labelled(job), host.DisplayName(), extension);
}

// The name a save dialog proposes: one piece by its label, else
// "<source> 1"; a joined file "<source> 1-<n>". Never the source's own name.
std::string ProposedName(const IExportHost& host, const ExportRequest& job, bool joined) {
  const char* extension = OutputExtension(job.outputFormat);
  if (joined) {
    return host.DisplayName() + " 1-" + std::to_string(job.ranges.size()) + extension;
  }
  const std::vector<ranges::LabeledRange> labelled = Labelled(job);
  return ranges::PieceNames(labelled.front().label.empty() ? "{source} {n}" : "{label}", labelled,
                            host.DisplayName(), extension)
      .front();
}

// Asks for the output file, proposing `name` beside the source; its type
// (the file type chosen, or the extension typed) decides the job's output
// format.
std::optional<std::string> AskOutputFile(ExportRequest& job, const std::string& name,
                                         IUiServices& ui) {
  SaveFileRequest request;
  const bool flacFirst = job.outputFormat == OutputFormat::kFlac;
  request.filter = !CanWriteFlac(job.format) ? kWaveFilter
                   : flacFirst               ? kFlacWaveFilter
                                             : kWaveFlacFilter;
  request.initialName = name;
  // Beside the source, and a bare typed name becomes a file of the first type's name.
  request.initialFolder = fsops::FolderOf(job.sourcePath);
  request.defaultSuffix = OutputExtension(job.outputFormat) + 1;
  request.overwritePrompt = true;
  // The source itself is refused at once and the dialog comes back.
  std::optional<SaveFileAnswer> answer;
  while ((answer = ui.AskSaveFile(request)) && fsops::SameFile(answer->path, job.sourcePath)) {
    ui.ShowText(
        SaveFailedText(ui, ExportOutcome::OutputIsSource, answer->path, job.sourcePath, 0, {}),
        MessageButtons::Ok);
  }
  if (!answer) return std::nullopt;
  if (const std::optional<OutputFormat> named = FormatNamed(answer->path)) {
    job.outputFormat = *named;
  } else if (request.filter != kWaveFilter && answer->filter == 1) {
    job.outputFormat = flacFirst ? OutputFormat::kWave : OutputFormat::kFlac;
  }
  return answer->path;
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
// result. `finished` knows the outputs the export finished and the one that failed.
bool Finish(ExportOutcome outcome, const ExportPlan& plan, const std::vector<std::string>& outputs,
            const CFinishedOutputs& finished, IExportHost& host, IUiServices& ui) {
  if (outcome == ExportOutcome::Done) {
    host.ClearUnsavedReservations();
    host.FilesWritten(outputs);
    return true;
  }
  std::vector<std::string> kept;
  for (const size_t i : finished.Written()) kept.push_back(outputs[i]);
  const size_t index = std::min(finished.Failed(), outputs.size() - 1);
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
  CFinishedOutputs finished(progress);
  uint64_t total = 0;
  for (const ExportOutput& output : plan.outputs) total += DataLength(plan, output);
  finished.SetTotalLength(total);
  const ExportOutcome outcome = WriteExport(plan, finished);
  if (outcome == ExportOutcome::Done && verify && !Verified(plan, progress, ui)) {
    // Written, but not as the source has it: the save is not done.
    host.SaveStopped(false, paths);
    return false;
  }
  return Finish(outcome, plan, paths, finished, host, ui);
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
    const auto chosen = AskOutputFile(*job, ProposedName(host, *job, false), ui);
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
  const auto chosen = AskOutputFile(*job, ProposedName(host, *job, true), ui);
  if (!chosen) return NothingSaved(host, true);
  if (AnOutputIsAFolder(job->sourcePath, {*chosen}, ui)) return NothingSaved(host, false);
  job->join = true;
  return WritePlanned(*job, {*chosen}, choices.verify, host, ui, progress);
}

ExtendedCopySaved ExportExtendedCopy(ExportRequest request, const std::string& displayName,
                                     IUiServices& ui, IExportProgress& progress) {
  const std::optional<std::string> chosen = AskOutputFile(
      request, displayName + " (extended)" + OutputExtension(request.outputFormat), ui);
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
