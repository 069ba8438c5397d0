#pragma once

#include "ranges/labeled_range.h"

// CUE sheets for one WAVE file: each TRACK's INDEX 01 (mm:ss:ff, 75 frames a
// second) starts a range that the next track's INDEX 01 ends, the last one
// the end of the data; TITLE names it.
namespace snipora::ranges {

// Reads the tracks of a sheet. A pregap (INDEX 00) belongs to the track
// before; REM, PERFORMER, other indexes and other commands are ignored.
// Taken with a note naming the line: an unknown command, a track number
// repeated or out of order (tracks are cut in the order of their lines).
// Refused: a second FILE, a track that is not AUDIO or has no INDEX 01,
// tracks out of time order, a start beyond the data, malformed lines.
RangeListRead ReadCueSheet(const std::string& text, const SourceShape& shape);

// A sheet for the WAVE file named fileName with one track per range. Bounds
// are rounded to 1/75 s, and a range can end only where the next starts (the
// last at the end of the data): each bound that does not read back as itself
// gets a note. Refused: ranges out of time order, more than 99 ranges.
RangeListText WriteCueSheet(const std::vector<LabeledRange>& ranges, const SourceShape& shape,
                            const std::string& fileName);

}  // namespace snipora::ranges
