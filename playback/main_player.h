#pragma once

#include <cstdint>

#include "playback/file_player.h"

namespace snipora {

// What the player needs of the main window: its bounded playback (playback that the
// player stops by itself at a temporary end point).
class IMainPlayerOwner {
 public:
  virtual ~IMainPlayerOwner() = default;
  virtual bool IsBoundedPlaybackActive() const = 0;
  // Clears the bounded-playback-active flag and enables button 1038.
  virtual void EndBoundedPlayback() = 0;
};

// The program's one player: the file player plus the temporary end point of the main
// window's bounded playback, kept in step with the owner.
class CMainPlayer : public CDSFilePlayer {
 public:
  // The player streams into `device`'s buffer; the device must outlive the player.
  explicit CMainPlayer(ISoundDevice& device);

  void SetOwner(IMainPlayerOwner* owner) { owner_ = owner; }

  // Ends the owner's bounded playback first, then seeks.
  int Seek(uint64_t position, int unit) override;
  // Stops, then ends the owner's bounded playback and a temporary end point still set.
  int Stop();

  // Makes normal playback end at `position` (bytes); false beyond the data size or
  // while a temporary end point is set. The caller seeks right after.
  bool SetEndPoint(uint64_t position);
  // Removes the temporary end point; false when none is set.
  bool ClearEndPoint();
  bool HasEndPoint() const { return endPointMarker_ != 0; }

 private:
  void EndOwnersBoundedPlayback();

  IMainPlayerOwner* owner_ = nullptr;
  uint64_t endPointMarker_ = 0;  // the data size while a temporary end point is set
};

}  // namespace snipora
