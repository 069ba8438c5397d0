#pragma once

#include <memory>

#include "audiofile/decoder_module.h"

namespace snipora {

class CFlacStream;
class CFlacRingInput;

// Decodes FLAC files for the player (decoder type kFlacDecoderType).
// ReadHeader describes the decoded frames (FlacFormatRecord: the data offset
// is the first frame's, the data size the decoded bytes); Decode turns the
// file bytes of the player's input ring into those frames, frame by frame;
// SeekSource restarts decoding at exactly the frame asked for: it leaves the
// frame's later samples decoded and the file at the next frame.
class Cdeclib_flac : public Cdeclib {
 public:
  Cdeclib_flac();
  ~Cdeclib_flac() override;

  // Positions the file behind the frame that holds request.frame; request.offset
  // becomes that position, request.frame stays. 0, or -1 when the stream cannot
  // get there.
  int SeekSource(DecoderSeekRequest& request, CSectorFile& file, SoundFormatInfo& info) override;
  const char* GetInfo(int id, int* number) override;
  uint32_t GetType() override;
  // 0 for a FLAC file whose header states its length and whose last frame
  // decodes (ReadFlacFile); -1 otherwise.
  int ReadHeader(CSectorFile& file, SoundFormatInfo& info) override;
  // Moves decoded bytes into output, at most up to limit bytes held: kDecodeOk
  // when the output is full, kDecodeInputUsedUp when input holds no whole
  // frame more (or the stream has ended: what follows is dropped),
  // kDecodeFailed for damage or a frame larger than the input ring.
  int Decode(CRingBuffer& input, CRingBuffer& output, uint32_t limit) override;
  // Starts decoding at the first frame with the header kept in
  // info.decoderSetup; input holds the file from the data offset on.
  int BeginDecode(CRingBuffer& input, SoundFormatInfo& info) override;
  int EndDecode() override;

 private:
  std::unique_ptr<CFlacStream> stream_;
  std::unique_ptr<CFlacRingInput> ring_;
  bool begun_ = false;
};

}  // namespace snipora
