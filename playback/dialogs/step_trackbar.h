#pragma once

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>

#include <functional>
#include <span>
#include "platform/ui/ui_text.h"

// The building block both playback dialogs share: a trackbar with its number
// and unit to the right and a row of buttons that move it by steps. Controls
// are named by their numeric id (objectName "1007") so that callers and tests
// can find them.
namespace snipora {

struct StepButton {
  int id;
  const char* text;
  int delta;          // amount to move the trackbar by
  bool resetTo100;    // instead of moving: set the trackbar to 100
  int gapBefore = 0;  // pixels of space in front of the button
};

// The row "-50 -10 -1 100%に戻す +1 +10 +50" of the software volume and the speed.
inline constexpr StepButton kPercentStepButtons[] = {
    {1014, "-50", -50, false}, {1009, "-10", -10, false},
    {1010, "-1", -1, false},   {1008, QT_TRANSLATE_NOOP("Snipora", "100%に戻す"), 0, true},
    {1011, "+1", 1, false},    {1012, "+10", 10, false},
    {1013, "+50", 50, false},
};

// How a trackbar's values read to the user: a value with its unit, shown
// beside the number ("%", "-25.00 dB"), and the size of a step ("3 dB").
struct TrackbarUnits {
  std::function<QString(int value)> value;
  std::function<QString(int delta)> step;
};

// "%" units: a value 150 reads "%", a step 50 reads "50%".
TrackbarUnits PercentUnits();

class StepTrackbar {
 public:
  // Creates the trackbar `sliderId` with range, page and line size and the
  // right-aligned number `numberId`; `apply` runs after every user change.
  StepTrackbar(QWidget* parent, int sliderId, int numberId, int minimum, int maximum, int pageStep,
               int lineStep, std::function<void()> apply);

  // The units shown beside the number and in the step buttons' tooltips.
  void SetUnits(TrackbarUnits units);
  // The tooltip of the trackbar and of its number.
  void SetToolTip(const QString& tip);

  // The trackbar with its number and unit to its right.
  QHBoxLayout* TrackbarRow() const;
  // A row of buttons; each moves the trackbar (its range clamps) and
  // applies, and says by how much in its tooltip.
  QHBoxLayout* ButtonRow(std::span<const StepButton> buttons) const;

  int Position() const { return slider_->value(); }
  // Sets the position without counting as a user change (nothing is applied).
  void SetPosition(int position);
  // Shows a value in the number text ("%d").
  void SetNumber(int value);

 private:
  QWidget* parent_;
  QSlider* slider_;
  QLabel* number_;
  QLabel* unit_;
  TrackbarUnits units_;
  std::function<void()> apply_;
};

// The objectName under which a control with a numeric id can be found.
QString ControlName(int id);

// The Close button of a dialog whose changes apply at once ("close"): the
// default button, so Enter closes as Esc does.
QDialogButtonBox* NewCloseButtons(QDialog* dialog);

}  // namespace snipora
