#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audiofile/riff_chunks.h"
#include "ranges/labeled_range.h"

// The markers a WAVE file carries itself: the points of its "cue " chunk,
// named by the "labl" (or "ltxt", or "note") entries of a LIST "adtl" chunk;
// an "ltxt" entry with a sample length makes its point a region. Both chunks
// may lie before or after "data".
namespace snipora::ranges {

using snipora::ByteSource;
using snipora::MemoryBytes;

// A point of the "cue " chunk: its id and the frame of "data" it marks.
struct CuePoint {
  uint32_t id = 0;
  uint64_t frame = 0;
};

// A "labl", "note" or "ltxt" entry of a LIST "adtl" chunk: the cue point it
// names and its whole body (which starts with that id; an "ltxt" body goes
// on with the region's length in frames).
struct AdtlEntry {
  std::string id;
  uint32_t cuePointId = 0;
  std::vector<uint8_t> body;
};

// The marker chunks of a WAVE file as they are stored, in file order.
struct WaveMarkerChunks {
  std::vector<CuePoint> points;
  std::vector<AdtlEntry> entries;
};

// Reads the points of the first "cue " chunk and the entries of every LIST
// "adtl" chunk. Refused (the reason returned, nothing kept): not a RIFF WAVE
// file, chunks cut short or too large for a marker list.
std::string ReadWaveMarkerChunks(ByteSource& file, WaveMarkerChunks& chunks);

// Reads the markers as ranges, in time order: a region is a range; a point
// runs to the next marker that starts after it, the last one to the end of
// the data (audio before the first marker is not cut). Refused: not a RIFF
// WAVE file, chunks cut short, markers beyond the data, an encoding iconv
// does not know. No markers: no ranges. A name that is not UTF-8 is read in
// `encoding` when one is named and it reads; else its unreadable bytes
// become U+FFFD, with a note.
RangeListRead ReadWaveMarkers(ByteSource& file, const SourceShape& shape,
                              const std::string& encoding = {});

// The same, from the file at path.
RangeListRead ReadWaveMarkersOfFile(const std::string& path, const SourceShape& shape,
                                    const std::string& encoding = {});

}  // namespace snipora::ranges
