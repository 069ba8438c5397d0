#include "playback/main_player.h"

namespace snipora {

CMainPlayer::CMainPlayer(ISoundDevice& device) : CDSFilePlayer(device) {}

void CMainPlayer::EndOwnersBoundedPlayback() {
  if (owner_ == nullptr || !owner_->IsBoundedPlaybackActive()) return;
  ClearEndPoint();
  owner_->EndBoundedPlayback();
}

int CMainPlayer::Seek(uint64_t position, int unit) {
  EndOwnersBoundedPlayback();
  return CDSFilePlayer::Seek(position, unit);
}

int CMainPlayer::Stop() {
  const int result = CDSFilePlayer::Stop();
  EndOwnersBoundedPlayback();
  ClearEndPoint();
  return result;
}

bool CMainPlayer::SetEndPoint(uint64_t position) {
  if (position > dataSize_ || endPointMarker_ != 0) return false;
  endPointMarker_ = dataSize_;
  readPosition_ = 0;
  writeCursor_ = 0;
  outstanding_ = 0;
  queue_.Clear();
  ClearDecoderQueues();
  SetEnd(position, kUnitBytes);
  return true;
}

bool CMainPlayer::ClearEndPoint() {
  if (endPointMarker_ == 0) return false;
  SetEnd(kEndOfData, kUnitBytes);
  endPointMarker_ = 0;
  return true;
}

}  // namespace snipora
