#include <gtest/gtest.h>

#include <string>

#include "foundation/ini.h"
#include "tests/foundation/encoding_scope.h"
#include "tests/foundation/ini_test_support.h"

namespace snipora {
namespace {

using test::EncodingScope;
using test::SavedText;
using test::TempDir;

struct LoadCase {
  const char* name;
  std::string text;
  bool loads;
  const char* tree;  // the tree afterwards, as Save writes it
  TextEncoding encoding = TextEncoding::Utf8;
};

TEST(IniLoadTest, LinesAreReadOrRefused) {
  const LoadCase cases[] = {
      {"value line", "Key=Value\n", true, "Key=Value\n"},
      {"no final line feed", "k=v", true, "k=v\n"},
      {"indented", "\t  k=v\n", true, "k=v\n"},
      {"empty value", "Key=\n", true, "Key=\n"},
      {"key needs a byte", "=value\n", true, ""},
      {"key cannot start with =", "=a=b\n  ==c\n", true, ""},
      {"other lines skipped", "; note\n\n# x\nplain\nk=v\n", true, "k=v\n"},
      {"section", "[s]\nk=v\n[EndSection]\n", true, "[s]\n\tk=v\n[EndSection]\n"},
      {"indented section, text after ]", "  [s] tail\n\tk=v\n", true, "[s]\n\tk=v\n[EndSection]\n"},
      {"sections merge", "[s]\na=1\n[EndSection]\n[s]\nb=2\n[EndSection]\n", true,
       "[s]\n\ta=1\n\tb=2\n[EndSection]\n"},
      {"last value wins", "k=1\nk=2\n", true, "k=2\n"},
      {"end marker anywhere in the line", "[s]\nx [EndSection] y\nk=v\n", true,
       "k=v\n[s]\n[EndSection]\n"},
      {"end marker at the root", "k=v\n[EndSection]\nx=1\n", false, "k=v\n"},
      {"dot in a section name", "a=1\n[a.b]\nb=2\n", false, "a=1\n"},
      {"slash in a section name", "[s]\n[a/b]\n", false, "[s]\n[EndSection]\n"},
      {"empty brackets skipped", "[]\nk=v\n", true, "k=v\n"},
      {"value line before section line", "[x]=1\n", true, "[x]=1\n"},
      {"end marker as a key", "[EndSection]=1\n", true, "[EndSection]=1\n"},
      {"escapes", "k=a\\tb\\nc\\\\d\\q\\\n", true, "k=a\\tb\\nc\\\\d\n"},
      {"nul ends a line", std::string("k=v\0junk\nx=y\n", 13), true, "k=v\nx=y\n"},
      {"cp932 name with ] as second byte", "[\x83\x5d]\n", true, "[\x83\x5d]\n[EndSection]\n",
       TextEncoding::CodePage932},
      {"same bytes in utf-8", "[\x83\x5d]\n", true, "[\x83]\n[EndSection]\n"},
      {"cp932 value with \\ as second byte", "k=\x95\x5c\n", true, "k=\x95\x5c\n",
       TextEncoding::CodePage932},
  };
  for (const LoadCase& c : cases) {
    EncodingScope scope(c.encoding);
    IniEx ini;
    EXPECT_EQ(ini.LoadText(c.text.data(), c.text.size()), c.loads) << c.name;
    EXPECT_EQ(SavedText(ini), c.tree) << c.name;
  }
}

TEST(IniLoadTest, KeysAndValuesAroundTheEqualsSign) {
  const std::string text = "key = value\nA=B=C\n";
  IniEx ini;
  ASSERT_TRUE(ini.LoadText(text.data(), text.size()));
  ASSERT_NE(ini.FindValue("key "), nullptr);
  EXPECT_STREQ(ini.FindValue("key ")->Buffer(), " value");
  ASSERT_NE(ini.FindValue("A"), nullptr);
  EXPECT_STREQ(ini.FindValue("A")->Buffer(), "B=C");
}

TEST(IniLoadTest, FailedLoadStopsWhereTheLineLeftIt) {
  const std::string text = "[a]\n[b]\nk=v\n[c.d]\nlater=1\n";
  IniEx ini;
  EXPECT_FALSE(ini.LoadText(text.data(), text.size()));
  EXPECT_STREQ(ini.CurrentPath().Buffer(), "a/b");
  EXPECT_EQ(ini.FindValue("later"), nullptr);
  ASSERT_NE(ini.FindValue("k"), nullptr);
}

TEST(IniLoadTest, FileLoadClearsFirstAndRemembersThePath) {
  TempDir dir;
  const std::string path = dir.File("a.ini");
  test::WriteText(path, "[s]\nk=v\n[EndSection]\n");
  IniEx ini;
  ini.Value("old").Assign("1");
  ASSERT_TRUE(ini.Load(path.c_str(), false));
  EXPECT_NE(ini.FindValue("old"), nullptr) << "no clear: the tree is kept";
  EXPECT_EQ(ini.CurrentSection(), ini.RootSection());
  ASSERT_TRUE(ini.Load(path.c_str(), true));
  EXPECT_EQ(ini.FindValue("old"), nullptr);
  EXPECT_STREQ(ini.FilePath().Buffer(), path.c_str());

  ini.Value("new").Assign("2");
  ASSERT_TRUE(ini.Save(nullptr));  // back to the file loaded
  EXPECT_EQ(test::ReadText(path), "new=2\n[s]\n\tk=v\n[EndSection]\n");

  EXPECT_FALSE(ini.Load(dir.File("missing.ini").c_str(), true));
  EXPECT_EQ(SavedText(ini), "") << "a missing file still clears the tree";
  EXPECT_FALSE(ini.Load(dir.path().c_str(), true)) << "a folder is not a file";
}

TEST(IniLoadTest, SettingsFileIsTheDefault) {
  TempDir dir;
  test::ConfigHomeScope scope(dir.path().string());
  IniEx writer;
  ASSERT_TRUE(writer.CreateSection("VolumeSetting"));
  ASSERT_TRUE(writer.ChangeSection("VolumeSetting"));
  writer.Value("DSVolume").Assign("-300");
  ASSERT_TRUE(writer.Save(nullptr));

  IniEx reader;
  ASSERT_TRUE(reader.Load(nullptr, true));
  EXPECT_STREQ(reader.FilePath().Buffer(), dir.File("snipora/snipora.ini").c_str());
  ASSERT_TRUE(reader.ChangeSection("VolumeSetting"));
  ASSERT_NE(reader.FindValue("DSVolume"), nullptr);
  EXPECT_STREQ(reader.FindValue("DSVolume")->Buffer(), "-300");
}

// Deterministic pseudo-random numbers for generated trees and texts.
class Random {
 public:
  explicit Random(uint32_t seed) : state_(seed * 2654435761u + 1) {}
  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  uint32_t Below(uint32_t n) { return Next() % n; }

 private:
  uint32_t state_;
};

// One well-formed character of the encoding: ASCII from `ascii`, or a
// multi-byte character.
void AppendCharacter(std::string& out, Random& random, const char* ascii, TextEncoding encoding) {
  if (random.Below(4) != 0) {
    out += ascii[random.Below(static_cast<uint32_t>(std::char_traits<char>::length(ascii)))];
  } else if (encoding == TextEncoding::CodePage932) {
    out +=
        static_cast<char>(random.Below(2) ? 0x81 + random.Below(0x1F) : 0xE0 + random.Below(0x1D));
    uint32_t trail = 0x40 + random.Below(0xBD);
    if (trail == 0x7F) trail = 0x5C;
    out += static_cast<char>(trail);
  } else {
    const uint32_t code = 0x3041 + random.Below(0x60);  // hiragana: three bytes
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

std::string RandomText(Random& random, const char* ascii, TextEncoding encoding,
                       uint32_t maxChars) {
  std::string text;
  const uint32_t count = random.Below(maxChars) + 1;
  for (uint32_t i = 0; i < count; ++i) AppendCharacter(text, random, ascii, encoding);
  return text;
}

// A name: the loader drops indentation, so a name never starts with it.
std::string RandomName(Random& random, const char* ascii, TextEncoding encoding,
                       uint32_t maxChars) {
  std::string name = RandomText(random, ascii, encoding, maxChars);
  if (name[0] == ' ') name[0] = '_';
  return name;
}

// Fills the current section of ini with random values and subsections.
void FillRandomly(IniEx& ini, Random& random, TextEncoding encoding, int depth) {
  // Names cannot start with indentation, hold '=' or a line feed; section
  // names also exclude '/', '.', ']'.
  const char* keyBytes = "abcXYZ019_-[] ;#/.\\";
  const char* sectionBytes = "abcXYZ019_- [;#\\";
  const char* valueBytes = "ab \t\n\\=[]./;%";
  const uint32_t values = random.Below(6);
  for (uint32_t i = 0; i < values; ++i) {
    const std::string key = RandomName(random, keyBytes, encoding, 40);
    ini.Value(key.c_str()).Assign(RandomText(random, valueBytes, encoding, 60).c_str());
  }
  if (depth == 0) return;
  const uint32_t sections = random.Below(4);
  for (uint32_t i = 0; i < sections; ++i) {
    const std::string name = RandomName(random, sectionBytes, encoding, 12);
    ASSERT_TRUE(ini.CreateSection(name.c_str())) << name;
    ASSERT_TRUE(ini.ChangeSection(name.c_str()));
    FillRandomly(ini, random, encoding, depth - 1);
    ASSERT_TRUE(ini.ChangeSection(".."));
  }
}

TEST(IniLoadTest, SavedTreesReadBackEqual) {
  for (TextEncoding encoding : {TextEncoding::Utf8, TextEncoding::CodePage932}) {
    EncodingScope scope(encoding);
    for (uint32_t seed = 1; seed <= 150; ++seed) {
      Random random(seed);
      IniEx original;
      FillRandomly(original, random, encoding, 3);
      const std::string saved = SavedText(original);
      IniEx copy;
      ASSERT_TRUE(copy.LoadText(saved.data(), saved.size())) << "seed " << seed;
      ASSERT_EQ(SavedText(copy), saved) << "seed " << seed;
    }
  }
}

TEST(IniLoadTest, ArbitraryTextLoadsOrIsRefusedAndSavesCleanly) {
  const char alphabet[] = "[]=\n\t \\/.aE\r\x81\x5c\xe3\x80\xff";
  for (TextEncoding encoding : {TextEncoding::Utf8, TextEncoding::CodePage932}) {
    EncodingScope scope(encoding);
    for (uint32_t seed = 1; seed <= 300; ++seed) {
      Random random(seed);
      std::string text;
      const uint32_t length = random.Below(3000);
      for (uint32_t i = 0; i < length; ++i) {
        // Now and then a whole structural line, else single bytes (NUL included).
        switch (random.Below(40)) {
          case 0:
            text += "[EndSection]\n";
            break;
          case 1:
            text += "[s]\n";
            break;
          case 2:
            text += '\0';
            break;
          default:
            text += alphabet[random.Below(sizeof(alphabet) - 1)];
        }
      }
      IniEx ini;
      ini.LoadText(text.data(), text.size());
      // Whatever was read, its saved form reads back to the same tree.
      const std::string saved = SavedText(ini);
      IniEx copy;
      ASSERT_TRUE(copy.LoadText(saved.data(), saved.size())) << "seed " << seed;
      ASSERT_EQ(SavedText(copy), saved) << "seed " << seed;
    }
  }
}

TEST(IniLoadTest, DeepNestingLoads) {
  std::string text;
  for (int i = 0; i < 50000; ++i) text += "[n]\n";
  text += "k=v\n";
  IniEx ini;
  ASSERT_TRUE(ini.LoadText(text.data(), text.size()));
  std::string path = "n";
  for (int i = 1; i < 50000; ++i) path += "/n";
  ASSERT_NE(ini.FindValue((path + "/k").c_str()), nullptr);
}

}  // namespace
}  // namespace snipora
