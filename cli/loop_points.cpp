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
std::optional<Refusal> Search(const CutOptions& o, const ExportJob& job, const ExportRange& range,
                              RunContext& context, std::vector<LoopCandidate>& candidates) {
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

// Frames a "smpl" chunk can address: its fields are 32-bit.
constexpr uint64_t kSampleChunkFrames = uint64_t{UINT32_MAX} + 1;

// Why a loop ending (exclusive) at output frame `end` cannot be stored.
std::string LoopBeyondChunk(uint64_t end) {
  return "a loop ending at frame " + std::to_string(end) +
         " of its output does not fit the 32-bit frames of a smpl chunk";
}

// The "smpl" chunk of one forward loop over output frames [start, end); a
// refusal when the frames do not fit the chunk's 32-bit fields (an output of
// more than 2^32 frames, past 4 GiB).
std::optional<Refusal> AddLoopChunk(uint32_t rate, uint64_t start, uint64_t end,
                                    std::vector<WaveExtraChunks>& chunks) {
  if (end > kSampleChunkFrames) return Refusal{LoopBeyondChunk(end)};
  chunks.push_back(SampleChunkBytes(
      ForwardLoopChunk(rate, static_cast<uint32_t>(start), static_cast<uint32_t>(end))));
  return std::nullopt;
}

WaveExtraChunks ChunkWith(const SampleChunk& fields, std::vector<SampleLoop> loops) {
  if (loops.empty()) return {};
  SampleChunk chunk = fields;
  chunk.loops = std::move(loops);
  return SampleChunkBytes(chunk);
}

// --loop START:END, in frames: inside every piece, or inside one of the
// joined ranges (at its place in the joined file).
std::optional<Refusal> AddGivenLoop(const CutOptions& o, ExportJob& job) {
  auto [start, end] = *ParseRangeText(o.loop);
  const uint32_t rate = job.format.formatBlock.samplesPerSec;
  if (o.milliseconds) {
    start = MillisecondsToFrames(start, rate);
    end = MillisecondsToFrames(end, rate);
  }
  const std::string what = "--loop " + o.loop;
  if (start >= end) return Refusal{what + ": START must be below END"};
  uint64_t joinedStart = 0;  // of the range in the joined file
  for (size_t i = 0; i < job.ranges.size(); ++i) {
    const ExportRange& r = job.ranges[i];
    const bool inside = start >= r.startFrame && end <= r.endFrame;
    if (o.join && inside) {
      const uint64_t at = joinedStart + (start - r.startFrame);
      job.extraChunks.clear();
      return AddLoopChunk(rate, at, at + (end - start), job.extraChunks);
    }
    if (!o.join && !inside) {
      return Refusal{what + " is not inside range " + RangeText(r.startFrame, r.endFrame) +
                     " (frames)"};
    }
    if (!o.join) {
      if (auto bad =
              AddLoopChunk(rate, start - r.startFrame, end - r.startFrame, job.extraChunks)) {
        return bad;
      }
    }
    joinedStart += r.endFrame - r.startFrame;
  }
  if (o.join) return Refusal{what + " is not inside any of the joined ranges"};
  return std::nullopt;
}

// --loop auto: the best candidate of each piece.
std::optional<Refusal> AddFoundLoops(const CutOptions& o, ExportJob& job, RunContext& context) {
  for (const ExportRange& r : job.ranges) {
    std::vector<LoopCandidate> candidates;
    if (auto bad = Search(o, job, r, context, candidates)) return bad;
    if (candidates.empty()) {
      return Refusal{"no loop found in range " + RangeText(r.startFrame, r.endFrame) +
                     " (frames); try a lower --precision such as 512, or a shorter --window"};
    }
    const LoopCandidate& best = candidates.front();
    if (auto bad =
            AddLoopChunk(job.format.formatBlock.samplesPerSec, best.startFrame - r.startFrame,
                         best.endFrame - r.startFrame, job.extraChunks)) {
      return bad;
    }
  }
  return std::nullopt;
}

// The source's loops that lie inside each output, shifted; a loop that no
// output keeps, or that would lie past the frames a smpl chunk addresses
// (late in a joined file), is named on standard error.
void KeepSourceLoops(const CutOptions& o, ExportJob& job, RunContext& context) {
  const std::optional<SampleChunk> source = ReadSampleChunk(job.sourcePath);
  if (!source || source->loops.empty()) return;
  std::vector<bool> placed(source->loops.size(), false);
  std::vector<std::vector<SampleLoop>> outputLoops(o.join ? 1 : job.ranges.size());
  uint64_t to = 0;  // where the range starts in its output
  for (size_t i = 0; i < job.ranges.size(); ++i) {
    const ExportRange& r = job.ranges[i];
    for (size_t k = 0; k < source->loops.size(); ++k) {
      const SampleLoop& l = source->loops[k];
      if (LoopsInside({l}, r.startFrame, r.endFrame, 0).empty()) continue;
      placed[k] = true;
      const uint64_t end = uint64_t{l.end} + 1 - r.startFrame + to;
      if (end > kSampleChunkFrames) {
        Warn(context, "the source's loop " + std::to_string(k + 1) + " (" +
                          RangeText(l.start, uint64_t{l.end} + 1) +
                          ") is not written there: " + LoopBeyondChunk(end));
        continue;
      }
      const std::vector<SampleLoop> moved = LoopsInside({l}, r.startFrame, r.endFrame, to);
      std::vector<SampleLoop>& loops = outputLoops[o.join ? 0 : i];
      loops.insert(loops.end(), moved.begin(), moved.end());
    }
    if (o.join) to += r.endFrame - r.startFrame;
  }
  for (std::vector<SampleLoop>& loops : outputLoops) {
    job.extraChunks.push_back(ChunkWith(*source, std::move(loops)));
  }
  for (size_t k = 0; k < placed.size(); ++k) {
    if (placed[k]) continue;
    const SampleLoop& l = source->loops[k];
    Warn(context, "the source's loop " + std::to_string(k + 1) + " (" +
                      RangeText(l.start, uint64_t{l.end} + 1) +
                      ") lies in no output and is not written");
  }
}

}  // namespace

std::optional<Refusal> FindLoops(const CutOptions& o, const ExportJob& job, RunContext& context) {
  const WaveFormatBlock& block = job.format.formatBlock;
  const ExportRange range = job.ranges.empty()
                                ? ExportRange{0, job.format.dataSize / block.blockAlign}
                                : job.ranges.front();
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

std::optional<Refusal> AddLoopChunks(const CutOptions& o, ExportJob& job, RunContext& context) {
  job.extraChunks.clear();
  if (o.loop == "auto") return AddFoundLoops(o, job, context);
  if (!o.loop.empty()) return AddGivenLoop(o, job);
  KeepSourceLoops(o, job, context);
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
