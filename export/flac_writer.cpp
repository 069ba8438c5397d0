#include "export/flac_writer.h"

#include <FLAC/metadata.h>
#include <FLAC/stream_encoder.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "audiofile/pcm_samples.h"
#include "audiofile/sample_source.h"
#include "audiofile/sound_units.h"
#include "export/fade.h"
#include "export/pending_output.h"

namespace snipora {

namespace {

// The source is read in blocks of this many frames at most.
constexpr uint32_t kBlockFrames = 8192;
constexpr uint32_t kReadBlockBytes = 1 << 20;
constexpr uint32_t kReadBlocks = 2;
// Seek points every this many seconds, as flac sets them.
constexpr uint32_t kSeekPointSeconds = 10;
constexpr uint32_t kPaddingBytes = 8192;
// libFLAC's writes are passed on in pieces the output's ring always takes.
constexpr uint32_t kLargestWrite = 1 << 20;

struct EncoderDeleter {
  void operator()(FLAC__StreamEncoder* encoder) const { FLAC__stream_encoder_delete(encoder); }
};
struct MetadataDeleter {
  void operator()(FLAC__StreamMetadata* block) const { FLAC__metadata_object_delete(block); }
};
using MetadataBlock = std::unique_ptr<FLAC__StreamMetadata, MetadataDeleter>;

FLAC__StreamEncoderWriteStatus OnWrite(const FLAC__StreamEncoder*, const FLAC__byte buffer[],
                                       size_t bytes, uint32_t, uint32_t, void* file) {
  auto& output = *static_cast<CSectorFile*>(file);
  for (size_t done = 0; done < bytes;) {
    const auto n = static_cast<uint32_t>(std::min<size_t>(bytes - done, kLargestWrite));
    if (output.Write(buffer + done, 1, n) != n)
      return FLAC__STREAM_ENCODER_WRITE_STATUS_FATAL_ERROR;
    done += n;
  }
  return FLAC__STREAM_ENCODER_WRITE_STATUS_OK;
}

FLAC__StreamEncoderSeekStatus OnSeek(const FLAC__StreamEncoder*, FLAC__uint64 position,
                                     void* file) {
  return static_cast<CSectorFile*>(file)->SeekLarge(position) == 0
             ? FLAC__STREAM_ENCODER_SEEK_STATUS_OK
             : FLAC__STREAM_ENCODER_SEEK_STATUS_ERROR;
}

FLAC__StreamEncoderTellStatus OnTell(const FLAC__StreamEncoder*, FLAC__uint64* position,
                                     void* file) {
  const int64_t at = static_cast<CSectorFile*>(file)->Tell();
  if (at < 0) return FLAC__STREAM_ENCODER_TELL_STATUS_ERROR;
  *position = static_cast<FLAC__uint64>(at);
  return FLAC__STREAM_ENCODER_TELL_STATUS_OK;
}

// The metadata blocks of a piece: comments, seek table, padding. Null when
// memory runs out.
std::vector<MetadataBlock> PieceMetadata(const std::vector<std::string>& comments, uint64_t frames,
                                         uint32_t rate) {
  std::vector<MetadataBlock> blocks;
  MetadataBlock tags(FLAC__metadata_object_new(FLAC__METADATA_TYPE_VORBIS_COMMENT));
  MetadataBlock seekTable(FLAC__metadata_object_new(FLAC__METADATA_TYPE_SEEKTABLE));
  MetadataBlock padding(FLAC__metadata_object_new(FLAC__METADATA_TYPE_PADDING));
  if (!tags || !seekTable || !padding) return {};
  for (const std::string& comment : comments) {
    FLAC__StreamMetadata_VorbisComment_Entry entry{
        static_cast<FLAC__uint32>(comment.size()),
        reinterpret_cast<FLAC__byte*>(const_cast<char*>(comment.data()))};
    if (!FLAC__metadata_object_vorbiscomment_append_comment(tags.get(), entry, true)) return {};
  }
  // The encoder fills the points in as it writes the frames.
  if (!FLAC__metadata_object_seektable_template_append_spaced_points_by_samples(
          seekTable.get(), kSeekPointSeconds * rate, frames) ||
      !FLAC__metadata_object_seektable_template_sort(seekTable.get(), true)) {
    return {};
  }
  padding->length = kPaddingBytes;
  blocks.push_back(std::move(tags));
  blocks.push_back(std::move(seekTable));
  blocks.push_back(std::move(padding));
  return blocks;
}

// One sample of type T as FLAC takes it: signed, shifted down to its signal bits.
template <PcmSampleType T>
FLAC__int32 FlacSample(const uint8_t* b, uint32_t shift) {
  if constexpr (T == PcmSampleType::kU8) return ReadU8(b) >> shift;
  if constexpr (T == PcmSampleType::kS16) return ReadS16(b) >> shift;
  if constexpr (T == PcmSampleType::kS24) return ReadS24(b) >> shift;
  return ReadS32(b) >> shift;
}

// `count` frames of `layout` as FLAC's interleaved samples. Frames without
// padding (the usual layout) are read as one run of samples.
template <PcmSampleType T>
void ConvertFrames(const uint8_t* frames, uint32_t count, const PcmLayout& layout, uint32_t shift,
                   FLAC__int32* out) {
  constexpr uint32_t kBytes = PcmSampleBytes(T);
  if (layout.blockAlign == layout.channels * kBytes) {
    const size_t samples = size_t{count} * layout.channels;
    for (size_t i = 0; i < samples; ++i) out[i] = FlacSample<T>(frames + i * kBytes, shift);
    return;
  }
  for (uint32_t f = 0; f < count; ++f) {
    const uint8_t* frame = frames + size_t{f} * layout.blockAlign;
    for (uint32_t c = 0; c < layout.channels; ++c) {
      *out++ = FlacSample<T>(frame + c * kBytes, shift);
    }
  }
}

void ConvertFrames(const uint8_t* frames, uint32_t count, const PcmLayout& layout, uint32_t shift,
                   std::vector<FLAC__int32>& out) {
  out.resize(size_t{count} * layout.channels);
  switch (layout.type) {
    case PcmSampleType::kU8:
      return ConvertFrames<PcmSampleType::kU8>(frames, count, layout, shift, out.data());
    case PcmSampleType::kS16:
      return ConvertFrames<PcmSampleType::kS16>(frames, count, layout, shift, out.data());
    case PcmSampleType::kS24:
      return ConvertFrames<PcmSampleType::kS24>(frames, count, layout, shift, out.data());
    default:
      return ConvertFrames<PcmSampleType::kS32>(frames, count, layout, shift, out.data());
  }
}

// Encodes the piece's frames, read from `source`, into the output file.
ExportOutcome Encode(const FlacEncoding& encoding, const FlacPiece& piece, ISampleRuns& source,
                     CSectorFile& output, std::atomic<uint64_t>& bytesDone,
                     const std::atomic<bool>& stop) {
  const SoundFormatInfo& format = encoding.format;
  const PcmLayout layout = *FrameLayoutOf(format);
  const uint32_t align = layout.blockAlign;
  const uint64_t length = FlacPieceBytes(encoding, piece);
  const uint64_t frames = length / align;
  const uint32_t rate = format.formatBlock.samplesPerSec;
  const uint32_t bits = FlacSignalBits(format);

  // The encoder reads the blocks until it is deleted: they outlive it.
  std::vector<MetadataBlock> blocks = PieceMetadata(piece.comments, frames, rate);
  std::unique_ptr<FLAC__StreamEncoder, EncoderDeleter> encoder(FLAC__stream_encoder_new());
  if (!encoder || blocks.empty()) return ExportOutcome::WriteFailed;
  std::vector<FLAC__StreamMetadata*> metadata;
  for (const MetadataBlock& block : blocks) metadata.push_back(block.get());
  FLAC__StreamEncoder* e = encoder.get();
  const bool subset = FLAC__format_sample_rate_is_subset(rate) &&
                      (bits == 8 || bits == 12 || bits == 16 || bits == 20 || bits == 24);
  if (!FLAC__stream_encoder_set_channels(e, layout.channels) ||
      !FLAC__stream_encoder_set_bits_per_sample(e, bits) ||
      !FLAC__stream_encoder_set_sample_rate(e, rate) ||
      !FLAC__stream_encoder_set_streamable_subset(e, subset) ||
      !FLAC__stream_encoder_set_compression_level(e, std::min(encoding.level, 8u)) ||
      !FLAC__stream_encoder_set_total_samples_estimate(e, frames) ||
      !FLAC__stream_encoder_set_metadata(e, metadata.data(),
                                         static_cast<uint32_t>(metadata.size())) ||
      FLAC__stream_encoder_init_stream(e, OnWrite, OnSeek, OnTell, nullptr, &output) !=
          FLAC__STREAM_ENCODER_INIT_STATUS_OK) {
    return ExportOutcome::WriteFailed;
  }

  const OutputFades fades(FrameScaler::ForFormat(format.formatBlock), piece.fades);
  const uint32_t shift = layout.bits - bits;
  std::vector<uint8_t> block(size_t{kBlockFrames} * align);
  std::vector<FLAC__int32> samples;
  for (uint64_t done = 0; done < length;) {
    if (stop.load(std::memory_order_relaxed)) {
      FLAC__stream_encoder_finish(e);
      return ExportOutcome::Cancelled;
    }
    const auto n = static_cast<uint32_t>(std::min<uint64_t>(block.size(), length - done));
    if (source.Read(block.data(), n) != 0) {
      FLAC__stream_encoder_finish(e);
      return ExportOutcome::ReadFailed;
    }
    // Frames outside the fade are left as they are.
    if (!fades.Empty()) fades.Apply(block.data(), n, done / align);
    ConvertFrames(block.data(), n / align, layout, shift, samples);
    if (!FLAC__stream_encoder_process_interleaved(e, samples.data(), n / align)) {
      FLAC__stream_encoder_finish(e);
      return ExportOutcome::WriteFailed;
    }
    done += n;
    bytesDone.fetch_add(n, std::memory_order_relaxed);
  }
  // Writes the last frames and the final STREAMINFO (MD5, length) and seek table.
  return FLAC__stream_encoder_finish(e) ? ExportOutcome::Done : ExportOutcome::WriteFailed;
}

}  // namespace

bool CanWriteFlac(const SoundFormatInfo& format) {
  const std::optional<PcmLayout> layout = FrameLayoutOf(format);
  if (!layout || layout->type == PcmSampleType::kF32 || layout->type == PcmSampleType::kF64) {
    return false;
  }
  const uint32_t bits = FlacSignalBits(format);
  const uint32_t rate = format.formatBlock.samplesPerSec;
  return layout->channels >= 1 && layout->channels <= FLAC__MAX_CHANNELS &&
         bits >= FLAC__MIN_BITS_PER_SAMPLE && bits <= layout->bits && rate >= 1 &&
         rate <= FLAC__MAX_SAMPLE_RATE;
}

uint32_t FlacSignalBits(const SoundFormatInfo& format) {
  return format.validBits != 0 ? format.validBits : format.formatBlock.bitsPerSample;
}

void FlacSamples(const uint8_t* frames, uint32_t count, const SoundFormatInfo& format,
                 std::vector<int32_t>& samples) {
  const PcmLayout layout = *FrameLayoutOf(format);
  ConvertFrames(frames, count, layout, layout.bits - FlacSignalBits(format), samples);
}

uint64_t FlacPieceBytes(const FlacEncoding& encoding, const FlacPiece& piece) {
  uint64_t frames = 0;
  for (const ExportRange& range : piece.ranges) frames += range.endFrame - range.startFrame;
  return FramesToBytes(frames, encoding.format.formatBlock.blockAlign);
}

ExportOutcome WriteFlacPiece(const FlacEncoding& encoding, const FlacPiece& piece,
                             std::atomic<uint64_t>& bytesDone, const std::atomic<bool>& stop) {
  if (!CanWriteFlac(encoding.format)) return ExportOutcome::SourceFailed;
  const std::unique_ptr<ISampleRuns> source =
      StartSampleRuns(encoding.sourcePath, encoding.format, SourceStretches(piece.ranges),
                      kReadBlockBytes, kReadBlocks);
  if (!source) return ExportOutcome::SourceFailed;
  CPendingOutput output(piece.outputPath, kExportRingBytes, 0);
  if (!output.Open()) return ExportOutcome::OutputFailed;
  const ExportOutcome outcome = Encode(encoding, piece, *source, output.File(), bytesDone, stop);
  if (outcome != ExportOutcome::Done) return outcome;  // the temporary file goes with `output`
  return output.Commit() ? ExportOutcome::Done : ExportOutcome::WriteFailed;
}

}  // namespace snipora
