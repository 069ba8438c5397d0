#include "app/model/main_window_view.h"

#include <climits>

#include "audiofile/sound_units.h"
#include "export/fade.h"
#include "resources/control_ids.h"
#include "resources/dialog_templates.h"
#include "resources/menu_template.h"

namespace snipora {

namespace {

// The controls besides the step buttons.
constexpr int kFileControls[] = {kCtlPositionSlider,
                                 kCtlReservationList,
                                 kCtlPlay,
                                 kCtlMarker1Toggle,
                                 kCtlMarker2Toggle,
                                 kCtlAddReservation,
                                 kCtlJump,
                                 kCtlPlayBetweenMarkers,
                                 kCtlMarker1GoTo,
                                 kCtlRemoveReservation,
                                 kCtlLengthDisplay,
                                 kCtlPositionDisplay,
                                 kCtlMarker1Display,
                                 kCtlMarker2Display,
                                 kCtlMarker2GoTo,
                                 kCtlReadReservation,
                                 kCtlPlayToMarker,
                                 kCtlPlayTwoSecondsBeforeMarker,
                                 kCtlMarkerLoop,
                                 kCtlFadeOut,
                                 kCtlFadeLength,
                                 kCtlJoinAll,
                                 kCtlNameByLabels,
                                 kCtlFadeIn,
                                 kCtlFadeInLength,
                                 kCtlDeclick,
                                 kCtlDeclickLength,
                                 kCtlStripMetadata,
                                 kCtlVerifyAfterSaving};

}  // namespace

std::string TwoLineText(uint64_t milliseconds, uint64_t frames) {
  return std::to_string(milliseconds) + '\n' + std::to_string(frames);
}

MainWindowView DeriveMainWindowView(const CMainWindowModel& model) {
  const SoundFormatInfo& format = model.Format();
  const WindowMarker& m1 = model.Marker(1);
  const WindowMarker& m2 = model.Marker(2);
  const uint64_t position = model.PlayerBytes();
  const bool playing = model.IsPlaying();
  const bool bounded = model.IsBoundedPlayback();
  const bool anyMarker = model.AnyMarkerSet();
  const bool rowHighlighted = model.SelectedRow() >= 0;
  const uint32_t rate = format.formatBlock.samplesPerSec;
  const auto twoLines = [rate](uint64_t frame) {
    return TwoLineText(MillisecondOfFrame(frame, rate), frame);
  };
  const auto markerAfterPosition = [&](const WindowMarker& m) {
    return m.set && position < m.position;
  };

  MainWindowView view;
  auto& c = view.controls;
  // Every control needs a file: without one each is disabled; with one, the
  // rules below decide.
  for (const int id : kFileControls) c[id] = {model.HasFile(), {}};
  for (int id = kCtlFirstStepButton; id <= kCtlLastStepButton; ++id) c[id] = {model.HasFile(), {}};
  view.commands[kCmdSave] = model.HasFile();
  view.commands[kCmdMarkersFromFileLoop] = model.FileLoop().has_value();
  view.commands[kCmdImportRanges] = model.HasFile();
  view.commands[kCmdLoopSearch] = model.HasFile();
  view.commands[kCmdFindSounds] = model.HasFile();
  view.commands[kCmdExportRanges] = !model.Rows().empty();
  view.commands[kCmdUndo] = model.UndoName() != nullptr;
  view.commands[kCmdRedo] = model.RedoName() != nullptr;
  view.commands[kCmdSortRows] = model.Rows().size() > 1;
  view.commands[kCmdMoveRowsUp] = rowHighlighted;
  view.commands[kCmdMoveRowsDown] = rowHighlighted;
  view.undoStep = model.UndoName();
  view.redoStep = model.RedoName();
  if (!model.HasFile()) {
    view.title = main_text::kCaption;
    return view;
  }

  c[kCtlPlay] = {true, playing ? main_text::kStop : main_text::kPlay};
  for (int k = 1; k <= 2; ++k) {
    const WindowMarker& marker = model.Marker(k);
    c[MarkerToggleId(k)] = {true, marker.set ? main_text::kMarkerClear : main_text::kMarkerAdd};
    c[MarkerGoToId(k)] = {marker.set, {}};
    c[MarkerDisplayId(k)] = {true, marker.set ? twoLines(BytesToFrames(format, marker.position))
                                              : std::string(main_text::kZeroDisplay)};
  }
  c[kCtlAddReservation] = {anyMarker, {}};
  c[kCtlMarkerLoop] = {model.BothMarkersSet(), {}};
  // Stopped: both markers, or the one marker still ahead of the position.
  c[kCtlPlayBetweenMarkers] = {
      !playing && (model.BothMarkersSet() || (anyMarker && markerAfterPosition(m1.set ? m1 : m2))),
      {}};
  c[kCtlPlayToMarker] = {!bounded && (markerAfterPosition(m1) || markerAfterPosition(m2)), {}};
  c[kCtlPlayTwoSecondsBeforeMarker] = {anyMarker && !bounded, {}};
  c[kCtlRemoveReservation] = {rowHighlighted, {}};
  c[kCtlReadReservation] = {rowHighlighted, {}};
  // The fades need a sample format they can scale; a length box goes with its check box.
  const bool fade = CanFade(format);
  for (const int id : {kCtlFadeOut, kCtlFadeLength, kCtlFadeIn, kCtlFadeInLength, kCtlDeclick,
                       kCtlDeclickLength}) {
    c[id] = {fade, {}};
  }

  const uint64_t frames = TotalFrames(format);
  c[kCtlLengthDisplay] = {true, TwoLineText(static_cast<uint32_t>(format.lengthMs), frames)};
  uint32_t& shift = view.slider.frameShift;
  while ((frames >> shift) > INT32_MAX) ++shift;
  if (const std::optional<uint64_t> drag = model.DragFrames()) {
    c[kCtlPositionDisplay] = {true, twoLines(*drag)};
  } else {
    const uint64_t shown = BytesToFrames(format, position);
    c[kCtlPositionDisplay] = {true, twoLines(shown)};
    view.slider.value = static_cast<uint32_t>(shown >> shift);
  }
  view.slider.maximum = static_cast<uint32_t>(frames >> shift);
  view.slider.lineStep = FramesPerSecond(format) / 1000 >> shift;
  view.slider.pageStep = FramesPerSecond(format) / 4 >> shift;
  view.title = model.DisplayName() + main_text::kTitleSuffix;
  return view;
}

}  // namespace snipora
