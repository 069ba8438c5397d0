#include "cli/loop_points.h"

#include <algorithm>

#include "audiofile/sample_loops.h"
#include "audiofile/sound_units.h"
#include "cli/terminal_progress.h"
#include "loopsearch/loop_candidates.h"

namespace snipora::cli {

namespace {

// The search tells its failures in the window's words and language; here
// each way it ends has an English refusal of its own (see Search), so its
// messages are not shown. It asks no questions.
class QuietUi : public IUiServices {
 public:
  MessageAnswer ShowMessage(int, MessageButtons) override { return MessageAnswer::Ok; }
  MessageAnswer ShowText(const std::string&, MessageButtons) override { return MessageAnswer::Ok; }
  size_t AskChoice(const std::string&, const std::vector<std::string>& choices) override {
    return choices.empty() ? 0 : choices.size() - 1;
  }
  std::optional<std::string> AskOpenFile(const OpenFileRequest&) override { return std::nullopt; }
  std::optional<SaveFileAnswer> AskSaveFile(const SaveFileRequest&) override {
    return std::nullopt;
  }
  std::optional<std::string> AskFolder(const std::string&) override { return std::nullopt; }
};

// The search's progress on the terminal bar; Ctrl-C stops it.
class SearchProgress : public ILoopSearchProgress {
 public:
  SearchProgress(RunContext& context, bool shown, uint64_t bytes, uint32_t bytesPerSecond)
      : bar_(context.err, shown, {bytes}, context.interrupted,
             std::chrono::microseconds(context.blockDelayMicroseconds)),
        bytes_(bytes),
        bytesPerSecond_(bytesPerSecond) {
    bar_.SetLabel("loop search");
  }
  ~SearchProgress() override { bar_.Finish(); }
  // Draws the full bar (the last steps fall between redraws).
  void Completed() { bar_.SetOverallPosition(1); }
  void SetRange(uint32_t) override {}
  // Positions are milliseconds of the searched stretch.
  void SetPosition(uint32_t position) override {
    const uint64_t done = uint64_t{position} * bytesPerSecond_ / 1000;
    bar_.SetFilePosition(std::min(done, bytes_));
  }
  void SetText(const std::string&) override {}
  void Pump() override { bar_.Pump(false); }
  bool IsCancelled() const override { return bar_.IsCancelled(); }

 private:
  TerminalProgress bar_;
  uint64_t bytes_;
  uint32_t bytesPerSecond_;
};

// The candidates of one range; refused when interrupted.
std::optional<Refusal> Search(const CutOptions& o, const ExportRequest& job,
                              const ExportRange& range, RunContext& context,
                              std::vector<LoopCandidate>& candidates) {
  LoopCandidateRequest request;
  request.path = job.sourcePath;
  request.format = job.format;
  request.startFrame = range.startFrame;
  request.endFrame = range.endFrame;
  request.lengthIndex = o.windowChoice.value_or(kDefaultLoopLength);
  request.precisionIndex = o.precisionChoice.value_or(kDefaultLoopPrecision);
  const WaveFormatBlock& block = job.format.formatBlock;
  SearchProgress progress(context, context.errIsTerminal && !o.quiet,
                          (range.endFrame - range.startFrame) * block.blockAlign,
                          block.avgBytesPerSec);
  QuietUi ui;
  LoopSearchEnd end = LoopSearchEnd::Completed;
  candidates = FindLoopCandidates(request, progress, ui, end);
  if (end == LoopSearchEnd::Completed) progress.Completed();
  switch (end) {
    case LoopSearchEnd::Cancelled:
      return Refusal{"interrupted"};
    case LoopSearchEnd::OpenFailed:
      return Refusal{"the loop search cannot open the source"};
    case LoopSearchEnd::NoMemory:
      return Refusal{"not enough memory for the loop search's window"};
    case LoopSearchEnd::FormatRefused:
      return Refusal{"the loop search cannot read the samples of this source"};
    case LoopSearchEnd::ConstantWindow:
      return Refusal{"the sound at frame " + std::to_string(range.startFrame) +
                     " is silent or constant and cannot anchor a loop; start the range elsewhere"
                     " or choose a finer --precision"};
    case LoopSearchEnd::DataEnded:
      Warn(context, "the source holds less data than its header states");
      break;
    case LoopSearchEnd::Completed:
    case LoopSearchEnd::EmptyWindow:
      break;
  }
  return std::nullopt;
}

std::string RangeText(uint64_t start, uint64_t end) {
  return std::to_string(start) + ":" + std::to_string(end);
}

}  // namespace

std::optional<Refusal> FindLoops(const CutOptions& o, const ExportRequest& job,
                                 RunContext& context) {
  const WaveFormatBlock& block = job.format.formatBlock;
  const ExportRange range =
      job.ranges.empty() ? ExportRange{0, TotalFrames(job.format)}
                         : ExportRange{job.ranges.front().startFrame, job.ranges.front().endFrame};
  std::vector<LoopCandidate> candidates;
  if (auto bad = Search(o, job, range, context, candidates)) return bad;
  if (o.json) context.out << "[";
  for (size_t i = 0; i < candidates.size(); ++i) {
    const LoopCandidate& c = candidates[i];
    const uint64_t ms = (c.endFrame - c.startFrame) * 1000 / block.samplesPerSec;
    if (o.json) {
      context.out << (i ? ",\n " : "\n ") << "{\"start_frame\": " << c.startFrame
                  << ", \"end_frame\": " << c.endFrame << ", \"length_ms\": " << ms
                  << ", \"seam_difference\": " << c.seamDifference << "}";
    } else {
      context.out << c.startFrame << " " << c.endFrame << " " << ms << "\n";
    }
  }
  if (o.json) context.out << (candidates.empty() ? "]\n" : "\n]\n");
  return std::nullopt;
}

std::optional<Refusal> ChooseLoops(const CutOptions& o, ExportRequest& request,
                                   RunContext& context) {
  if (o.loop.empty()) return std::nullopt;
  if (o.loop == "auto") {
    // The best candidate of each piece.
    for (CutRange& r : request.ranges) {
      std::vector<LoopCandidate> candidates;
      if (auto bad = Search(o, request, {r.startFrame, r.endFrame}, context, candidates)) {
        return bad;
      }
      if (candidates.empty()) {
        return Refusal{"no loop found in range " + RangeText(r.startFrame, r.endFrame) +
                       " (frames); try a lower --precision such as 512, or a shorter --window"};
      }
      r.loop = ExportRange{candidates.front().startFrame, candidates.front().endFrame};
    }
    return std::nullopt;
  }
  auto [start, end] = *ParseRangeText(o.loop);
  const uint32_t rate = request.format.formatBlock.samplesPerSec;
  if (o.milliseconds) {
    start = MillisecondsToFrames(start, rate);
    end = MillisecondsToFrames(end, rate);
  }
  const std::string name = "--loop " + o.loop;
  if (start >= end) return Refusal{name + ": START must be below END"};
  request.loop = GivenLoop{{start, end}, name};
  return std::nullopt;
}

void PrintSourceLoops(std::ostream& out, const std::string& sourcePath) {
  const std::optional<SampleChunk> chunk = ReadSampleChunk(sourcePath);
  const size_t count = chunk ? chunk->loops.size() : 0;
  out << "loops=" << count << "\n";
  for (size_t k = 0; k < count; ++k) {
    const SampleLoop& l = chunk->loops[k];
    out << "loop" << k + 1 << "=" << RangeText(l.start, uint64_t{l.end} + 1) << "\n";
  }
}

}  // namespace snipora::cli
