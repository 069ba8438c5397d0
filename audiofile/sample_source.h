#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audiofile/sound_format.h"

// The sample data of a sound file as its format record describes it: plain
// data (decoder type 0) straight from the file, FLAC decoded. Positions are
// bytes of that data (frame x block alignment), whatever the file stores.
// The engines that read samples (waveform, loop search, silence finder, the
// FLAC writer) go through these, so that a decoded file reads like a WAVE
// file; for plain data they are the unbuffered file readers they always were.
namespace snipora {

// Whether the sample data of a file so described can be read here: plain
// data or FLAC.
bool HasSampleData(const SoundFormatInfo& info);

// Reads the sample data at any position. One thread.
class ISampleData {
 public:
  virtual ~ISampleData() = default;
  // Moves to byte `position` of the data. 0, or non-zero when it cannot be
  // reached (beyond the data, or a read or decode failure).
  virtual int Seek(uint64_t position) = 0;
  // Copies up to n bytes from the position on and moves past them; fewer at
  // the end of the data or on a read or decode failure. (Plain data reads as
  // the file holds it, also past the data: the loop search relies on that.)
  virtual uint32_t Read(void* dst, uint32_t n) = 0;
};

// Opens the file at `path`, described by `info`, through a ring of ringBytes;
// with readAhead false, plain data reads only what is asked for. Null when
// HasSampleData is false or the file cannot be opened (or decoded).
std::unique_ptr<ISampleData> OpenSampleData(const std::string& path, const SoundFormatInfo& info,
                                            uint32_t ringBytes, bool readAhead = true);

// Frames [start, end) of the sample data.
struct FrameStretch {
  uint64_t start = 0;
  uint64_t end = 0;
};

// Hands out the bytes of given stretches of the sample data, in order, as runs
// the caller may change in place until it consumes them (CExtentReader's
// way). One caller thread.
class ISampleRuns {
 public:
  virtual ~ISampleRuns() = default;
  // The next run: at most maxLength (> 0) bytes, waiting until they are
  // there. 0, or 6 when they cannot be delivered (read or decode failure,
  // data cut short, nothing left of the stretches).
  virtual int Next(uint32_t maxLength, uint8_t** data, uint32_t* length) = 0;
  // Marks the first n bytes of the last run as used.
  virtual void Consume(uint32_t n) = 0;
  // Copies the next n bytes into dst, run by run. 0, or 6 as Next.
  int Read(void* dst, uint32_t n);
};

// Opens the file and starts delivering the frames of `spans` (which must lie
// inside the data) in order: plain data through a CExtentReader, read ahead
// in blockCount blocks of blockBytes on a thread of its own; FLAC decoded as
// it is taken. Null as OpenSampleData.
std::unique_ptr<ISampleRuns> StartSampleRuns(const std::string& path, const SoundFormatInfo& info,
                                             const std::vector<FrameStretch>& spans,
                                             uint32_t blockBytes, uint32_t blockCount);

}  // namespace snipora
