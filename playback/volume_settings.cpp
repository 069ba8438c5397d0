#include "playback/volume_settings.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "foundation/ini.h"
#include "foundation/str.h"
#include "playback/main_player.h"
#include "playback/player_flags.h"

namespace snipora {
namespace {

constexpr const char* kSection = "VolumeSetting";
constexpr const char* kDirectSoundKey = "DSVolume";
constexpr const char* kSoftwareKey = "NSVolume";

struct OptionKey {
  const char* key;
  uint32_t bit;
};

// The seven options of the automatic volume control, in the order they are stored.
constexpr OptionKey kOptionKeys[] = {
    {"CDS_OPENVOLUMEMAXIMIZE", CDS_OPENVOLUMEMAXIMIZE},
    {"CDS_AUTOVOLUME", CDS_AUTOVOLUME},
    {"CDS_VOLCTL_VER2", CDS_VOLCTL_VER2},
    {"CDS_AUTOVOLDELAY", CDS_AUTOVOLDELAY},
    {"CDS_AUTOVOLUPENABLE", CDS_AUTOVOLUPENABLE},
    {"CDS_AUTOVOLDELAYRESERVE", CDS_AUTOVOLDELAYRESERVE},
    {"CDS_AUTOVOLSLOWLYAPPLY", CDS_AUTOVOLSLOWLYAPPLY},
};

// Reads a decimal integer the way "%d" scans it (leading blanks, a sign, digits,
// anything after ignored); a text without digits gives `fallback`. Values beyond
// the 32-bit range saturate.
int32_t ParseDecimal(const char* text, int32_t fallback) {
  if (text == nullptr) return fallback;
  char* end = nullptr;
  long long value = std::strtoll(text, &end, 10);
  if (end == text) return fallback;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

}  // namespace

bool LoadVolumeSettings(CMainPlayer& player) {
  IniEx ini;
  if (!ini.Load(nullptr, true)) return false;
  // Without the section every key is missing; keys outside it are not ours.
  bool haveSection = ini.ChangeSection(kSection);
  auto find = [&](const char* key) -> const char* {
    const CStr* value = haveSection ? ini.FindValue(key) : nullptr;
    return value != nullptr ? value->Buffer() : nullptr;
  };

  player.SetDirectSoundVolume(ParseDecimal(find(kDirectSoundKey), 0));
  // A volume the player refuses (negative or above 10000) counts as unreadable: 100.
  if (player.SetSoftwareVolume(static_cast<int16_t>(ParseDecimal(find(kSoftwareKey), 100))) !=
      kPlayerOk) {
    player.SetSoftwareVolume(100);
  }

  uint32_t options = CDS_NOTIFY_STOP;  // the main window always wants the stop notice
  for (const OptionKey& option : kOptionKeys) {
    const char* value = find(option.key);
    if (value != nullptr && std::strcmp(value, "ON") == 0) options |= option.bit;
  }
  player.SetOptions(options);
  return true;
}

bool SaveVolumeSettings(const CMainPlayer& player) {
  IniEx ini;  // a fresh store: nothing of the old file is kept
  if (!ini.CreateSection(kSection) || !ini.ChangeSection(kSection)) return false;
  ini.Value(kDirectSoundKey).Format("%d", player.GetDirectSoundVolume());
  ini.Value(kSoftwareKey).Format("%d", static_cast<int>(player.GetSoftwareVolume()));
  uint32_t options = player.GetOptions();
  for (const OptionKey& option : kOptionKeys) {
    ini.Value(option.key).Assign((options & option.bit) != 0 ? "ON" : "OFF");
  }
  return ini.Save(nullptr);
}

}  // namespace snipora
