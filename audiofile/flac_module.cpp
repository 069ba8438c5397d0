#include "audiofile/flac_module.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "audiofile/flac_file.h"
#include "audiofile/flac_stream.h"

namespace snipora {

// The decoder's input while the player plays: the file bytes of the player's
// input ring, behind a copy of the header. Bytes handed to libFLAC stay in
// the ring until the frame they belong to is decoded, so that a frame the
// ring holds only part of is read again, whole, after the player refilled it.
class CFlacRingInput : public IFlacInput {
 public:
  // ring holds the file from position base on; prefix ends at base.
  void Start(CRingBuffer& ring, uint64_t base, uint64_t length, std::vector<uint8_t> prefix) {
    ring_ = &ring;
    base_ = base;
    length_ = length;
    peek_ = 0;
    prefix_ = std::move(prefix);
    prefixAt_ = 0;
  }
  // The player emptied the ring and fills it from `base` on.
  void Restart(uint64_t base) {
    base_ = base;
    peek_ = 0;
  }
  void Use(CRingBuffer& ring) { ring_ = &ring; }
  // False when the ring lost bytes it was reading (emptied behind its back).
  bool Intact() const { return ring_ != nullptr && peek_ <= ring_->Count(); }

  Status Read(uint8_t* dst, size_t& n) override {
    if (prefixAt_ < prefix_.size()) {
      n = std::min(n, prefix_.size() - prefixAt_);
      std::memcpy(dst, prefix_.data() + prefixAt_, n);
      prefixAt_ += n;
      return Status::kData;
    }
    const uint32_t available = ring_->Count() - peek_;
    if (available == 0) {
      n = 0;
      return Status::kWait;
    }
    n = std::min<size_t>(n, available);
    ring_->PeekAt(peek_, dst, static_cast<uint32_t>(n));
    peek_ += static_cast<uint32_t>(n);
    return Status::kData;
  }
  bool Seek(uint64_t) override { return false; }
  uint64_t Tell() const override {
    return prefixAt_ < prefix_.size() ? base_ - (prefix_.size() - prefixAt_) : base_ + peek_;
  }
  uint64_t Length() const override { return length_; }

  // Removes the ring's bytes before `position` (the end of a decoded frame).
  void ConsumeTo(uint64_t position) {
    const auto n =
        static_cast<uint32_t>(std::clamp<uint64_t>(position, base_, base_ + peek_) - base_);
    ring_->Skip(n);
    base_ += n;
    peek_ -= n;
  }
  // After the decoder was flushed: it reads from the ring's first byte again.
  void Rewind() { peek_ = 0; }
  void DropAll() {
    base_ += ring_->Count();
    ring_->Skip(ring_->Count());
    peek_ = 0;
  }

 private:
  CRingBuffer* ring_ = nullptr;
  uint64_t base_ = 0;  // file position of the ring's first byte
  uint64_t length_ = 0;
  uint32_t peek_ = 0;  // ring bytes handed to the decoder
  std::vector<uint8_t> prefix_;
  size_t prefixAt_ = 0;
};

namespace {

constexpr int kVersionNumber = 100;

// "fLaC" and the STREAMINFO block (the last metadata block) as stored.
std::vector<uint8_t> HeaderPrefix(const SoundFormatInfo& info) {
  std::vector<uint8_t> prefix = {'f', 'L', 'a', 'C', 0x80, 0, 0, kFlacStreamInfoBytes};
  prefix.insert(prefix.end(), info.decoderSetup, info.decoderSetup + kFlacStreamInfoBytes);
  return prefix;
}

// Moves up to n bytes of the stream's buffer to the end of output.
void MoveToOutput(CFlacStream& stream, CRingBuffer& output, uint32_t n) {
  uint8_t* first = nullptr;
  uint8_t* second = nullptr;
  uint32_t firstLength = 0;
  uint32_t secondLength = 0;
  if (output.Lock(output.Count(), n, &first, &firstLength, &second, &secondLength) != 0) return;
  stream.TakeBytes(first, firstLength);
  if (second != nullptr) stream.TakeBytes(second, secondLength);
}

}  // namespace

Cdeclib_flac::Cdeclib_flac()
    : stream_(std::make_unique<CFlacStream>()), ring_(std::make_unique<CFlacRingInput>()) {}

Cdeclib_flac::~Cdeclib_flac() = default;

const char* Cdeclib_flac::GetInfo(int id, int* number) {
  switch (id) {
    case 1:
      return "*.flac";
    case 2:
      return "FLAC (*.flac)|*.flac|";
    case 3:
      return "FLAC";
    case 4:
      return "declib_flac";
    case 5:
      return "Cdeclib_flac";
    case 6:
      return "1.00";
    case 7:
      if (number != nullptr) *number = kVersionNumber;
      return "100";
    case 8:
      return "Snipora 2026, libFLAC";
    case 11:
      return "FLAC デコーダ (libFLAC)";
    default:
      return nullptr;
  }
}

uint32_t Cdeclib_flac::GetType() {
  return kFlacDecoderType;
}

int Cdeclib_flac::ReadHeader(CSectorFile& file, SoundFormatInfo& info) {
  SoundFormatInfo read;
  if (ReadFlacFile(file, read) != FlacProblem::kNone) return -1;
  info = read;
  return 0;
}

int Cdeclib_flac::BeginDecode(CRingBuffer& input, SoundFormatInfo& info) {
  begun_ = false;
  if (info.decoderType != kFlacDecoderType || info.dataOffset < 0) return -1;
  const auto dataOffset = static_cast<uint64_t>(info.dataOffset);
  ring_->Start(input, dataOffset, static_cast<uint64_t>(info.containerLength), HeaderPrefix(info));
  FlacHeader header;
  if (!stream_->Begin(*ring_, header) || header.firstFrameOffset != dataOffset ||
      header.totalFrames != info.lengthFrames || header.channels != info.formatBlock.channels) {
    return -1;
  }
  begun_ = true;
  return 0;
}

int Cdeclib_flac::EndDecode() {
  begun_ = false;
  stream_->ClearBuffer();
  return 0;
}

int Cdeclib_flac::SeekSource(DecoderSeekRequest& request, CSectorFile& file, SoundFormatInfo&) {
  if (!begun_) return -1;
  CFlacFileInput fileInput(file);
  stream_->SetInput(fileInput);
  uint64_t position = file.GetSize();
  bool ok = stream_->SeekTo(request.frame);
  if (ok && request.frame < stream_->TotalFrames()) ok = stream_->DecodePosition(position);
  // What libFLAC read of the file beyond the frame is read again through the ring.
  stream_->Flush();
  stream_->SetInput(*ring_);
  if (!ok || file.SeekLarge(position) != 0) return -1;
  request.offset = position;
  ring_->Restart(position);
  return 0;
}

int Cdeclib_flac::Decode(CRingBuffer& input, CRingBuffer& output, uint32_t limit) {
  ring_->Use(input);
  if (!begun_ || !ring_->Intact()) return kDecodeFailed;
  const uint32_t align = stream_->BlockAlign();
  uint32_t room = limit > output.Count() ? std::min(limit - output.Count(), output.FreeSpace()) : 0;
  room -= room % align;
  for (;;) {
    const uint32_t n = std::min(stream_->BufferedBytes(), room);
    MoveToOutput(*stream_, output, n);
    room -= n;
    if (stream_->BufferedBytes() != 0) return kDecodeOk;  // the output is full
    switch (stream_->DecodeFrame()) {
      case CFlacStream::Step::kFrame: {
        uint64_t end = 0;
        if (!stream_->DecodePosition(end)) return kDecodeFailed;
        ring_->ConsumeTo(end);
        break;
      }
      case CFlacStream::Step::kEnd:
        ring_->DropAll();  // a tag or nothing after the last frame
        return kDecodeInputUsedUp;
      case CFlacStream::Step::kWait:
        ring_->Rewind();
        // A full ring without a whole frame cannot be helped by refilling.
        return input.FreeSpace() == 0 ? kDecodeFailed : kDecodeInputUsedUp;
      case CFlacStream::Step::kFailed:
        return kDecodeFailed;
    }
  }
}

}  // namespace snipora
