#include "app/model/silence_settings.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "foundation/ini.h"
#include "foundation/str.h"

namespace snipora {

namespace {

constexpr const char* kSection = "SilenceSetting";
constexpr const char* kThresholdKey = "ThresholdDb";
constexpr const char* kMinSilenceKey = "MinSilenceMs";
constexpr const char* kMinSoundKey = "MinSoundMs";
constexpr const char* kPadKey = "PadMs";

// The whole text as a number, or nothing.
template <typename T>
std::optional<T> Number(const CStr* value) {
  if (value == nullptr) return std::nullopt;
  const std::string_view text(value->Buffer());
  T number{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return number;
}

}  // namespace

ranges::SilenceRules LoadSilenceRules() {
  ranges::SilenceRules rules;
  IniEx ini;
  if (!ini.Load(nullptr, true) || !ini.ChangeSection(kSection)) return rules;
  // A level above full scale or not a number would find no sound at all.
  if (const auto db = Number<double>(ini.FindValue(kThresholdKey)); db && *db <= 0 && *db > -200)
    rules.thresholdDb = *db;
  const auto take = [&ini](const char* key, uint32_t& field) {
    if (const auto ms = Number<uint32_t>(ini.FindValue(key))) field = *ms;
  };
  take(kMinSilenceKey, rules.minSilenceMs);
  take(kMinSoundKey, rules.minSoundMs);
  take(kPadKey, rules.padMs);
  return rules;
}

bool SaveSilenceRules(const ranges::SilenceRules& rules) {
  IniEx ini;
  ini.Load(nullptr, true);  // a missing file starts empty
  if (!ini.CreateSection(kSection) || !ini.ChangeSection(kSection)) return false;
  ini.Value(kThresholdKey).Format("%g", rules.thresholdDb);
  ini.Value(kMinSilenceKey).Format("%u", rules.minSilenceMs);
  ini.Value(kMinSoundKey).Format("%u", rules.minSoundMs);
  ini.Value(kPadKey).Format("%u", rules.padMs);
  return ini.Save(nullptr);
}

}  // namespace snipora
