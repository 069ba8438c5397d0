#pragma once

#include <cstddef>
#include <cstdint>

#include "ranges/labeled_range.h"

// The markers a WAVE file carries itself: the points of its "cue " chunk,
// named by the "labl" (or "ltxt", or "note") entries of a LIST "adtl" chunk;
// an "ltxt" entry with a sample length makes its point a region. Both chunks
// may lie before or after "data".
namespace snipora::ranges {

// Random access to the bytes of a file.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t Size() const = 0;
  // Reads up to count bytes at offset; returns how many were read.
  virtual size_t ReadAt(uint64_t offset, void* into, size_t count) = 0;
};

// Bytes held in memory (tests, fuzzing, a file already read).
class MemoryBytes : public ByteSource {
 public:
  MemoryBytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint64_t Size() const override { return size_; }
  size_t ReadAt(uint64_t offset, void* into, size_t count) override;

 private:
  const uint8_t* data_;
  size_t size_;
};

// Reads the markers as ranges, in time order: a region is a range; a point
// runs to the next marker that starts after it, the last one to the end of
// the data (audio before the first marker is not cut). Refused: not a RIFF
// WAVE file, chunks cut short, markers beyond the data. No markers: no ranges.
RangeListRead ReadWaveMarkers(ByteSource& file, const SourceShape& shape);

// The same, from the file at path.
RangeListRead ReadWaveMarkersOfFile(const std::string& path, const SourceShape& shape);

}  // namespace snipora::ranges
