#pragma once

#include <QDialog>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ui/ui_services.h"

class QLineEdit;
class QRadioButton;

namespace snipora {

// What the jump dialog needs to know about the open file.
struct JumpLimits {
  std::string lengthText;   // the main dialog's length display, "ms\nsamples"
  uint32_t sampleRate = 0;  // frames per second
  uint32_t blockAlign = 0;
  uint64_t dataSize = 0;  // bytes of sample data
};

// The byte position typed as `text` in milliseconds (a number, or a time as
// "h:mm:ss.mmm" or "m:ss.mmm") or samples, or nothing when it cannot be read
// whole or lies beyond the end of the data (the end itself is accepted). A
// time in milliseconds goes to the frame at or before it.
std::optional<uint64_t> JumpTargetBytes(std::string_view text, bool inMilliseconds,
                                        const JumpLimits& limits);

// Dialog 131: asks for a position to move to. Refuses unreadable or too
// large values with message 106 and stays open.
class CJumpDlg : public QDialog {
  Q_OBJECT

 public:
  CJumpDlg(QWidget* parent, IUiServices& ui, JumpLimits limits);

  // The accepted byte position; 0 until OK succeeded.
  uint64_t Result() const { return result_; }

  // The control `id` of the dialog (objectName is the decimal id).
  QWidget* Control(int id) const;

  void accept() override;

 private:
  IUiServices& ui_;
  JumpLimits limits_;
  uint64_t result_ = 0;
  QRadioButton* milliseconds_ = nullptr;
  QLineEdit* edit_ = nullptr;
};

}  // namespace snipora
