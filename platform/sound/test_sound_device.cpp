#include "platform/sound/test_sound_device.h"

#include <algorithm>
#include <stdexcept>

namespace snipora {

bool TestSoundDevice::CreateBuffer(const PcmFormat& format, uint32_t size) {
  if (refuseCreate || size == 0) return false;
  format_ = format;
  buffer_.assign(size, 0);
  cursor_ = 0;
  playing_ = false;
  ++buffersCreated_;
  return true;
}

void TestSoundDevice::ReleaseBuffer() {
  buffer_.clear();
  cursor_ = 0;
  playing_ = false;
}

void TestSoundDevice::SetCurrentPosition(uint32_t offset) {
  if (!buffer_.empty()) cursor_ = offset % buffer_.size();
}

bool TestSoundDevice::Lock(uint32_t offset, uint32_t bytes, LockedRegion& region) {
  region = {};
  const auto size = static_cast<uint32_t>(buffer_.size());
  if (refuseLock || size == 0 || offset >= size || bytes > size) return false;
  // A second Lock before Unlock is a fault in the caller.
  if (locked_) throw std::logic_error("TestSoundDevice: nested Lock");
  locked_ = true;
  region.first = buffer_.data() + offset;
  region.firstLength = std::min(bytes, size - offset);
  if (region.firstLength < bytes) {
    region.second = buffer_.data();
    region.secondLength = bytes - region.firstLength;
  }
  return true;
}

void TestSoundDevice::Unlock(const LockedRegion&) {
  if (!locked_) throw std::logic_error("TestSoundDevice: Unlock without Lock");
  locked_ = false;
}

void TestSoundDevice::Play() {
  if (!buffer_.empty()) playing_ = true;
}

void TestSoundDevice::Stop() {
  playing_ = false;
}

int32_t TestSoundDevice::SetVolume(int32_t hundredthsOfDecibel) {
  if (hundredthsOfDecibel > 0 || hundredthsOfDecibel < -10000) return kInvalidVolume;
  if (volumeResult == 0) volume_ = hundredthsOfDecibel;
  return volumeResult;
}

bool TestSoundDevice::MovePlayCursor(uint32_t bytes) {
  if (!playing_) return false;
  const auto size = static_cast<uint32_t>(buffer_.size());
  for (uint32_t done = 0; done < bytes;) {
    const uint32_t piece = std::min(bytes - done, size - cursor_);
    heard_.insert(heard_.end(), buffer_.begin() + cursor_, buffer_.begin() + cursor_ + piece);
    cursor_ = (cursor_ + piece) % size;
    done += piece;
  }
  return true;
}

}  // namespace snipora
