#pragma once

#include <string>

#include "audiofile/riff_chunks.h"
#include "ranges/labeled_range.h"

// The markers a WAVE file carries itself: the points of its "cue " chunk,
// named by the "labl" (or "ltxt", or "note") entries of a LIST "adtl" chunk;
// an "ltxt" entry with a sample length makes its point a region. Both chunks
// may lie before or after "data".
namespace snipora::ranges {

using snipora::ByteSource;
using snipora::MemoryBytes;

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
