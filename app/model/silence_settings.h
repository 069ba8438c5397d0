#pragma once

#include "ranges/sounds_between_silences.h"

// The values of "find sounds between silences", kept in the settings file
// between runs.
namespace snipora {

// The stored values (each the default where absent or unreadable).
ranges::SilenceRules LoadSilenceRules();

// Writes the values into their own section and keeps the rest of the file.
bool SaveSilenceRules(const ranges::SilenceRules& rules);

}  // namespace snipora
