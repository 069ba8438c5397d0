// Runs the snipora-cut executable on files made by sox and checks its
// outputs byte for byte against the source and with soxi.
#include <csignal>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "audiofile/sample_loops.h"
#include "tests/export/fade_reference.h"
#include "tests/loopsearch/loop_search_fixture.h"
#include "tests/support/test_support.h"
#include "tests/support/wave_bytes.h"

namespace snipora {
namespace {

using namespace snipora::test;
namespace fs = std::filesystem;

CommandResult Cut(const std::string& args) {
  return RunCommand(ShellQuote(CutBinary()) + " " + args);
}

void Sox(const std::string& args) {
  const CommandResult r = RunCommand("sox -V1 " + args);
  ASSERT_EQ(r.exitCode, 0) << r.output;
}

std::string Soxi(const std::string& flag, const std::string& path) {
  CommandResult r = RunCommand("soxi -V0 " + flag + " " + ShellQuote(path));
  EXPECT_EQ(r.exitCode, 0) << r.output;
  while (!r.output.empty() && r.output.back() == '\n') r.output.pop_back();
  return r.output;
}

// The sample bytes of a WAVE file, found by walking its chunks.
Bytes SampleData(const Bytes& wave) {
  size_t at = 12;
  while (at + 8 <= wave.size()) {
    const uint32_t size = GetU32(wave, at + 4);
    if (std::string(wave.begin() + at, wave.begin() + at + 4) == "data") {
      return Bytes(wave.begin() + at + 8, wave.begin() + at + 8 + size);
    }
    at += 8 + size + (size & 1);
  }
  ADD_FAILURE() << "no data chunk";
  return {};
}

Bytes Frames(const Bytes& data, size_t frameBytes, size_t start, size_t end) {
  return Bytes(data.begin() + start * frameBytes, data.begin() + end * frameBytes);
}

class CutEndToEnd : public testing::Test {
 protected:
  void SetUp() override {
    if (CutBinary().empty()) GTEST_SKIP() << "SNIPORA_CUT is not set (run through ctest)";
    if (!HaveProgram("sox")) GTEST_SKIP() << "sox is missing";
  }
  // A noise source of the given shape; returns its sample bytes.
  Bytes Source(const std::string& name, int rate, int channels, int bits, const char* seconds) {
    Sox("-n -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " -b " +
        std::to_string(bits) + " " + ShellQuote(dir.File(name)) + " synth " + seconds +
        " whitenoise vol 0.5");
    return SampleData(ReadFileBytes(dir.File(name)));
  }
  // Checks an output: soxi reads it and its samples are the expected bytes.
  // headerBytes: 46, and the chunks kept from the source.
  void ExpectOutput(const std::string& path, const Bytes& expected, size_t frameBytes,
                    size_t headerBytes = 46) {
    ASSERT_TRUE(fs::exists(path)) << path;
    const Bytes out = ReadFileBytes(path);
    EXPECT_EQ(out.size(), headerBytes + expected.size()) << path;
    EXPECT_TRUE(SampleData(out) == expected) << path;
    EXPECT_EQ(Soxi("-s", path), std::to_string(expected.size() / frameBytes)) << path;
  }
  std::string Q(const std::string& name) { return ShellQuote(dir.File(name)); }
  void WriteText(const std::string& name, const std::string& text) {
    WriteFileBytes(dir.File(name), Bytes(text.begin(), text.end()));
  }

  TempDir dir;
};

TEST_F(CutEndToEnd, SplitsIntoAFolderNamedAfterTheSource) {
  const Bytes data = Source("song.wav", 44100, 2, 16, "1");
  const CommandResult r = Cut(Q("song.wav") + " 0:1000 1000:44100 500:501");
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(r.output, "");  // quiet when standard error is not a terminal
  ExpectOutput(dir.File("song/01.wav"), Frames(data, 4, 0, 1000), 4);
  ExpectOutput(dir.File("song/02.wav"), Frames(data, 4, 1000, 44100), 4);
  ExpectOutput(dir.File("song/03.wav"), Frames(data, 4, 500, 501), 4);
  EXPECT_EQ(Soxi("-c", dir.File("song/01.wav")), "2");
  EXPECT_EQ(Soxi("-r", dir.File("song/01.wav")), "44100");
  EXPECT_EQ(Soxi("-b", dir.File("song/01.wav")), "16");
  // One range still goes to the folder; -o names another folder.
  const Bytes mono = Source("あ.wav", 8000, 1, 8, "0.5");
  ASSERT_EQ(Cut(Q("あ.wav") + " 10:20").exitCode, 0);
  ExpectOutput(dir.File("あ/01.wav"), Frames(mono, 1, 10, 20), 1);
  ASSERT_EQ(Cut("-o " + Q("clips") + " " + Q("あ.wav") + " 0:4000").exitCode, 0);
  ExpectOutput(dir.File("clips/01.wav"), mono, 1);
}

TEST_F(CutEndToEnd, JoinsAndFades) {
  const Bytes data = Source("s.wav", 44100, 2, 16, "1");
  ASSERT_EQ(
      Cut("-j -o " + Q("j.wav") + " --fade 100 " + Q("s.wav") + " 0:8000 20000:30000").exitCode, 0);
  Bytes expected = Frames(data, 4, 0, 8000);
  const Bytes second = Frames(data, 4, 20000, 30000);
  expected.insert(expected.end(), second.begin(), second.end());
  ReferenceFade(expected, 17640, 4, 2);  // 100 ms at 44100 Hz stereo
  ExpectOutput(dir.File("j.wav"), expected, 4);

  ASSERT_EQ(Cut("--fade 100 " + Q("s.wav") + " 0:8000 20000:21000").exitCode, 0);
  Bytes first = Frames(data, 4, 0, 8000), last = Frames(data, 4, 20000, 21000);
  ReferenceFade(first, 17640, 4, 2);
  ReferenceFade(last, 4000, 4, 2);  // fade longer than the piece: all of it
  ExpectOutput(dir.File("s/01.wav"), first, 4);
  ExpectOutput(dir.File("s/02.wav"), last, 4);
}

TEST_F(CutEndToEnd, ListRangesComeFirstAndMillisecondsConvert) {
  const Bytes data = Source("s.wav", 44100, 1, 16, "1");
  WriteText("labels.txt", "0.5\t0.75\tchorus\n0.6\t0.6\tmark\n");
  const CommandResult r = Cut("--ms --labels " + Q("labels.txt") + " " + Q("s.wav") + " 100:200");
  ASSERT_EQ(r.exitCode, 0) << r.output;
  ExpectOutput(dir.File("s/01.wav"), Frames(data, 2, 22050, 33075), 2);
  ExpectOutput(dir.File("s/02.wav"), Frames(data, 2, 26460, 44100), 2);  // a point: to the end
  ExpectOutput(dir.File("s/03.wav"), Frames(data, 2, 4410, 8820), 2);
  EXPECT_FALSE(fs::exists(dir.File("s/04.wav")));
}

TEST_F(CutEndToEnd, CueSheetPiecesNamedByTitleAndListsConverted) {
  const Bytes data = Source("album.wav", 44100, 2, 16, "2");  // 88200 frames
  WriteText("album.cue",
            "PERFORMER \"X\"\nFILE \"album.wav\" WAVE\n  TRACK 01 AUDIO\n    TITLE \"Intro\"\n"
            "    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n    TITLE \"A/B\"\n    INDEX 00 00:00:50\n"
            "    INDEX 01 00:01:00\n");
  const CommandResult r =
      Cut("--cue " + Q("album.cue") + " --name '{n:02} {label}' " + Q("album.wav"));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  ExpectOutput(dir.File("album/01 Intro.wav"), Frames(data, 4, 0, 44100), 4);
  ExpectOutput(dir.File("album/02 A_B.wav"), Frames(data, 4, 44100, 88200), 4);

  // Converted to CSV and back to a sheet: the same sheet, and nothing cut.
  const CommandResult csv =
      Cut("--cue " + Q("album.cue") + " --print-ranges csv " + Q("album.wav"));
  ASSERT_EQ(csv.exitCode, 0) << csv.output;
  EXPECT_EQ(csv.output, "start,end,label\n0,44100,Intro\n44100,88200,A/B\n");
  WriteText("album.csv", csv.output);
  const CommandResult cue =
      Cut("--csv " + Q("album.csv") + " --print-ranges cue " + Q("album.wav"));
  EXPECT_EQ(
      cue.output,
      "FILE \"album.wav\" WAVE\n  TRACK 01 AUDIO\n    TITLE \"Intro\"\n    INDEX 01 00:00:00\n"
      "  TRACK 02 AUDIO\n    TITLE \"A/B\"\n    INDEX 01 00:01:00\n");

  // A malformed list names its file and line and cuts nothing.
  WriteText("bad.csv", "start,end,label\n0,100,a\n100,50,b\n");
  const CommandResult bad = Cut("--csv " + Q("bad.csv") + " -o " + Q("out") + " " + Q("album.wav"));
  EXPECT_EQ(bad.exitCode, 1);  // bad input, not a usage error
  EXPECT_NE(bad.output.find("bad.csv:3: the end lies before the start"), std::string::npos)
      << bad.output;
  EXPECT_EQ(bad.output.find("--help"), std::string::npos) << bad.output;
  EXPECT_FALSE(fs::exists(dir.File("out")));
}

// A CUE sheet in a legacy code page is refused with its line unless its
// encoding is named; then its titles name the pieces in UTF-8.
TEST_F(CutEndToEnd, ListEncodingReadsALegacySheet) {
  WriteFileBytes(dir.File("s.wav"), MakeWave(1, 8000, 16, SeededBytes(32000, 4)));
  WriteText("s.cue",
            "FILE \"s.wav\" WAVE\n  TRACK 01 AUDIO\n    TITLE \"\xCF\xF0\xE8\xE2\xE5\xF2\"\n"
            "    INDEX 01 00:00:00\n");  // "Привет" in CP1251
  CommandResult r = Cut("--cue " + Q("s.cue") + " --name '{label}' " + Q("s.wav"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("s.cue:3: "), std::string::npos) << r.output;
  r = Cut("--cue " + Q("s.cue") + " --list-encoding CP1251 --name '{label}' " + Q("s.wav"));
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_TRUE(fs::exists(dir.File("s/Привет.wav")));
}

// A file with its own markers after the data, as editors write them.
TEST_F(CutEndToEnd, CutsAtTheSourcesOwnMarkers) {
  const Bytes samples = SeededBytes(4000, 3);  // 2000 frames, mono 16-bit
  Bytes cue, adtl;
  PutU32(cue, 2);
  for (const uint32_t point : {500u, 1500u}) {
    for (const uint32_t field : {point, point, 0x61746164u, 0u, 0u, point}) PutU32(cue, field);
  }
  PutText(adtl, "adtl");
  Bytes labl;
  PutU32(labl, 1500);
  PutText(labl, std::string("late\0", 5));
  const Bytes entry = RiffChunk("labl", labl);
  adtl.insert(adtl.end(), entry.begin(), entry.end());
  WriteFileBytes(dir.File("take.wav"), RiffWave({RiffChunk("fmt ", PcmFormatBody(1, 8000, 16)),
                                                 RiffChunk("data", samples), RiffChunk("cue ", cue),
                                                 RiffChunk("LIST", adtl)}));
  const CommandResult r = Cut("--markers --name '{label}' " + Q("take.wav"));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  // Each keeps the marker it starts at (a 36-byte "cue "); the late one its
  // name too (a 30-byte LIST "adtl").
  ExpectOutput(dir.File("take/01.wav"), Frames(samples, 2, 500, 1500), 2, 46 + 36);  // no label
  ExpectOutput(dir.File("take/late.wav"), Frames(samples, 2, 1500, 2000), 2, 46 + 36 + 30);
}

TEST_F(CutEndToEnd, ExistingOutputsNeedForce) {
  const Bytes data = Source("s.wav", 8000, 1, 16, "1");
  fs::create_directory(dir.File("s"));
  WriteFileBytes(dir.File("s/notes.txt"), {1});
  ASSERT_EQ(Cut(Q("s.wav") + " 0:10 10:20").exitCode, 0);  // an unrelated file is no obstacle
  WriteFileBytes(dir.File("s/02.wav"), {9});
  const CommandResult refused = Cut(Q("s.wav") + " 100:200 200:300");
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.output.find("01.wav' exists; use --force"), std::string::npos)
      << refused.output;
  ExpectOutput(dir.File("s/01.wav"), Frames(data, 2, 0, 10), 2);  // nothing written
  EXPECT_EQ(ReadFileBytes(dir.File("s/02.wav")), Bytes{9});
  ASSERT_EQ(Cut("-f " + Q("s.wav") + " 100:200 200:300").exitCode, 0);
  ExpectOutput(dir.File("s/01.wav"), Frames(data, 2, 100, 200), 2);
  ExpectOutput(dir.File("s/02.wav"), Frames(data, 2, 200, 300), 2);

  WriteFileBytes(dir.File("j.wav"), {7});
  EXPECT_EQ(Cut("-j -o " + Q("j.wav") + " " + Q("s.wav") + " 0:10").exitCode, 1);
  EXPECT_EQ(ReadFileBytes(dir.File("j.wav")), Bytes{7});
  ASSERT_EQ(Cut("--join --force -o " + Q("j.wav") + " " + Q("s.wav") + " 0:10").exitCode, 0);
  ExpectOutput(dir.File("j.wav"), Frames(data, 2, 0, 10), 2);
  EXPECT_EQ(fs::directory_entry(dir.File("s")).exists(), true);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 3);
}

TEST_F(CutEndToEnd, RefusalsWriteNothing) {
  Source("s.wav", 8000, 2, 16, "1");  // 8000 frames
  const Bytes source = ReadFileBytes(dir.File("s.wav"));
  const struct {
    std::string args;
    int exitCode;
    const char* says;
  } cases[] = {
      {Q("s.wav") + " 0:10 10:5", 2, "bad range '10:5': START must be below END"},
      {Q("s.wav") + " 0:8001", 1, "bad range '0:8001': END is beyond the data (8000 frames)"},
      {Q("s.wav") + " 7:7", 2, "bad range '7:7'"},
      {Q("s.wav") + " abc", 2, "bad range 'abc': expected START:END"},
      {"--ms " + Q("s.wav") + " 0:1001", 1, "bad range '0:1001'"},
      {Q("missing.wav") + " 0:10", 1, "no such file"},
      {Q("notes.txt") + " 0:10", 1, "not a PCM WAVE"},
      {"-j -f -o " + Q("s.wav") + " " + Q("s.wav") + " 0:10", 1, "is the source file itself"},
      {"-j -o " + Q("s.wav") + " " + Q("s.wav") + " 0:10", 1, "is the source file itself"},
      {"--bogus " + Q("s.wav") + " 0:10", 2, "unknown option --bogus"},
      {"", 2, "no source file given"},
  };
  WriteFileBytes(dir.File("notes.txt"), {'h', 'i'});
  for (const auto& c : cases) {
    const CommandResult r = Cut(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args << "\n" << r.output;
    EXPECT_NE(r.output.find(c.says), std::string::npos) << c.args << "\n" << r.output;
  }
  EXPECT_EQ(ReadFileBytes(dir.File("s.wav")), source);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

// Outputs go where asked: a dot in a folder name or a leading dot is no
// extension, missing parents of -o are made, -o DIR/ names the joined file's
// folder, and a folder in a piece's place is named as such.
TEST_F(CutEndToEnd, OutputsGoWhereAsked) {
  const Bytes data = SeededBytes(400, 9);  // 200 frames, mono 16-bit
  fs::create_directories(dir.File("dots/v1.0"));
  fs::create_directory(dir.File("there"));
  for (const char* name : {"s.wav", "dots/v1.0/song", "dots/v1.0/.hidden"}) {
    WriteFileBytes(dir.File(name), MakeWave(1, 8000, 16, data));
  }
  const struct {
    std::string args;
    const char* output;
  } cases[] = {
      {Q("dots/v1.0/song") + " 0:10", "dots/v1.0/song.pieces/01.wav"},
      {Q("dots/v1.0/.hidden") + " 0:10", "dots/v1.0/.hidden.pieces/01.wav"},
      {"-o " + Q("a/b/c") + " " + Q("s.wav") + " 0:10", "a/b/c/01.wav"},
      {"-j -o " + Q("d") + "/ " + Q("s.wav") + " 0:10", "d/s.wav"},
      {"-j -o " + Q("there") + " " + Q("s.wav") + " 0:10", "there/s.wav"},
      {"--name '{stem}-{n}' " + Q("s.wav") + " 0:10", "s/s-1.wav"},
  };
  for (const auto& c : cases) {
    const CommandResult r = Cut(c.args);
    EXPECT_EQ(r.exitCode, 0) << c.args << "\n" << r.output;
    EXPECT_TRUE(SampleData(ReadFileBytes(dir.File(c.output))) == Frames(data, 2, 0, 10))
        << c.output;
  }
  fs::create_directories(dir.File("s/02.wav"));
  const CommandResult r = Cut("-f " + Q("s.wav") + " 0:10 10:20");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.output, "snipora-cut: '" + dir.File("s/02.wav") + "' is a folder\n");
  EXPECT_FALSE(fs::exists(dir.File("s/01.wav")));
}

// A sparse source of 4 GiB - 1 bytes: one piece of all its data would need a
// file of 4 GiB, which the RIFF length fields cannot describe; without RF64
// it is refused.
TEST_F(CutEndToEnd, APieceOf4GiBIsRefusedBeforeWritingWithoutRf64) {
  Source("huge.wav", 8000, 1, 8, "0.001");
  Bytes header = ReadFileBytes(dir.File("huge.wav"));
  ASSERT_EQ(std::string(header.begin() + 36, header.begin() + 40), "data");
  header.resize(44);
  for (int i = 0; i < 4; ++i) header[40 + i] = static_cast<uint8_t>((0xFFFFFFFFu - 44) >> (8 * i));
  WriteFileBytes(dir.File("huge.wav"), header);
  fs::resize_file(dir.File("huge.wav"), 0xFFFFFFFFu);

  const CommandResult r = Cut("--rf64 never " + Q("huge.wav") + " 0:4294967251");
  EXPECT_EQ(r.exitCode, 1) << r.output;
  EXPECT_NE(r.output.find("4 GiB"), std::string::npos) << r.output;
  EXPECT_FALSE(fs::exists(dir.File("huge")));
}

// A loop past frame 2^32 of its output cannot be stored in a smpl chunk:
// refused before anything is written (a sparse 8-bit mono RF64 source).
TEST_F(CutEndToEnd, ALoopBeyond32BitFramesIsRefused) {
  const uint64_t frames = (uint64_t{1} << 32) + 64;
  WriteSparseWave(dir.File("long.wav"),
                  Rf64Header("RF64", frames, 1, {RiffChunk("fmt ", PcmFormatBody(1, 8000, 8))}),
                  frames, {});
  const CommandResult r =
      Cut("--loop 4294967290:4294967300 " + Q("long.wav") + " 0:" + std::to_string(frames));
  fs::remove(dir.File("long.wav"));
  EXPECT_EQ(r.exitCode, 1) << r.output;
  EXPECT_NE(r.output.find("32-bit frames of a smpl chunk"), std::string::npos) << r.output;
  EXPECT_FALSE(fs::exists(dir.File("long")));
}

TEST_F(CutEndToEnd, InfoAgreesWithSoxi) {
  const struct {
    int rate, channels, bits;
    const char* seconds;
  } files[] = {{8000, 1, 8, "0.5"},
               {22050, 1, 16, "1"},
               {44100, 2, 16, "0.3"},
               {48000, 2, 16, "0.0123"},
               {11025, 2, 8, "2"}};
  for (const auto& f : files) {
    Source("i.wav", f.rate, f.channels, f.bits, f.seconds);
    const CommandResult r = Cut("--info " + Q("i.wav"));
    ASSERT_EQ(r.exitCode, 0) << r.output;
    const std::string expected =
        "type=RIFF PCM\nformat_tag=1\nchannels=" + Soxi("-c", dir.File("i.wav")) +
        "\nsample_rate=" + Soxi("-r", dir.File("i.wav")) +
        "\nbits_per_sample=" + Soxi("-b", dir.File("i.wav")) + "\nblock_align=";
    EXPECT_EQ(r.output.substr(0, expected.size()), expected);
    EXPECT_NE(r.output.find("\nframes=" + Soxi("-s", dir.File("i.wav")) + "\nmilliseconds="),
              std::string::npos)
        << r.output;
    for (const char* key : {"bytes_per_second=", "data_offset=", "data_size="}) {
      EXPECT_NE(r.output.find(key), std::string::npos);
    }
  }
}

// Ctrl-C while the second piece is written: the first stays complete, the
// second is removed, an older file of that name survives.
TEST_F(CutEndToEnd, InterruptRemovesOnlyTheUnfinishedPiece) {
  const Bytes data = Source("s.wav", 44100, 2, 16, "10");  // 1764000 bytes
  fs::create_directory(dir.File("s"));
  WriteFileBytes(dir.File("s/02.wav"), {5, 5});
  // 50 ms a block: 9 blocks = 0.45 s
  const int child = StartCut({"-f", "-q", dir.File("s.wav"), "0:1000", "1000:220000"}, 50000);
  // Wait until the second piece is being written: the first is in place and
  // a temporary file exists.
  bool writingSecond = false;
  for (int i = 0; i < 2000 && !writingSecond; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    writingSecond = fs::exists(dir.File("s/01.wav")) && HoldsHiddenFile(dir.File("s"));
  }
  ASSERT_TRUE(writingSecond);
  kill(child, SIGINT);
  EXPECT_EQ(WaitForExit(child), 1);
  ExpectOutput(dir.File("s/01.wav"), Frames(data, 4, 0, 1000), 4);
  EXPECT_EQ(ReadFileBytes(dir.File("s/02.wav")), (Bytes{5, 5}));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("s")), fs::directory_iterator()), 2);
}

// An uncompressed NWA file opens through the NWA module: PCM behind a 44-byte header.
TEST_F(CutEndToEnd, CutsAnUncompressedNwaFile) {
  Bytes nwa = {1, 0, 16, 0, 0x40, 0x1F, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
  nwa.resize(44);
  const Bytes samples = SeededBytes(2000, 5);
  nwa.insert(nwa.end(), samples.begin(), samples.end());
  WriteFileBytes(dir.File("voice.nwa"), nwa);
  const CommandResult info = Cut("--info " + Q("voice.nwa"));
  EXPECT_NE(info.output.find("channels=1\nsample_rate=8000\nbits_per_sample=16\n"),
            std::string::npos)
      << info.output;
  EXPECT_NE(info.output.find("data_offset=44\ndata_size=2000\nframes=1000\n"), std::string::npos);
  ASSERT_EQ(Cut("-j -o " + Q("v.wav") + " " + Q("voice.nwa") + " 10:20 0:5").exitCode, 0);
  Bytes expected = Frames(samples, 2, 10, 20);
  const Bytes second = Frames(samples, 2, 0, 5);
  expected.insert(expected.end(), second.begin(), second.end());
  ExpectOutput(dir.File("v.wav"), expected, 2);
}

TEST_F(CutEndToEnd, HelpAndVersion) {
  const CommandResult help = Cut("--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.output.find("Usage: snipora-cut [options] SOURCE RANGE..."), std::string::npos);
  EXPECT_NE(help.output.find("Examples:"), std::string::npos);
  const CommandResult version = Cut("--version");
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.output.rfind("snipora-cut ", 0), 0u);
}

// The sounds between silences are the ranges: printed, cut, or refused when
// there is none. At 8000 Hz the defaults are 400 frames of padding, silences
// of 8000 frames and sounds of 800 frames at least.
TEST_F(CutEndToEnd, SilenceFindsTheSoundsBetweenSilences) {
  Samples values(40000);
  for (size_t i = 9000; i < 13000; ++i) values[i] = i % 2 ? 9000 : -9000;
  for (size_t i = 22000; i < 22500; ++i) values[i] = 9000;  // too short a sound
  for (size_t i = 31000; i < 32000; ++i) values[i] = 200;   // about -44 dB
  WriteWave16(dir.File("t.wav"), values, 1, 8000);
  CommandResult r = Cut("--silence --print-ranges csv " + Q("t.wav"));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(r.output, "start,end,label\n8600,13400,\n30600,32400,\n");
  r = Cut("--silence --threshold -40 --min-sound 50 --pad 0 " + Q("t.wav"));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  ExpectOutput(dir.File("t/01.wav"), Frames(SampleBytes(values), 2, 9000, 13000), 2);
  ExpectOutput(dir.File("t/02.wav"), Frames(SampleBytes(values), 2, 22000, 22500), 2);
  EXPECT_FALSE(fs::exists(dir.File("t/03.wav")));

  r = Cut("--silence --threshold -10 " + Q("t.wav"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("--silence found no sound (louder than -10 dB"), std::string::npos)
      << r.output;
}

// --- loop points ---

TEST_F(CutEndToEnd, FindLoopsListsTheKnownPeriodFirstAndNothingInNoise) {
  const Samples burst = Noise(3000, 1);  // 375 ms at 8000 Hz
  Samples values;
  for (int i = 0; i < 4; ++i) values.insert(values.end(), burst.begin(), burst.end());
  WriteWave16(dir.File("p.wav"), values, 1, 8000);
  WriteWave16(dir.File("n.wav"), Noise(12000, 2), 1, 8000);
  CommandResult r = Cut("--find-loops --window 250 " + Q("p.wav"));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(r.output, "0 3000 375\n0 6000 750\n0 9000 1125\n");
  r = Cut("--find-loops --window 250 --ms --json " + Q("p.wav") +
          " 125:1400");  // frames 1000-11200
  EXPECT_EQ(
      r.output.rfind("[\n {\"start_frame\": 1000, \"end_frame\": 4000, \"length_ms\": 375", 0), 0u)
      << r.output;
  r = Cut("--find-loops " + Q("n.wav"));
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.output, "");
  EXPECT_EQ(Cut("--find-loops --json " + Q("n.wav")).output, "[]\n");
  WriteWave16(dir.File("s.wav"), Samples(12000), 1, 8000);
  r = Cut("--find-loops " + Q("s.wav") + " 100:12000");
  EXPECT_NE(r.exitCode, 0);
  EXPECT_EQ(r.output,  // in English only
            "snipora-cut: the sound at frame 100 is silent or constant and cannot anchor a loop; "
            "start the range elsewhere or choose a finer --precision\n");
}

// --loop gives every piece (or the joined file) a smpl chunk that libsndfile
// reads, at the piece's frames, the end stored as the loop's last frame; the
// samples stay byte-exact; a loop outside a piece is refused before writing.
TEST_F(CutEndToEnd, LoopIsWrittenIntoEachOutput) {
  if (!HaveProgram("sndfile-info")) GTEST_SKIP() << "sndfile-info is missing";
  const Bytes data = Source("s.wav", 44100, 2, 16, "1");
  ASSERT_EQ(Cut("--loop 1000:31870 " + Q("s.wav") + " 0:40000 500:31870").exitCode, 0);
  EXPECT_EQ(SndfileLoops(dir.File("s/01.wav")), (std::vector<std::string>{"1000-31869"}));
  EXPECT_EQ(SndfileLoops(dir.File("s/02.wav")), (std::vector<std::string>{"500-31369"}));
  EXPECT_TRUE(SampleData(ReadFileBytes(dir.File("s/02.wav"))) == Frames(data, 4, 500, 31870));

  ASSERT_EQ(
      Cut("-j -o " + Q("j.wav") + " --loop 1000:2000 " + Q("s.wav") + " 0:500 900:3000").exitCode,
      0);
  EXPECT_EQ(SndfileLoops(dir.File("j.wav")), (std::vector<std::string>{"600-1599"}));
  Bytes joined = Frames(data, 4, 0, 500);
  const Bytes second = Frames(data, 4, 900, 3000);
  joined.insert(joined.end(), second.begin(), second.end());
  EXPECT_TRUE(SampleData(ReadFileBytes(dir.File("j.wav"))) == joined);
  EXPECT_EQ(Soxi("-s", dir.File("j.wav")), "2600");

  const CommandResult r =
      Cut("-o " + Q("x") + " --loop 100:1000 " + Q("s.wav") + " 0:1000 200:900");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("--loop 100:1000 is not inside range 200:900"), std::string::npos)
      << r.output;
  EXPECT_FALSE(fs::exists(dir.File("x")));
}

// A source's loops: inside a piece they move with it, the others are dropped
// and named; --loop auto stores the period of a repeated burst.
TEST_F(CutEndToEnd, SourceLoopsFollowThePiecesAndAutoFindsThePeriod) {
  const Samples burst = Noise(3000, 4);
  Samples values;
  for (int i = 0; i < 4; ++i) values.insert(values.end(), burst.begin(), burst.end());
  SampleChunk loops;
  loops.loops = {{1, 0, 100, 199, 0, 0}, {2, 0, 3000, 3999, 0, 2}, {3, 0, 11000, 11999, 0, 0}};
  WriteWave(dir.File("l.wav"), SampleBytes(values), 1, 8000, 16, 0, SampleChunkBytes(loops));
  CommandResult r = Cut("--info " + Q("l.wav"));
  EXPECT_NE(r.output.find("\nloops=3\nloop1=100:200\nloop2=3000:4000\nloop3=11000:12000\n"),
            std::string::npos)
      << r.output;

  r = Cut(Q("l.wav") + " 50:1000 2500:5000 0:150");
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(r.output,
            "snipora-cut: warning: the source's loop 3 (11000:12000) lies in no output and is not "
            "written\n");
  EXPECT_EQ(ReadSampleChunk(dir.File("l/01.wav"))->loops[0].start, 50u);
  const SampleLoop second = ReadSampleChunk(dir.File("l/02.wav"))->loops.at(0);
  EXPECT_EQ(std::make_pair(second.start, second.end), std::make_pair(500u, 1499u));
  EXPECT_EQ(second.playCount, 2u);
  EXPECT_FALSE(ReadSampleChunk(dir.File("l/03.wav")));
  EXPECT_TRUE(SampleData(ReadFileBytes(dir.File("l/03.wav"))) ==
              Frames(SampleBytes(values), 2, 0, 150));

  r = Cut("-f --loop auto --window 250 " + Q("l.wav") + " 1000:12000");
  ASSERT_EQ(r.exitCode, 0) << r.output;
  EXPECT_NE(Cut("--info " + Q("l/01.wav")).output.find("\nloops=1\nloop1=0:3000\n"),
            std::string::npos);
  r = Cut("-f --loop auto " + Q("l.wav") + " 0:100");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("no loop found in range 0:100"), std::string::npos) << r.output;
}

// An extended copy: the piece up to the end of the source's loop, the loop
// twice more, then 50 ms from its start fading out; no smpl chunk. A piece
// without a loop is refused before anything is written.
TEST_F(CutEndToEnd, ExtendLoopWritesTheListeningCopy) {
  const Samples values = Noise(8000, 7);
  SampleChunk loops;
  loops.loops = {{1, 0, 3000, 3999, 0, 0}};
  WriteWave(dir.File("l.wav"), SampleBytes(values), 1, 8000, 16, 0, SampleChunkBytes(loops));
  ASSERT_EQ(Cut("--extend-loop 3:50 " + Q("l.wav") + " 1000:5000").exitCode, 0);
  const Bytes data = SampleBytes(values);
  Bytes expected = Frames(data, 2, 1000, 4000);
  for (int i = 0; i < 2; ++i) {
    const Bytes loop = Frames(data, 2, 3000, 4000);
    expected.insert(expected.end(), loop.begin(), loop.end());
  }
  Bytes fade = Frames(data, 2, 3000, 3400);
  ReferenceFade(fade, fade.size(), 2, 1);
  expected.insert(expected.end(), fade.begin(), fade.end());
  ExpectOutput(dir.File("l/01.wav"), expected, 2);
  EXPECT_FALSE(ReadSampleChunk(dir.File("l/01.wav")));

  const CommandResult r = Cut("-o " + Q("x") + " --extend-loop 2 " + Q("l.wav") + " 0:3500");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("range 0:3500 (frames) holds no loop"), std::string::npos) << r.output;
  EXPECT_FALSE(fs::exists(dir.File("x")));
}

}  // namespace
}  // namespace snipora
