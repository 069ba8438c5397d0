#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "audiofile/sound_format.h"
#include "export/export_job.h"

// Writing FLAC pieces: the decoded frames of source ranges, encoded by
// libFLAC. A source is anything a sample source reads (sample_source.h):
// plain PCM WAVE or NWA data, or FLAC. Decoding a piece gives exactly the
// source's samples for its ranges, apart from a fade-out.
//
// How the export uses it: fill one FlacEncoding for the source (its comments
// from SourceVorbisComments) and one FlacPiece per output file, check
// CanWriteFlac(format) and present a refusal when it is false, then call
// WriteFlacPieces (export/flac_pieces.h) with the export's progress display.
namespace snipora {

// What every piece of one source shares.
struct FlacEncoding {
  std::string sourcePath;
  SoundFormatInfo format;  // the source's format record
  // Vorbis comments carried into every piece, "NAME=value" (see
  // SourceVorbisComments); a piece's title and track number replace the
  // comments of those names.
  std::vector<std::string> comments;
  uint32_t level = 5;  // libFLAC's compression level, 0 to 8
};

// One output file: ranges of source frames joined in order.
struct FlacPiece {
  std::vector<ExportRange> ranges;
  std::string outputPath;
  std::string title;         // TITLE (a label); empty: the carried TITLE, if any, stays
  uint32_t trackNumber = 0;  // TRACKNUMBER; 0: the carried one, if any, stays
  // Fade-out over the piece's last fadeMs, across the seams of its ranges:
  // the export's fade (OutputFades) on the decoded samples. 0 = none.
  uint32_t fadeMs = 0;
};

// Whether pieces of a source so described can be written as FLAC: samples a
// sample source reads, integers (FLAC holds no floats) of 4 to 32 valid
// bits, 1 to 8 channels, a rate FLAC can state.
bool CanWriteFlac(const SoundFormatInfo& format);

// The Vorbis comments of a FLAC source ("NAME=value", in order); none for
// other sources or when the header cannot be read.
std::vector<std::string> SourceVorbisComments(const std::string& path,
                                              const SoundFormatInfo& format);

// The comments of a piece: the carried ones, TITLE and TRACKNUMBER replaced
// when the piece names them.
std::vector<std::string> PieceComments(const FlacEncoding& encoding, const FlacPiece& piece);

// Bytes of decoded sample data a piece holds.
uint64_t FlacPieceBytes(const FlacEncoding& encoding, const FlacPiece& piece);

// Encodes one piece to piece.outputPath on the calling thread: under a hidden
// temporary name beside it, made durable and renamed when complete; with a
// STREAMINFO whose MD5 and length are those of the samples written, the
// comments, a seek table (a point every 10 seconds) and 8 KiB of padding
// for tag editors. `bytesDone` grows by the decoded bytes taken (for
// progress); `stop` is polled between blocks and ends the piece with
// Cancelled. On any end but Done nothing is left behind. Ranges are
// checked by the caller (WriteFlacPieces).
ExportOutcome WriteFlacPiece(const FlacEncoding& encoding, const FlacPiece& piece,
                             std::atomic<uint64_t>& bytesDone, const std::atomic<bool>& stop);

}  // namespace snipora
