#include "export/export_flows.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "export/output_names.h"
#include "tests/export/export_test_support.h"
#include "tests/export/fade_reference.h"
#include "tests/support/scripted_ui.h"

namespace snipora {
namespace {

using namespace snipora::test;
namespace fs = std::filesystem;

// A source in a folder of its own, opened the way the main window opens it.
struct Fixture : HostedSource {
  ScriptedUi ui;
  RecordingProgress progress;

  explicit Fixture(const std::string& relativeSource = "music/song.wav",
                   SourceShape shape = {2, 16, 8000, 4000, 0, 21})
      : HostedSource(relativeSource, shape, {{"100", "1100"}, {"2000", "3000"}}) {}
  Bytes Piece(uint32_t start, uint32_t end) const {
    return SourceRange(file, host.format, start, end);
  }
  Bytes Data(const std::string& path, size_t frames) const {
    return CheckedData(ReadFileBytes(path), host.format,
                       static_cast<uint32_t>(frames * host.format.formatBlock.blockAlign));
  }
};

TEST(OutputNames, FolderAndPieceNames) {
  // The folder is the source's folder plus its name without the last
  // extension; a dot in a folder name or a leading dot is no extension.
  const struct {
    const char* path;
    const char* stem;
    const char* folder;
  } cases[] = {
      {"/music/song.wav", "song", "/music/song"},
      {"/音楽/あ.wav", "あ", "/音楽/あ"},
      {"/music/a.b.wav", "a.b", "/music/a.b"},
      {"dots/v1.0/song.wav", "song", "dots/v1.0/song"},
      {"dots/v1.0/.hidden.wav", ".hidden", "dots/v1.0/.hidden"},
      {"song.", "song", "song"},
      // Without an extension the folder would be the source itself.
      {"/music.old/song", "song", "/music.old/song.pieces"},
      {"dots/v1.0/.hidden", ".hidden", "dots/v1.0/.hidden.pieces"},
      {"\"/music/song.wav\"", "song", "/music/song"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitFolderPath(c.path), c.folder) << c.path;
    if (c.path[0] != '"') {
      EXPECT_EQ(FileStem(c.path), c.stem) << c.path;
    }
  }
  EXPECT_EQ(PieceFileName(0), "01.wav");
  EXPECT_EQ(PieceFileName(98), "99.wav");
  EXPECT_EQ(PieceFileName(99), "100.wav");
  EXPECT_EQ(PathInFolder("/music/song", "01.wav"), "/music/song/01.wav");
}

TEST(ExportFlows, NoRowsShows107AndWritesNothing) {
  for (bool join : {false, true}) {
    Fixture f;
    f.host.rows.clear();
    EXPECT_TRUE(join ? ExportJoined(f.host, f.ui, f.progress)
                     : ExportSplit(f.host, f.ui, f.progress));
    EXPECT_EQ(f.ui.MessageIds(), std::vector<int>{107});
    EXPECT_EQ(f.ui.asked.size(), 1u);
    EXPECT_FALSE(f.host.cleared);
    EXPECT_EQ(FolderNames(f.dir.File("music")), std::vector<std::string>{"song.wav"});
  }
}

TEST(ExportFlows, OneRowAsksForTheFileName) {
  Fixture f;
  f.host.rows = {{"100", "1100"}};
  f.ui.files.push_back(std::nullopt);  // first time: the dialog is cancelled
  EXPECT_FALSE(ExportSplit(f.host, f.ui, f.progress));
  f.ui.files.push_back(f.dir.File("chosen.wav"));
  EXPECT_TRUE(ExportSplit(f.host, f.ui, f.progress));
  ASSERT_EQ(f.ui.asked.size(), 2u);
  for (const auto& asked : f.ui.asked) {
    EXPECT_EQ(asked.text, "save");
    EXPECT_EQ(asked.save.initialName, "song");
    EXPECT_EQ(asked.save.initialFolder, fs::path(f.host.FullPath()).parent_path().string());
    EXPECT_EQ(asked.save.defaultSuffix, "wav");
    EXPECT_EQ(asked.save.filter, "WAVEサウンド(*.wav)|*.wav||");
    EXPECT_TRUE(asked.save.overwritePrompt);
  }
  EXPECT_EQ(f.Data(f.dir.File("chosen.wav"), 1000), f.Piece(100, 1100));
  EXPECT_FALSE(fs::exists(f.dir.File("music/song")));  // no folder for one piece
  EXPECT_TRUE(f.host.cleared);
}

TEST(ExportFlows, PiecesGoToAFolderNamedAfterTheSource) {
  const char* sources[] = {"music/song.wav", "音楽/あ.wav", "music.old/song"};
  const char* folders[] = {"music/song", "音楽/あ", "music.old/song.pieces"};
  for (int i = 0; i < 3; ++i) {
    Fixture f(sources[i]);
    const fs::path before = fs::current_path();
    EXPECT_TRUE(ExportSplit(f.host, f.ui, f.progress)) << sources[i];
    EXPECT_TRUE(f.ui.asked.empty());
    EXPECT_EQ(fs::current_path(), before);  // paths are built, the directory is not changed
    EXPECT_EQ(f.Data(f.dir.File(std::string(folders[i]) + "/01.wav"), 1000), f.Piece(100, 1100));
    EXPECT_EQ(f.Data(f.dir.File(std::string(folders[i]) + "/02.wav"), 1000), f.Piece(2000, 3000));
    EXPECT_TRUE(f.host.cleared);
  }
}

TEST(ExportFlows, AnExistingFolderAsks104) {
  Fixture f;
  const std::string folder = f.dir.File("music/song");
  fs::create_directory(folder);
  WriteFileBytes(folder + "/01.wav", {1});
  WriteFileBytes(folder + "/keep.txt", {2});
  f.ui.answers = {MessageAnswer::No, MessageAnswer::Yes};
  EXPECT_FALSE(ExportSplit(f.host, f.ui, f.progress));  // No: nothing written
  EXPECT_EQ(FolderNames(folder), (std::vector<std::string>{"01.wav", "keep.txt"}));
  EXPECT_EQ(ReadFileBytes(folder + "/01.wav"), Bytes{1});
  EXPECT_FALSE(f.host.cleared);
  EXPECT_TRUE(ExportSplit(f.host, f.ui, f.progress));  // Yes: same names replaced
  EXPECT_EQ(f.ui.MessageIds(), (std::vector<int>{104, 104}));
  EXPECT_EQ(FolderNames(folder), (std::vector<std::string>{"01.wav", "02.wav", "keep.txt"}));
  EXPECT_EQ(f.Data(folder + "/01.wav", 1000), f.Piece(100, 1100));
  EXPECT_EQ(ReadFileBytes(folder + "/keep.txt"), Bytes{2});
}

TEST(ExportFlows, JoinedAsksForAFileAndFadesOnlyItsEnd) {
  Fixture f;
  f.host.join = true;
  f.host.fadeChecked = true;
  f.host.fadeText = "100";
  f.ui.files.push_back(f.dir.File("joined.wav"));
  EXPECT_TRUE(ExportJoined(f.host, f.ui, f.progress));
  Bytes expected = f.Piece(100, 1100);
  const Bytes second = f.Piece(2000, 3000);
  expected.insert(expected.end(), second.begin(), second.end());
  ReferenceFade(expected, 3200, 4, 2);  // 100 ms of 8000 Hz stereo
  EXPECT_TRUE(f.Data(f.dir.File("joined.wav"), 2000) == expected);
  EXPECT_EQ(f.ui.asked.size(), 1u);
  EXPECT_TRUE(f.host.cleared);
}

TEST(ExportFlows, FadeOnlyWhenTheBoxIsCheckedEnabledAndHoldsANumber) {
  const struct {
    bool checked, enabled;
    const char* text;
  } unfaded[] = {{false, true, "100"},
                 {true, false, "100"},
                 {true, true, "abc"},
                 {true, true, "0"},
                 {true, true, "-1"}};  // a negative length is no length, not nearly 2^32 ms
  for (const auto& c : unfaded) {
    Fixture f;
    f.host.fadeChecked = c.checked;
    f.host.fadeEnabled = c.enabled;
    f.host.fadeText = c.text;
    EXPECT_TRUE(ExportSplit(f.host, f.ui, f.progress));
    EXPECT_EQ(f.Data(f.dir.File("music/song/02.wav"), 1000), f.Piece(2000, 3000)) << c.text;
  }
}

TEST(ExportFlows, FailuresShow105AndKeepTheUnsavedState) {
  {  // the source is chosen as the output: refused, the source stays as it was
    Fixture f;
    f.host.rows = {{"100", "1100"}};
    f.ui.files.push_back(f.host.fullPath);
    EXPECT_FALSE(ExportSplit(f.host, f.ui, f.progress));
    f.ui.files.push_back(f.host.fullPath);
    f.host.rows.push_back({"0", "10"});
    EXPECT_FALSE(ExportJoined(f.host, f.ui, f.progress));
    EXPECT_EQ(f.ui.MessageIds(), (std::vector<int>{105, 105}));
    EXPECT_EQ(ReadFileBytes(f.host.fullPath), f.file);
    EXPECT_FALSE(f.host.cleared);
  }
  {  // the source has gone: neither a file nor the split's folder is left
    Fixture f;
    fs::remove(f.host.fullPath);
    f.ui.files.push_back(f.dir.File("j.wav"));
    EXPECT_FALSE(ExportJoined(f.host, f.ui, f.progress));
    EXPECT_FALSE(ExportSplit(f.host, f.ui, f.progress));
    EXPECT_EQ(f.ui.MessageIds(), (std::vector<int>{105, 105}));
    EXPECT_TRUE(FolderNames(f.dir.File("music")).empty());
    EXPECT_FALSE(fs::exists(f.dir.File("j.wav")));
  }
  {  // cancelled: no message, the unsaved state stays, the new folder goes
    Fixture f;
    f.progress.cancelAtPump = 0;
    EXPECT_FALSE(ExportSplit(f.host, f.ui, f.progress));
    EXPECT_TRUE(f.ui.asked.empty());
    EXPECT_EQ(FolderNames(f.dir.File("music")), std::vector<std::string>{"song.wav"});
    EXPECT_FALSE(f.host.cleared);
  }
}

}  // namespace
}  // namespace snipora
