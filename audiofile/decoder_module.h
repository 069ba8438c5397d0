#pragma once

#include <cstdint>

#include "audiofile/ring_buffer.h"
#include "audiofile/sector_file.h"
#include "audiofile/sound_format.h"

namespace snipora {

// Where decoding should restart: a frame index and a byte offset of the file.
// A module may overwrite both with where decoding really restarts. 64-bit:
// long files pass 2^32 frames, large ones 4 GiB.
struct DecoderSeekRequest {
  uint64_t frame;
  uint64_t offset;
};

// Results of Decode understood by the player.
inline constexpr int kDecodeFailed = -1;
inline constexpr int kDecodeOk = 0;
inline constexpr int kDecodeInputUsedUp = 1;
inline constexpr int kDecodeNeedSmallerLimit = 2;

// A decoder module: recognises a file format, describes it in a
// SoundFormatInfo and, for compressed data, turns file bytes into PCM bytes.
// Registered with and owned by the player, which releases it with Destroy.
// The virtual operations keep this order.
class Cdeclib {
 public:
  Cdeclib() = default;
  Cdeclib(const Cdeclib&) = delete;
  Cdeclib& operator=(const Cdeclib&) = delete;

  // -1 unless request.frame is 0; otherwise SeekLarge(request.offset), 0.
  virtual int SeekSource(DecoderSeekRequest& request, CSectorFile& file, SoundFormatInfo& info);
  // Text for an information id (null when unknown); number: optional out value.
  virtual const char* GetInfo(int id, int* number) = 0;
  // Called once at registration with the player's two scratch buffers; 0.
  virtual int Attach(void* value1, void* value2);
  // Destroys the module object.
  virtual void Destroy();
  // The decoder type this module decodes; 0 = none.
  virtual uint32_t GetType();
  // Recognises the file (positioned at 0) and fills info; 0, or -1.
  virtual int ReadHeader(CSectorFile& file, SoundFormatInfo& info);
  // Moves bytes unchanged from input to output, the output holding at most
  // limit bytes. kDecodeOk when bytes moved, kDecodeInputUsedUp when the
  // input is empty, kDecodeNeedSmallerLimit when the output is already at the
  // limit, kDecodeFailed on a ring failure.
  virtual int Decode(CRingBuffer& input, CRingBuffer& output, uint32_t limit);
  // Called after the input ring was first filled; 0.
  virtual int BeginDecode(CRingBuffer& input, SoundFormatInfo& info);
  // Called when a decoding pass ends; 0.
  virtual int EndDecode();
  virtual ~Cdeclib();

  Cdeclib* next = nullptr;  // the next module in the player's list
  void* value1 = nullptr;   // handed over by Attach
  void* value2 = nullptr;
};

}  // namespace snipora
