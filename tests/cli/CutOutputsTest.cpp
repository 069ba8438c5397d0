// What snipora-cut's outputs keep of a recorder's file, read back by
// sndfile-info; --strip-metadata; --verify, also of an output changed after
// writing; --snap-zero.
#include <filesystem>
#include <regex>
#include <sstream>

#include <gtest/gtest.h>

#include "cli/cut_runner.h"
#include "tests/support/test_support.h"
#include "tests/support/wave_bytes.h"

namespace snipora::cli {
namespace {

using namespace snipora::test;

class CutOutputs : public testing::Test {
 protected:
  void SetUp() override {
    std::vector<Bytes> chunks = {RiffChunk("fmt ", PcmFormatBody(1, 8000, 16))};
    for (const Bytes& chunk : RecorderChunks(kReference)) chunks.push_back(chunk);
    chunks.push_back(RiffChunk("data", SeededBytes(4000, 9)));
    WriteFileBytes(dir.File("take.wav"), RiffWave(chunks));
  }
  // Runs snipora-cut in this process; standard error in `err`.
  int Cut(std::vector<std::string> args) {
    for (std::string& arg : args) {
      if (arg.find(".wav") != std::string::npos) arg = dir.File(arg);
    }
    err.str("");
    out.str("");
    RunContext context(out, err);
    context.beforeVerify = beforeVerify;
    return RunCut(args, context);
  }
  // What sndfile-info says of a file (with --broadcast its bext fields).
  std::string Info(const std::string& name, const char* option = "") {
    return RunCommand(std::string("sndfile-info ") + option + " " + ShellQuote(dir.File(name)))
        .output;
  }

  static constexpr uint64_t kReference = 0x123456789;  // frames since midnight
  TempDir dir;
  std::ostringstream out, err;
  std::function<void(const std::string&)> beforeVerify;
};

// The time reference sndfile-info reads from a file's bext chunk.
uint64_t TimeReference(const std::string& broadcast) {
  std::smatch m;
  if (!std::regex_search(broadcast, m, std::regex("Time ref\\s*: 0x([0-9a-f]+)"))) return 0;
  return std::stoull(m[1], nullptr, 16);
}

TEST_F(CutOutputs, PiecesAndAJoinedFileKeepTheRecordersChunksMadeRight) {
  if (!HaveProgram("sndfile-info")) GTEST_SKIP() << "sndfile-info is missing";
  ASSERT_EQ(Cut({"--verify", "take.wav", "0:600", "450:1000"}), kExitDone) << err.str();
  EXPECT_EQ(err.str(),
            "snipora-cut: warning: the source's marker 4 (frame 1900) lies in no output and is "
            "not written\nsnipora-cut: verified 2 outputs\n");
  const std::string first = Info("take/01.wav");
  for (const char* line : {"INAM : Take 7", "IART : Crew", "ITRK : 1", "labl : 1 : Clap",
                           "Cue ID :  1  Pos :   100", "Cue ID :  2  Pos :   500"}) {
    EXPECT_NE(first.find(line), std::string::npos) << line << "\n" << first;
  }
  EXPECT_EQ(TimeReference(Info("take/01.wav", "--broadcast")), kReference);
  const std::string second = Info("take/02.wav");
  for (const char* line : {"ITRK : 2", "Cue ID :  2  Pos :    50", "Cue ID :  3  Pos :   450"}) {
    EXPECT_NE(second.find(line), std::string::npos) << line << "\n" << second;
  }
  EXPECT_EQ(second.find("Clap"), std::string::npos) << second;
  EXPECT_EQ(TimeReference(Info("take/02.wav", "--broadcast")), kReference + 450);
  const Bytes piece = ReadFileBytes(dir.File("take/02.wav"));
  const Bytes ixml = ChunkBody(piece, "iXML");
  EXPECT_EQ(std::string(ixml.begin(), ixml.end()), IxmlText(kReference + 450));

  ASSERT_EQ(Cut({"-j", "-o", "j.wav", "take.wav", "450:1000", "0:600"}), kExitDone) << err.str();
  const std::string joined = Info("j.wav");
  for (const char* line : {"INAM : Take 7", "Cue ID :  2  Pos :    50", "Cue ID :  1  Pos :   650",
                           "Cue ID :  5  Pos :  1050"}) {
    EXPECT_NE(joined.find(line), std::string::npos) << line << "\n" << joined;
  }
  EXPECT_EQ(joined.find("ITRK"), std::string::npos) << joined;
  EXPECT_EQ(TimeReference(Info("j.wav", "--broadcast")), kReference + 450);

  ASSERT_EQ(Cut({"-f", "--strip-metadata", "take.wav", "0:600", "450:1000"}), kExitDone);
  EXPECT_EQ(err.str(), "");
  for (const char* name : {"take/01.wav", "take/02.wav"}) {
    const Bytes bare = ReadFileBytes(dir.File(name));
    EXPECT_EQ(Chunks(bare).size(), 2u) << name;  // "fmt " and "data"
    EXPECT_EQ(bare.size(), size_t{46} + ChunkBody(bare, "data").size()) << name;
  }
}

TEST_F(CutOutputs, VerifyNamesAnOutputChangedAfterWriting) {
  beforeVerify = [](const std::string& path) {
    if (path.find("02.wav") == std::string::npos) return;
    Bytes bytes = ReadFileBytes(path);
    bytes[bytes.size() - 10] ^= 1;
    WriteFileBytes(path, bytes);
  };
  EXPECT_EQ(Cut({"--verify", "--strip-metadata", "take.wav", "0:600", "450:1000"}), kExitFailed);
  EXPECT_EQ(err.str(), "snipora-cut: '" + dir.File("take/02.wav") +
                           "' does not match the source: its frame 545 differs from the source\n"
                           "snipora-cut: verified 1 output\n");
}

// Bounds move to the nearest crossing within reach; where there is none
// they stay; a range that snaps shut is refused.
TEST_F(CutOutputs, SnapZeroMovesBoundsToCrossingsWithinReach) {
  std::vector<double> samples(1000, 5);  // crossings at 100 and 200 only
  std::fill(samples.begin() + 100, samples.begin() + 200, -5);
  WriteFileBytes(dir.File("z.wav"),
                 PlainWave(1, 1000, 16, false, EncodeSamples(samples, 16, false)));
  ASSERT_EQ(Cut({"--snap-zero", "5", "--print-ranges", "csv", "z.wav", "97:203", "500:600"}),
            kExitDone)
      << err.str();
  EXPECT_EQ(out.str(), "start,end,label\n100,200,\n500,600,\n");
  EXPECT_EQ(Cut({"--snap-zero", "2", "--print-ranges", "csv", "z.wav", "97:203"}), kExitDone);
  EXPECT_EQ(out.str(), "start,end,label\n97,203,\n");
  EXPECT_EQ(Cut({"--snap-zero", "5", "z.wav", "99:102"}), kExitFailed);
  EXPECT_EQ(err.str(),
            "snipora-cut: range 99:102 is empty once --snap-zero moves its bounds (to "
            "100:100)\n");
}

}  // namespace
}  // namespace snipora::cli
