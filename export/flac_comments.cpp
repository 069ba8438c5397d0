#include "export/flac_comments.h"

#include <algorithm>
#include <string_view>

#include "audiofile/flac_file.h"
#include "audiofile/sound_units.h"

namespace snipora {

namespace {

// A comment's name: up to its '=', compared without regard to ASCII case.
std::string_view NameOf(const std::string& comment) {
  return std::string_view(comment).substr(0, comment.find('='));
}

bool SameName(std::string_view name, std::string_view wanted) {
  return name.size() == wanted.size() &&
         std::equal(name.begin(), name.end(), wanted.begin(),
                    [](char a, char b) { return (a >= 'a' && a <= 'z' ? a - 32 : a) == b; });
}

bool Named(const std::string& comment, std::string_view wanted) {
  return SameName(NameOf(comment), wanted);
}

// Comments that state something of the whole source, wrong for any cut of it.
bool DescribesWholeSource(const std::string& comment) {
  const std::string_view name = NameOf(comment);
  constexpr std::string_view kGain = "REPLAYGAIN_";
  return (name.size() > kGain.size() && SameName(name.substr(0, kGain.size()), kGain)) ||
         SameName(name, "CUESHEET") || SameName(name, "LOOPSTART") ||
         SameName(name, "LOOPLENGTH") || SameName(name, "LOOPEND");
}

std::optional<uint64_t> NumberComment(const std::vector<std::string>& comments,
                                      std::string_view name) {
  for (const std::string& comment : comments) {
    if (!Named(comment, name)) continue;
    const std::string value = comment.substr(comment.find('=') + 1);
    if (value.empty() || value.size() > 19 ||
        value.find_first_not_of("0123456789") != std::string::npos) {
      return std::nullopt;
    }
    return std::stoull(value);
  }
  return std::nullopt;
}

// The comments of one output.
std::vector<std::string> OutputComments(const std::vector<std::string>& source,
                                        const ExportOutput& output, bool keepMetadata) {
  const bool titled = keepMetadata && !output.label.empty();
  const bool numbered = keepMetadata && output.number != 0;
  std::vector<std::string> comments;
  for (const std::string& comment : source) {
    if (DescribesWholeSource(comment) || (titled && Named(comment, "TITLE")) ||
        (numbered && Named(comment, "TRACKNUMBER"))) {
      continue;
    }
    comments.push_back(comment);
  }
  if (titled) comments.push_back("TITLE=" + output.label);
  if (numbered) comments.push_back("TRACKNUMBER=" + std::to_string(output.number));
  if (output.loops && !output.loops->loops.empty()) {
    const SampleLoop& loop = output.loops->loops.front();
    comments.push_back("LOOPSTART=" + std::to_string(loop.start));
    comments.push_back("LOOPLENGTH=" + std::to_string(uint64_t{loop.end} - loop.start + 1));
  }
  return comments;
}

// The WAVE chunks of the source that a FLAC output leaves out, by name.
std::string LeftOutChunks(const SourceMetadata& source) {
  std::vector<std::string> names;
  if (!source.info.empty()) names.emplace_back("LIST INFO");
  if (!source.bext.empty()) names.emplace_back("bext");
  if (!source.ixml.empty()) names.emplace_back("iXML");
  if (!source.markers.points.empty()) names.emplace_back("markers");
  std::string text;
  for (size_t i = 0; i < names.size(); ++i) {
    text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
  }
  return text;
}

}  // namespace

std::vector<std::string> SourceVorbisComments(const std::string& path,
                                              const SoundFormatInfo& format) {
  if (format.decoderType != kFlacDecoderType) return {};
  SoundFormatInfo read;
  FlacHeader header;
  if (ReadFlacFile(path, read, &header) != FlacProblem::kNone) return {};
  return header.comments;
}

std::optional<SampleChunk> CommentLoops(const std::vector<std::string>& comments,
                                        const SoundFormatInfo& format) {
  const std::optional<uint64_t> start = NumberComment(comments, "LOOPSTART");
  const std::optional<uint64_t> length = NumberComment(comments, "LOOPLENGTH");
  if (!start || !length || *length == 0 || *length > TotalFrames(format) ||
      *start > TotalFrames(format) - *length || *start + *length > UINT32_MAX) {
    return std::nullopt;
  }
  return ForwardLoopChunk(format.formatBlock.samplesPerSec, static_cast<uint32_t>(*start),
                          static_cast<uint32_t>(*start + *length));
}

void PlanFlacComments(const std::vector<std::string>& sourceComments, const SourceMetadata& source,
                      bool keepMetadata, ExportPlan& plan) {
  for (ExportOutput& output : plan.outputs) {
    output.comments = OutputComments(sourceComments, output, keepMetadata);
    if (output.loops && output.loops->loops.size() > 1) {
      plan.notes.push_back("'" + output.path + "' keeps only the first of its " +
                           std::to_string(output.loops->loops.size()) +
                           " loops: a FLAC file states one (LOOPSTART, LOOPLENGTH)");
    }
    output.loops.reset();
    output.metadata.clear();
  }
  if (const std::string left = LeftOutChunks(source); !left.empty()) {
    plan.notes.push_back("FLAC outputs hold no WAVE chunks: the source's " + left +
                         " are not written");
  }
}

}  // namespace snipora
