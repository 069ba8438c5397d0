#include "export/export_flows.h"

#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "audiofile/sample_loops.h"
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
      : HostedSource(relativeSource, shape, {{100, 1100}, {2000, 3000}}) {}
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

// The dialog starts beside the source with a name that is not the source's:
// "<source> 1.wav", or the row's label.
TEST(ExportFlows, OneRowAsksForTheFileName) {
  Fixture f;
  f.host.rows = {{100, 1100}};
  f.ui.files.push_back(std::nullopt);  // first time: the dialog is cancelled
  EXPECT_FALSE(ExportSplit(f.host, f.ui, f.progress));
  f.host.labels = {"Intro"};
  f.ui.files.push_back(f.dir.File("chosen.wav"));
  EXPECT_TRUE(ExportSplit(f.host, f.ui, f.progress));
  ASSERT_EQ(f.ui.asked.size(), 2u);
  EXPECT_EQ(f.ui.asked[0].save.initialName, "song 1.wav");
  EXPECT_EQ(f.ui.asked[1].save.initialName, "Intro.wav");
  for (const auto& asked : f.ui.asked) {
    EXPECT_EQ(asked.text, "save");
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

// The folder named after the source exists: the question names the pieces
// that would replace files in it (not its other files) and offers to
// replace them, to choose another folder, or to cancel.
TEST(ExportFlows, AnExistingFolderNamesWhatWouldBeReplaced) {
  enum Choice : size_t { kReplace, kAnotherFolder, kCancel };
  const struct {
    const char* name;
    std::vector<size_t> choices;
    bool saved;
    std::vector<std::string> inFolder;  // afterwards
  } cases[] = {
      {"cancel", {kCancel}, false, {"01.wav", "keep.txt"}},
      {"replace", {kReplace}, true, {"01.wav", "02.wav", "keep.txt"}},
      {"another folder", {kAnotherFolder}, true, {"01.wav", "keep.txt"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    const std::string folder = f.dir.File("music/song");
    const std::string elsewhere = f.dir.File("elsewhere");
    fs::create_directory(folder);
    fs::create_directory(elsewhere);
    WriteFileBytes(folder + "/01.wav", {1});
    WriteFileBytes(folder + "/keep.txt", {2});
    f.ui.choices = {c.choices.begin(), c.choices.end()};
    f.ui.files = {elsewhere};  // the other folder, when asked for
    EXPECT_EQ(ExportSplit(f.host, f.ui, f.progress), c.saved);
    const auto& question = f.ui.asked.at(0);
    EXPECT_EQ(question.choices.size(), 3u);
    EXPECT_NE(question.text.find("01.wav"), std::string::npos) << question.text;
    EXPECT_EQ(question.text.find("02.wav"), std::string::npos) << question.text;
    EXPECT_EQ(question.text.find("keep.txt"), std::string::npos) << question.text;
    EXPECT_EQ(FolderNames(folder), c.inFolder);
    EXPECT_EQ(f.host.cleared, c.saved);
    if (c.choices[0] == kReplace) {
      EXPECT_EQ(f.Data(folder + "/01.wav", 1000), f.Piece(100, 1100));
    } else {
      EXPECT_EQ(ReadFileBytes(folder + "/01.wav"), Bytes{1});
    }
    if (c.choices[0] == kAnotherFolder) {
      EXPECT_EQ(f.ui.asked.at(1).text, "folder");
      EXPECT_EQ(FolderNames(elsewhere), (std::vector<std::string>{"01.wav", "02.wav"}));
    }
  }
  // Something else of that name: only another folder or cancel.
  Fixture f;
  WriteFileBytes(f.dir.File("music/song"), {3});
  f.ui.choices = {1};
  EXPECT_FALSE(ExportSplit(f.host, f.ui, f.progress));
  EXPECT_EQ(f.ui.asked.at(0).choices.size(), 2u);
}

TEST(ExportFlows, JoinedAsksForAFileAndFadesOnlyItsEnd) {
  Fixture f;
  f.host.choices.join = true;
  f.host.choices.fadeOut.ticked = true;
  f.host.choices.fadeOut.text = "100";
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

// A ticked fade-out whose length field holds no number refuses the save and
// names the field; unticked, disabled or 0 it fades nothing.
TEST(ExportFlows, ALengthMustBeANumberWhereItsBoxIsTicked) {
  const struct {
    bool ticked;
    const char* text;
    bool saved;
  } cases[] = {{false, "", true},    {true, "0", true},   {true, "", false},
               {true, "abc", false}, {true, "-1", false}, {true, "1.5", false}};
  for (const auto& c : cases) {
    for (const bool fadeIn : {false, true}) {
      SCOPED_TRACE(std::string("\"") + c.text + (fadeIn ? "\" fade-in" : "\" fade-out"));
      Fixture f;
      (fadeIn ? f.host.choices.fadeIn : f.host.choices.fadeOut) = {c.ticked, c.text};
      EXPECT_EQ(ExportSplit(f.host, f.ui, f.progress), c.saved);
      if (c.saved) {
        EXPECT_EQ(f.Data(f.dir.File("music/song/02.wav"), 1000), f.Piece(2000, 3000));
      } else {
        ASSERT_EQ(f.ui.asked.size(), 1u);
        EXPECT_NE(f.ui.asked[0].text.find(fadeIn ? "「フェードイン処理を行う」にチェック"
                                                 : "「フェードアウト処理を行う」にチェック"),
                  std::string::npos);
        EXPECT_EQ(FolderNames(f.dir.File("music")), std::vector<std::string>{"song.wav"});
      }
    }
  }
}

// The window's Save keeps what snipora-cut keeps: the source's loops and
// chunks inside each piece, made right for it; none with "strip metadata".
TEST(ExportFlows, SavesKeepTheSourcesLoopsAndChunksUnlessStripped) {
  for (const bool strip : {false, true}) {
    SCOPED_TRACE(strip ? "stripped" : "kept");
    Fixture f;
    std::vector<Bytes> chunks = {RiffChunk("fmt ", PcmFormatBody(1, 8000, 16))};
    for (const Bytes& chunk : RecorderChunks(77)) chunks.push_back(chunk);
    chunks.push_back(RiffChunk("data", SeededBytes(4000, 3)));
    WriteFileBytes(f.host.fullPath, RiffWave(chunks));
    f.host.format = LoadFormat(f.host.fullPath);
    f.host.rows = {{0, 600}, {450, 1000}};
    f.host.choices.stripMetadata = strip;
    ASSERT_TRUE(ExportSplit(f.host, f.ui, f.progress));
    const std::string first = f.dir.File("music/song/01.wav");
    const Bytes piece = ReadFileBytes(first);
    if (strip) {
      EXPECT_EQ(Chunks(piece).size(), 2u);  // "fmt " and "data"
      continue;
    }
    const std::optional<SampleChunk> loops = ReadSampleChunk(first);
    ASSERT_TRUE(loops && loops->loops.size() == 1u);
    EXPECT_EQ(loops->loops[0].start, 200u);
    EXPECT_EQ(loops->loops[0].end, 299u);
    EXPECT_EQ(BextTimeReference(ChunkBody(ReadFileBytes(f.dir.File("music/song/02.wav")), "bext")),
              77u + 450);
    const std::vector<ChunkEntry> info = ListEntries(ListBody(piece, "INFO"));
    EXPECT_NE(std::find(info.begin(), info.end(), ChunkEntry{"ITRK", ZeroTerminated("1")}),
              info.end());
  }
}

// With "verify after saving" every file is read back; one that differs from
// the source is named and the save is not taken as done.
TEST(ExportFlows, VerifyAfterSavingNamesAFileThatDiffers) {
  Fixture good;
  good.host.choices.verify = true;
  EXPECT_TRUE(ExportSplit(good.host, good.ui, good.progress));
  EXPECT_TRUE(good.ui.asked.empty());
  EXPECT_TRUE(good.host.cleared);

  Fixture f;
  f.host.choices.verify = true;
  const std::string last = f.dir.File("music/song/02.wav");
  // The last file is in place only once everything is written: then the
  // check's first pump changes one of its sample bytes.
  f.progress.onPump = [&] {
    if (!fs::exists(last)) return;
    Bytes bytes = ReadFileBytes(last);
    bytes[bytes.size() - 10] ^= 1;
    WriteFileBytes(last, bytes);
    f.progress.onPump = nullptr;
  };
  EXPECT_FALSE(ExportSplit(f.host, f.ui, f.progress));
  ASSERT_EQ(f.ui.asked.size(), 1u);
  EXPECT_NE(f.ui.asked[0].text.find("一致しません:\n" + last + "\n"), std::string::npos)
      << f.ui.asked[0].text;
  EXPECT_FALSE(f.host.cleared);
  EXPECT_EQ(f.host.kept, (std::vector<std::string>{f.dir.File("music/song/01.wav"), last}));
}

// Every failure names the file and the reason, and says which finished
// files stay; a cancel says nothing here and tells the window what was kept.
TEST(ExportFlows, FailuresNameTheFileAndTheReason) {
  {  // the source is chosen as the output: refused and asked again; it stays as it was
    Fixture f;
    f.host.rows = {{100, 1100}};
    f.ui.files = {f.host.fullPath, std::nullopt};
    EXPECT_FALSE(ExportSplit(f.host, f.ui, f.progress));
    f.ui.files = {f.host.fullPath, f.dir.File("joined.wav")};
    f.host.rows.push_back({0, 10});
    EXPECT_TRUE(ExportJoined(f.host, f.ui, f.progress));
    ASSERT_EQ(f.ui.asked.size(), 6u);
    for (size_t i : {1u, 4u}) {
      EXPECT_NE(f.ui.asked.at(i).text.find(f.host.fullPath + "」は元のファイルそのもの"),
                std::string::npos)
          << f.ui.asked[i].text;
    }
    EXPECT_EQ(ReadFileBytes(f.host.fullPath), f.file);
  }
  {  // the source has gone: neither a file nor the split's folder is left
    Fixture f;
    fs::remove(f.host.fullPath);
    f.ui.files.push_back(f.dir.File("j.wav"));
    EXPECT_FALSE(ExportJoined(f.host, f.ui, f.progress));
    EXPECT_FALSE(ExportSplit(f.host, f.ui, f.progress));
    EXPECT_NE(f.ui.asked.back().text.find("元のファイル「" + f.host.fullPath + "」を開けません"),
              std::string::npos);
    EXPECT_TRUE(FolderNames(f.dir.File("music")).empty());
    EXPECT_FALSE(fs::exists(f.dir.File("j.wav")));
  }
  {  // the second piece's name is taken by a folder: refused before anything is written
    Fixture f;
    fs::create_directories(f.dir.File("music/song/02.wav"));
    f.ui.choices = {0};  // the folder exists: replace
    EXPECT_FALSE(ExportSplit(f.host, f.ui, f.progress));
    const std::string text = f.ui.asked.back().text;
    EXPECT_NE(text.find("「" + f.dir.File("music/song/02.wav") + "」を保存できません。\n" +
                        "同じ名前のフォルダがあります。"),
              std::string::npos)
        << text;
    EXPECT_EQ(FolderNames(f.dir.File("music/song")), std::vector<std::string>{"02.wav"});
    EXPECT_FALSE(f.host.stoppedCancelled);
    EXPECT_FALSE(f.host.cleared);
  }
  {  // cancelled: no message, the unsaved state stays, the new folder goes
    Fixture f;
    f.progress.cancelAtPump = 0;
    EXPECT_FALSE(ExportSplit(f.host, f.ui, f.progress));
    EXPECT_TRUE(f.ui.asked.empty());
    EXPECT_EQ(FolderNames(f.dir.File("music")), std::vector<std::string>{"song.wav"});
    EXPECT_FALSE(f.host.cleared);
    EXPECT_EQ(f.host.stops, 1);
    EXPECT_TRUE(f.host.stoppedCancelled);
    EXPECT_TRUE(f.host.kept.empty());
  }
}

}  // namespace
}  // namespace snipora
