// snipora-cut under faults: killed outright half-way, and never writing to
// its source, whatever the command line asks.
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

namespace snipora {
namespace {

using namespace snipora::test;
namespace fs = std::filesystem;

// The bytes and the last write time of a file.
std::pair<Bytes, int64_t> Snapshot(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
  return {ReadFileBytes(path), int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec};
}

class CutFault : public testing::Test {
 protected:
  void SetUp() override {
    if (CutBinary().empty()) GTEST_SKIP() << "SNIPORA_CUT is not set (run through ctest)";
    if (!HaveProgram("sox")) GTEST_SKIP() << "sox is missing";
    // 10 s of 44100 Hz stereo noise: 1764000 bytes of samples.
    const CommandResult r = RunCommand("sox -V1 -n -r 44100 -c 2 -b 16 " +
                                       ShellQuote(dir.File("s.wav")) + " synth 10 whitenoise");
    ASSERT_EQ(r.exitCode, 0) << r.output;
  }

  // Starts snipora-cut slowed to 50 ms a block, waits until a temporary file
  // appears in `folder` after `finished` (unless empty) is in place there, and
  // kills it with SIGKILL, which it cannot catch: nothing of its own cleans up.
  void KillWhileWriting(const std::vector<std::string>& args, const std::string& folder,
                        const std::string& finished) {
    const int child = StartCut(args, 50000);
    ASSERT_GT(child, 0);
    bool seen = false;
    for (int i = 0; i < 2000 && !seen; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      seen = (finished.empty() || fs::exists(folder + "/" + finished)) && HoldsHiddenFile(folder);
    }
    kill(child, SIGKILL);
    const int status = WaitForExit(child);
    ASSERT_TRUE(seen) << "no temporary appeared after " << finished;
    ASSERT_EQ(status, 128 + SIGKILL);
  }

  TempDir dir;
};

TEST_F(CutFault, KilledHalfWayLeavesOldFilesAndNoPartialOneUnderAFinalName) {
  const auto source = Snapshot(dir.File("s.wav"));
  fs::create_directory(dir.File("s"));
  WriteFileBytes(dir.File("s/02.wav"), {5, 5});
  KillWhileWriting({"-f", "-q", dir.File("s.wav"), "0:1000", "1000:220000", "220000:230000"},
                   dir.File("s"), "01.wav");
  EXPECT_EQ(ReadFileBytes(dir.File("s/01.wav")).size(), 46u + 4000u);  // finished before
  EXPECT_EQ(ReadFileBytes(dir.File("s/02.wav")), (Bytes{5, 5}));       // the old file
  EXPECT_FALSE(fs::exists(dir.File("s/03.wav")));                      // never begun

  WriteFileBytes(dir.File("j.wav"), {7});
  KillWhileWriting({"-j", "-f", "-q", "-o", dir.File("j.wav"), dir.File("s.wav"), "0:200000"},
                   dir.path(), "");
  EXPECT_EQ(ReadFileBytes(dir.File("j.wav")), Bytes{7});

  // Only hidden temporaries are left over; a new run is not disturbed by them.
  for (const char* folder : {"", "s"}) {
    for (const auto& e : fs::directory_iterator(dir.File(folder))) {
      const std::string name = e.path().filename().string();
      EXPECT_TRUE(name[0] == '.' || name == "s" || name == "s.wav" || name == "j.wav" ||
                  name == "01.wav" || name == "02.wav")
          << name;
    }
  }
  EXPECT_EQ(RunCommand(ShellQuote(CutBinary()) + " -f -q " + ShellQuote(dir.File("s.wav")) +
                       " 0:1000 1000:2000")
                .exitCode,
            0);
  EXPECT_EQ(ReadFileBytes(dir.File("s/02.wav")).size(), 46u + 4000u);
  EXPECT_TRUE(Snapshot(dir.File("s.wav")) == source);
}

// Past a file-size limit (ulimit -f) the write fails: status 1, the piece
// begun is removed, the one finished before stays. Killed by SIGXFSZ it
// would leave its temporary file behind.
TEST_F(CutFault, AFileSizeLimitFailsTheWriteAndLeavesNothingUnfinished) {
  const int child = StartCut(
      {"-q", "-o", dir.File("out"), dir.File("s.wav"), "0:1000", "1000:200000"}, 0, 100000);
  EXPECT_EQ(WaitForExit(child), 1);
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir.File("out"))) {
    names.push_back(e.path().filename().string());
  }
  EXPECT_EQ(names, std::vector<std::string>{"01.wav"});
  EXPECT_EQ(fs::file_size(dir.File("out/01.wav")), 46u + 4000u);
}

TEST_F(CutFault, NoCommandWritesToTheSource) {
  // The source also sits where a piece would go: folder/01.wav.
  fs::create_directory(dir.File("p"));
  fs::copy_file(dir.File("s.wav"), dir.File("p/01.wav"));
  WriteFileBytes(dir.File("labels.txt"), {'0', '\t', '1', '\t', 'a', '\n'});
  const std::string s = ShellQuote(dir.File("s.wav"));
  const std::string p1 = ShellQuote(dir.File("p/01.wav"));
  const struct {
    std::string args;
    int exitCode;
  } cases[] = {
      {s + " 0:1000 1000:2000", 0},
      {"-f --fade 10 " + s + " 0:1000 1000:2000", 0},
      {"-f --ms --labels " + ShellQuote(dir.File("labels.txt")) + " " + s + " 0:10", 0},
      {"-j -f --fade 10 -o " + ShellQuote(dir.File("j.wav")) + " " + s + " 0:100 5:50", 0},
      {"--info " + s, 0},
      {"-f -o " + ShellQuote(dir.File("p")) + " " + p1 + " 0:1000", 1},  // piece 01 is the source
      {"-f -o " + ShellQuote(dir.File("p")) + " " + p1 + " 0:10 10:20", 1},
      {"-j -f -o " + p1 + " " + p1 + " 0:10", 1},
  };
  for (const auto& c : cases) {
    const auto before = Snapshot(dir.File("s.wav"));
    const auto beforeP = Snapshot(dir.File("p/01.wav"));
    const CommandResult r = RunCommand(ShellQuote(CutBinary()) + " -q " + c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args << "\n" << r.output;
    EXPECT_TRUE(Snapshot(dir.File("s.wav")) == before) << c.args;
    EXPECT_TRUE(Snapshot(dir.File("p/01.wav")) == beforeP) << c.args;
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("p")), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace snipora
