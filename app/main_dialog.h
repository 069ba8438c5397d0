#pragma once

#include <QDialog>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/model/main_window_model.h"
#include "app/model/ui_language.h"
#include "audiofile/sound_format.h"
#include "export/export_interfaces.h"
#include "loopsearch/loop_candidates_host.h"
#include "platform/sound/timer_host.h"
#include "platform/ui/ui_services.h"
#include "playback/dialogs/volume_dialog.h"
#include "playback/main_player.h"
#include "ranges/sounds_between_silences.h"

class QAction;
class QMimeData;
class QDragEnterEvent;
class QDropEvent;
class QHBoxLayout;
class QKeyEvent;
class QMenu;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace snipora {

class CReservationList;
class CStatusLine;
class CWaveformView;
class CZeroCrossingSnap;
class ISoundDevice;
struct MainWindowView;

// The main window: the whole program is this one dialog. Its state (the open
// file, markers, reservations, play state, undo history) is a
// CMainWindowModel; handlers turn input (buttons, keys, menus, the mouse on
// the waveform and the list) into the model's commands and the player's
// moves, then ApplyView shows what the model derives, in one place.
//
// Every control keeps its numeric id as its objectName (the decimal id, e.g.
// "1023"); Control(id) returns it and MenuAction(id) returns a menu command.
// Message boxes and file dialogs go through IUiServices; the dialog is the
// player's timer host and owner.
class CMainDlg : public QDialog, public ITimerHost, public IMainPlayerOwner {
  Q_OBJECT

 public:
  // commandLine: the program's arguments joined by single spaces, "" for none.
  CMainDlg(IUiServices& ui, ISoundDevice& device, std::string commandLine,
           QWidget* parent = nullptr);
  ~CMainDlg() override;

  QWidget* Control(int id) const;
  QAction* MenuAction(int id) const;

  // Opens `path` and resets every per-file state; false leaves the dialog's
  // displays as they were (the player may have closed its file).
  bool OpenAudioFile(const std::string& path);

  // Shows the position: the player's (also moving the slider) when
  // fromPlayer, else `samplePosition`; then every control follows the state.
  void RefreshPosition(bool fromPlayer, uint64_t samplePosition);

  // The dialog's result (what exec() returns) when the file to start with
  // could not be opened: the program then ends with a failure status.
  static constexpr int kResultCannotOpen = 103;

  // --- start, menu and close ---
  void OnStartupOpen();
  void OnMenuOpen();
  void OnMenuSave();
  // Adds the rows of a range list the user picks, checked against the file.
  void OnMenuImportRanges();
  // Writes the rows with their labels as a range list the user names.
  void OnMenuExportRanges();
  void OnMenuVolume();
  void OnMenuSpeed();
  // Loop detection over the span between the markers, or from the position to the end.
  void OnMenuLoopSearch();
  // Finds the sounds between silences; adds them as rows in one step.
  void OnMenuFindSounds();
  // Sets marker 1 and marker 2 to the first loop of the file's smpl chunk.
  void OnMenuMarkersFromFileLoop();
  void OnMenuAbout();
  // Help: the list of the window's keys.
  void OnMenuShortcuts();
  // The close guard (Esc, the close box, after messages 102 and 103).
  void reject() override;
  // Opens `path` in place of the open file, or names it and says why not and
  // keeps the open file. Asks nothing about unsaved reservations.
  void OpenAnotherFile(const std::string& path);
  // The first local file of a drop opens as File → Open would open it, once
  // the drop has ended; false when the drop holds no local file.
  bool OpenDropped(const QMimeData& mime);
  // True when there are no unsaved reservations or the user lets them go (108).
  bool ConfirmDiscardUnsaved();
  // Where the window's file dialogs start: beside the open file, else where
  // the last file was opened, else the Music or home folder.
  std::string DialogFolder() const;

  // --- timers and slider ---
  void OnTimer(uint32_t id);
  // A slider notification; endOfScroll for the end of a drag or a step.
  void OnSliderScroll(bool endOfScroll);
  void SetTimer(uint32_t id, uint32_t ms) override;
  void KillTimer(uint32_t id) override;
  bool IsTimerRunning(uint32_t id) const;

  // --- position and markers ---
  void StepBackMilliseconds(uint32_t n);
  void StepForwardMilliseconds(uint32_t n);
  void StepBackSamples(uint32_t n);
  void StepForwardSamples(uint32_t n);
  void ToggleMarker(int k);  // k = 1 or 2
  void GoToMarker(int k);
  void OnJump();

  // --- reservations ---
  void AddReservation();
  // The list's selection changed (click, keys, drag or deletion).
  void OnListSelectionChanged();
  void RemoveReservation();
  void ReadReservation();
  // The user typed into a cell of the list: column 0 length, 1 start, 2 end
  // in the list's unit, 3 label. Bad text is refused with the reason.
  void OnCellEdited(int row, int column, const std::string& text);

  // --- Edit menu ---
  void Undo();
  void Redo();
  void SetSnapToZeroCrossings(bool snap);
  void SetListUnit(ListUnit unit);
  void SortRows();
  void MoveRows(int direction);  // -1 up, +1 down

  // --- play modes ---
  void TogglePlay();
  void PlayBetweenMarkers();
  void PlayToMarker();
  void PlayTwoSecondsBeforeMarker();
  void LoopBetweenMarkers();
  void OnPlaybackEnded();
  // The player closed the file on damage found while decoding it.
  void OnDecodingFailed();

  // --- what the loop detection dialog asks (see ILoopCandidatesHost) ---
  LoopSearchSpan LoopSpan();
  void ChooseLoop(const LoopCandidate& loop);
  void ListenToSeam(const LoopCandidate& loop);
  void KeepLoopForSave(const LoopCandidate& loop);
  std::string SaveExtendedCopy(const LoopCandidate& loop, uint32_t count, uint32_t fadeMs);

  // --- IMainPlayerOwner ---
  bool IsBoundedPlaybackActive() const override { return model_.IsBoundedPlayback(); }
  void EndBoundedPlayback() override;

  // --- what other dialogs read ---
  const std::string& FullPath() const { return model_.FullPath(); }
  const std::string& DisplayName() const { return model_.DisplayName(); }
  const SoundFormatInfo& FormatInfo() const { return model_.Format(); }
  const CMainWindowModel& Model() const { return model_; }
  CMainPlayer& Player() { return player_; }
  CWaveformView* Waveform() const { return waveform_; }
  QMenu* RecentFilesMenu() const { return recentMenu_; }
  CStatusLine* StatusLine() const { return status_; }
  // A save succeeded: the status line says what it wrote and where.
  void OnFilesSaved(const std::vector<std::string>& paths);
  // A save was cancelled or failed: the status line says so and what it kept.
  void OnSaveStopped(bool cancelled, const std::vector<std::string>& kept);
  IUiServices& Ui() { return ui_; }
  bool IsPlaying() const { return model_.IsPlaying(); }
  bool MarkerSet(int k) const { return model_.Marker(k).set; }
  uint64_t MarkerPosition(int k) const { return model_.Marker(k).position; }  // bytes
  int ReservationCount() const;
  // Text of a reservation cell (column 0 length, 1 start, 2 end, 3 label).
  std::string ReservationText(int row, int column) const;
  std::string LengthText() const;  // control 1031
  bool JoinChecked() const;        // control 1043
  // The export options (1041-1050) as the controls hold them.
  ExportChoices ExportOptions() const;
  bool HasUnsavedReservations() const { return model_.HasUnsavedReservations(); }
  // True once the dialog has ended through the close guard.
  bool IsEnded() const { return ended_; }
  void ClearUnsavedReservations() { model_.ClearUnsavedReservations(); }

 protected:
  void showEvent(QShowEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  static constexpr uint32_t kPlayerTimer = 1;
  static constexpr uint32_t kDisplayTimer = 2;  // position display while playing
  static constexpr uint32_t kDisplayPeriodMs = 250;
  static constexpr uint32_t kSeamTimer = 3;  // ends listening to a loop's seam

  void BuildControls();
  // A check box with its milliseconds field and unit, into `row`.
  void AddLengthOption(QHBoxLayout* row, int box, int length);
  void BuildMenu();
  // Menu shortcuts, File → Quit and the Help list of keys.
  void AddKeyboardCommands();
  // File → recent files: the last files opened, kept in the settings file.
  void AddRecentFilesMenu();
  void RememberRecentFile(const std::string& path);
  void ShowRecentFiles();
  // Tools → language: the stored choice, which takes effect at the next start.
  void AddLanguageMenu();
  void ChooseLanguage(LanguageSetting setting);
  // Edit: undo, redo, snapping, the list's order and unit.
  void AddEditMenu();
  void ApplyEditMenu(const MainWindowView& view);
  void StoreEditSettings();
  // A window-wide key (outside text fields) presses its button; true when taken.
  bool HandleWindowKey(QObject* watched, QKeyEvent* event);
  void ConnectControls();
  template <class Widget>
  Widget* Add(Widget* widget, int id);
  void SetText(int id, const QString& text);
  // Shows the model: every control's state and text, the slider, the list.
  void ApplyView();
  void ApplyRows();
  // The waveform shows a click's position: the player seeks there.
  void OnWaveformPosition(quint64 frame);
  // What the mouse does on the waveform (see CWavePane).
  void OnWaveformSelection(quint64 anchor, quint64 frame, bool finished);
  void OnWaveformExtend(quint64 frame);
  void OnWaveformHandle(int kind, int index, quint64 frame, bool finished);
  void OnRegionClicked(int row);
  void OnRegionActivated(int row);
  // After the rows or their selection were changed by the model's undo or redo.
  void ShowHighlightedRegion();
  // Snapping reads the open file's frames.
  void OpenSnapReader(const std::string& path, const SoundFormatInfo& format);
  uint32_t BlockAlign() const;
  uint64_t PlayerBytes();
  bool ReadFormat(const std::string& path, SoundFormatInfo& format);
  // A file with more channels than the sound device plays is refused with a message
  // that says so; the program goes on with the file it has or asks for another.
  bool RefusedForChannels(const std::string& path);
  void ReopenAfterFailedOpen(const std::string& path, uint64_t position);
  // Stops listening to a loop's seam, if it still plays.
  void StopSeam();
  void StartBounded(ByteRange range);
  // Starts or stops the display timer with the playing state.
  void SetPlaying(bool playing);
  // Says once, in the status line, that there is no sound output.
  void ShowSilenceOnce();
  // A groove press of the slider repeats its action until the release,
  // which ends the scroll.
  void OnSliderAction(int action);

  IUiServices& ui_;
  ISoundDevice& device_;
  bool silenceShown_ = false;
  std::string commandLine_;
  CMainWindowModel model_;
  uint32_t appliedRowsRevision_ = 0;
  std::vector<int> appliedSelection_;  // the rows' selection last shown
  int appliedHighlight_ = -1;
  std::unique_ptr<CZeroCrossingSnap> snap_;

  bool resumeAfterDrag_ = false;
  bool sliderPressed_ = false;     // the mouse is down on the slider
  uint32_t sliderShift_ = 0;       // a slider step is 2^sliderShift_ frames
  bool sliderScrollOpen_ = false;  // a groove scroll waits for the release
  bool startupPosted_ = false;
  bool ended_ = false;

  std::map<int, QWidget*> controls_;
  std::map<int, QAction*> menuActions_;
  std::map<uint32_t, int> timers_;  // our timer id -> Qt's timer id
  QSlider* slider_ = nullptr;
  CReservationList* list_ = nullptr;
  CWaveformView* waveform_ = nullptr;
  CStatusLine* status_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  std::vector<std::string> recentFiles_;  // newest first
  LanguageSetting languageSetting_ = LanguageSetting::FollowLocale;
  ranges::SilenceRules silenceRules_;  // the silence dialog's last values
  // After the members above, so it is destroyed before them: it may still
  // call back into them as timer host and owner.
  CMainPlayer player_;
  // Kept for the program's life so that it is shown again as it was left.
  CVolumeDlg volumeDlg_;
};

}  // namespace snipora
