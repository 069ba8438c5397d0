#pragma once

#include <functional>
#include <optional>
#include <string_view>

// The language of the interface: the locale's, unless the settings force one.
namespace snipora {

enum class UiLanguage { Japanese, English };

// What the settings file says; FollowLocale when it says nothing.
enum class LanguageSetting { FollowLocale, Japanese, English };

// Reads an environment variable; null or "" when unset.
using EnvironmentReader = std::function<const char*(const char*)>;

// The locale's language: the first non-empty of LANGUAGE (a colon list, whose
// first Japanese or English entry counts), LC_ALL, LC_MESSAGES and LANG decides;
// "ja..." is Japanese, anything else (C and POSIX too) is English.
UiLanguage LocaleLanguage(const EnvironmentReader& environment);

// The language the interface shows: the forced one, or the locale's.
UiLanguage ChooseUiLanguage(LanguageSetting setting, const EnvironmentReader& environment);

// The setting as the settings file stores it, and back (nullopt for an unknown word).
const char* LanguageSettingWord(LanguageSetting setting);
std::optional<LanguageSetting> LanguageSettingFromWord(std::string_view word);

// The stored setting of the settings file (FollowLocale when absent or unreadable).
LanguageSetting LoadLanguageSetting();

// Writes the setting into its own section and keeps the rest of the settings file.
bool SaveLanguageSetting(LanguageSetting setting);

}  // namespace snipora
