#include "platform/system/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "tests/platform/system/file_size_limit.h"
#include "tests/support/test_support.h"

namespace snipora {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

std::string ReadText(const std::string& path) {
  const test::Bytes bytes = test::ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

bool Write(const std::string& path, const std::string& text, bool createFolders = false) {
  return WriteFileAtomically(path, text.data(), text.size(), createFolders);
}

size_t EntriesIn(const fs::path& folder) {
  size_t count = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    (void)entry;
    ++count;
  }
  return count;
}

TEST(AtomicFileTest, CreatesAndReplacesKeepingPermissions) {
  TempDir dir;
  const std::string path = dir.File("settings.ini");
  ASSERT_TRUE(Write(path, "first"));
  EXPECT_EQ(ReadText(path), "first");

  chmod(path.c_str(), 0640);
  ASSERT_TRUE(Write(path, "second, longer"));
  EXPECT_EQ(ReadText(path), "second, longer");
  struct stat status {};
  ASSERT_EQ(stat(path.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0640u);
  EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

TEST(AtomicFileTest, MakesMissingFoldersOnlyWhenAsked) {
  TempDir dir;
  const std::string path = dir.File("a/b/snipora.ini");
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(path, "x", 1, false, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(fs::exists(dir.path() / "a"));
  ASSERT_TRUE(Write(path, "x", true));
  EXPECT_EQ(ReadText(path), "x");
}

TEST(AtomicFileTest, FailedWriteLeavesTheOldFileIntact) {
  TempDir dir;
  const std::string path = dir.File("settings.ini");
  ASSERT_TRUE(Write(path, "old content"));

  const std::string big(100000, 'n');
  std::string error;
  bool written = true;
  {
    test::FileSizeLimit limit(4096);
    ASSERT_TRUE(limit.active());
    written = WriteFileAtomically(path, big.data(), big.size(), false, &error);
  }
  EXPECT_FALSE(written);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(ReadText(path), "old content");
  EXPECT_EQ(EntriesIn(dir.path()), 1u) << "the temporary file must be removed";
}

TEST(AtomicFileTest, RefusesToReplaceAFolder) {
  TempDir dir;
  fs::create_directory(dir.path() / "taken");
  EXPECT_FALSE(Write(dir.File("taken"), "x"));
  EXPECT_TRUE(fs::is_directory(dir.path() / "taken"));
  EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

TEST(AtomicFileTest, SymbolicLinkIsFollowed) {
  TempDir dir;
  const std::string real = dir.File("real.ini");
  const std::string link = dir.File("link.ini");
  ASSERT_TRUE(Write(real, "old"));
  fs::create_symlink(real, link);
  ASSERT_TRUE(Write(link, "new"));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadText(real), "new");
}

TEST(AtomicFileTest, ReadWholeFileReturnsEveryByte) {
  TempDir dir;
  const test::Bytes bytes = test::SeededBytes(300000, 7);
  const std::string path = dir.File("data");
  ASSERT_TRUE(WriteFileAtomically(path, bytes.data(), bytes.size(), false));
  std::string contents;
  ASSERT_TRUE(ReadWholeFile(path, contents));
  EXPECT_EQ(test::Bytes(contents.begin(), contents.end()), bytes);

  EXPECT_FALSE(ReadWholeFile(dir.File("missing"), contents));
  EXPECT_FALSE(ReadWholeFile(dir.path().string(), contents));
}

}  // namespace
}  // namespace snipora
