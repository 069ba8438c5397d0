#include "audiofile/paths.h"

#include <gtest/gtest.h>

#include <climits>

#include "foundation/text_encoding.h"
#include "platform/system/file_io.h"

namespace snipora {
namespace {

TEST(PathsTest, NormaliseFullPath) {
  const std::string cwd = fileio::CurrentDirectory();
  ASSERT_FALSE(cwd.empty());
  const std::string parent = cwd == "/" ? "/" : cwd.substr(0, cwd.rfind('/'));
  struct Row {
    std::string input;
    std::string expected;
  } rows[] = {
      {"/music/a.wav", "/music/a.wav"},
      {"\"/music/a b.wav\"", "/music/a b.wav"},
      {"\"/music/open.wav", "/music/open.wav"},
      {"/music//x/./../a.wav", "/music/a.wav"},
      {"/music/a.wav/", "/music/a.wav"},
      {"/../a.wav", "/a.wav"},
      {"/", "/"},
      {"a.wav", cwd + (cwd == "/" ? "" : "/") + "a.wav"},
      {"../a.wav", parent + (parent == "/" ? "" : "/") + "a.wav"},
      // Legal name characters on POSIX stay.
      {"/music/a.wav:x", "/music/a.wav:x"},
      {"/music/a.wav. .", "/music/a.wav. ."},
      {"/music/あ.wav", "/music/あ.wav"},
  };
  for (const Row& row : rows) {
    const auto result = NormaliseFullPath(row.input);
    ASSERT_TRUE(result.has_value()) << row.input;
    EXPECT_EQ(*result, row.expected) << row.input;
  }
  EXPECT_FALSE(NormaliseFullPath(""));
  EXPECT_FALSE(NormaliseFullPath("\"\""));
  EXPECT_TRUE(NormaliseFullPath("/" + std::string(PATH_MAX - 2, 'a')))
      << "longer than 256 bytes is fine";
  EXPECT_FALSE(NormaliseFullPath("/" + std::string(PATH_MAX, 'a')));
}

TEST(PathsTest, FileTitle) {
  struct Row {
    const char* input;
    const char* expected;
  } rows[] = {
      {"/dir/song.wav", "song"},
      {"/dir/name.part.wav", "name.part"},
      {"song", "song"},
      {"/dir.d/song", "song"},
      {"/dir/song.wav.", "song"},
      {"\"/dir/song.wav.\"", "song"},
      {"/dir/a.b.c..", "a.b"},
      {"/music/あ.wav", "あ"},
      {"/dir/", ""},
  };
  for (const Row& row : rows) EXPECT_EQ(FileTitle(row.input), row.expected) << row.input;
}

TEST(PathsTest, FindLastStepsOverMultiByteCharacters) {
  EXPECT_EQ(FindLast("a.b.c", "."), 3);
  EXPECT_EQ(FindLast("abc", "."), -1);
  EXPECT_EQ(FindLast("abc", ""), -1);
  EXPECT_EQ(FindLast("aaaa", "aa"), 2);
  EXPECT_EQ(FindLast("/x/あ.wav", "."), 6);

  SetTextEncoding(TextEncoding::CodePage932);
  // 0x83 0x5C is one character whose second byte looks like '\'; 0x81 0x40
  // and 0x88 0x2E are not valid pairs for '.' but the scanner still takes
  // the byte after a lead byte as part of the character.
  EXPECT_EQ(FindLast("\x83\x5C", "\\"), -1);
  EXPECT_EQ(FindLast("a\\\x83\x5C", "\\"), 1);
  EXPECT_EQ(FindLast("\x88\x2E"
                     "b",
                     "."),
            -1);
  EXPECT_EQ(FindLast("\x88\x2E.b", "."), 2);
  SetTextEncoding(TextEncoding::Utf8);
}

}  // namespace
}  // namespace snipora
