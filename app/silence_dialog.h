#pragma once

#include <QDialog>

#include <memory>
#include <string>
#include <vector>

#include "app/model/silence_preview.h"

class QDoubleSpinBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTimer;

namespace snipora {

class CWaveformView;

// Tools → "Find sounds between silences": the threshold, the shortest
// silence, the shortest sound and the padding, with the sounds they find
// drawn on the main window's waveform as the values change (read off the
// GUI thread; closing the dialog stops a read). "Add N ranges" accepts the
// dialog with Sounds() to add; the preview is cleared when it closes.
class CSilenceDlg : public QDialog {
  Q_OBJECT

 public:
  CSilenceDlg(const std::string& path, const SoundFormatInfo& format,
              const ranges::SilenceRules& rules, CWaveformView& waveform,
              QWidget* parent = nullptr);
  ~CSilenceDlg() override;

  ranges::SilenceRules Rules() const;
  // The sounds of the values shown (what "Add" adds).
  const std::vector<ranges::LabeledRange>& Sounds() const { return preview_.Sounds(); }
  // True until the sounds shown are those of the values shown (the values
  // settle, or the file is read for them).
  bool Following() const;

 public slots:
  // "Add": with values still settling, the sounds of the values shown, or
  // nothing while they are read.
  void accept() override;

 protected:
  void done(int result) override;

 private:
  // The values changed: the preview follows them.
  void Follow();
  // Checks the read and shows what it found.
  void PollRead();
  // The sounds found (or the read's state) on the waveform and in the texts.
  void ShowSounds();

  CSilencePreview preview_;
  CWaveformView& waveform_;
  QDoubleSpinBox* threshold_;
  QSpinBox* minSilence_;
  QSpinBox* minSound_;
  QSpinBox* pad_;
  QLabel* status_;
  QProgressBar* progress_;
  QPushButton* add_;
  QTimer* settle_;  // typing settles before the preview follows
  QTimer* poll_;
};

}  // namespace snipora
