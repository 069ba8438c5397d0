// Runs the snipora-cut executable on files made by sox and checks its
// outputs byte for byte against the source and with soxi.
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/export/fade_reference.h"
#include "tests/support/riff_bytes.h"
#include "tests/support/test_support.h"

namespace snipora {
namespace {

using namespace snipora::test;
namespace fs = std::filesystem;

std::string Binary() {
  const char* path = std::getenv("SNIPORA_CUT");
  return path ? path : "";
}

CommandResult Cut(const std::string& args) {
  return RunCommand(ShellQuote(Binary()) + " " + args);
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
    if (Binary().empty()) GTEST_SKIP() << "SNIPORA_CUT is not set (run through ctest)";
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
  void ExpectOutput(const std::string& path, const Bytes& expected, size_t frameBytes) {
    ASSERT_TRUE(fs::exists(path)) << path;
    const Bytes out = ReadFileBytes(path);
    EXPECT_EQ(out.size(), 46 + expected.size()) << path;
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
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_NE(bad.output.find("bad.csv:3: the end lies before the start"), std::string::npos)
      << bad.output;
  EXPECT_FALSE(fs::exists(dir.File("out")));
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
  const Bytes entry = Chunk("labl", labl);
  adtl.insert(adtl.end(), entry.begin(), entry.end());
  WriteFileBytes(dir.File("take.wav"),
                 RiffWave({Chunk("fmt ", PcmFormatBody(1, 8000, 16)), Chunk("data", samples),
                           Chunk("cue ", cue), Chunk("LIST", adtl)}));
  const CommandResult r = Cut("--markers --name '{label}' " + Q("take.wav"));
  ASSERT_EQ(r.exitCode, 0) << r.output;
  ExpectOutput(dir.File("take/01.wav"), Frames(samples, 2, 500, 1500), 2);  // no label
  ExpectOutput(dir.File("take/late.wav"), Frames(samples, 2, 1500, 2000), 2);
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
  Source("b8.wav", 8000, 1, 8, "1");
  const Bytes source = ReadFileBytes(dir.File("s.wav"));
  const struct {
    std::string args;
    int exitCode;
    const char* says;
  } cases[] = {
      {"--fade 10 " + Q("b8.wav") + " 0:10", 2, "16-bit sources only"},
      {Q("s.wav") + " 0:10 10:5", 2, "bad range '10:5': START must be below END"},
      {Q("s.wav") + " 0:8001", 2, "bad range '0:8001': END is beyond the data (8000 frames)"},
      {Q("s.wav") + " 7:7", 2, "bad range '7:7'"},
      {Q("s.wav") + " abc", 2, "bad range 'abc': expected START:END"},
      {"--ms " + Q("s.wav") + " 0:1001", 2, "bad range '0:1001'"},
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
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 3);
}

// A sparse source of 4 GiB - 1 bytes: one piece of all its data would need a
// file of 4 GiB, which the WAVE length fields cannot describe.
TEST_F(CutEndToEnd, APieceOf4GiBIsRefusedBeforeWriting) {
  Source("huge.wav", 8000, 1, 8, "0.001");
  Bytes header = ReadFileBytes(dir.File("huge.wav"));
  ASSERT_EQ(std::string(header.begin() + 36, header.begin() + 40), "data");
  header.resize(44);
  for (int i = 0; i < 4; ++i) header[40 + i] = static_cast<uint8_t>((0xFFFFFFFFu - 44) >> (8 * i));
  WriteFileBytes(dir.File("huge.wav"), header);
  fs::resize_file(dir.File("huge.wav"), 0xFFFFFFFFu);

  const CommandResult r = Cut(Q("huge.wav") + " 0:4294967251");
  EXPECT_EQ(r.exitCode, 1) << r.output;
  EXPECT_NE(r.output.find("4 GiB"), std::string::npos) << r.output;
  EXPECT_FALSE(fs::exists(dir.File("huge")));
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
  const pid_t child = fork();
  if (child == 0) {
    setenv("SNIPORA_CUT_BLOCK_DELAY_US", "50000", 1);  // 50 ms a block: 9 blocks = 0.45 s
    const std::string source = dir.File("s.wav");
    execl(Binary().c_str(), "snipora-cut", "-f", "-q", source.c_str(), "0:1000", "1000:220000",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  // Wait until the second piece is being written (its temporary file exists).
  bool writingSecond = false;
  for (int i = 0; i < 2000 && !writingSecond; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    for (const auto& e : fs::directory_iterator(dir.File("s"))) {
      writingSecond = writingSecond || e.path().filename().string().rfind(".02.wav.", 0) == 0;
    }
  }
  ASSERT_TRUE(writingSecond);
  kill(child, SIGINT);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
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

}  // namespace
}  // namespace snipora
