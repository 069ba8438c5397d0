// Feeds arbitrary bytes as a .flac file to the FLAC module's header reader
// and, when it accepts them, decodes them the two ways the program does: the
// engines' sample data read from the file, and the player's module fed from a
// ring of file bytes (from the start and after a seek). Both must agree on
// every byte they deliver; an accepted header must describe its data.
#include <algorithm>
#include <memory>
#include <vector>

#include "audiofile/flac_module.h"
#include "audiofile/ring_buffer.h"
#include "audiofile/sample_source.h"
#include "audiofile/sector_file.h"
#include "fuzz/fuzz_support.h"

namespace {

using snipora::CRingBuffer;
using snipora::CSectorFile;
using snipora::fuzz::Require;

// At most this much decoded data is looked at per input.
constexpr uint32_t kMostBytes = 1 << 20;
constexpr uint32_t kRingBytes = 1 << 16;

// Decodes through the module as the player does: file bytes into the input
// ring, Decode into the output ring, until `wanted` bytes, the end, or a failure.
std::vector<uint8_t> DecodeThroughModule(snipora::Cdeclib_flac& module, CSectorFile& file,
                                         CRingBuffer& input, CRingBuffer& output, uint32_t wanted) {
  std::vector<uint8_t> decoded;
  for (int round = 0; round < 10000 && decoded.size() < wanted; ++round) {
    const uint32_t room = input.FreeSpace();
    const bool more = room != 0 && file.ReadToRingChunked(input, room) == room;
    const int result = module.Decode(input, output, kRingBytes / 2);
    const uint32_t n = output.Count();
    decoded.resize(decoded.size() + n);
    output.Pop(decoded.data() + decoded.size() - n, n);
    if (result == snipora::kDecodeFailed) break;
    if (result == snipora::kDecodeInputUsedUp && !more && n == 0) break;
  }
  return decoded;
}

bool SamePrefix(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  const size_t n = std::min(a.size(), b.size());
  return std::equal(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(n), b.begin());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = snipora::fuzz::ScratchPath(".flac");
  snipora::fuzz::WriteScratchFile(path, data, size);
  CSectorFile file(kRingBytes, 512);
  Require(file.Open(path.c_str(), "rb", 0) == 0, "the scratch file does not open");
  snipora::SoundFormatInfo info;
  snipora::Cdeclib_flac module;
  if (module.ReadHeader(file, info) != 0) return 0;

  const snipora::WaveFormatBlock& block = info.formatBlock;
  Require(info.decoderType == snipora::kFlacDecoderType, "not described as FLAC");
  Require(block.channels >= 1 && block.channels <= 8, "a channel count FLAC does not have");
  Require(info.validBits >= 4 && info.validBits <= block.bitsPerSample &&
              block.bitsPerSample <= 32 && block.bitsPerSample % 8 == 0,
          "sample bits outside their container");
  Require(block.blockAlign == block.channels * block.bitsPerSample / 8, "a wrong frame size");
  Require(info.lengthFrames != 0 && info.dataSize == info.lengthFrames * block.blockAlign,
          "the data size is not the frames'");
  Require(info.dataOffset >= 42 && uint64_t(info.dataOffset) < size, "frames outside the file");

  const uint32_t wanted = static_cast<uint32_t>(std::min<uint64_t>(info.dataSize, kMostBytes)) /
                          block.blockAlign * block.blockAlign;
  const std::unique_ptr<snipora::ISampleData> sampleData = OpenSampleData(path, info, kRingBytes);
  Require(sampleData != nullptr, "an accepted file does not open for reading");
  std::vector<uint8_t> read(wanted);
  Require(sampleData->Seek(0) == 0, "the data start cannot be reached");
  read.resize(sampleData->Read(read.data(), wanted));

  CRingBuffer input, output;
  Require(input.Allocate(kRingBytes) == 0 && output.Allocate(kRingBytes) == 0, "no rings");
  Require(file.SeekLarge(static_cast<uint32_t>(info.dataOffset)) == 0, "no first frame");
  const uint32_t first = file.ReadToRingChunked(input, kRingBytes);
  Require(first > 0, "no byte at the first frame");
  if (module.BeginDecode(input, info) == 0) {
    const std::vector<uint8_t> played =
        DecodeThroughModule(module, file, input, output, static_cast<uint32_t>(read.size()));
    Require(SamePrefix(read, played), "the player's decoding differs from the engines'");

    // A seek to the middle frame, as the player's seek asks for it.
    const uint64_t frame = info.lengthFrames / 2;
    snipora::DecoderSeekRequest request{frame, 0};
    if (module.SeekSource(request, file, info) == 0) {
      Require(request.frame == frame, "the module moved the frame it was asked for");
      input.Clear();
      output.Clear();
      const std::vector<uint8_t> after =
          DecodeThroughModule(module, file, input, output, 64 * block.blockAlign);
      // The engines' reader may fail to get there (a damaged stream) where
      // the module did not: only what both deliver is compared.
      std::vector<uint8_t> expected(after.size());
      if (sampleData->Seek(frame * block.blockAlign) == 0) {
        expected.resize(sampleData->Read(expected.data(), static_cast<uint32_t>(expected.size())));
        Require(SamePrefix(expected, after), "the player's seek differs from the engines'");
      }
    }
    module.EndDecode();
  }
  file.Close();
  return 0;
}
