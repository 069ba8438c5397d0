#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "foundation/ini.h"
#include "tests/foundation/encoding_scope.h"
#include "tests/foundation/ini_test_support.h"
#include "tests/platform/system/file_size_limit.h"

namespace snipora {
namespace {

using test::EncodingScope;
using test::SavedText;
using test::TempDir;

TEST(IniTreeTest, NameHashAndBucket) {
  EXPECT_EQ(IniNameHash("abc", 3), 75854u);
  EXPECT_EQ(IniNameHash("abc", 3) % 32, 14u);
  // Bytes count as signed: 0x80 is -128.
  EXPECT_EQ(IniNameHash("\x80", 1), static_cast<uint32_t>(-128 * 257));
  EXPECT_EQ(IniNameHash("", 0), 0u);
}

TEST(IniTreeTest, VolumeKeysAreSavedInBucketOrder) {
  const char* const assigned[] = {"DSVolume",
                                  "NSVolume",
                                  "CDS_OPENVOLUMEMAXIMIZE",
                                  "CDS_AUTOVOLUME",
                                  "CDS_VOLCTL_VER2",
                                  "CDS_AUTOVOLDELAY",
                                  "CDS_AUTOVOLUPENABLE",
                                  "CDS_AUTOVOLDELAYRESERVE",
                                  "CDS_AUTOVOLSLOWLYAPPLY"};
  IniEx ini;
  ASSERT_TRUE(ini.CreateSection("VolumeSetting"));
  ASSERT_TRUE(ini.ChangeSection("VolumeSetting"));
  for (const char* key : assigned) ini.Value(key).Assign("OFF");
  ini.Value("DSVolume").Assign("-600");
  ini.Value("NSVolume").Assign("100");

  EXPECT_EQ(SavedText(ini),
            "[VolumeSetting]\n"
            "\tDSVolume=-600\n"
            "\tCDS_VOLCTL_VER2=OFF\n"
            "\tCDS_AUTOVOLDELAYRESERVE=OFF\n"
            "\tNSVolume=100\n"
            "\tCDS_OPENVOLUMEMAXIMIZE=OFF\n"
            "\tCDS_AUTOVOLUME=OFF\n"
            "\tCDS_AUTOVOLUPENABLE=OFF\n"
            "\tCDS_AUTOVOLDELAY=OFF\n"
            "\tCDS_AUTOVOLSLOWLYAPPLY=OFF\n"
            "[EndSection]\n");
}

TEST(IniTreeTest, LargeMapsKeepBucketOrderAndFindEveryName) {
  IniEx ini;
  std::vector<std::vector<std::string>> lines(32);  // expected lines by bucket
  for (int i = 0; i < 3000; ++i) {
    const std::string key = "k" + std::to_string(i * 7919 % 10007);
    ini.Value(key.c_str()).Assign(std::to_string(i).c_str());
    lines[IniNameHash(key.data(), static_cast<uint32_t>(key.size())) % 32].push_back(
        key + "=" + std::to_string(i) + "\n");
  }
  ini.Value("k0").Assign("again");  // an existing name is not added twice
  lines[IniNameHash("k0", 2) % 32].front() = "k0=again\n";
  std::string expected;
  for (const auto& bucket : lines) {
    for (const std::string& line : bucket) expected += line;
  }
  EXPECT_EQ(SavedText(ini), expected);
  for (int i = 1; i < 3000; ++i) {
    const std::string key = "k" + std::to_string(i * 7919 % 10007);
    const CStr* value = ini.FindValue(key.c_str());
    ASSERT_NE(value, nullptr) << key;
    EXPECT_EQ(std::string(value->Buffer()), std::to_string(i));
  }
}

TEST(IniTreeTest, NestedSectionsAreIndentedAndClosed) {
  IniEx ini;
  ini.Value("Key").Assign("Value");
  ASSERT_TRUE(ini.CreateSection("VolumeSetting"));
  ASSERT_TRUE(ini.ChangeSection("VolumeSetting"));
  ini.Value("DSVolume").Assign("0");
  ASSERT_TRUE(ini.CreateSection("Sub"));
  ASSERT_TRUE(ini.ChangeSection("Sub"));
  ini.Value("a").Assign("1");
  EXPECT_EQ(SavedText(ini),
            "Key=Value\n"
            "[VolumeSetting]\n"
            "\tDSVolume=0\n"
            "\t[Sub]\n"
            "\t\ta=1\n"
            "\t[EndSection]\n"
            "[EndSection]\n");
}

struct EscapeCase {
  const char* name;
  TextEncoding encoding;
  const char* value;
  const char* saved;
};

TEST(IniTreeTest, ValuesAreEscapedOnSave) {
  const EscapeCase cases[] = {
      {"controls", TextEncoding::Utf8, "a\tb\nc\\d", "k=a\\tb\\nc\\\\d\n"},
      {"plain", TextEncoding::Utf8, "x = y [z]", "k=x = y [z]\n"},
      // 0x5C after a code page 932 lead byte is half of a character, not a backslash.
      {"cp932 second byte", TextEncoding::CodePage932, "\x95\x5c\\", "k=\x95\x5c\\\\\n"},
      {"same bytes in utf-8", TextEncoding::Utf8, "\x95\x5c", "k=\x95\\\\\n"},
      {"utf-8 text", TextEncoding::Utf8, "\xE3\x81\x82\t", "k=\xE3\x81\x82\\t\n"},
  };
  for (const EscapeCase& c : cases) {
    EncodingScope scope(c.encoding);
    IniEx ini;
    ini.Value("k").Assign(c.value);
    EXPECT_EQ(SavedText(ini), c.saved) << c.name;
  }
}

struct PathStep {
  const char* path;
  bool changes;
  const char* currentPath;  // after the step
};

TEST(IniTreeTest, ChangeSectionFollowsPaths) {
  IniEx ini;
  ASSERT_TRUE(ini.CreateSection("a"));
  ASSERT_TRUE(ini.ChangeSection("a"));
  ASSERT_TRUE(ini.CreateSection("b"));
  ASSERT_TRUE(ini.ChangeSection("b"));
  ASSERT_TRUE(ini.CreateSection("c"));
  ASSERT_TRUE(ini.ChangeSection("/"));

  const PathStep steps[] = {
      {"a/b", true, "a/b"},       {"..", true, "a"},        {"b/c", true, "a/b/c"},
      {"../..", true, "a"},       {"/a//b/", true, "a/b"},  {"/", true, ""},
      {"..", false, ""},          {"a/missing", false, ""}, {"a/b/c/../../..", true, ""},
      {"/a/../a/b", true, "a/b"}, {"/..", false, "a/b"},    {"c/x", false, "a/b"},
      {"", true, "a/b"},          {"a.b", false, "a/b"},
  };
  for (const PathStep& step : steps) {
    IniSection* before = ini.CurrentSection();
    EXPECT_EQ(ini.ChangeSection(step.path), step.changes) << step.path;
    if (!step.changes) {
      EXPECT_EQ(ini.CurrentSection(), before) << step.path;
    }
    EXPECT_STREQ(ini.CurrentPath().Buffer(), step.currentPath) << step.path;
  }
  EXPECT_EQ(ini.FindSection("/a/b"), ini.CurrentSection());
}

TEST(IniTreeTest, FindSectionLeavesTheCurrentSection) {
  IniEx ini;
  ASSERT_TRUE(ini.CreateSection("a"));
  ASSERT_TRUE(ini.ChangeSection("a"));
  ASSERT_TRUE(ini.CreateSection("b"));
  IniSection* a = ini.CurrentSection();
  IniSection* b = ini.FindSection("b");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->parent, a);
  EXPECT_EQ(ini.FindSection("/a/b"), b);
  EXPECT_EQ(ini.FindSection(".."), ini.RootSection());
  EXPECT_EQ(ini.FindSection("/b"), nullptr);
  EXPECT_EQ(ini.FindSection("/.."), nullptr);
  EXPECT_EQ(ini.CurrentSection(), a);
}

TEST(IniTreeTest, CreateSectionRefusesPathCharacters) {
  IniEx ini;
  EXPECT_FALSE(ini.CreateSection("a.b"));
  EXPECT_FALSE(ini.CreateSection("a/b"));
  EXPECT_FALSE(ini.CreateSection(".."));
  EXPECT_FALSE(ini.CreateSection(""));
  EXPECT_TRUE(ini.CreateSection("a"));
  ASSERT_TRUE(ini.ChangeSection("a"));
  ini.Value("k").Assign("v");
  ASSERT_TRUE(ini.ChangeSection("/"));
  EXPECT_TRUE(ini.CreateSection("a"));  // exists: nothing new, contents kept
  EXPECT_EQ(SavedText(ini), "[a]\n\tk=v\n[EndSection]\n");
}

TEST(IniTreeTest, ValuesByKeyAndPath) {
  IniEx ini;
  ini.Value("top").Assign("1");
  ASSERT_TRUE(ini.CreateSection("s"));
  ASSERT_TRUE(ini.ChangeSection("s"));
  CStr& inner = ini.Value("inner");
  inner.Assign("2");
  EXPECT_EQ(&ini.Value("inner"), &inner);

  EXPECT_EQ(ini.FindValue("inner"), &inner);
  EXPECT_EQ(ini.FindValue("top"), nullptr);
  ASSERT_NE(ini.FindValue("/top"), nullptr);
  EXPECT_STREQ(ini.FindValue("/top")->Buffer(), "1");
  EXPECT_EQ(ini.FindValue("../top"), ini.FindValue("/top"));
  EXPECT_EQ(ini.FindValue("/s/inner"), &inner);
  EXPECT_EQ(ini.FindValue("/missing/inner"), nullptr);
  EXPECT_STREQ(ini.CurrentPath().Buffer(), "s");

  EXPECT_THROW(ini.FindValue("a=b"), int);
  EXPECT_THROW(ini.Value("a=b"), int);
  EXPECT_EQ(ini.FindValue("Top"), nullptr) << "names are case-sensitive";
}

TEST(IniTreeTest, LongAndShortNamesAreKeptWhole) {
  IniEx ini;
  std::vector<std::string> names;
  for (size_t length : {1, 29, 30, 31, 32, 200}) names.emplace_back(length, 'n');
  names.push_back(std::string(40, 'a') + "1");
  names.push_back(std::string(40, 'a') + "2");
  for (const std::string& name : names) ini.Value(name.c_str()).Assign(name.c_str());
  IniEx other;  // shares the process-wide list of long names
  other.Value(names.back().c_str()).Assign("other");
  for (const std::string& name : names) {
    const CStr* value = ini.FindValue(name.c_str());
    ASSERT_NE(value, nullptr) << name.size();
    EXPECT_EQ(std::string(value->Buffer()), name);
  }
  EXPECT_NE(SavedText(ini).find(std::string(200, 'n') + "=" + std::string(200, 'n') + "\n"),
            std::string::npos);
}

TEST(IniTreeTest, ClearEmptiesTheTreeAndReusesItsElements) {
  IniEx ini;
  for (int round = 0; round < 3; ++round) {
    ini.Clear();
    ASSERT_TRUE(ini.CreateSection("s"));
    ASSERT_TRUE(ini.ChangeSection("s"));
    EXPECT_EQ(ini.FindValue("k"), nullptr) << "round " << round;
    ini.Value("k").Assign(round == 0 ? "first" : "again");
  }
  EXPECT_EQ(ini.CurrentSection()->parent, ini.RootSection());
  EXPECT_EQ(SavedText(ini), "[s]\n\tk=again\n[EndSection]\n");
}

TEST(IniTreeTest, SaveWithoutPathMakesTheSettingsFolder) {
  TempDir dir;
  test::ConfigHomeScope scope(dir.File("config"));
  IniEx ini;
  ini.Value("k").Assign("v");
  ASSERT_TRUE(ini.Save(nullptr));
  EXPECT_EQ(test::ReadText(dir.File("config/snipora/snipora.ini")), "k=v\n");
}

TEST(IniTreeTest, FailedSaveKeepsThePreviousFile) {
  TempDir dir;
  const std::string path = dir.File("settings.ini");
  IniEx small;
  small.Value("k").Assign("old");
  ASSERT_TRUE(small.Save(path.c_str()));

  IniEx big;
  for (int i = 0; i < 2000; ++i) big.Value(std::to_string(i).c_str()).Assign("some value text");
  {
    test::FileSizeLimit limit(4096);
    ASSERT_TRUE(limit.active());
    EXPECT_FALSE(big.Save(path.c_str()));
  }
  EXPECT_EQ(test::ReadText(path), "k=old\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);

  EXPECT_FALSE(small.Save(dir.File("no/such/folder.ini").c_str()));
}

}  // namespace
}  // namespace snipora
