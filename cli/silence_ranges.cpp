#include "cli/silence_ranges.h"

#include <cstdio>

#include "cli/terminal_progress.h"

namespace snipora::cli {

namespace {

// The scan's progress as a bar over the source's sample bytes.
class ScanBar : public ranges::IScanProgress {
 public:
  ScanBar(RunContext& context, bool shown, const SoundFormatInfo& format, const std::string& given)
      : bar_(context.err, shown, {format.dataSize}, context.interrupted,
             std::chrono::microseconds(context.blockDelayMicroseconds)),
        blockAlign_(format.formatBlock.blockAlign) {
    bar_.SetLabel("finding sounds in " + given);
  }
  ~ScanBar() override { bar_.Finish(); }
  // Draws the full bar (the last blocks fall between redraws).
  void Completed() { bar_.SetOverallPosition(1); }
  void Advance(uint64_t framesDone, uint64_t) override {
    bar_.SetFilePosition(framesDone * blockAlign_);
    bar_.Pump(false);
  }
  bool IsCancelled() const override { return bar_.IsCancelled(); }

 private:
  TerminalProgress bar_;
  uint32_t blockAlign_;
};

std::string Decibels(double db) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", db);
  return text;
}

class SilenceRanges : public RangeProvider {
 public:
  SilenceRanges(const ranges::SilenceRules& rules, bool quiet, RunContext& context)
      : rules_(rules), quiet_(quiet), context_(context) {}

  ProvidedRanges Read(const std::string& given, const std::string& sourcePath,
                      const SoundFormatInfo& format, const ranges::SourceShape&) const override {
    ProvidedRanges provided;
    provided.name = given;
    std::string& error = provided.read.error;
    ranges::SilenceScanEnd end;
    {
      ScanBar bar(context_, context_.errIsTerminal && !quiet_, format, given);
      end =
          ranges::FindSoundsBetweenSilences(sourcePath, format, rules_, bar, provided.read.ranges);
      if (end == ranges::SilenceScanEnd::kDone) bar.Completed();
    }
    switch (end) {
      case ranges::SilenceScanEnd::kDone:
        if (provided.read.ranges.empty()) {
          error = "--silence found no sound (louder than " + Decibels(rules_.thresholdDb) +
                  " dB and at least " + std::to_string(rules_.minSoundMs) + " ms long)";
        }
        break;
      case ranges::SilenceScanEnd::kCancelled:
        error = "interrupted";
        break;
      case ranges::SilenceScanEnd::kFormatRefused:
        error = "--silence cannot read the samples of this source";
        break;
      case ranges::SilenceScanEnd::kOpenFailed:
        error = "cannot be opened";
        break;
      case ranges::SilenceScanEnd::kReadFailed:
        error = "holds less sample data than its header states";
        break;
    }
    return provided;
  }

 private:
  ranges::SilenceRules rules_;
  bool quiet_;
  RunContext& context_;
};

}  // namespace

std::unique_ptr<RangeProvider> MakeSilenceRanges(const ranges::SilenceRules& rules, bool quiet,
                                                 RunContext& context) {
  return std::make_unique<SilenceRanges>(rules, quiet, context);
}

}  // namespace snipora::cli
