#pragma once

#include "app/model/list_cells.h"

// How the window edits, kept in the settings file between runs: snapping to
// zero crossings and the unit of the reservation list.
namespace snipora {

struct EditSettings {
  bool snapToZeroCrossings = false;
  ListUnit listUnit = ListUnit::Samples;
};

// The stored settings (the defaults where absent or unreadable).
EditSettings LoadEditSettings();

// Writes the settings into their own section and keeps the rest of the file.
bool SaveEditSettings(const EditSettings& settings);

}  // namespace snipora
