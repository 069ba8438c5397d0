#include "app/model/ui_language.h"

#include <string>

#include "foundation/ini.h"
#include "foundation/str.h"

namespace snipora {

namespace {

constexpr const char* kSection = "LanguageSetting";
constexpr const char* kKey = "Language";

UiLanguage LanguageOfLocale(std::string_view locale) {
  return locale.starts_with("ja") ? UiLanguage::Japanese : UiLanguage::English;
}

}  // namespace

UiLanguage LocaleLanguage(const EnvironmentReader& environment) {
  for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = environment(name);
    if (value == nullptr || *value == '\0') continue;
    if (std::string_view(name) != "LANGUAGE") return LanguageOfLocale(value);
    // A list of preferences: the first language the program has decides.
    std::string_view list = value;
    while (!list.empty()) {
      const size_t colon = list.find(':');
      const std::string_view entry = list.substr(0, colon);
      if (entry.starts_with("ja")) return UiLanguage::Japanese;
      if (entry.starts_with("en")) return UiLanguage::English;
      list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
    }
    return UiLanguage::English;
  }
  return UiLanguage::English;
}

UiLanguage ChooseUiLanguage(LanguageSetting setting, const EnvironmentReader& environment) {
  switch (setting) {
    case LanguageSetting::Japanese:
      return UiLanguage::Japanese;
    case LanguageSetting::English:
      return UiLanguage::English;
    default:
      return LocaleLanguage(environment);
  }
}

const char* LanguageSettingWord(LanguageSetting setting) {
  switch (setting) {
    case LanguageSetting::Japanese:
      return "ja";
    case LanguageSetting::English:
      return "en";
    default:
      return "auto";
  }
}

std::optional<LanguageSetting> LanguageSettingFromWord(std::string_view word) {
  for (LanguageSetting setting :
       {LanguageSetting::FollowLocale, LanguageSetting::Japanese, LanguageSetting::English}) {
    if (word == LanguageSettingWord(setting)) return setting;
  }
  return std::nullopt;
}

LanguageSetting LoadLanguageSetting() {
  IniEx ini;
  if (!ini.Load(nullptr, true) || !ini.ChangeSection(kSection))
    return LanguageSetting::FollowLocale;
  const CStr* value = ini.FindValue(kKey);
  if (value == nullptr) return LanguageSetting::FollowLocale;
  return LanguageSettingFromWord(value->Buffer()).value_or(LanguageSetting::FollowLocale);
}

bool SaveLanguageSetting(LanguageSetting setting) {
  IniEx ini;
  ini.Load(nullptr, true);  // a missing file starts empty
  if (!ini.CreateSection(kSection) || !ini.ChangeSection(kSection)) return false;
  ini.Value(kKey).Assign(LanguageSettingWord(setting));
  return ini.Save(nullptr);
}

}  // namespace snipora
