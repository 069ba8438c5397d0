// snipora-cut on several sources in one run: each source's ranges from its
// own markers or list, a broken source named and passed over, JSON lines a
// JSON parser reads, and a rerun that finishes an interrupted run.
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <thread>

#include <gtest/gtest.h>

#include "tests/support/test_support.h"
#include "tests/support/wave_bytes.h"

namespace snipora {
namespace {

using namespace snipora::test;
namespace fs = std::filesystem;

// Each JSON line of a file as "path-under-base start end frames bytes
// status", read by Python's json module.
constexpr const char* kJsonLines = R"(
import json, os, sys
for line in open(sys.argv[1]):
    o = json.loads(line)
    print(os.path.relpath(o["path"], sys.argv[2]), o["start_frame"], o["end_frame"],
          o["frames"], o["bytes"], o["status"], os.path.basename(o["source"]))
)";

int64_t WriteTime(const struct stat& info) {
  return int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec;
}

class ManySources : public testing::Test {
 protected:
  void SetUp() override {
    if (CutBinary().empty()) GTEST_SKIP() << "SNIPORA_CUT is not set (run through ctest)";
  }
  // A mono 16-bit 8000 Hz source with cue points; returns its samples.
  Bytes Source(const std::string& name, uint32_t frames, const std::vector<uint32_t>& markers) {
    const Bytes samples = SeededBytes(size_t{frames} * 2, frames);
    WriteFileBytes(dir.File(name), RiffWave({RiffChunk("fmt ", PcmFormatBody(1, 8000, 16)),
                                             RiffChunk("data", samples), CueChunk(markers)}));
    return samples;
  }
  void ExpectPiece(const std::string& path, const Bytes& samples, size_t start, size_t end) {
    const Bytes expected(samples.begin() + start * 2, samples.begin() + end * 2);
    EXPECT_TRUE(ChunkBody(ReadFileBytes(dir.File(path)), "data") == expected) << path;
  }
  // Runs snipora-cut in the folder; standard output goes to json.txt.
  CommandResult Cut(const std::string& args) {
    return RunCommand("(cd " + ShellQuote(dir.path().string()) + " && " + ShellQuote(CutBinary()) +
                      " " + args + " > json.txt)");
  }
  std::string JsonLines() {
    const CommandResult r =
        RunCommand("python3 -c " + ShellQuote(kJsonLines) + " " + ShellQuote(dir.File("json.txt")) +
                   " " + ShellQuote(dir.path().string()));
    EXPECT_EQ(r.exitCode, 0) << r.output;
    return r.output;
  }
  void WriteText(const std::string& name, const std::string& text) {
    WriteFileBytes(dir.File(name), Bytes(text.begin(), text.end()));
  }

  TempDir dir;
};

TEST_F(ManySources, GoodSourcesAreCutAndTheBrokenOneIsNamed) {
  if (!HaveProgram("python3")) GTEST_SKIP() << "python3 is missing";
  const Bytes a = Source("a.wav", 24000, {1000, 2000});
  const Bytes c = Source("c.wav", 32000, {500});
  WriteText("b.wav", "not a sound file");

  CommandResult r = Cut("--markers -o out --json a.wav b.wav c.wav");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.output,
            "snipora-cut: a.wav: 2 files written (" + dir.File("out/a") +
                ")\nsnipora-cut: b.wav: failed: 'b.wav' is not a PCM WAVE, "
                "uncompressed NWA or FLAC file (or unreadable)\nsnipora-cut: c.wav: 1 file "
                "written (" +
                dir.File("out/c") + ")\n");
  // Each piece keeps the marker it starts at: 46 bytes of header, 36 of "cue ".
  EXPECT_EQ(JsonLines(),
            "out/a/01.wav 1000 2000 1000 2082 written a.wav\n"
            "out/a/02.wav 2000 24000 22000 44082 written a.wav\n"
            "out/c/01.wav 500 32000 31500 63082 written c.wav\n");
  ExpectPiece("out/a/02.wav", a, 2000, 24000);
  ExpectPiece("out/c/01.wav", c, 500, 32000);
  EXPECT_FALSE(fs::exists(dir.File("out/b")));

  // The same by CUE sheets beside the sources; b's sheet is broken.
  const Bytes b = Source("b.wav", 8000, {});
  const std::string sheet = "FILE \"x.wav\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n";
  WriteText("a.cue", sheet + "  TRACK 02 AUDIO\n    INDEX 01 00:01:00\n");
  WriteText("b.cue", sheet + "  TRACK 02 AUDIO\n    INDEX 01 00:99:00\n");
  WriteText("c.cue", sheet + "  TRACK 02 AUDIO\n    INDEX 01 00:02:00\n");
  r = Cut("--cue '{stem}.cue' --json a.wav b.wav c.wav");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("b.wav: failed: " + dir.File("b.cue") + ":5: "), std::string::npos)
      << r.output;
  EXPECT_EQ(JsonLines(),
            "a/01.wav 0 8000 8000 16106 written a.wav\n"  // markers 1000 and 2000
            "a/02.wav 8000 24000 16000 32046 written a.wav\n"
            "c/01.wav 0 16000 16000 32082 written c.wav\n"
            "c/02.wav 16000 32000 16000 32046 written c.wav\n");
  ExpectPiece("a/01.wav", a, 0, 8000);
  ExpectPiece("c/02.wav", c, 16000, 32000);
  EXPECT_FALSE(fs::exists(dir.File("b")));

  // The sounds between silences of each source: all of these noise sources.
  EXPECT_EQ(Cut("--silence -o sounds a.wav b.wav c.wav").exitCode, 0);
  ExpectPiece("sounds/c/01.wav", c, 0, 32000);
}

// Interrupted while the second source is cut, the run is finished by a rerun
// with --skip-existing, which leaves every file already in place untouched.
TEST_F(ManySources, ARerunWithSkipExistingWritesOnlyWhatIsMissing) {
  if (!HaveProgram("python3")) GTEST_SKIP() << "python3 is missing";
  std::map<std::string, Bytes> sources;
  std::vector<std::string> args{"-q", "-o", dir.File("out")};
  for (const char* name : {"a", "b", "c"}) {
    sources[name] = Source(std::string(name) + ".wav", 600000, {});
    args.push_back(dir.File(std::string(name) + ".wav"));
  }
  args.insert(args.end(), {"0:300000", "300000:600000"});
  const int child = StartCut(args, 50000);  // about 0.3 s a piece
  bool secondBegun = false;
  for (int i = 0; i < 2000 && !secondBegun; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    secondBegun = fs::exists(dir.File("out/b/01.wav"));
  }
  kill(child, SIGINT);
  EXPECT_EQ(WaitForExit(child), 1);
  ASSERT_TRUE(secondBegun);
  std::map<std::string, std::pair<ino_t, int64_t>> before;  // inode and write time (ns)
  for (const auto& e : fs::recursive_directory_iterator(dir.File("out"))) {
    struct stat info {};
    stat(e.path().c_str(), &info);
    if (S_ISREG(info.st_mode)) before[e.path().string()] = {info.st_ino, WriteTime(info)};
  }
  ASSERT_LT(before.size(), 6u);

  const CommandResult r =
      Cut("-q -o out --skip-existing --json a.wav b.wav c.wav 0:300000 "
          "300000:600000");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  const std::string lines = JsonLines();
  for (const char* name : {"a", "b", "c"}) {
    for (int piece : {1, 2}) {
      const std::string path = "out/" + std::string(name) + "/0" + std::to_string(piece) + ".wav";
      const bool existed = before.count(dir.File(path)) > 0;
      EXPECT_NE(lines.find(path + (piece == 1 ? " 0 300000" : " 300000 600000") +
                           " 300000 600046 " + (existed ? "skipped" : "written")),
                std::string::npos)
          << path << "\n"
          << lines;
      ExpectPiece(path, sources[name], (piece - 1) * 300000, piece * 300000);
    }
  }
  for (const auto& [path, identity] : before) {
    struct stat info {};
    stat(path.c_str(), &info);
    EXPECT_EQ(std::make_pair(info.st_ino, WriteTime(info)), identity) << path;
  }
}

}  // namespace
}  // namespace snipora
