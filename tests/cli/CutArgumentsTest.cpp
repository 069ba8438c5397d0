#include <sstream>

#include <gtest/gtest.h>

#include "cli/cli_args.h"
#include "cli/range_providers.h"
#include "cli/terminal_progress.h"
#include "tests/support/test_support.h"

namespace snipora::cli {
namespace {

TEST(CutArguments, OptionsAndPositionals) {
  test::TempDir dir;
  const std::string second = dir.File("b.wav");
  test::WriteFileBytes(second, {0});
  const ParsedArguments p =
      ParseArguments({"-j", "--output=out.wav", "--fade", "250", "--fade=300", "-q", "--ms",
                      "--labels", "{stem}.txt", "src.wav", "0:10", "--", second});
  ASSERT_EQ(p.error, "");
  const CutOptions& o = p.options;
  EXPECT_TRUE(o.join && o.quiet && o.milliseconds && !o.force);
  EXPECT_EQ(o.mode, CutMode::Cut);
  EXPECT_EQ(o.output, "out.wav");
  EXPECT_EQ(o.fadeMs, 300u);  // the last value of a repeated option
  EXPECT_EQ(o.labels, "{stem}.txt");
  // A later argument that names a file is a source; anything else a range.
  EXPECT_EQ(o.sources, (std::vector<std::string>{"src.wav", second}));
  EXPECT_EQ(o.ranges, (std::vector<std::string>{"0:10"}));
  EXPECT_EQ(ParseArguments({"a.wav", "--", "-5:7"}).error, "bad range '-5:7': expected START:END");
  EXPECT_EQ(ParseArguments({"a.wav", "missing.wav"}).error,
            "bad range 'missing.wav': expected START:END (nor is it a source file)");
  EXPECT_EQ(ParseArguments({"--info", "a.wav"}).options.mode, CutMode::Info);
  EXPECT_TRUE(ParseArguments({"-h"}).options.help);
  EXPECT_TRUE(ParseArguments({"--version"}).options.version);
  const ParsedArguments loops =
      ParseArguments({"--find-loops", "--window", "1000", "--precision=0", "--json", "a.wav"});
  ASSERT_EQ(loops.error, "");
  EXPECT_EQ(loops.options.mode, CutMode::FindLoops);
  EXPECT_EQ(loops.options.windowChoice, 2);  // "1秒"
  EXPECT_EQ(loops.options.precisionChoice, 0);
  const CutOptions lists =
      ParseArguments({"--csv", "r.csv", "--print-ranges=cue", "a.wav"}).options;
  EXPECT_EQ(lists.mode, CutMode::PrintRanges);
  EXPECT_EQ(lists.csv, "r.csv");
  EXPECT_EQ(lists.printRanges, "cue");
  const CutOptions cut = ParseArguments({"--markers", "--skip-existing", "--json", "--name",
                                         "{stem} {n:02}", "--rf64", "always", "a.wav"})
                             .options;
  EXPECT_TRUE(cut.markers && cut.skipExisting && cut.json);
  EXPECT_EQ(cut.nameTemplate, "{stem} {n:02}");
  EXPECT_EQ(cut.rf64, Rf64Policy::kAlways);
  const CutOptions sounds =
      ParseArguments({"--silence", "--threshold", "-42.5", "--min-silence", "700", "--min-sound",
                      "0", "--pad", "5", "--extend-loop", "4", "a.wav"})
          .options;
  EXPECT_TRUE(sounds.silence);
  EXPECT_EQ(sounds.silenceRules.thresholdDb, -42.5);
  EXPECT_EQ(sounds.silenceRules.minSilenceMs, 700u);
  EXPECT_EQ(sounds.silenceRules.minSoundMs, 0u);
  EXPECT_EQ(sounds.silenceRules.padMs, 5u);
  EXPECT_EQ(sounds.extendLoop->count, 4u);
  EXPECT_EQ(sounds.extendLoop->fadeMs, 10000u);  // the default fade
  EXPECT_EQ(ParseArguments({"--extend-loop=2:0", "a.wav", "0:1"}).options.extendLoop->fadeMs, 0u);
}

TEST(CutArguments, UsageErrorsSayWhatIsWrong) {
  const struct {
    std::vector<std::string> args;
    const char* error;
  } cases[] = {
      {{}, "no source file given"},
      {{"a.wav"}, "no range given (START:END, --labels, --cue, --csv, --markers or --silence)"},
      {{"--cue", "a.cue", "--markers", "a.wav"},
       "only one of --labels, --cue, --csv, --markers and --silence at a time"},
      {{"--silence", "--labels", "a.txt", "a.wav"},
       "only one of --labels, --cue, --csv, --markers and --silence at a time"},
      {{"--pad", "10", "a.wav", "0:1"},
       "--threshold, --min-silence, --min-sound and --pad go with --silence"},
      {{"--silence", "--threshold", "3", "a.wav"},
       "--threshold needs decibels up to 0 (such as -50), not '3'"},
      {{"--silence", "--min-silence", "1.5", "a.wav"},
       "--min-silence needs milliseconds as a whole number, not '1.5'"},
      {{"--silence", "--list-encoding", "CP1251", "a.wav"},
       "--list-encoding goes with --labels, --cue, --csv or --markers"},
      {{"--find-loops", "--silence", "a.wav"}, "--silence does not go with --find-loops"},
      {{"--extend-loop", "0", "a.wav", "0:1"},
       "--extend-loop takes COUNT[:FADE_MS], a count of at least 1 and milliseconds, not '0'"},
      {{"--extend-loop", "2:x", "a.wav", "0:1"},
       "--extend-loop takes COUNT[:FADE_MS], a count of at least 1 and milliseconds, not '2:x'"},
      {{"--extend-loop", "2", "-j", "-o", "x", "a.wav", "0:1"},
       "--extend-loop writes each piece; it does not go with --join"},
      {{"--extend-loop", "2", "--declick", "5", "a.wav", "0:1"},
       "--fade, --fade-in and --declick do not go with --extend-loop, which fades out by its own "
       "FADE_MS"},
      {{"--print-ranges", "csv", "--extend-loop", "2", "a.wav", "0:1"},
       "--extend-loop does not go with --print-ranges"},
      {{"--print-ranges", "srt", "a.wav", "0:1"},
       "--print-ranges needs labels, cue or csv, not 'srt'"},
      {{"--name", "{n}{title}", "a.wav", "0:1"},
       "--name: unknown field {title} (known: {n} {n:02} {label} {stem} {source} {start} {end})"},
      {{"--cue", "{name}.cue", "a.wav"}, "--cue: unknown field {name} (known: {stem})"},
      {{"-j", "-o", "x", "--name", "{n}", "a.wav", "0:1"},
       "--name names split pieces; --join writes one file named by -o"},
      {{"--markers=1", "a.wav"}, "option --markers takes no value"},
      {{"--join=true", "-o", "x", "a.wav", "0:1"}, "option --join takes no value"},
      {{"-j", "a.wav", "0:1"}, "--join needs -o FILE, the joined file"},
      {{"--fade", "x", "a.wav", "0:1"}, "--fade needs milliseconds as a whole number, not 'x'"},
      {{"--fade", "-3", "a.wav", "0:1"}, "--fade needs milliseconds as a whole number, not '-3'"},
      {{"a.wav", "0:1", "-o"}, "option --output needs a value"},
      {{"--fade=", "a.wav", "0:1"}, "option --fade needs a value"},
      {{"a.wav", "0:1", "-o", ""}, "option --output needs a path"},
      {{"--bogus", "a.wav", "0:1"}, "unknown option --bogus"},
      {{"a.wav", "0:1", "2:2"}, "bad range '2:2': START must be below END"},
      {{"a.wav", "5:6x"}, "bad range '5:6x': expected START:END"},
      {{"-f", "--skip-existing", "a.wav", "0:1"}, "--force and --skip-existing do not go together"},
      {{"--info", "a.wav", "0:1"}, "--info takes only the source file"},
      {{"--find-loops", "--info", "a.wav"}, "--find-loops and --info do not go together"},
      {{"--find-loops", "a.wav", "0:1", "2:3"},
       "--find-loops takes the source and at most one START:END"},
      // Every option a mode does not use is refused, lists by --find-loops too.
      {{"--find-loops", "--csv", "r.csv", "a.wav"}, "--csv does not go with --find-loops"},
      {{"--find-loops", "--markers", "a.wav", "0:9"}, "--markers does not go with --find-loops"},
      {{"--print-ranges", "cue", "--fade", "5", "a.wav", "0:1"},
       "--fade does not go with --print-ranges"},
      {{"--print-ranges", "cue", "-o", "x", "a.wav", "0:1"},
       "--output does not go with --print-ranges"},
      {{"--info", "--loop", "0:5", "a.wav"}, "--loop does not go with --info"},
      {{"--info", "--json", "a.wav"}, "--json does not go with --info"},
      {{"--find-loops", "--name", "{n}", "a.wav"}, "--name does not go with --find-loops"},
      {{"--window", "500", "a.wav", "0:1"},
       "--window and --precision go with --find-loops or --loop auto"},
      {{"--loop", "auto", "-j", "-o", "x", "a.wav", "0:1"},
       "--loop auto works on pieces; with --join give START:END"},
      {{"--loop", "5", "a.wav", "0:1"}, "bad loop '5': expected START:END or auto"},
      {{"--loop", "9:9", "a.wav", "0:1"}, "--loop 9:9: START must be below END"},
      {{"--find-loops", "--precision", "100", "a.wav"},
       "--precision takes 0, 32, 64, 128, 256 or 512, not '100'"},
      {{"--rf64", "yes", "a.wav", "0:1"}, "--rf64 takes always, auto or never, not 'yes'"},
      {{"--format", "ogg", "a.wav", "0:1"}, "--format takes flac or wav, not 'ogg'"},
      {{"--flac-level", "9", "a.wav", "0:1"}, "--flac-level takes 0 to 8, not '9'"},
      {{"--format", "wav", "--flac-level", "3", "a.wav", "0:1"},
       "--flac-level goes with FLAC outputs, not --format wav"},
      {{"--format", "flac", "--rf64", "never", "a.wav", "0:1"},
       "--rf64 goes with WAVE outputs, not --format flac"},
      {{"--format", "flac", "-j", "-o", "all.WAV", "a.wav", "0:1"},
       "--format flac does not write the file -o names (all.WAV)"},
      {{"--list-encoding", "CP1251", "a.wav", "0:1"},
       "--list-encoding goes with --labels, --cue, --csv or --markers"},
      {{"--list-encoding", "NO-SUCH-CODE", "--markers", "a.wav"},
       "--list-encoding: NO-SUCH-CODE is not an encoding this system knows (names as iconv takes "
       "them, e.g. CP1251, CP1252 or SHIFT_JIS)"},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseArguments(c.args).error, c.error) << c.args.size();
}

TEST(CutArguments, SeveralSourcesAndTheirPlaces) {
  test::TempDir dir;
  for (const char* name : {"a.wav", "b.wav"}) test::WriteFileBytes(dir.File(name), {0});
  const std::string a = dir.File("a.wav"), b = dir.File("b.wav");
  EXPECT_EQ(ParseArguments({"-j", a, b, "0:1"}).error,
            "--join with several sources needs -o DIR, their folder");
  EXPECT_EQ(ParseArguments({"--print-ranges", "csv", "--markers", a, b}).error,
            "--print-ranges takes one source");
  EXPECT_EQ(ParseArguments({"--find-loops", a, b}).error,
            "--find-loops takes the source and at most one START:END");
  // A list template is resolved beside each source; other paths stay as given.
  EXPECT_EQ(ListPathFor("{stem}.cue", "/m/x.y.wav"), "/m/x.y.cue");
  EXPECT_EQ(ListPathFor("cues/{stem}-{stem}.txt", "/m/.h"), "/m/cues/.h-.h.txt");
  EXPECT_EQ(ListPathFor("/l/{stem}.csv", "/m/s.wav"), "/l/s.csv");
  EXPECT_EQ(ListPathFor("all.csv", "/m/s.wav"), "all.csv");
}

TEST(CutArguments, RangeTexts) {
  EXPECT_EQ(ParseRangeText("0:10"), std::make_pair(uint64_t{0}, uint64_t{10}));
  EXPECT_EQ(ParseRangeText("44100:88200"), std::make_pair(uint64_t{44100}, uint64_t{88200}));
  for (const char* bad : {"", ":", "5", "5:", ":5", "a:5", "5:6x", "-1:5", "1:2:3", " 1:2"}) {
    EXPECT_FALSE(ParseRangeText(bad).has_value()) << bad;
  }
}

// The bar covers the whole run: the second source's pieces count on from
// the first's. Outputs finished out of order (side by side) are told in plan
// order, per source.
TEST(TerminalProgress, ShowsTheRunsPiecesBytesAndNothingWhenQuiet) {
  std::ostringstream shown, quiet;
  for (auto* out : {&shown, &quiet}) {
    TerminalProgress progress(*out, out == &shown, {1048576, 1048576, 2097152}, nullptr,
                              std::chrono::microseconds(0));
    progress.StartSource(0, 1, 2);
    progress.SetOverallPosition(0);
    progress.SetFileRange(2097152);
    progress.SetFilePosition(524288);
    progress.Pump(true);
    progress.OutputWritten(1);
    progress.OutputWritten(0);
    progress.SetOverallPosition(2);
    EXPECT_EQ(progress.WrittenInSource(), (std::vector<size_t>{0, 1}));
    progress.StartSource(2, 2, 2);
    EXPECT_TRUE(progress.WrittenInSource().empty());
    progress.SetOverallPosition(0);
    progress.SetFileRange(2097152);
    progress.SetFilePosition(1048576);
    progress.OutputWritten(0);
    progress.SetOverallPosition(1);
    progress.Finish();
  }
  EXPECT_NE(shown.str().find("source 2/2, 3/3 pieces [########################] 4.0/4.0 MiB"),
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
