#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "app/model/main_window_model.h"

// What the main window shows for a state of its model: the enabled state and
// text of every control that follows the state, the slider and the title.
namespace snipora {

struct ControlView {
  bool enabled = true;
  std::optional<std::string> text;  // none: the control keeps its template text
};

// In slider steps of 2^frameShift frames: Qt's slider holds an int, so a file
// of more than INT32_MAX frames is shown in steps of 2, 4 ... frames.
struct SliderView {
  uint32_t frameShift = 0;
  uint32_t maximum = 0;           // frames of the file
  uint32_t lineStep = 0;          // frames per millisecond
  uint32_t pageStep = 0;          // frames per quarter second
  std::optional<uint32_t> value;  // none while the slider is dragged
};

struct MainWindowView {
  std::map<int, ControlView> controls;  // by control id
  std::map<int, bool> commands;         // menu commands that follow the state: enabled
  const char* undoStep = nullptr;       // what Edit → Undo and Redo name, marked for translation
  const char* redoStep = nullptr;
  SliderView slider;
  std::string title;
};

// The one place that says which control is enabled and what it reads; with
// no file open every control that needs one is disabled.
MainWindowView DeriveMainWindowView(const CMainWindowModel& model);

// A two-line display: milliseconds over frames, "%u\n%u".
std::string TwoLineText(uint64_t milliseconds, uint64_t frames);

}  // namespace snipora
