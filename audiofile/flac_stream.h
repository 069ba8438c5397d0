#pragma once

#include <FLAC/stream_decoder.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "audiofile/sound_format.h"

// FLAC streams decoded by libFLAC into the frames the rest of the program
// reads, as a WAVE file would hold them: interleaved little-endian samples of
// whole bytes, each shifted up to fill its bytes (a 12-bit sample in 16 bits),
// 8-bit ones unsigned around 128.
namespace snipora {

// What a FLAC stream states before its first frame.
struct FlacHeader {
  uint32_t sampleRate = 0;
  uint32_t channels = 0;
  uint32_t bitsPerSample = 0;
  uint64_t totalFrames = 0;       // 0: the stream does not state its length
  uint64_t firstFrameOffset = 0;  // input position of the first frame
  std::array<uint8_t, kFlacStreamInfoBytes> streamInfo{};  // the STREAMINFO body
  std::string vendor;
  std::vector<std::string> comments;  // Vorbis comments, "NAME=value", in order
};

// Where a decoder's bytes come from: a file, or the player's ring of file bytes.
class IFlacInput {
 public:
  // kWait: nothing more now, but more may follow (the ring is refilled later).
  enum class Status { kData, kEnd, kWait };
  virtual ~IFlacInput() = default;
  // Up to n bytes into dst; n becomes the number given.
  virtual Status Read(uint8_t* dst, size_t& n) = 0;
  virtual bool Seek(uint64_t position) = 0;
  virtual uint64_t Tell() const = 0;
  virtual uint64_t Length() const = 0;
};

// One libFLAC decoder and the decoded frames it has not handed out yet.
// Any error libFLAC reports inside the stated length (a damaged frame, lost
// sync), a frame that is not the one expected, or a change of channels or
// sample width fails the stream: nothing damaged is ever delivered as sound.
// Not thread-safe.
class CFlacStream {
 public:
  enum class Step { kFrame, kEnd, kWait, kFailed };

  CFlacStream();
  ~CFlacStream();
  CFlacStream(const CFlacStream&) = delete;
  CFlacStream& operator=(const CFlacStream&) = delete;

  // Starts decoding `input` (at the "fLaC" mark) and reads the header up to
  // the first frame. False when it is not a FLAC header, is damaged, or states
  // no sample rate, 1 to 8 channels or 4 to 32 bits.
  bool Begin(IFlacInput& input, FlacHeader& header);
  // Later reads come from `input` (which must continue the same stream).
  void SetInput(IFlacInput& input) { input_ = &input; }

  // Decodes the next frame behind the buffered bytes. kEnd once the stated
  // length is decoded (or the input ends); kWait when the input must be
  // refilled: the decoder is flushed, and the input must then continue at the
  // end of the last frame decoded (DecodePosition).
  Step DecodeFrame();
  // Moves to `frame`: the buffer then starts with it. A frame at the stated
  // end leaves the buffer empty. False when the stream cannot get there.
  bool SeekTo(uint64_t frame);
  // Drops what the decoder has read ahead; it then looks for the next frame
  // at the input's position.
  void Flush();
  // Input position just after the last frame decoded; false when unknown.
  bool DecodePosition(uint64_t& position) const;

  uint32_t BlockAlign() const { return blockAlign_; }
  uint64_t TotalFrames() const { return totalFrames_; }
  // Byte position in the decoded data of the first buffered byte.
  uint64_t Position() const { return bufferStart_ + taken_; }
  uint32_t BufferedBytes() const { return static_cast<uint32_t>(decoded_.size() - taken_); }
  // Moves to byte `position` of the decoded data when it lies in the buffer
  // (or just behind it); false otherwise.
  bool MoveWithinBuffer(uint64_t position);
  // Copies up to n buffered bytes to dst and removes them; the bytes copied.
  uint32_t TakeBytes(uint8_t* dst, uint32_t n);
  void SkipBytes(uint32_t n);
  // Empties the buffer; the next frame decoded follows it.
  void ClearBuffer();

 private:
  static FLAC__StreamDecoderReadStatus OnRead(const FLAC__StreamDecoder*, FLAC__byte buffer[],
                                              size_t* bytes, void* self);
  static FLAC__StreamDecoderSeekStatus OnSeek(const FLAC__StreamDecoder*, FLAC__uint64 position,
                                              void* self);
  static FLAC__StreamDecoderTellStatus OnTell(const FLAC__StreamDecoder*, FLAC__uint64* position,
                                              void* self);
  static FLAC__StreamDecoderLengthStatus OnLength(const FLAC__StreamDecoder*, FLAC__uint64* length,
                                                  void* self);
  static FLAC__bool OnEof(const FLAC__StreamDecoder*, void* self);
  static FLAC__StreamDecoderWriteStatus OnWrite(const FLAC__StreamDecoder*,
                                                const FLAC__Frame* frame,
                                                const FLAC__int32* const buffer[], void* self);
  static void OnMetadata(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* metadata,
                         void* self);
  static void OnError(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus status,
                      void* self);

  // Appends a frame's samples to the buffer in the frame layout.
  void Store(const FLAC__int32* const buffer[], uint32_t frames);
  bool AtStatedEnd() const { return totalFrames_ != 0 && expected_ >= totalFrames_; }

  FLAC__StreamDecoder* decoder_ = nullptr;
  IFlacInput* input_ = nullptr;
  FlacHeader* header_ = nullptr;  // filled while Begin reads the header
  bool gotStreamInfo_ = false;
  bool failed_ = false;
  bool waiting_ = false;
  bool wrote_ = false;
  uint32_t channels_ = 0;
  uint32_t bits_ = 0;
  uint32_t sampleBytes_ = 0;
  uint32_t shift_ = 0;  // container bits above the sample's
  uint32_t blockAlign_ = 0;
  uint64_t totalFrames_ = 0;
  uint64_t expected_ = 0;  // the frame number the next decoded sample must have
  std::vector<uint8_t> decoded_;
  size_t taken_ = 0;          // bytes of decoded_ already handed out
  uint64_t bufferStart_ = 0;  // decoded-data byte position of decoded_[0]
};

// The format record of a FLAC stream's decoded frames: plain PCM (tag 1) for
// one or two channels of 8, 16, 24 or 32 bits, else WAVE_FORMAT_EXTENSIBLE
// with the valid bits and the channels' speaker positions; `fileSize` is the
// file's length. Decoder type kFlacDecoderType, type name "FLAC", data offset
// the first frame's, data size the decoded bytes, the STREAMINFO kept as the
// decoder setup.
void FlacFormatRecord(const FlacHeader& header, uint64_t fileSize, SoundFormatInfo& info);

// The speaker positions of a FLAC stream's channels (FLAC's channel order).
uint32_t FlacChannelMask(uint32_t channels);

}  // namespace snipora
