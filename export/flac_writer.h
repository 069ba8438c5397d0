#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "audiofile/sound_format.h"
#include "export/export_job.h"
#include "export/fade.h"

// Writing FLAC pieces: the decoded frames of source ranges, encoded by
// libFLAC. A source is anything a sample source reads (sample_source.h):
// plain PCM WAVE or NWA data, or FLAC. Decoding a piece gives exactly the
// source's samples for its ranges, apart from its fades.
//
// WriteExport (export_job.h) writes the FLAC outputs of an export plan
// through these: one FlacEncoding for the source, one FlacPiece per output
// with the comments and fades the plan gives it, WriteFlacPieces
// (export/flac_pieces.h) with the export's progress.
namespace snipora {

// What every piece of one source shares.
struct FlacEncoding {
  std::string sourcePath;
  SoundFormatInfo format;  // the source's format record
  uint32_t level = 5;      // libFLAC's compression level, 0 to 8
};

// One output file: ranges of source frames joined in order.
struct FlacPiece {
  std::vector<ExportRange> ranges;
  std::string outputPath;
  std::vector<std::string> comments;  // its Vorbis comments, "NAME=value"
  // Its fades in its own frames (OutputFades on the decoded samples, the
  // same rule as WAVE outputs).
  std::vector<FadeSpan> fades;
};

// Whether pieces of a source so described can be written as FLAC: samples a
// sample source reads, integers (FLAC holds no floats) of 4 to 32 valid
// bits, 1 to 8 channels, a rate FLAC can state.
bool CanWriteFlac(const SoundFormatInfo& format);

// The bits of signal in each sample of a source so described: FLAC stores
// those.
uint32_t FlacSignalBits(const SoundFormatInfo& format);

// The samples FLAC stores for `count` frames of a source so described
// (CanWriteFlac): signed, shifted down to their signal bits, interleaved.
void FlacSamples(const uint8_t* frames, uint32_t count, const SoundFormatInfo& format,
                 std::vector<int32_t>& samples);

// Bytes of decoded sample data a piece holds.
uint64_t FlacPieceBytes(const FlacEncoding& encoding, const FlacPiece& piece);

// Encodes one piece to piece.outputPath on the calling thread: under a hidden
// temporary name beside it, made durable and renamed when complete; with a
// STREAMINFO whose MD5 and length are those of the samples written, its
// comments, a seek table (a point every 10 seconds) and 8 KiB of padding
// for tag editors. `bytesDone` grows by the decoded bytes taken (for
// progress); `stop` is polled between blocks and ends the piece with
// Cancelled. On any end but Done nothing is left behind. Ranges are
// checked by the caller (WriteFlacPieces).
ExportOutcome WriteFlacPiece(const FlacEncoding& encoding, const FlacPiece& piece,
                             std::atomic<uint64_t>& bytesDone, const std::atomic<bool>& stop);

}  // namespace snipora
