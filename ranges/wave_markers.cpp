#include "ranges/wave_markers.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/system/file_io.h"
#include "ranges/list_encoding.h"
#include "ranges/messages.h"

namespace snipora::ranges {

namespace {

// Larger "cue " or LIST chunks are not marker lists anyone writes.
constexpr uint64_t kMaxMarkerChunkBytes = 16u << 20;

struct MarkerTexts {
  std::map<uint32_t, std::string> labl, ltxt, note;
  std::map<uint32_t, uint64_t> length;  // ltxt sample lengths
};

uint32_t U32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Text stored with a terminating NUL (or none).
std::string ZeroTerminated(const uint8_t* p, size_t size) {
  const auto* end = static_cast<const uint8_t*>(std::memchr(p, 0, size));
  return std::string(reinterpret_cast<const char*>(p), end ? end - p : size);
}

// A chunk as the messages name it: its id and the byte it starts at.
struct ChunkName {
  std::string id;
  std::string byte;
};

std::string ChunkProblem(const char* text, const ChunkName& chunk, const std::string& entry = {}) {
  return Say(text, {chunk.id, chunk.byte, entry});
}

std::string ReadCuePoints(const std::vector<uint8_t>& chunk, const ChunkName& name,
                          std::vector<CuePoint>& points) {
  if (chunk.size() < 4 || (chunk.size() - 4) / 24 < U32(chunk.data()))
    return ChunkProblem(QT_TRANSLATE_NOOP("ranges", "the %1 chunk at byte %2 is cut short"), name);
  for (uint32_t i = 0; i < U32(chunk.data()); ++i) {
    const uint8_t* point = chunk.data() + 4 + 24 * i;
    // id, position in play order, chunk id, chunk start, block start, sample
    // offset; in a plain file the sample offset is the frame in "data".
    points.push_back({U32(point), U32(point + 20)});
  }
  return "";
}

// Where an entry's text starts: after the cue point id, and in an "ltxt"
// entry after the region's length, purpose, country, language, dialect and
// code page.
size_t AdtlTextOffset(const std::string& id) {
  return id == "ltxt" ? 20 : 4;
}

std::string ReadAdtl(const std::vector<uint8_t>& chunk, const ChunkName& name,
                     std::vector<AdtlEntry>& entries) {
  std::vector<ListEntry> list;
  const bool whole = ReadListEntries(chunk, list);
  for (ListEntry& entry : list) {
    if (entry.id != "labl" && entry.id != "note" && entry.id != "ltxt") continue;
    const size_t head = AdtlTextOffset(entry.id);
    if (entry.body.size() < head)
      return ChunkProblem(
          QT_TRANSLATE_NOOP("ranges", "the %1 chunk at byte %2 has a %3 entry cut short"), name,
          entry.id);
    const uint32_t cuePointId = U32(entry.body.data());
    entries.push_back({std::move(entry.id), cuePointId, std::move(entry.body)});
  }
  if (!whole)
    return ChunkProblem(
        QT_TRANSLATE_NOOP("ranges", "the %1 chunk at byte %2 has an entry cut short"), name);
  return "";
}

class FileBytes : public ByteSource {
 public:
  explicit FileBytes(const std::string& path)
      : fd_(fileio::OpenFile(path.c_str(), fileio::OpenAccess::Read, false).fd) {}
  ~FileBytes() override {
    if (fd_ >= 0) fileio::CloseFile(fd_);
  }
  bool IsOpen() const { return fd_ >= 0; }
  uint64_t Size() const override {
    const int64_t size = fileio::FileSize(fd_);
    return size < 0 ? 0 : static_cast<uint64_t>(size);
  }
  size_t ReadAt(uint64_t offset, void* into, size_t count) override {
    if (fileio::SeekTo(fd_, static_cast<int64_t>(offset)) < 0) return 0;
    const ssize_t got = fileio::ReadFull(fd_, into, count);
    return got < 0 ? 0 : static_cast<size_t>(got);
  }

 private:
  int fd_;
};

}  // namespace

std::string ReadWaveMarkerChunks(ByteSource& file, WaveMarkerChunks& chunks) {
  chunks = {};
  const uint64_t fileSize = file.Size();
  RiffChunkWalker walker(file);
  if (!walker.IsWave()) return Say(QT_TRANSLATE_NOOP("ranges", "not a RIFF WAVE file"));
  bool haveCue = false;
  ChunkHeader chunk;
  while (walker.Next(chunk)) {
    const std::string id(chunk.id, 4);
    const ChunkName name{id == "cue " ? std::string("cue") : id, std::to_string(chunk.offset)};
    uint8_t listType[4] = {};
    const bool wanted = (id == "cue " && !haveCue) ||
                        (id == "LIST" && file.ReadAt(chunk.BodyOffset(), listType, 4) == 4 &&
                         std::memcmp(listType, "adtl", 4) == 0);
    if (!wanted) continue;
    std::string problem;
    if (chunk.size > fileSize - chunk.BodyOffset()) {
      problem =
          ChunkProblem(QT_TRANSLATE_NOOP("ranges", "the %1 chunk at byte %2 is cut short"), name);
    } else if (chunk.size > kMaxMarkerChunkBytes) {
      problem = ChunkProblem(
          QT_TRANSLATE_NOOP("ranges", "the %1 chunk at byte %2 is too large for a marker list"),
          name);
    }
    std::vector<uint8_t> body;
    if (problem.empty()) {
      body.resize(chunk.size);
      if (file.ReadAt(chunk.BodyOffset(), body.data(), body.size()) != body.size()) {
        problem = ChunkProblem(
            QT_TRANSLATE_NOOP("ranges", "the %1 chunk at byte %2 cannot be read"), name);
      }
    }
    if (problem.empty()) {
      if (id == "cue ") haveCue = true;
      problem = id == "cue " ? ReadCuePoints(body, name, chunks.points)
                             : ReadAdtl(body, name, chunks.entries);
    }
    if (!problem.empty()) {
      chunks = {};
      return problem;
    }
  }
  return "";
}

RangeListRead ReadWaveMarkers(ByteSource& file, const SourceShape& shape,
                              const std::string& encoding) {
  RangeListRead read;
  if (const std::string problem = EncodingProblem(encoding); !problem.empty()) {
    Refuse(read, 0, problem);
    return read;
  }
  WaveMarkerChunks chunks;
  if (const std::string problem = ReadWaveMarkerChunks(file, chunks); !problem.empty()) {
    Refuse(read, 0, problem);
    return read;
  }
  std::vector<CuePoint>& points = chunks.points;
  MarkerTexts texts;
  for (const AdtlEntry& entry : chunks.entries) {
    const size_t head = AdtlTextOffset(entry.id);
    const std::string text = ZeroTerminated(entry.body.data() + head, entry.body.size() - head);
    auto& target = entry.id == "labl" ? texts.labl : entry.id == "note" ? texts.note : texts.ltxt;
    target.emplace(entry.cuePointId, text);
    if (entry.id == "ltxt") texts.length.emplace(entry.cuePointId, U32(entry.body.data() + 4));
  }

  std::stable_sort(points.begin(), points.end(),
                   [](const CuePoint& a, const CuePoint& b) { return a.frame < b.frame; });
  for (size_t i = 0; i < points.size(); ++i) {
    const CuePoint& point = points[i];
    const auto text = [&point](const std::map<uint32_t, std::string>& map) {
      const auto found = map.find(point.id);
      return found == map.end() ? std::string() : found->second;
    };
    std::string label = text(texts.labl);
    if (label.empty()) label = text(texts.ltxt);
    if (label.empty()) label = text(texts.note);
    const std::string marker = std::to_string(point.id);
    bool replaced = false;
    label = LabelAsUtf8(label, encoding, replaced);
    if (replaced) {
      read.notes.push_back(
          encoding.empty()
              ? Say(QT_TRANSLATE_NOOP("ranges",
                                      "marker %1: its name is not UTF-8; its unreadable bytes "
                                      "were replaced"),
                    {marker})
              : Say(QT_TRANSLATE_NOOP("ranges",
                                      "marker %1: its name is not %2; its unreadable bytes were "
                                      "replaced"),
                    {marker, encoding}));
    }
    const std::string frames = std::to_string(shape.frames);
    if (point.frame > shape.frames) {
      Refuse(read, 0,
             Say(QT_TRANSLATE_NOOP("ranges", "marker %1 lies beyond the data (%2 frames)"),
                 {marker, frames}));
      return read;
    }
    const auto length = texts.length.find(point.id);
    uint64_t end = point.frame + (length == texts.length.end() ? 0 : length->second);
    if (end == point.frame) {  // a point: up to the next marker that starts later
      const auto later =
          std::upper_bound(points.begin() + i, points.end(), point.frame,
                           [](uint64_t frame, const CuePoint& p) { return frame < p.frame; });
      end = later == points.end() ? shape.frames : later->frame;
      if (point.frame == shape.frames) {
        read.notes.push_back(
            Say(QT_TRANSLATE_NOOP("ranges", "marker %1 at the end of the data starts no piece"),
                {marker}));
        continue;
      }
    }
    if (end > shape.frames) {
      Refuse(read, 0,
             Say(QT_TRANSLATE_NOOP("ranges", "marker %1 ends beyond the data (%2 frames)"),
                 {marker, frames}));
      return read;
    }
    read.ranges.push_back({point.frame, end, label, 0});
  }
  return read;
}

RangeListRead ReadWaveMarkersOfFile(const std::string& path, const SourceShape& shape,
                                    const std::string& encoding) {
  FileBytes file(path);
  if (!file.IsOpen()) {
    RangeListRead read;
    Refuse(read, 0, Say(QT_TRANSLATE_NOOP("ranges", "cannot be read")));
    return read;
  }
  return ReadWaveMarkers(file, shape, encoding);
}

}  // namespace snipora::ranges
