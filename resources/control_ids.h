#pragma once

// Numeric ids of the controls of the main dialog (template 102) and the jump
// dialog (template 131). Every control keeps its id as its object name.
namespace snipora {

enum MainControl : int {
  kCtlPositionSlider = 1000,
  kCtlFirstStepButton = 1001,  // 1001-1010 milliseconds, 1011-1020 samples
  kCtlFirstSampleStepButton = 1011,
  kCtlLastStepButton = 1020,
  kCtlReservationList = 1022,
  kCtlPlay = 1023,
  kCtlMarker1Toggle = 1024,
  kCtlMarker2Toggle = 1025,
  kCtlAddReservation = 1026,
  kCtlJump = 1027,
  kCtlPlayBetweenMarkers = 1028,
  kCtlMarker1GoTo = 1029,
  kCtlRemoveReservation = 1030,
  kCtlLengthDisplay = 1031,
  kCtlPositionDisplay = 1032,
  kCtlMarker1Display = 1033,
  kCtlMarker2Display = 1034,
  kCtlMarker2GoTo = 1035,
  kCtlReadReservation = 1036,
  kCtlPlayToMarker = 1037,
  kCtlPlayTwoSecondsBeforeMarker = 1038,
  kCtlMarkerLoop = 1039,
  kCtlFadeOut = 1041,
  kCtlFadeLength = 1042,
  kCtlJoinAll = 1043,
  kCtlNameByLabels = 1044,
  // Export options beyond the template: clean edges, metadata, verification.
  kCtlFadeIn = 1045,
  kCtlFadeInLength = 1046,
  kCtlDeclick = 1047,
  kCtlDeclickLength = 1048,
  kCtlStripMetadata = 1049,
  kCtlVerifyAfterSaving = 1050,
};

// The toggle, go-to and display controls of marker k (1 or 2).
constexpr int MarkerToggleId(int k) {
  return k == 1 ? kCtlMarker1Toggle : kCtlMarker2Toggle;
}
constexpr int MarkerGoToId(int k) {
  return k == 1 ? kCtlMarker1GoTo : kCtlMarker2GoTo;
}
constexpr int MarkerDisplayId(int k) {
  return k == 1 ? kCtlMarker1Display : kCtlMarker2Display;
}

// The jump dialog's OK and Cancel are the standard ids 1 and 2.
enum JumpControl : int {
  kJumpInMilliseconds = 1035,
  kJumpInSamples = 1036,
  kJumpValue = 1037,
  kJumpMaximum = 1038,
};

}  // namespace snipora
