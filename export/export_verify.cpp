#include "export/export_verify.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "audiofile/extent_reader.h"
#include "audiofile/sound_units.h"
#include "audiofile/wave_reader.h"
#include "audiofile/wave_writer.h"

namespace snipora {

namespace {

constexpr uint32_t kReadBlockBytes = 1 << 20;
constexpr uint32_t kReadBlocks = 2;

bool SameFormat(const WaveFormatBlock& a, const WaveFormatBlock& b) {
  return a.formatTag == b.formatTag && a.channels == b.channels &&
         a.samplesPerSec == b.samplesPerSec && a.avgBytesPerSec == b.avgBytesPerSec &&
         a.blockAlign == b.blockAlign && a.bitsPerSample == b.bitsPerSample;
}

// What is wrong with the output's header; empty when it is as planned.
// Sets dataOffset to where its samples start.
std::string CheckHeader(const ExportPlan& plan, const ExportOutput& output, int64_t& dataOffset) {
  if (!WaveFileMatchesHeader(output.path)) return "its size is not what its header states";
  SoundFormatInfo read;
  if (ProbeWaveFile(output.path.c_str(), read) != 0) return "it cannot be read as a WAVE file";
  if (!SameFormat(read.formatBlock, plan.format.formatBlock))
    return "its format is not the source's";
  const uint64_t length = DataLength(plan, output);
  if (read.dataSize != length) {
    return "its data is " + std::to_string(read.dataSize) + " bytes, not " + std::to_string(length);
  }
  const WaveExtraChunks chunks = output.ExtraChunks();
  const auto chunkBytes = static_cast<uint32_t>(chunks.size());
  const std::optional<WaveContainer> container =
      ContainerFor(plan.rf64, plan.format, length, chunkBytes);
  if (!container || read.dataOffset < 0 ||
      static_cast<uint32_t>(read.dataOffset) !=
          WaveHeaderSize(plan.format, chunkBytes, *container)) {
    return "its header is not as planned";
  }
  dataOffset = read.dataOffset;
  if (chunkBytes == 0) return "";
  CExtentReader file(kReadBlockBytes, kReadBlocks);
  if (file.Open(output.path.c_str()) != 0) return "it cannot be read";
  // The chunks lie just before the "data" chunk's 8-byte header.
  file.Start({{static_cast<uint64_t>(dataOffset) - 8 - chunkBytes, chunkBytes}});
  std::vector<uint8_t> kept(chunkBytes);
  if (file.Read(kept.data(), chunkBytes) != 0 || kept != chunks) {
    return "its chunks before the data are not as planned";
  }
  return "";
}

}  // namespace

std::string VerifyOutput(const ExportPlan& plan, const ExportOutput& output,
                         IExportProgress* progress) {
  int64_t dataOffset = 0;
  if (std::string problem = CheckHeader(plan, output, dataOffset); !problem.empty()) {
    return problem;
  }
  const uint32_t blockAlign = plan.format.formatBlock.blockAlign;
  const uint64_t length = DataLength(plan, output);
  std::vector<FileExtent> extents;
  for (const ExportRange& range : output.ranges) {
    extents.push_back({static_cast<uint32_t>(plan.format.dataOffset) +
                           FramesToBytes(range.startFrame, blockAlign),
                       FramesToBytes(range.endFrame - range.startFrame, blockAlign)});
  }
  CExtentReader source(kReadBlockBytes, kReadBlocks);
  CExtentReader written(kReadBlockBytes, kReadBlocks);
  if (source.Open(plan.sourcePath.c_str()) != 0) return "the source cannot be read again";
  if (written.Open(output.path.c_str()) != 0) return "it cannot be read";
  source.Start(std::move(extents));
  written.Start({{static_cast<uint64_t>(dataOffset), length}});
  std::optional<OutputFades> fades;
  if (!output.fades.empty())
    fades.emplace(FrameScaler::ForFormat(plan.format.formatBlock), output.fades);
  const uint32_t block = kReadBlockBytes - kReadBlockBytes % blockAlign;
  std::vector<uint8_t> expected(block), got(block);
  if (progress != nullptr) progress->SetFileRange(length);
  for (uint64_t done = 0; done < length;) {
    if (progress != nullptr) {
      progress->SetFilePosition(done);
      progress->Pump(false);
      if (progress->IsCancelled()) return "the check was cancelled";
    }
    const auto n = static_cast<uint32_t>(std::min<uint64_t>(block, length - done));
    if (source.Read(expected.data(), n) != 0) return "the source cannot be read again";
    if (written.Read(got.data(), n) != 0) return "its samples cannot be read";
    const uint64_t firstFrame = done / blockAlign;
    if (fades) fades->Apply(expected.data(), n, firstFrame);
    if (std::memcmp(expected.data(), got.data(), n) != 0) {
      const auto differs =
          std::mismatch(expected.begin(), expected.begin() + n, got.begin()).first -
          expected.begin();
      return "its frame " +
             std::to_string(firstFrame + static_cast<uint64_t>(differs) / blockAlign) +
             " differs from the source";
    }
    done += n;
  }
  return "";
}

}  // namespace snipora
