// The one chunk walk every WAVE reader uses: pad bytes that writers forget,
// and "data" sizes that defer to "ds64" or to the end of the file.
#include "audiofile/riff_chunks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/wave_bytes.h"

namespace snipora {
namespace {

using test::Bytes;
using test::RiffChunk;
using test::RiffWave;

struct Seen {
  std::string id;
  uint64_t offset;
  uint64_t size;
  bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Seen& seen) {
  return out << seen.id << "@" << seen.offset << "+" << seen.size;
}

// A file and the chunks a walk over it must find.
struct Layout {
  const char* name;
  Bytes file;
  std::vector<Seen> chunks;
};

std::vector<Seen> Walk(const Bytes& file) {
  MemoryBytes bytes(file.data(), file.size());
  RiffChunkWalker walker(bytes);
  std::vector<Seen> seen;
  ChunkHeader chunk;
  while (walker.Next(chunk)) seen.push_back({std::string(chunk.id, 4), chunk.offset, chunk.size});
  return seen;
}

// After an odd chunk whose writer forgot the pad, the four bytes after the
// pad are the next id's last three letters and the low byte of its size:
// printable whenever that byte is. For every printable low byte the walk
// finds the chunks as written, padded or not, before "data", before an
// unknown chunk that also fits when misread, and with bytes after the last
// chunk that are no chunk at all.
TEST(RiffChunkWalker, PadByteDecidedByWhatFollows) {
  const Bytes fmt = RiffChunk("fmt ", test::PcmFormatBody(2, 44100, 16));  // 24 bytes at 12
  const Bytes junk3 = {1, 2, 3};
  for (uint32_t low = 0x20; low <= 0x7E; ++low) {
    SCOPED_TRACE(low);
    const Bytes body(low, 0);
    const uint64_t unknownEnd = 47 + 8 + low;
    Bytes trailing = RiffWave({fmt, RiffChunk("junk", junk3, false), RiffChunk("abcd", body),
                               RiffChunk("data", Bytes(4, 1))});
    trailing.insert(trailing.end(), 16, 0);
    const Layout layouts[] = {
        {"data, no pad",
         RiffWave({fmt, RiffChunk("junk", junk3, false), RiffChunk("data", body)}),
         {{"fmt ", 12, 16}, {"junk", 36, 3}, {"data", 47, low}}},
        {"data, padded",
         RiffWave({fmt, RiffChunk("junk", junk3), RiffChunk("data", body)}),
         {{"fmt ", 12, 16}, {"junk", 36, 3}, {"data", 48, low}}},
        {"unknown chunk, no pad",
         RiffWave({fmt, RiffChunk("junk", junk3, false), RiffChunk("abcd", body),
                   RiffChunk("data", Bytes(4, 1))}),
         {{"fmt ", 12, 16}, {"junk", 36, 3}, {"abcd", 47, low}, {"data", unknownEnd + low % 2, 4}}},
        {"unknown chunk, no pad, zeros after the last chunk",
         trailing,
         {{"fmt ", 12, 16}, {"junk", 36, 3}, {"abcd", 47, low}, {"data", unknownEnd + low % 2, 4}}},
    };
    for (const auto& layout : layouts) {
      SCOPED_TRACE(layout.name);
      EXPECT_EQ(Walk(layout.file), layout.chunks);
    }
  }
}

// A "data" size of 0xFFFFFFFF is the one "ds64" states; without "ds64", or
// with the zeros a streaming writer leaves in it, the data runs to the end of
// the file. A chunk that claims more than the file holds is the last one.
TEST(RiffChunkWalker, DataSizesAndTheEnd) {
  const Bytes fmt = RiffChunk("fmt ", test::PcmFormatBody(1, 8000, 16));
  const Bytes samples(10, 7);
  const auto with = [](Bytes header, const Bytes& tail) {
    header.insert(header.end(), tail.begin(), tail.end());
    return header;
  };
  Bytes streamedRf64 = test::Rf64Header("RF64", 6, 2, {fmt});
  std::fill(streamedRf64.begin() + 20, streamedRf64.begin() + 48, 0);  // the ds64 body
  Bytes streamedRiff = RiffWave({fmt});
  test::PutText(streamedRiff, "data");
  test::PutU32(streamedRiff, 0xFFFFFFFF);
  const Bytes list = RiffChunk("LIST", Bytes(4, 'x'));
  Bytes cutList = RiffWave({fmt, RiffChunk("data", samples), RiffChunk("LIST", Bytes(40, 'x'))});
  cutList.resize(cutList.size() - 20);
  const Layout cases[] = {
      {"RF64: the size from ds64, then what follows",
       with(test::Rf64Header("RF64", 6, 2, {fmt}), with(Bytes(6, 1), list)),
       {{"ds64", 12, 28}, {"fmt ", 48, 16}, {"data", 72, 6}, {"LIST", 86, 4}}},
      {"RF64 streamed: ds64 sizes never filled in",
       with(streamedRf64, samples),
       {{"ds64", 12, 28}, {"fmt ", 48, 16}, {"data", 72, 10}}},
      {"RIFF streamed", with(streamedRiff, samples), {{"fmt ", 12, 16}, {"data", 36, 10}}},
      {"a chunk cut short by the end of the file",
       cutList,
       {{"fmt ", 12, 16}, {"data", 36, 10}, {"LIST", 54, 40}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Walk(c.file), c.chunks);
  }
  EXPECT_TRUE(Walk(Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '}).empty());
}

}  // namespace
}  // namespace snipora
