// Faults during an export must not lose anything: the process killed at any
// point, the disk filling up at any point, and the source, which no export
// path may change.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <map>

#include <gtest/gtest.h>

#include "export/export_flows.h"
#include "export/output_names.h"
#include "foundation/number_text.h"
#include "platform/system/file_io.h"
#include "tests/export/export_test_support.h"
#include "tests/support/scripted_ui.h"

namespace snipora {
namespace {

using namespace snipora::test;
namespace fs = std::filesystem;

const Bytes kOldPiece = {7, 7, 7};
const Bytes kOldJoined = {9, 9};
const Bytes kKeep = {1, 2, 3};

// The source's bytes and the time it was last written (a rewrite of the same
// bytes still changes the time).
struct SourceState {
  Bytes bytes;
  timespec modified{};

  static SourceState Of(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return {ReadFileBytes(path), info.st_mtim};
  }
  bool operator==(const SourceState& other) const {
    return bytes == other.bytes && modified.tv_sec == other.modified.tv_sec &&
           modified.tv_nsec == other.modified.tv_nsec;
  }
};

// A source with three reservations and outputs that already exist: the split
// folder holds an old 02.wav and an unrelated file, the joined output an old
// file. Both the split (after the question about the existing folder,
// answered Replace) and the joined export replace those files.
struct Scene {
  TempDir dir;
  FakeHost host;
  ScriptedUi ui;
  RecordingProgress progress;
  Bytes file;
  SourceState sourceBefore;
  bool join;

  explicit Scene(bool joined) : join(joined) {
    host.fullPath = dir.File("music/song.wav");
    fs::create_directories(dir.File("music/song"));
    // 8000 Hz stereo: 4 bytes a frame, so each piece takes a few 100 KiB blocks.
    file = WriteSource(host.fullPath, {2, 16, 8000, 200000, 0, 41});
    host.format = LoadFormat(host.fullPath);
    host.rows = {{0, 60000}, {60000, 130000}, {130000, 200000}};
    host.choices.join = joined;
    WriteFileBytes(Folder() + "/02.wav", kOldPiece);
    WriteFileBytes(Folder() + "/keep.txt", kKeep);
    WriteFileBytes(JoinedPath(), kOldJoined);
    if (joined) {
      ui.files.push_back(JoinedPath());
    } else {
      ui.choices.push_back(0);  // the folder exists: replace its pieces
    }
    sourceBefore = SourceState::Of(host.fullPath);
  }

  std::string Folder() const { return dir.File("music/song"); }
  std::string JoinedPath() const { return dir.File("music/joined.wav"); }

  bool Run() {
    return join ? ExportJoined(host, ui, progress, 512) : ExportSplit(host, ui, progress, 512);
  }

  Bytes Piece(size_t row) const {
    return SourceRange(file, host.format, host.rows[row].startFrame, host.rows[row].endFrame);
  }
  Bytes JoinedData() const {
    Bytes all;
    for (size_t row = 0; row < host.rows.size(); ++row) {
      const Bytes piece = Piece(row);
      all.insert(all.end(), piece.begin(), piece.end());
    }
    return all;
  }

  // True when path holds a complete output with exactly these samples.
  static bool IsComplete(const std::string& path, const Bytes& data) {
    const Bytes out = ReadFileBytes(path);
    return out.size() == 46 + data.size() && std::equal(data.begin(), data.end(), out.begin() + 46);
  }

  // Every file under a final name is either what was there before or a
  // complete output; everything else is a hidden temporary (a killed process
  // cannot remove its own) unless leftoversAllowed is false. The source and
  // the unrelated file are untouched.
  struct Found {
    int complete = 0;   // outputs complete under their final names
    int temporary = 0;  // hidden temporaries left behind
  };
  Found CheckNothingLost(bool leftoversAllowed) const {
    EXPECT_TRUE(SourceState::Of(host.fullPath) == sourceBefore) << "the source changed";
    EXPECT_EQ(ReadFileBytes(Folder() + "/keep.txt"), kKeep);
    Found found;
    const std::map<std::string, Bytes> expected =
        join ? std::map<std::string, Bytes>{{"music/joined.wav", JoinedData()}}
             : std::map<std::string, Bytes>{{"music/song/01.wav", Piece(0)},
                                            {"music/song/02.wav", Piece(1)},
                                            {"music/song/03.wav", Piece(2)}};
    for (const auto& [name, data] : expected) {
      const std::string path = dir.File(name);
      if (!fs::exists(path)) continue;
      const Bytes old = name == "music/song/02.wav"  ? kOldPiece
                        : name == "music/joined.wav" ? kOldJoined
                                                     : Bytes{};
      const bool isComplete = IsComplete(path, data);
      found.complete += isComplete ? 1 : 0;
      EXPECT_TRUE(isComplete || (!old.empty() && ReadFileBytes(path) == old))
          << name << " is neither the old file nor a complete output";
    }
    if (join) {
      EXPECT_EQ(ReadFileBytes(Folder() + "/02.wav"), kOldPiece);
    } else {
      EXPECT_EQ(ReadFileBytes(JoinedPath()), kOldJoined);
    }
    for (const char* folder : {"music", "music/song"}) {
      for (const std::string& name : FolderNames(dir.File(folder))) {
        const std::string relative = std::string(folder) + "/" + name;
        if (expected.count(relative) != 0 || relative == "music/song.wav" ||
            relative == "music/song" || relative == "music/song/keep.txt" ||
            relative == "music/joined.wav" || relative == "music/song/02.wav") {
          continue;
        }
        EXPECT_TRUE(leftoversAllowed && name[0] == '.') << "left behind: " << relative;
        ++found.temporary;
      }
    }
    return found;
  }
};

// How often a full run of the scene's export pumps.
int PumpCount(bool join) {
  Scene scene(join);
  EXPECT_TRUE(scene.Run());
  EXPECT_EQ(scene.CheckNothingLost(false).complete, join ? 1 : 3);
  return scene.progress.pumps;
}

TEST(ExportFault, KilledAtAnyPointLeavesEveryFileOldOrComplete) {
  for (bool join : {false, true}) {
    const int pumps = PumpCount(join);
    ASSERT_GE(pumps, 6) << "too few kill points to mean anything";
    int lastComplete = 0;
    bool killedMidWrite = false;
    for (int killAt = 0; killAt < pumps; ++killAt) {
      SCOPED_TRACE((join ? "joined, killed at pump " : "split, killed at pump ") +
                   std::to_string(killAt));
      Scene scene(join);
      const pid_t child = fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        scene.progress.onPump = [&scene, killAt] {
          if (scene.progress.pumps == killAt) raise(SIGKILL);
        };
        scene.Run();
        _exit(0);
      }
      int status = 0;
      ASSERT_EQ(waitpid(child, &status, 0), child);
      ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
      const Scene::Found found = scene.CheckNothingLost(true);
      // Later kills find at least as much finished work.
      EXPECT_GE(found.complete, lastComplete);
      lastComplete = found.complete;
      killedMidWrite = killedMidWrite || found.temporary > 0;
    }
    EXPECT_TRUE(killedMidWrite) << "no kill caught an output being written";
    // Killed before the last block, the joined file cannot be complete.
    if (join) {
      EXPECT_EQ(lastComplete, 0);
    }
  }
}

// Write calls that fail with ENOSPC once a byte budget is spent, as a disk
// that fills up does; the write that crosses the budget is cut short.
class DiskFillsAfter {
 public:
  explicit DiskFillsAfter(size_t bytes) {
    left_ = bytes;
    fileio::FileCallHooks hooks;
    hooks.write = &Write;
    fileio::SetFileCallHooks(hooks);
  }
  ~DiskFillsAfter() { fileio::ResetFileCallHooks(); }
  DiskFillsAfter(const DiskFillsAfter&) = delete;
  DiskFillsAfter& operator=(const DiskFillsAfter&) = delete;

 private:
  static ssize_t Write(int fd, const void* buffer, size_t count) {
    if (left_ == 0) {
      errno = ENOSPC;
      return -1;
    }
    const ssize_t put = ::write(fd, buffer, std::min(count, left_));
    if (put > 0) left_ -= static_cast<size_t>(put);
    return put;
  }
  static inline size_t left_ = 0;
};

TEST(ExportFault, ADiskThatFillsIsNamedAndLeavesNothingBehind) {
  for (bool join : {false, true}) {
    // Budgets from nothing at all to one byte short of everything, including
    // the 46-byte header, a sector and the last partial sector.
    const size_t total =
        join ? 46 + Scene(join).JoinedData().size() : 3 * 46 + Scene(join).JoinedData().size();
    for (size_t budget :
         {size_t{0}, size_t{45}, size_t{512}, size_t{300000}, total / 2, total - 300, total - 1}) {
      SCOPED_TRACE((join ? "joined, disk full after " : "split, disk full after ") +
                   std::to_string(budget));
      Scene scene(join);
      bool saved = true;
      {
        DiskFillsAfter fills(budget);
        saved = scene.Run();
      }
      EXPECT_FALSE(saved);
      // The file dialog (joined) or the question about the existing folder
      // (split), then one message that names the file and the pieces kept.
      ASSERT_EQ(scene.ui.asked.size(), 2u);
      const std::string& text = scene.ui.asked.back().text;
      EXPECT_NE(text.find("」を保存できません。"), std::string::npos) << text;
      EXPECT_FALSE(scene.host.cleared);
      const int complete = scene.CheckNothingLost(false).complete;
      EXPECT_LT(complete, join ? 1 : 3);
      EXPECT_EQ(scene.host.kept.size(), static_cast<size_t>(complete));
      EXPECT_EQ(text.find("残してあります") != std::string::npos, complete > 0) << text;
    }
  }
}

// Every way an export can end: done, refused, cancelled, failed. None of them
// may write to the source.
TEST(ExportFault, NoExportPathChangesTheSource) {
  const struct {
    const char* name;
    bool join;
    int rows;        // reservations kept (1 asks for a file name)
    bool fade;       // fade-out checked
    int cancelAt;    // pump at which Cancel is pressed, -1 never
    bool toSource;   // the file dialog answers with the source itself
    bool answerYes;  // Replace, else Cancel, when asked about the existing folder
    bool expected;   // the export's result
  } cases[] = {
      {"split into the folder", false, 3, false, -1, false, true, true},
      {"split with fade", false, 3, true, -1, false, true, true},
      {"split, folder question answered No", false, 3, false, -1, false, false, false},
      {"split cancelled half-way", false, 3, false, 4, false, true, false},
      {"one piece to a chosen file", false, 1, true, -1, false, true, true},
      {"one piece onto the source", false, 1, false, -1, true, true, false},
      {"joined", true, 3, false, -1, false, true, true},
      {"joined with fade", true, 3, true, -1, false, true, true},
      {"joined cancelled half-way", true, 3, true, 4, false, true, false},
      {"joined onto the source", true, 3, false, -1, true, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Scene scene(c.join);
    scene.host.rows.resize(static_cast<size_t>(c.rows));
    scene.host.choices.fadeOut.ticked = c.fade;
    scene.host.choices.fadeOut.text = "250";
    scene.progress.cancelAtPump = c.cancelAt;
    scene.ui.choices.clear();
    scene.ui.files.clear();
    if (!c.join && c.rows > 1) {
      scene.ui.choices.push_back(c.answerYes ? 0 : 2);
    } else {
      scene.ui.files.push_back(c.toSource ? scene.host.fullPath : scene.dir.File("music/one.wav"));
      // The source is refused and the dialog asked again: now cancelled.
      if (c.toSource) scene.ui.files.push_back(std::nullopt);
    }
    EXPECT_EQ(scene.Run(), c.expected);
    EXPECT_TRUE(SourceState::Of(scene.host.fullPath) == scene.sourceBefore);
    if (c.toSource) {
      EXPECT_NE(scene.ui.asked.at(1).text.find("元のファイルそのもの"), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace snipora
