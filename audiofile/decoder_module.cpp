#include "audiofile/decoder_module.h"

#include <algorithm>

namespace snipora {

int Cdeclib::SeekSource(DecoderSeekRequest& request, CSectorFile& file, SoundFormatInfo&) {
  if (request.frame != 0) return -1;
  return file.SeekLarge(request.offset) == 0 ? 0 : -1;
}

int Cdeclib::Attach(void* first, void* second) {
  value1 = first;
  value2 = second;
  return 0;
}

void Cdeclib::Destroy() {
  delete this;
}

uint32_t Cdeclib::GetType() {
  return 0;
}

int Cdeclib::ReadHeader(CSectorFile&, SoundFormatInfo&) {
  return -1;
}

int Cdeclib::Decode(CRingBuffer& input, CRingBuffer& output, uint32_t limit) {
  if (input.Count() == 0) return kDecodeInputUsedUp;
  const uint32_t room = limit > output.Count() ? limit - output.Count() : 0;
  const uint32_t amount = std::min({input.Count(), room, output.FreeSpace()});
  if (amount > 0 && output.Transfer(input, amount) != 0) return kDecodeFailed;
  return input.Count() == 0 ? kDecodeInputUsedUp : kDecodeOk;
}

int Cdeclib::BeginDecode(CRingBuffer&, SoundFormatInfo&) {
  return 0;
}

int Cdeclib::EndDecode() {
  return 0;
}

Cdeclib::~Cdeclib() = default;

}  // namespace snipora
