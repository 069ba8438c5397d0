#include "foundation/str.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "foundation/text_encoding.h"

namespace snipora {
namespace {

// Shared by every string that has no allocation of its own; never written.
char g_emptyBuffer[1] = {0};

// The growth step widens with the capacity so byte-by-byte appends stay cheap.
uint32_t GrowthStep(uint32_t capacity) {
  if (capacity < 1024) return 64;
  if (capacity < 4096) return 256;
  if (capacity < 16384) return 1024;
  if (capacity < 65536) return 4096;
  if (capacity < 131072) return 16384;
  return 65536;
}

// length + extra as a buffer size; a string beyond 32-bit sizes cannot grow,
// which is the growth failure of the string.
uint32_t SizeFor(uint64_t length, uint32_t extra) {
  if (length + extra > UINT32_MAX) throw static_cast<CStr_base<64>*>(nullptr);
  return static_cast<uint32_t>(length + extra);
}

bool PointsInto(const char* text, const char* buffer, uint32_t capacity) {
  return capacity != 0 && text >= buffer && text < buffer + capacity;
}

}  // namespace

CStr_base<64>::CStr_base() : capacity_(0), length_(0), buffer_(g_emptyBuffer) {}

CStr_base<64>::CStr_base(const char* text) : CStr_base() {
  Assign(text);
}

CStr_base<64>::CStr_base(const CStr_base& other) : CStr_base() {
  AssignBytes(other.buffer_, other.length_);
}

CStr_base<64>& CStr_base<64>::operator=(const CStr_base& other) {
  if (this != &other) AssignBytes(other.buffer_, other.length_);
  return *this;
}

CStr_base<64>::~CStr_base() {
  if (capacity_ != 0) std::free(buffer_);
}

void CStr_base<64>::Reserve(uint32_t n) {
  if (n < capacity_) return;
  const uint32_t step = GrowthStep(capacity_);
  // Saturate instead of wrapping: a wrapped size would allocate too little.
  const uint32_t stepped = capacity_ > UINT32_MAX - step ? UINT32_MAX : capacity_ + step;
  const uint32_t newCapacity = n > stepped ? n : stepped;
  char* newBuffer = static_cast<char*>(std::malloc(newCapacity));
  if (newBuffer == nullptr) throw static_cast<CStr_base*>(nullptr);
  std::memcpy(newBuffer, buffer_, length_ + 1);
  if (capacity_ != 0) std::free(buffer_);
  buffer_ = newBuffer;
  capacity_ = newCapacity;
  buffer_[length_] = 0;
}

void CStr_base<64>::AssignBytes(const char* text, uint32_t n) {
  if (PointsInto(text, buffer_, capacity_)) {
    // A piece of this string's own text: it already fits, move it down.
    std::memmove(buffer_, text, n);
  } else {
    Reserve(SizeFor(n, 2));
    std::memcpy(buffer_, text, n);
  }
  length_ = n;
  buffer_[length_] = 0;
}

void CStr_base<64>::Assign(const char* text) {
  if (text == nullptr) text = "";
  const uint32_t n = static_cast<uint32_t>(std::strlen(text));
  AssignBytes(text, n);
}

void CStr_base<64>::Assign(const char* text, int n) {
  if (text == nullptr) text = "";
  const uint32_t available =
      n < 0 ? static_cast<uint32_t>(std::strlen(text)) : static_cast<uint32_t>(strnlen(text, n));
  // Room for the bytes actually copied: a generous n must not allocate for
  // bytes that are not there.
  AssignBytes(text, available);
}

void CStr_base<64>::AppendBytes(const char* text, uint32_t n) {
  if (n == 0) return;
  if (PointsInto(text, buffer_, capacity_)) {
    // Growing may move our own text: copy it out of harm's way first.
    CStr_base copy;
    copy.AssignBytes(text, n);
    AppendBytes(copy.buffer_, n);
    return;
  }
  Reserve(SizeFor(length_ + static_cast<uint64_t>(n), 1));
  std::memcpy(buffer_ + length_, text, n);
  length_ += n;
  buffer_[length_] = 0;
}

void CStr_base<64>::AppendByte(char c) {
  if (c == 0) return;
  Reserve(SizeFor(length_, 3));
  buffer_[length_++] = c;
  buffer_[length_] = 0;
}

void CStr_base<64>::Append(const char* text) {
  if (text == nullptr) return;
  AppendBytes(text, static_cast<uint32_t>(std::strlen(text)));
}

void CStr_base<64>::Append(const char* text, uint32_t n) {
  if (text == nullptr) return;
  AppendBytes(text, static_cast<uint32_t>(strnlen(text, n)));
}

void CStr_base<64>::Truncate(uint32_t length) {
  if (length >= length_) return;
  length_ = length;
  buffer_[length_] = 0;
}

void CStr_base<64>::Swap(CStr_base& other) {
  std::swap(capacity_, other.capacity_);
  std::swap(length_, other.length_);
  std::swap(buffer_, other.buffer_);
}

int CStr_base<64>::Find(const char* text, const char* needle, int start) {
  if (needle == nullptr || needle[0] == 0) return 0;
  if (text == nullptr || start < 0) return -1;
  const size_t textLength = std::strlen(text);
  if (static_cast<size_t>(start) > textLength) return -1;
  const size_t needleLength = std::strlen(needle);
  for (size_t at = start; at + needleLength <= textLength; at += CharLength(text + at)) {
    if (std::memcmp(text + at, needle, needleLength) == 0) return static_cast<int>(at);
  }
  return -1;
}

}  // namespace snipora
