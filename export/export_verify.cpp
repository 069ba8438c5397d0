#include "export/export_verify.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "audiofile/extent_reader.h"
#include "audiofile/flac_file.h"
#include "audiofile/sound_units.h"
#include "audiofile/wave_reader.h"
#include "audiofile/wave_writer.h"
#include "export/flac_writer.h"

namespace snipora {

namespace {

constexpr uint32_t kReadBlockBytes = 1 << 20;
constexpr uint32_t kReadBlocks = 2;

bool SameFormat(const WaveFormatBlock& a, const WaveFormatBlock& b) {
  return a.formatTag == b.formatTag && a.channels == b.channels &&
         a.samplesPerSec == b.samplesPerSec && a.avgBytesPerSec == b.avgBytesPerSec &&
         a.blockAlign == b.blockAlign && a.bitsPerSample == b.bitsPerSample;
}

// Reads `length` bytes of the file at `path` from `offset` on, unbuffered.
std::unique_ptr<ISampleRuns> FileStretch(const std::string& path, uint64_t offset,
                                         uint64_t length) {
  auto file = std::make_unique<CExtentReader>(kReadBlockBytes, kReadBlocks);
  if (file->Open(path.c_str()) != 0) return nullptr;
  file->Start({{offset, length}});
  return file;
}

// What is wrong with a WAVE output's header; empty when it is as planned.
// Then `samples` reads its sample data.
std::string CheckWave(const ExportPlan& plan, const ExportOutput& output,
                      std::unique_ptr<ISampleRuns>& samples) {
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
  const auto dataOffset = static_cast<uint64_t>(read.dataOffset);
  if (chunkBytes > 0) {
    // The chunks lie just before the "data" chunk's 8-byte header.
    const std::unique_ptr<ISampleRuns> file =
        FileStretch(output.path, dataOffset - 8 - chunkBytes, chunkBytes);
    std::vector<uint8_t> kept(chunkBytes);
    if (!file) return "it cannot be read";
    if (file->Read(kept.data(), chunkBytes) != 0 || kept != chunks) {
      return "its chunks before the data are not as planned";
    }
  }
  samples = FileStretch(output.path, dataOffset, length);
  return samples ? "" : "it cannot be read";
}

// What is wrong with a FLAC output's stream header and comments; empty when
// they are as planned. Then `samples` decodes it, described by `format`.
std::string CheckFlac(const ExportPlan& plan, const ExportOutput& output,
                      std::unique_ptr<ISampleRuns>& samples, SoundFormatInfo& format) {
  FlacHeader header;
  if (ReadFlacFile(output.path, format, &header) != FlacProblem::kNone) {
    return "it cannot be read as a FLAC file";
  }
  const WaveFormatBlock& source = plan.format.formatBlock;
  if (header.channels != source.channels || header.sampleRate != source.samplesPerSec ||
      header.bitsPerSample != FlacSignalBits(plan.format)) {
    return "its format is not the source's";
  }
  if (header.totalFrames != output.Frames()) {
    return "it holds " + std::to_string(header.totalFrames) + " frames, not " +
           std::to_string(output.Frames());
  }
  if (header.comments != output.comments) return "its comments are not as planned";
  samples =
      StartSampleRuns(output.path, format, {{0, header.totalFrames}}, kReadBlockBytes, kReadBlocks);
  return samples ? "" : "it cannot be decoded";
}

// The first sample that differs, as a frame of the block; nothing when all agree.
std::optional<uint64_t> DifferentFrame(const std::vector<uint8_t>& expected,
                                       const std::vector<uint8_t>& got, uint32_t frames,
                                       const SoundFormatInfo& sourceFormat,
                                       const SoundFormatInfo* flacFormat) {
  const uint32_t align = sourceFormat.formatBlock.blockAlign;
  if (flacFormat == nullptr) {
    const size_t n = size_t{frames} * align;
    if (std::memcmp(expected.data(), got.data(), n) == 0) return std::nullopt;
    return (std::mismatch(expected.begin(), expected.begin() + n, got.begin()).first -
            expected.begin()) /
           align;
  }
  // A FLAC output holds the samples' signal bits, which it decodes into the
  // container FLAC gives them: compared as the values FLAC stores.
  std::vector<int32_t> want, have;
  FlacSamples(expected.data(), frames, sourceFormat, want);
  FlacSamples(got.data(), frames, *flacFormat, have);
  if (want == have) return std::nullopt;
  return (std::mismatch(want.begin(), want.end(), have.begin()).first - want.begin()) /
         sourceFormat.formatBlock.channels;
}

}  // namespace

std::string VerifyOutput(const ExportPlan& plan, const ExportOutput& output,
                         IExportProgress* progress) {
  const bool flac = output.format == OutputFormat::kFlac;
  std::unique_ptr<ISampleRuns> written;
  SoundFormatInfo flacFormat;
  if (std::string problem =
          flac ? CheckFlac(plan, output, written, flacFormat) : CheckWave(plan, output, written);
      !problem.empty()) {
    return problem;
  }
  const std::unique_ptr<ISampleRuns> source = StartSampleRuns(
      plan.sourcePath, plan.format, SourceStretches(output.ranges), kReadBlockBytes, kReadBlocks);
  if (!source) return "the source cannot be read again";
  std::optional<OutputFades> fades;
  if (!output.fades.empty())
    fades.emplace(FrameScaler::ForFormat(plan.format.formatBlock), output.fades);
  const uint32_t align = plan.format.formatBlock.blockAlign;
  const uint32_t writtenAlign = flac ? flacFormat.formatBlock.blockAlign : align;
  const uint32_t blockFrames = kReadBlockBytes / std::max(align, writtenAlign);
  std::vector<uint8_t> expected(size_t{blockFrames} * align);
  std::vector<uint8_t> got(size_t{blockFrames} * writtenAlign);
  const uint64_t frames = output.Frames();
  if (progress != nullptr) progress->SetFileRange(FramesToBytes(frames, align));
  for (uint64_t done = 0; done < frames;) {
    if (progress != nullptr) {
      progress->SetFilePosition(FramesToBytes(done, align));
      progress->Pump(false);
      if (progress->IsCancelled()) return "the check was cancelled";
    }
    const auto n = static_cast<uint32_t>(std::min<uint64_t>(blockFrames, frames - done));
    if (source->Read(expected.data(), n * align) != 0) return "the source cannot be read again";
    if (written->Read(got.data(), n * writtenAlign) != 0) return "its samples cannot be read";
    if (fades) fades->Apply(expected.data(), n * align, done);
    if (const std::optional<uint64_t> differs =
            DifferentFrame(expected, got, n, plan.format, flac ? &flacFormat : nullptr)) {
      return "its frame " + std::to_string(done + *differs) + " differs from the source";
    }
    done += n;
  }
  return "";
}

}  // namespace snipora
