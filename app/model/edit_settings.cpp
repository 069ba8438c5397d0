#include "app/model/edit_settings.h"

#include "foundation/ini.h"
#include "foundation/str.h"

namespace snipora {

namespace {

constexpr const char* kSection = "EditSetting";
constexpr const char* kSnapKey = "SnapToZeroCrossings";
constexpr const char* kUnitKey = "ListUnit";

}  // namespace

EditSettings LoadEditSettings() {
  EditSettings settings;
  IniEx ini;
  if (!ini.Load(nullptr, true) || !ini.ChangeSection(kSection)) return settings;
  if (const CStr* snap = ini.FindValue(kSnapKey))
    settings.snapToZeroCrossings = std::string_view(snap->Buffer()) == "1";
  if (const CStr* unit = ini.FindValue(kUnitKey))
    settings.listUnit = ListUnitFromWord(unit->Buffer()).value_or(settings.listUnit);
  return settings;
}

bool SaveEditSettings(const EditSettings& settings) {
  IniEx ini;
  ini.Load(nullptr, true);  // a missing file starts empty
  if (!ini.CreateSection(kSection) || !ini.ChangeSection(kSection)) return false;
  ini.Value(kSnapKey).Assign(settings.snapToZeroCrossings ? "1" : "0");
  ini.Value(kUnitKey).Assign(ListUnitWord(settings.listUnit));
  return ini.Save(nullptr);
}

}  // namespace snipora
