#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>

#include "app/model/ui_language.h"
#include "foundation/ini.h"
#include "tests/support/test_support.h"

namespace snipora {
namespace {

TEST(UiLanguage, ForcedSettingWinsOverTheLocaleWhichFollowsItsVariablesInOrder) {
  using S = LanguageSetting;
  constexpr UiLanguage ja = UiLanguage::Japanese;
  constexpr UiLanguage en = UiLanguage::English;
  struct Case {
    const char* name;
    S setting;
    std::map<std::string, std::string> environment;
    UiLanguage expected;
  };
  const Case cases[] = {
      {"nothing set", S::FollowLocale, {}, en},
      {"Japanese LANG", S::FollowLocale, {{"LANG", "ja_JP.UTF-8"}}, ja},
      {"English LANG", S::FollowLocale, {{"LANG", "en_US.UTF-8"}}, en},
      {"other language", S::FollowLocale, {{"LANG", "de_DE.UTF-8"}}, en},
      {"C locale", S::FollowLocale, {{"LANG", "C"}}, en},
      {"POSIX locale", S::FollowLocale, {{"LC_ALL", "POSIX"}, {"LANG", "ja_JP.UTF-8"}}, en},
      {"LC_MESSAGES over LANG",
       S::FollowLocale,
       {{"LC_MESSAGES", "ja_JP.UTF-8"}, {"LANG", "en_US.UTF-8"}},
       ja},
      {"LC_ALL over LC_MESSAGES",
       S::FollowLocale,
       {{"LC_ALL", "en_GB.UTF-8"}, {"LC_MESSAGES", "ja_JP.UTF-8"}},
       en},
      {"LANGUAGE over LC_ALL",
       S::FollowLocale,
       {{"LANGUAGE", "ja"}, {"LC_ALL", "en_US.UTF-8"}},
       ja},
      {"empty variables are skipped",
       S::FollowLocale,
       {{"LANGUAGE", ""}, {"LC_ALL", ""}, {"LANG", "ja_JP.UTF-8"}},
       ja},
      {"LANGUAGE list: first language we have", S::FollowLocale, {{"LANGUAGE", "fr:ja:en"}}, ja},
      {"LANGUAGE list: English first", S::FollowLocale, {{"LANGUAGE", "en_GB:ja"}}, en},
      {"LANGUAGE list of others decides English",
       S::FollowLocale,
       {{"LANGUAGE", "fr:de"}, {"LANG", "ja_JP.UTF-8"}},
       en},
      {"forced Japanese under English", S::Japanese, {{"LANG", "en_US.UTF-8"}}, ja},
      {"forced English under Japanese",
       S::English,
       {{"LANGUAGE", "ja"}, {"LANG", "ja_JP.UTF-8"}},
       en},
  };
  for (const Case& c : cases) {
    const auto environment = [&c](const char* name) -> const char* {
      const auto found = c.environment.find(name);
      return found == c.environment.end() ? nullptr : found->second.c_str();
    };
    EXPECT_EQ(ChooseUiLanguage(c.setting, environment), c.expected) << c.name;
  }
}

TEST(UiLanguage, SettingIsStoredBesideTheOtherSectionsAndUnknownWordsFollowTheLocale) {
  test::TempDir configHome;
  setenv("XDG_CONFIG_HOME", configHome.path().c_str(), 1);
  EXPECT_EQ(LoadLanguageSetting(), LanguageSetting::FollowLocale);  // no file yet

  IniEx other;
  ASSERT_TRUE(other.CreateSection("RecentFiles") && other.ChangeSection("RecentFiles"));
  other.Value("File1").Assign("/music/a.wav");
  ASSERT_TRUE(other.Save(nullptr));

  for (LanguageSetting setting :
       {LanguageSetting::English, LanguageSetting::Japanese, LanguageSetting::FollowLocale}) {
    ASSERT_TRUE(SaveLanguageSetting(setting));
    EXPECT_EQ(LoadLanguageSetting(), setting) << LanguageSettingWord(setting);
  }
  IniEx kept;
  ASSERT_TRUE(kept.Load(nullptr, true) && kept.ChangeSection("RecentFiles"));
  ASSERT_NE(kept.FindValue("File1"), nullptr);
  EXPECT_STREQ(kept.FindValue("File1")->Buffer(), "/music/a.wav");

  IniEx edited;
  ASSERT_TRUE(edited.Load(nullptr, true) && edited.ChangeSection("LanguageSetting"));
  edited.Value("Language").Assign("fr");
  ASSERT_TRUE(edited.Save(nullptr));
  EXPECT_EQ(LoadLanguageSetting(), LanguageSetting::FollowLocale);
}

}  // namespace
}  // namespace snipora
