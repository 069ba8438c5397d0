#include "audiofile/sample_loops.h"

#include <algorithm>
#include <cstring>

#include "audiofile/riff_chunks.h"
#include "audiofile/sector_file.h"

namespace snipora {

namespace {

constexpr uint32_t kReaderRing = 65536;
constexpr uint32_t kFieldsSize = 36;  // the chunk's fields before its loops
constexpr uint32_t kLoopSize = 24;

// The chunk's fields and the whole loops its body holds (a body cut short
// keeps the loops that fit).
SampleChunk ParseChunk(const std::vector<uint8_t>& body) {
  const uint8_t* p = body.data();
  SampleChunk chunk;
  chunk.manufacturer = Le32(p);
  chunk.product = Le32(p + 4);
  chunk.samplePeriod = Le32(p + 8);
  chunk.unityNote = Le32(p + 12);
  chunk.pitchFraction = Le32(p + 16);
  chunk.smpteFormat = Le32(p + 20);
  chunk.smpteOffset = Le32(p + 24);
  const uint32_t count = Le32(p + 28);
  const uint64_t fitting = (body.size() - kFieldsSize) / kLoopSize;
  for (uint64_t i = 0; i < std::min<uint64_t>(count, fitting); ++i) {
    const uint8_t* l = p + kFieldsSize + i * kLoopSize;
    chunk.loops.push_back(
        {Le32(l), Le32(l + 4), Le32(l + 8), Le32(l + 12), Le32(l + 16), Le32(l + 20)});
  }
  return chunk;
}

}  // namespace

std::optional<SampleChunk> ReadSampleChunk(const std::string& path) {
  CSectorFile file(kReaderRing);
  if (file.Open(path.c_str(), "rb", 32) != 0) return std::nullopt;
  SectorFileBytes bytes(file);
  RiffChunkWalker walker(bytes);
  const uint64_t fileSize = file.GetSize();
  ChunkHeader chunk;
  while (walker.Next(chunk)) {
    if (!chunk.Is("smpl")) continue;
    const uint64_t room = fileSize - chunk.BodyOffset();
    if (chunk.size < kFieldsSize || room < kFieldsSize) return std::nullopt;
    // Never more loops than the count field claims, nor past the chunk or the file.
    std::vector<uint8_t> body(kFieldsSize);
    if (bytes.ReadAt(chunk.BodyOffset(), body.data(), kFieldsSize) != kFieldsSize)
      return std::nullopt;
    const uint64_t loopBytes = std::min<uint64_t>({uint64_t{kLoopSize} * Le32(body.data() + 28),
                                                   chunk.size - kFieldsSize, room - kFieldsSize});
    body.resize(kFieldsSize + loopBytes - loopBytes % kLoopSize);
    const size_t rest = body.size() - kFieldsSize;
    if (bytes.ReadAt(chunk.BodyOffset() + kFieldsSize, body.data() + kFieldsSize, rest) != rest) {
      return std::nullopt;
    }
    return ParseChunk(body);
  }
  return std::nullopt;
}

SampleChunk ForwardLoopChunk(uint32_t sampleRate, uint32_t start, uint32_t end) {
  SampleChunk chunk;
  chunk.samplePeriod = sampleRate ? 1000000000u / sampleRate : 0;
  chunk.loops.push_back({0, 0, start, end - 1, 0, 0});
  return chunk;
}

std::vector<SampleLoop> LoopsInside(const std::vector<SampleLoop>& loops, uint64_t start,
                                    uint64_t end, uint64_t to) {
  std::vector<SampleLoop> inside;
  for (SampleLoop loop : loops) {
    if (loop.start > loop.end || loop.start < start || loop.end >= end) continue;
    loop.start = static_cast<uint32_t>(loop.start - start + to);
    loop.end = static_cast<uint32_t>(loop.end - start + to);
    inside.push_back(loop);
  }
  return inside;
}

std::vector<uint8_t> SampleChunkBytes(const SampleChunk& chunk) {
  std::vector<uint8_t> out{'s', 'm', 'p', 'l'};
  const auto count = static_cast<uint32_t>(chunk.loops.size());
  AppendLe32(out, kFieldsSize + kLoopSize * count);
  for (uint32_t field :
       {chunk.manufacturer, chunk.product, chunk.samplePeriod, chunk.unityNote, chunk.pitchFraction,
        chunk.smpteFormat, chunk.smpteOffset, count, uint32_t{0}}) {
    AppendLe32(out, field);
  }
  for (const SampleLoop& l : chunk.loops) {
    for (uint32_t field : {l.cuePointId, l.type, l.start, l.end, l.fraction, l.playCount}) {
      AppendLe32(out, field);
    }
  }
  return out;
}

std::optional<std::pair<uint64_t, uint64_t>> FirstLoopBytes(const SampleChunk& chunk,
                                                            const SoundFormatInfo& info) {
  const uint64_t blockAlign = info.formatBlock.blockAlign;
  if (chunk.loops.empty() || blockAlign == 0) return std::nullopt;
  const SampleLoop& loop = chunk.loops.front();
  const uint64_t start = loop.start * blockAlign;
  const uint64_t end = (uint64_t{loop.end} + 1) * blockAlign;
  if (loop.start > loop.end || end > info.dataSize) return std::nullopt;
  return std::make_pair(start, end);
}

}  // namespace snipora
