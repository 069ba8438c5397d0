#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "audiofile/riff_chunks.h"
#include "audiofile/sample_loops.h"
#include "export/export_plan.h"
#include "ranges/wave_markers.h"

// The chunks of the source that outputs keep, made right for each output:
// LIST "INFO" (a split piece's INAM is its label, when it has one, and ITRK
// its number), "bext" with its TimeReference advanced to the output's first
// source frame (and iXML's fields that hold the same time reference),
// "iXML", and the markers ("cue " points with their LIST "adtl" texts) that
// lie inside the output, moved to its frames. No other chunk is kept.
namespace snipora {

struct SourceMetadata {
  // The LIST "INFO" entries, each text as stored (with the terminating zero
  // byte, if the writer gave one).
  std::vector<ListEntry> info;
  std::vector<uint8_t> bext;  // the chunk's body; empty: none
  std::vector<uint8_t> ixml;  // the chunk's body; empty: none
  ranges::WaveMarkerChunks markers;
  std::optional<SampleChunk> loops;
  std::vector<std::string> notes;  // chunks that cannot be kept, and why
};

// Reads the chunks an output may keep from the file at path (nothing from a
// file that is no RIFF WAVE file).
SourceMetadata ReadSourceMetadata(const std::string& path);

// Fills in each output's metadata chunks; markers that lie in no output are
// named in the plan's notes.
void PlanMetadata(const SourceMetadata& source, ExportPlan& plan);

// The iXML text with the time reference moved from `from` to `to`: each of
// the pairs BWF_TIME_REFERENCE_LOW/HIGH and
// TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_LO/HI whose value is `from` gets `to`; the
// rest of the text stays as it is.
std::string MovedIxmlTimeReference(const std::string& text, uint64_t from, uint64_t to);

// The time reference an iXML text states in BWF_TIME_REFERENCE_LOW/HIGH.
std::optional<uint64_t> IxmlTimeReference(const std::string& text);

}  // namespace snipora
