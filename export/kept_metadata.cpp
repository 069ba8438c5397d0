#include "export/kept_metadata.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <set>

#include "audiofile/riff_chunks.h"
#include "audiofile/sector_file.h"

namespace snipora {

namespace {

constexpr uint32_t kReaderRing = 65536;
// Larger chunks of these kinds are not what any recorder writes.
constexpr uint64_t kMaxKeptChunkBytes = 16u << 20;
// "bext": the 64-bit TimeReference (frames since midnight) lies here.
constexpr size_t kTimeReferenceOffset = 338;
// Frames a "cue " point can address: its fields are 32-bit.
constexpr uint64_t kCueChunkFrames = uint64_t{UINT32_MAX} + 1;

void PutLe32(uint8_t* p, uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

// A whole chunk: id, size, body and the pad byte after an odd body.
void AppendChunk(std::vector<uint8_t>& out, const char* id, const std::vector<uint8_t>& body) {
  out.insert(out.end(), id, id + 4);
  AppendLe32(out, static_cast<uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  if (body.size() % 2 == 1) out.push_back(0);
}

std::vector<uint8_t> ZeroTerminated(const std::string& text) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

void SetInfo(std::vector<ListEntry>& entries, const char* id, const std::string& text) {
  const auto found = std::find_if(entries.begin(), entries.end(),
                                  [id](const ListEntry& entry) { return entry.id == id; });
  if (found != entries.end()) {
    found->body = ZeroTerminated(text);
  } else {
    entries.push_back({id, ZeroTerminated(text)});
  }
}

std::vector<uint8_t> InfoBody(const std::vector<ListEntry>& entries) {
  std::vector<uint8_t> body{'I', 'N', 'F', 'O'};
  for (const ListEntry& entry : entries) AppendChunk(body, entry.id.c_str(), entry.body);
  return body;
}

std::optional<uint64_t> BextTimeReference(const std::vector<uint8_t>& bext) {
  if (bext.size() < kTimeReferenceOffset + 8) return std::nullopt;
  return Le32(&bext[kTimeReferenceOffset]) | uint64_t{Le32(&bext[kTimeReferenceOffset + 4])} << 32;
}

// The text between <name> and </name>, as a decimal number with the place of
// its text; nothing when absent or not a number.
struct XmlNumber {
  size_t begin = 0;
  size_t end = 0;
  uint64_t value = 0;
};

std::optional<XmlNumber> FindNumber(const std::string& text, const std::string& name) {
  const std::string open = "<" + name + ">";
  const size_t at = text.find(open);
  if (at == std::string::npos) return std::nullopt;
  XmlNumber number;
  number.begin = at + open.size();
  number.end = text.find("</" + name + ">", number.begin);
  if (number.end == std::string::npos) return std::nullopt;
  const char* first = text.data() + number.begin;
  const char* last = text.data() + number.end;
  while (first < last && std::isspace(static_cast<unsigned char>(*first))) ++first;
  while (last > first && std::isspace(static_cast<unsigned char>(last[-1]))) --last;
  const auto [stop, error] = std::from_chars(first, last, number.value);
  if (first == last || error != std::errc() || stop != last) return std::nullopt;
  number.begin = static_cast<size_t>(first - text.data());
  number.end = static_cast<size_t>(last - text.data());
  return number;
}

struct XmlPair {
  XmlNumber low, high;
  uint64_t Value() const { return (high.value << 32) + low.value; }
};

std::optional<XmlPair> FindPair(const std::string& text, const char* low, const char* high) {
  const auto l = FindNumber(text, low);
  const auto h = FindNumber(text, high);
  if (!l || !h) return std::nullopt;
  return XmlPair{*l, *h};
}

constexpr const char* kIxmlPairs[][2] = {
    {"BWF_TIME_REFERENCE_LOW", "BWF_TIME_REFERENCE_HIGH"},
    {"TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_LO", "TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_HI"},
};

// A marker placed in an output.
struct PlacedPoint {
  uint32_t id;
  uint32_t sourceId;
  uint64_t frame;
  uint64_t room;  // frames from it to the end of its range
};

// The source's markers inside the output's ranges at their output frames;
// `placed` marks the source points that landed in a range.
std::vector<PlacedPoint> PlacePoints(const ranges::WaveMarkerChunks& markers,
                                     const ExportOutput& output, std::vector<bool>& placed,
                                     std::vector<std::string>& notes) {
  uint32_t nextId = 0;
  for (const ranges::CuePoint& p : markers.points) nextId = std::max(nextId, p.id);
  std::set<uint32_t> used;
  std::vector<PlacedPoint> points;
  uint64_t at = 0;
  for (const ExportRange& r : output.ranges) {
    for (size_t k = 0; k < markers.points.size(); ++k) {
      const ranges::CuePoint& p = markers.points[k];
      if (p.frame < r.startFrame || p.frame >= r.endFrame) continue;
      placed[k] = true;
      const uint64_t frame = at + p.frame - r.startFrame;
      if (frame >= kCueChunkFrames) {
        notes.push_back("the source's marker " + std::to_string(p.id) + " (frame " +
                        std::to_string(p.frame) + ") is not written at frame " +
                        std::to_string(frame) +
                        " of its output, past the 32-bit frames of a "
                        "cue chunk");
        continue;
      }
      // A marker that a joined file holds twice needs a second id.
      const uint32_t id = used.insert(p.id).second ? p.id : ++nextId;
      used.insert(id);
      points.push_back({id, p.id, frame, r.endFrame - p.frame});
    }
    at += r.endFrame - r.startFrame;
  }
  return points;
}

// The "cue " chunk and the LIST "adtl" chunk of the placed markers.
void AppendMarkerChunks(const ranges::WaveMarkerChunks& markers,
                        const std::vector<PlacedPoint>& points, std::vector<uint8_t>& out) {
  if (points.empty()) return;
  std::vector<uint8_t> cue;
  AppendLe32(cue, static_cast<uint32_t>(points.size()));
  std::vector<uint8_t> adtl{'a', 'd', 't', 'l'};
  for (const PlacedPoint& p : points) {
    const auto frame = static_cast<uint32_t>(p.frame);
    for (const uint32_t field : {p.id, frame, Le32(reinterpret_cast<const uint8_t*>("data")),
                                 uint32_t{0}, uint32_t{0}, frame}) {
      AppendLe32(cue, field);
    }
    for (const ranges::AdtlEntry& entry : markers.entries) {
      if (entry.cuePointId != p.sourceId) continue;
      std::vector<uint8_t> body = entry.body;
      PutLe32(body.data(), p.id);
      // A region reaches no further than the range it lies in.
      if (entry.id == "ltxt") {
        PutLe32(body.data() + 4, static_cast<uint32_t>(std::min<uint64_t>(Le32(&body[4]), p.room)));
      }
      AppendChunk(adtl, entry.id.c_str(), body);
    }
  }
  AppendChunk(out, "cue ", cue);
  if (adtl.size() > 4) AppendChunk(out, "LIST", adtl);
}

// The chunks of one output.
std::vector<uint8_t> OutputChunks(const SourceMetadata& source, const ExportOutput& output,
                                  const std::vector<PlacedPoint>& points) {
  std::vector<uint8_t> chunks;
  const uint64_t first = output.ranges.empty() ? 0 : output.ranges.front().startFrame;
  std::optional<uint64_t> reference = BextTimeReference(source.bext);
  if (reference) {
    std::vector<uint8_t> bext = source.bext;
    const uint64_t moved = *reference + first;
    PutLe32(&bext[kTimeReferenceOffset], static_cast<uint32_t>(moved));
    PutLe32(&bext[kTimeReferenceOffset + 4], static_cast<uint32_t>(moved >> 32));
    AppendChunk(chunks, "bext", bext);
  }
  if (!source.ixml.empty()) {
    const std::string text(source.ixml.begin(), source.ixml.end());
    if (!reference) reference = IxmlTimeReference(text);
    const std::string moved =
        reference ? MovedIxmlTimeReference(text, *reference, *reference + first) : text;
    AppendChunk(chunks, "iXML", std::vector<uint8_t>(moved.begin(), moved.end()));
  }
  if (!source.info.empty()) {
    std::vector<ListEntry> info = source.info;
    if (output.number > 0) {
      if (!output.label.empty()) SetInfo(info, "INAM", output.label);
      SetInfo(info, "ITRK", std::to_string(output.number));
    }
    AppendChunk(chunks, "LIST", InfoBody(info));
  }
  AppendMarkerChunks(source.markers, points, chunks);
  return chunks;
}

}  // namespace

SourceMetadata ReadSourceMetadata(const std::string& path) {
  SourceMetadata source;
  CSectorFile file(kReaderRing);
  if (file.Open(path.c_str(), "rb", 32) != 0) return source;
  SectorFileBytes bytes(file);
  RiffChunkWalker walker(bytes);
  if (!walker.IsWave()) return source;
  bool haveInfo = false;
  ChunkHeader chunk;
  while (walker.Next(chunk)) {
    const std::string id(chunk.id, 4);
    std::vector<uint8_t>* body = nullptr;
    std::vector<uint8_t> list;
    uint8_t listType[4] = {};
    if (id == "bext" && source.bext.empty()) {
      body = &source.bext;
    } else if (id == "iXML" && source.ixml.empty()) {
      body = &source.ixml;
    } else if (id == "LIST" && !haveInfo && bytes.ReadAt(chunk.BodyOffset(), listType, 4) == 4 &&
               std::memcmp(listType, "INFO", 4) == 0) {
      body = &list;
    } else {
      continue;
    }
    const uint64_t room = bytes.Size() - chunk.BodyOffset();
    if (chunk.size > room || chunk.size > kMaxKeptChunkBytes) {
      source.notes.push_back("the source's " + id + " chunk at byte " +
                             std::to_string(chunk.offset) + " is " +
                             (chunk.size > room ? "cut short" : "too large") + " and is not kept");
      continue;
    }
    body->resize(chunk.size);
    if (bytes.ReadAt(chunk.BodyOffset(), body->data(), body->size()) != body->size()) {
      body->clear();
      continue;
    }
    if (body == &list) {
      // An entry cut short ends the list.
      ReadListEntries(list, source.info);
      haveInfo = true;
    }
  }
  if (!source.bext.empty() && !BextTimeReference(source.bext)) {
    source.notes.push_back(
        "the source's bext chunk is too short for its time reference and is "
        "not kept");
    source.bext.clear();
  }
  if (const std::string problem = ranges::ReadWaveMarkerChunks(bytes, source.markers);
      !problem.empty()) {
    source.notes.push_back("the source's markers are not kept: " + problem);
  }
  source.loops = ReadSampleChunk(path);
  return source;
}

void PlanMetadata(const SourceMetadata& source, ExportPlan& plan) {
  plan.notes.insert(plan.notes.end(), source.notes.begin(), source.notes.end());
  const ranges::WaveMarkerChunks& markers = source.markers;
  std::vector<bool> placed(markers.points.size(), false);
  for (ExportOutput& output : plan.outputs) {
    const std::vector<PlacedPoint> points = PlacePoints(markers, output, placed, plan.notes);
    output.metadata = OutputChunks(source, output, points);
  }
  for (size_t k = 0; k < placed.size(); ++k) {
    if (placed[k]) continue;
    plan.notes.push_back("the source's marker " + std::to_string(markers.points[k].id) +
                         " (frame " + std::to_string(markers.points[k].frame) +
                         ") lies in no output and is not written");
  }
}

std::optional<uint64_t> IxmlTimeReference(const std::string& text) {
  const auto pair = FindPair(text, kIxmlPairs[0][0], kIxmlPairs[0][1]);
  if (!pair) return std::nullopt;
  return pair->Value();
}

std::string MovedIxmlTimeReference(const std::string& text, uint64_t from, uint64_t to) {
  std::string moved = text;
  for (const auto& names : kIxmlPairs) {
    const auto pair = FindPair(moved, names[0], names[1]);
    if (!pair || pair->Value() != from) continue;
    // The later number first, so that the earlier one's place stays right.
    const XmlNumber* numbers[] = {&pair->low, &pair->high};
    const uint64_t values[] = {to & 0xFFFFFFFF, to >> 32};
    const int later = pair->low.begin > pair->high.begin ? 0 : 1;
    for (const int k : {later, 1 - later}) {
      moved.replace(numbers[k]->begin, numbers[k]->end - numbers[k]->begin,
                    std::to_string(values[k]));
    }
  }
  return moved;
}

}  // namespace snipora
