#include <sstream>

#include <gtest/gtest.h>

#include "cli/cli_args.h"
#include "cli/terminal_progress.h"

namespace snipora::cli {
namespace {

TEST(CutArguments, OptionsAndPositionals) {
  const ParsedArguments p =
      ParseArguments({"-j", "--output=out.wav", "--fade", "250", "-f", "-q", "--ms", "--labels",
                      "l.txt", "src.wav", "0:10", "--", "-5:7"});
  ASSERT_EQ(p.error, "");
  const CutOptions& o = p.options;
  EXPECT_TRUE(o.join && o.force && o.quiet && o.milliseconds);
  EXPECT_EQ(o.output, "out.wav");
  EXPECT_EQ(o.fadeMs, 250u);
  EXPECT_EQ(o.labels, "l.txt");
  EXPECT_EQ(o.source, "src.wav");
  EXPECT_EQ(o.ranges, (std::vector<std::string>{"0:10", "-5:7"}));
  EXPECT_TRUE(ParseArguments({"--info", "a.wav"}).options.info);
  EXPECT_TRUE(ParseArguments({"-h"}).options.help);
  EXPECT_TRUE(ParseArguments({"--version"}).options.version);
  EXPECT_EQ(ParseArguments({"--labels", "l.txt", "a.wav"}).error, "");
  const ParsedArguments loops =
      ParseArguments({"--find-loops", "--window", "1000", "--precision=0", "a.wav"});
  ASSERT_EQ(loops.error, "");
  EXPECT_EQ(loops.options.windowChoice, 2);  // "1秒"
  EXPECT_EQ(loops.options.precisionChoice, 0);
  const CutOptions lists =
      ParseArguments({"--csv", "r.csv", "--print-ranges=cue", "--name", "{n:02} {label}", "a.wav"})
          .options;
  EXPECT_EQ(lists.csv, "r.csv");
  EXPECT_EQ(lists.printRanges, "cue");
  EXPECT_EQ(lists.nameTemplate, "{n:02} {label}");
  EXPECT_TRUE(ParseArguments({"--markers", "a.wav"}).options.markers);
  EXPECT_EQ(ParseArguments({"--cue", "a.cue", "a.wav"}).options.cue, "a.cue");
  EXPECT_EQ(ParseArguments({"a.wav", "0:1"}).options.rf64, Rf64Policy::kAuto);
  EXPECT_EQ(ParseArguments({"--rf64", "always", "a.wav", "0:1"}).options.rf64, Rf64Policy::kAlways);
  EXPECT_EQ(ParseArguments({"--rf64=never", "a.wav", "0:1"}).options.rf64, Rf64Policy::kNever);
}

TEST(CutArguments, UsageErrorsSayWhatIsWrong) {
  const struct {
    std::vector<std::string> args;
    const char* error;
  } cases[] = {
      {{}, "no source file given"},
      {{"a.wav"}, "no range given (START:END, --labels, --cue, --csv or --markers)"},
      {{"--cue", "a.cue", "--markers", "a.wav"},
       "only one of --labels, --cue, --csv and --markers at a time"},
      {{"--print-ranges", "srt", "a.wav", "0:1"},
       "--print-ranges needs labels, cue or csv, not 'srt'"},
      {{"--name", "{n}{title}", "a.wav", "0:1"},
       "--name: unknown field {title} (known: {n} "
       "{n:02} {label} {source} {start} {end})"},
      {{"-j", "-o", "x", "--name", "{n}", "a.wav", "0:1"},
       "--name names split pieces; --join writes one file named by -o"},
      {{"--markers=1", "a.wav"}, "option --markers takes no value"},
      {{"-j", "a.wav", "0:1"}, "--join needs -o FILE, the joined file"},
      {{"--fade", "x", "a.wav", "0:1"}, "--fade needs milliseconds as a whole number, not 'x'"},
      {{"--fade", "-3", "a.wav", "0:1"}, "--fade needs milliseconds as a whole number, not '-3'"},
      {{"a.wav", "0:1", "-o"}, "option -o needs a value"},
      {{"--bogus", "a.wav", "0:1"}, "unknown option --bogus"},
      {{"--join=yes", "-o", "x", "a.wav", "0:1"}, "option --join takes no value"},
      {{"--info", "a.wav", "0:1"}, "--info takes only the source file"},
      {{"--find-loops", "--info", "a.wav"}, "--find-loops and --info do not go together"},
      {{"--find-loops", "a.wav", "0:1", "2:3"},
       "--find-loops takes the source and at most one START:END"},
      {{"--json", "a.wav", "0:1"}, "--json goes with --find-loops"},
      {{"--window", "500", "a.wav", "0:1"},
       "--window and --precision go with --find-loops or --loop auto"},
      {{"--loop", "auto", "-j", "-o", "x", "a.wav", "0:1"},
       "--loop auto works on pieces; with --join give START:END"},
      {{"--loop", "5", "a.wav", "0:1"}, "bad loop '5': expected START:END or auto"},
      {{"--find-loops", "--precision", "100", "a.wav"},
       "--precision takes 0, 32, 64, 128, 256 or 512, not '100'"},
      {{"--rf64", "yes", "a.wav", "0:1"}, "--rf64 takes always, auto or never, not 'yes'"},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseArguments(c.args).error, c.error);
}

TEST(CutArguments, RangeTexts) {
  EXPECT_EQ(ParseRangeText("0:10"), std::make_pair(uint64_t{0}, uint64_t{10}));
  EXPECT_EQ(ParseRangeText("44100:88200"), std::make_pair(uint64_t{44100}, uint64_t{88200}));
  for (const char* bad : {"", ":", "5", "5:", ":5", "a:5", "5:6x", "-1:5", "1:2:3", " 1:2"}) {
    EXPECT_FALSE(ParseRangeText(bad).has_value()) << bad;
  }
}

TEST(TerminalProgress, ShowsPiecesBytesAndNothingWhenQuiet) {
  std::ostringstream shown, quiet;
  for (auto* out : {&shown, &quiet}) {
    TerminalProgress progress(*out, out == &shown, {1048576, 1048576}, nullptr,
                              std::chrono::microseconds(0));
    progress.SetOverallPosition(0);
    progress.SetFilePosition(524288);
    progress.Pump(true);
    progress.SetOverallPosition(2);
    progress.Finish();
  }
  EXPECT_NE(shown.str().find("2/2 pieces [########################] 2.0/2.0 MiB"),
            std::string::npos)
      << shown.str();
  EXPECT_EQ(quiet.str(), "");
  volatile std::sig_atomic_t flag = 0;
  TerminalProgress progress(quiet, false, {1}, &flag, std::chrono::microseconds(0));
  EXPECT_FALSE(progress.IsCancelled());
  flag = 1;
  EXPECT_TRUE(progress.IsCancelled());
}

}  // namespace
}  // namespace snipora::cli
