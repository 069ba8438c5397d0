#include "cli/range_providers.h"

#include "cli/silence_ranges.h"
#include "export/output_names.h"
#include "platform/system/atomic_file.h"
#include "platform/system/fs_ops.h"
#include "ranges/range_formats.h"
#include "ranges/wave_markers.h"

namespace snipora::cli {

namespace {

constexpr std::string_view kStemField = "{stem}";

// A range list file in one of the text formats.
class ListFile : public RangeProvider {
 public:
  ListFile(ranges::RangeFormat format, std::string path, std::string encoding)
      : format_(format), path_(std::move(path)), encoding_(std::move(encoding)) {}
  ProvidedRanges Read(const std::string&, const std::string& sourcePath, const SoundFormatInfo&,
                      const ranges::SourceShape& shape) const override {
    ProvidedRanges provided;
    provided.name = ListPathFor(path_, sourcePath);
    std::string text;
    if (!ReadWholeFile(provided.name, text)) {
      provided.read.error = fsops::Exists(provided.name) ? "cannot be read" : "no such file";
      return provided;
    }
    provided.read = ranges::ReadRangeList(format_, text, shape, encoding_);
    return provided;
  }

 private:
  ranges::RangeFormat format_;
  std::string path_;
  std::string encoding_;
};

// The source's own cue points.
class SourceMarkers : public RangeProvider {
 public:
  explicit SourceMarkers(std::string encoding) : encoding_(std::move(encoding)) {}
  ProvidedRanges Read(const std::string& given, const std::string& sourcePath,
                      const SoundFormatInfo&, const ranges::SourceShape& shape) const override {
    return {ranges::ReadWaveMarkersOfFile(sourcePath, shape, encoding_), given};
  }

 private:
  std::string encoding_;
};

}  // namespace

std::string ListPathFor(const std::string& listPath, const std::string& sourcePath) {
  if (listPath.find(kStemField) == std::string::npos) return listPath;
  std::string path = listPath;
  const std::string stem = FileStem(sourcePath);
  for (size_t at = path.find(kStemField); at != std::string::npos;
       at = path.find(kStemField, at + stem.size())) {
    path.replace(at, kStemField.size(), stem);
  }
  return path[0] == '/' ? path : PathInFolder(fsops::FolderOf(sourcePath), path);
}

std::unique_ptr<RangeProvider> MakeRangeProvider(const CutOptions& o, RunContext& context) {
  using ranges::RangeFormat;
  const std::string& encoding = o.listEncoding;
  if (!o.labels.empty()) {
    return std::make_unique<ListFile>(RangeFormat::AudacityLabels, o.labels, encoding);
  }
  if (!o.cue.empty()) return std::make_unique<ListFile>(RangeFormat::CueSheet, o.cue, encoding);
  if (!o.csv.empty()) return std::make_unique<ListFile>(RangeFormat::Csv, o.csv, encoding);
  if (o.markers) return std::make_unique<SourceMarkers>(encoding);
  if (o.silence) return MakeSilenceRanges(o.silenceRules, o.quiet, context);
  return nullptr;
}

}  // namespace snipora::cli
