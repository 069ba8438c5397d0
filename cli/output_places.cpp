#include "cli/output_places.h"

#include "audiofile/paths.h"
#include "export/output_names.h"
#include "platform/system/fs_ops.h"

namespace snipora::cli {

namespace {

// -o names a folder for the joined file: an existing one, one written with a
// trailing '/', or the folder of all joined files of several sources.
bool OutputIsFolder(const CutOptions& o) {
  return o.sources.size() > 1 || o.output.back() == '/' || fsops::IsFolder(o.output);
}

void PlaceJoined(const CutOptions& o, const std::string& sourcePath, const std::string& extension,
                 OutputPlaces& places) {
  const std::string file =
      OutputIsFolder(o) ? PathInFolder(Normalised(o.output), FileStem(sourcePath) + extension)
                        : Normalised(o.output);
  places.folder = fsops::FolderOf(file);
  places.paths = {file};
}

std::optional<Refusal> PlacePieces(const CutOptions& o, const std::string& sourcePath,
                                   const std::vector<std::string>& pieceNames,
                                   OutputPlaces& places) {
  if (o.output.empty()) {
    places.folder = SplitFolderPath(sourcePath);
  } else if (o.sources.size() > 1) {
    places.folder = PathInFolder(Normalised(o.output), FileStem(sourcePath));
  } else {
    places.folder = Normalised(o.output);
  }
  if (fsops::Exists(places.folder) && !fsops::IsFolder(places.folder)) {
    return Refusal{"'" + places.folder + "' exists and is not a folder"};
  }
  for (const std::string& name : pieceNames)
    places.paths.push_back(PathInFolder(places.folder, name));
  return std::nullopt;
}

}  // namespace

std::string Normalised(const std::string& path) {
  const auto full = NormaliseFullPath(path);
  return full ? *full : path;
}

std::optional<OutputFormat> JoinedFileFormat(const CutOptions& o) {
  if (!o.join || o.output.empty() || OutputIsFolder(o)) return std::nullopt;
  return FormatNamed(o.output);
}

std::optional<Refusal> PlaceOutputs(const CutOptions& o, const std::string& sourcePath,
                                    const std::vector<std::string>& pieceNames,
                                    const std::string& extension, OutputPlaces& places) {
  if (o.join) {
    PlaceJoined(o, sourcePath, extension, places);
  } else if (auto bad = PlacePieces(o, sourcePath, pieceNames, places)) {
    return bad;
  }
  for (const std::string& output : places.paths) {
    if (fsops::IsFolder(output)) return Refusal{"'" + output + "' is a folder"};
    if (fsops::SameFile(output, sourcePath)) {
      return Refusal{"'" + output + "' is the source file itself"};
    }
    const bool exists = fsops::Exists(output);
    if (exists && !o.force && !o.skipExisting) {
      return Refusal{"'" + output + "' exists; use --force to replace it"};
    }
    places.skipped.push_back(exists && o.skipExisting);
  }
  return std::nullopt;
}

}  // namespace snipora::cli
