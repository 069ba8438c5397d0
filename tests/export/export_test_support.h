#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "audiofile/sound_format.h"
#include "audiofile/wave_reader.h"
#include "export/export_interfaces.h"
#include "export/export_job.h"
#include "export/export_plan.h"
#include "tests/support/test_support.h"
#include "tests/support/wave_bytes.h"

// Sources, a progress recorder and output checks shared by the export tests.
namespace snipora::test {

struct SourceShape {
  uint16_t channels = 2;
  uint16_t bits = 16;
  uint32_t rate = 44100;
  uint32_t frames = 1000;
  uint16_t extraFormatBytes = 0;  // > 0: an 18 + n byte "fmt " chunk
  uint32_t seed = 1;
};

// A WAVE file of seeded sample bytes (a LIST chunk before "data", so the data
// offset is not the canonical 44). Returns the file's bytes.
inline Bytes WriteSource(const std::string& path, const SourceShape& shape) {
  const uint16_t blockAlign = static_cast<uint16_t>(shape.channels * ((shape.bits + 7) / 8));
  const Bytes data = SeededBytes(size_t{shape.frames} * blockAlign, shape.seed);
  Bytes format =
      FmtBody(1, shape.channels, shape.rate, shape.rate * blockAlign, blockAlign, shape.bits);
  if (shape.extraFormatBytes) {  // an 18 + n byte "fmt " chunk
    PutU16(format, shape.extraFormatBytes);
    format.insert(format.end(), shape.extraFormatBytes, 0xA5);
  }
  Bytes info;
  PutText(info, "INFO");
  // Unpadded, as the export tests have always written their sources.
  const Bytes file = RiffWave(
      {RiffChunk("fmt ", format, false), RiffChunk("LIST", info), RiffChunk("data", data, false)});
  WriteFileBytes(path, file);
  return file;
}

inline SoundFormatInfo LoadFormat(const std::string& path) {
  SoundFormatInfo info;
  EXPECT_EQ(ProbeWaveFile(path.c_str(), info), 0) << path;
  return info;
}

// The source's sample bytes of frames [start, end).
inline Bytes SourceRange(const Bytes& file, const SoundFormatInfo& info, uint32_t start,
                         uint32_t end) {
  const size_t align = info.formatBlock.blockAlign;
  const auto begin = file.begin() + info.dataOffset;
  return Bytes(begin + static_cast<std::ptrdiff_t>(start * align),
               begin + static_cast<std::ptrdiff_t>(end * align));
}

// Checks the 46-byte header against the source format and returns the data
// (without the pad byte that follows an odd length).
inline Bytes CheckedData(const Bytes& out, const SoundFormatInfo& info, uint32_t dataLength) {
  const uint32_t pad = dataLength % 2;
  EXPECT_EQ(out.size(), size_t{46} + dataLength + pad);
  if (out.size() < 46 + pad) return {};
  const WaveFormatBlock& f = info.formatBlock;
  EXPECT_EQ(std::string(out.begin(), out.begin() + 4), "RIFF");
  EXPECT_EQ(GetU32(out, 4), dataLength + pad + 38);
  EXPECT_EQ(std::string(out.begin() + 8, out.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(GetU32(out, 16), 18u);
  EXPECT_EQ(GetU16(out, 20), f.formatTag);
  EXPECT_EQ(GetU16(out, 22), f.channels);
  EXPECT_EQ(GetU32(out, 24), f.samplesPerSec);
  EXPECT_EQ(GetU32(out, 28), f.avgBytesPerSec);
  EXPECT_EQ(GetU16(out, 32), f.blockAlign);
  EXPECT_EQ(GetU16(out, 34), f.bitsPerSample);
  EXPECT_EQ(GetU16(out, 36), 0);
  EXPECT_EQ(std::string(out.begin() + 38, out.begin() + 42), "data");
  EXPECT_EQ(GetU32(out, 42), dataLength);
  EXPECT_TRUE(pad == 0 || out.back() == 0) << "the pad byte";
  return Bytes(out.begin() + 46, out.end() - pad);
}

// The request's ranges from frame ranges without labels.
inline std::vector<CutRange> CutRanges(const std::vector<ExportRange>& ranges) {
  std::vector<CutRange> cut;
  for (const ExportRange& r : ranges) cut.push_back({r.startFrame, r.endFrame, "", std::nullopt});
  return cut;
}

// The plan of `request` with its outputs at `paths` (one joined file with
// join); a refusal fails the test.
inline ExportPlan PlanOf(ExportRequest request, std::vector<std::string> paths, bool join) {
  request.join = join;
  request.paths = std::move(paths);
  ExportPlan plan;
  if (const auto refused = PlanExport(request, plan)) ADD_FAILURE() << *refused;
  return plan;
}

// Plans the request as pieces at `paths` and writes them.
inline ExportOutcome WritePieces(const ExportRequest& request, std::vector<std::string> paths,
                                 IExportProgress& progress) {
  return WriteExport(PlanOf(request, std::move(paths), false), progress);
}

// Plans the request as one joined file at `path` and writes it.
inline ExportOutcome WriteJoined(const ExportRequest& request, const std::string& path,
                                 IExportProgress& progress) {
  return WriteExport(PlanOf(request, {path}, true), progress);
}

// Names in a folder, sorted (hidden temporary files included).
inline std::vector<std::string> FolderNames(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Records what the export reports; sets the cancel flag at a chosen pump.
class RecordingProgress : public IExportProgress {
 public:
  int cancelAtPump = -1;  // pump number (from 0) at which Cancel is "pressed"
  int pumps = 0;
  int mainWindowPumps = 0;
  std::vector<uint32_t> overallPositions;
  std::vector<uint32_t> fileRanges;
  uint32_t overallRange = 0;
  uint32_t lastFilePosition = 0;
  std::vector<size_t> written;   // outputs reported complete
  std::function<void()> onPump;  // runs at each pump (e.g. to look at the disk)

  void SetFileRange(uint64_t length) override { fileRanges.push_back(length); }
  void SetFilePosition(uint64_t done) override { lastFilePosition = done; }
  void SetOverallRange(uint32_t rows) override { overallRange = rows; }
  void SetOverallPosition(uint32_t begun) override { overallPositions.push_back(begun); }
  void Pump(bool mainWindowToo) override {
    if (onPump) onPump();
    if (pumps++ == cancelAtPump) cancelled_ = true;
    if (mainWindowToo) ++mainWindowPumps;
  }
  bool IsCancelled() const override { return cancelled_; }
  void OutputWritten(size_t index) override { written.push_back(index); }

 private:
  bool cancelled_ = false;
};

// The main window as the export sees it.
class FakeHost : public IExportHost {
 public:
  std::string fullPath;
  std::string displayName = "song";
  SoundFormatInfo format;
  std::vector<ExportRange> rows;
  std::vector<std::string> labels;  // row i's label, none beyond the end
  ExportChoices choices;
  bool cleared = false;
  int stops = 0;  // saves that ended cancelled or failed
  bool stoppedCancelled = false;
  std::vector<std::string> kept;  // the files the last stopped save kept

  std::function<void()> onFullPath;  // runs each time the export starts reading the host

  std::string FullPath() const override {
    if (onFullPath) onFullPath();
    return fullPath;
  }
  std::string DisplayName() const override { return displayName; }
  const SoundFormatInfo& Format() const override { return format; }
  std::vector<CutRange> Ranges() const override {
    std::vector<CutRange> ranges = CutRanges(rows);
    for (size_t i = 0; i < ranges.size() && i < labels.size(); ++i) ranges[i].label = labels[i];
    return ranges;
  }
  ExportChoices Choices() const override { return choices; }
  void ClearUnsavedReservations() override { cleared = true; }
  void SaveStopped(bool cancelled, const std::vector<std::string>& keptFiles) override {
    ++stops;
    stoppedCancelled = cancelled;
    kept = keptFiles;
  }
};

// A source written into a folder of its own and a host that describes it,
// as the main window hands it to the export.
struct HostedSource {
  TempDir dir;
  FakeHost host;
  Bytes file;

  HostedSource(const std::string& relativeSource, const SourceShape& shape,
               std::vector<ExportRange> rows) {
    host.fullPath = dir.File(relativeSource);
    std::filesystem::create_directories(std::filesystem::path(host.fullPath).parent_path());
    file = WriteSource(host.fullPath, shape);
    host.format = LoadFormat(host.fullPath);
    host.rows = std::move(rows);
  }
};

}  // namespace snipora::test
