#include "platform/system/fs_ops.h"

#include <cerrno>
#include <filesystem>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/test_support.h"

namespace snipora {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

TEST(FsOps, MakeFolderReportsAnExistingName) {
  TempDir dir;
  EXPECT_EQ(fsops::MakeFolder(dir.File("a")), 0);
  EXPECT_TRUE(fsops::IsFolder(dir.File("a")));
  EXPECT_EQ(fsops::MakeFolder(dir.File("a")), EEXIST);
  WriteFileBytes(dir.File("f"), {1});
  EXPECT_EQ(fsops::MakeFolder(dir.File("f")), EEXIST);
  EXPECT_FALSE(fsops::IsFolder(dir.File("f")));
  EXPECT_EQ(fsops::MakeFolder(dir.File("missing/b")), ENOENT);
  EXPECT_EQ(fsops::RemoveFolder(dir.File("f")), ENOTDIR);
  EXPECT_EQ(fsops::RemoveFolder(dir.File("a")), 0);
  EXPECT_FALSE(fsops::Exists(dir.File("a")));
}

TEST(FsOps, SameFileComparesIdentityNotNames) {
  TempDir dir;
  WriteFileBytes(dir.File("src"), {1, 2, 3});
  WriteFileBytes(dir.File("copy"), {1, 2, 3});
  std::filesystem::create_hard_link(dir.File("src"), dir.File("hard"));
  std::filesystem::create_symlink(dir.File("src"), dir.File("soft"));
  EXPECT_TRUE(fsops::SameFile(dir.File("src"), dir.File("hard")));
  EXPECT_TRUE(fsops::SameFile(dir.File("src"), dir.File("soft")));
  EXPECT_TRUE(fsops::SameFile(dir.File("src"), dir.File("./src")));
  EXPECT_FALSE(fsops::SameFile(dir.File("src"), dir.File("copy")));
  EXPECT_FALSE(fsops::SameFile(dir.File("src"), dir.File("none")));
  EXPECT_FALSE(fsops::SameFile(dir.File("none"), dir.File("none")));
}

TEST(FsOps, TemporaryNamesAreUniqueHiddenAndBesideTheTarget) {
  TempDir dir;
  // The longest name a file system takes still gets its temporary.
  const std::string target = dir.File(std::string(251, 'n') + ".wav");
  const std::string a = fsops::CreateTemporaryBeside(target);
  const std::string b = fsops::CreateTemporaryBeside(target);
  ASSERT_FALSE(a.empty());
  ASSERT_FALSE(b.empty());
  EXPECT_NE(a, b);
  for (const auto& name : {a, b}) {
    EXPECT_EQ(fsops::FolderOf(name), dir.path().string());
    EXPECT_EQ(std::filesystem::path(name).filename().string()[0], '.') << name;
    EXPECT_TRUE(std::filesystem::is_regular_file(name));
  }
  EXPECT_FALSE(fsops::Exists(target));
  EXPECT_TRUE(fsops::CreateTemporaryBeside(dir.File("missing/x.wav")).empty());
}

TEST(FsOps, TemporaryFilesGetTheModeTheFinalFileShouldHave) {
  TempDir dir;
  const mode_t previous = ::umask(022);
  const auto mode = [](const std::string& path) {
    return std::filesystem::status(path).permissions() & std::filesystem::perms::all;
  };
  using std::filesystem::perms;
  EXPECT_EQ(mode(fsops::CreateTemporaryBeside(dir.File("new.wav"))),
            perms::owner_read | perms::owner_write | perms::group_read | perms::others_read);
  WriteFileBytes(dir.File("old.wav"), {1});
  std::filesystem::permissions(dir.File("old.wav"), perms::owner_read | perms::owner_write);
  EXPECT_EQ(mode(fsops::CreateTemporaryBeside(dir.File("old.wav"))),
            perms::owner_read | perms::owner_write);
  ::umask(previous);
}

TEST(FsOps, RenameReplacesAndRemoveDeletes) {
  TempDir dir;
  WriteFileBytes(dir.File("new"), {9, 9});
  WriteFileBytes(dir.File("old"), {1});
  EXPECT_EQ(fsops::RenameReplacing(dir.File("new"), dir.File("old")), 0);
  EXPECT_EQ(ReadFileBytes(dir.File("old")), (test::Bytes{9, 9}));
  EXPECT_FALSE(fsops::Exists(dir.File("new")));
  EXPECT_EQ(fsops::RemoveFile(dir.File("old")), 0);
  EXPECT_EQ(fsops::RemoveFile(dir.File("old")), ENOENT);
}

TEST(FsOps, SyncReportsMissingPaths) {
  TempDir dir;
  WriteFileBytes(dir.File("f"), {1});
  EXPECT_EQ(fsops::SyncFile(dir.File("f")), 0);
  EXPECT_EQ(fsops::SyncFolder(dir.path().string()), 0);
  EXPECT_EQ(fsops::SyncFile(dir.File("none")), ENOENT);
  EXPECT_EQ(fsops::SyncFolder(dir.File("f")), ENOTDIR);
}

TEST(FsOps, FolderOf) {
  const struct {
    const char* path;
    const char* folder;
  } cases[] = {{"/music/song.wav", "/music"},
               {"/song.wav", "/"},
               {"song.wav", "."},
               {"/音楽/あ.wav", "/音楽"},
               {"a/b/", "a/b"}};
  for (const auto& c : cases) EXPECT_EQ(fsops::FolderOf(c.path), c.folder) << c.path;
}

}  // namespace
}  // namespace snipora
