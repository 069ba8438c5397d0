// FLAC outputs of the export plan as flac, ffmpeg and metaflac read them: the
// source's decoded samples for the ranges (faded where asked), a correct MD5,
// the source's comments with the piece's title and number, a seek table; WAVE
// outputs of a FLAC source byte for byte its decoded samples; verify reads
// both back. Refusals, a failure and a cancel leave nothing behind.
#include "export/flac_pieces.h"

#include <gtest/gtest.h>

#include "audiofile/flac_file.h"
#include "export/export_verify.h"
#include "tests/export/export_test_support.h"
#include "tests/export/fade_reference.h"
#include "tests/support/flac_files.h"

namespace snipora::test {
namespace {

Bytes Frames(const Bytes& data, uint32_t align, uint64_t start, uint64_t end) {
  return Bytes(data.begin() + static_cast<std::ptrdiff_t>(start * align),
               data.begin() + static_cast<std::ptrdiff_t>(end * align));
}

// Changes one sample of a FLAC file, keeping its comments and length.
void ChangeOneSample(const std::string& path, size_t at) {
  const std::string wave = path + ".changed.wav";
  const std::string tags = path + ".tags";
  ASSERT_EQ(
      RunCommand("metaflac --export-tags-to=" + ShellQuote(tags) + " " + ShellQuote(path)).exitCode,
      0);
  ASSERT_EQ(RunCommand("flac -s -d -f -o " + ShellQuote(wave) + " " + ShellQuote(path)).exitCode,
            0);
  Bytes bytes = ReadFileBytes(wave);
  bytes[bytes.size() - at] ^= 0x10;
  WriteFileBytes(wave, bytes);
  ASSERT_EQ(RunCommand("flac -s -f --no-padding -o " + ShellQuote(path) + " " + ShellQuote(wave) +
                       " && metaflac --remove-all-tags --import-tags-from=" + ShellQuote(tags) +
                       " " + ShellQuote(path))
                .exitCode,
            0);
}

TEST(FlacOutputs, DecodeToTheSourceSamplesWithTheirTags) {
  if (!HaveProgram("ffmpeg") || !HaveProgram("metaflac")) GTEST_SKIP() << "ffmpeg or metaflac";
  struct Row {
    const char* name;
    FlacShape shape;
    bool flacSource;
  };
  const Row rows[] = {
      {"16-bit stereo FLAC", {16, 2, 44100, 200000}, true},
      {"24-bit 5.1 FLAC", {24, 6, 48000, 150000}, true},
      {"8-bit mono FLAC", {8, 1, 8000, 40000}, true},
      {"16-bit stereo WAVE", {16, 2, 44100, 150000}, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TempDir dir;
    const std::string source = dir.File(row.flacSource ? "album.flac" : "album.wav");
    SoundFormatInfo format;
    Bytes decoded;
    if (row.flacSource) {
      std::string why;
      // A loop over source frames 5000-5999, inside the first piece.
      ASSERT_TRUE(MakeFlac(source, row.shape, why,
                           "-T ARTIST=Someone -T TITLE=Whole -T TRACKNUMBER=9 "
                           "-T REPLAYGAIN_TRACK_GAIN=-3.00 -T LOOPSTART=5000 -T LOOPLENGTH=1000"))
          << why;
      ASSERT_EQ(ReadFlacFile(source, format), FlacProblem::kNone);
      decoded = FlacToolSamples(source);
    } else {
      const Bytes wave = ToneWave(row.shape, 3);
      WriteFileBytes(source, wave);
      ASSERT_EQ(ProbeWaveFile(source.c_str(), format), 0);
      decoded = ChunkBody(wave, "data");
    }
    const uint32_t align = format.formatBlock.blockAlign;
    const uint32_t rate = row.shape.rate;
    ExportRequest request;
    request.sourcePath = source;
    request.format = format;
    request.ranges = {{4097, 4097 + rate, "Intro", std::nullopt},
                      {rate * 2 + 3, rate * 3 + 1, "", std::nullopt},
                      {11, 4000, "", std::nullopt}};
    // The comments each output gets: split pieces 1 and 2, then the joined
    // file (flac tags a source of more than two channels with their mask).
    const std::string mask =
        row.shape.channels > 2 ? "WAVEFORMATEXTENSIBLE_CHANNEL_MASK=0x003F\n" : "";
    const std::string loop = "LOOPSTART=903\nLOOPLENGTH=1000\n";
    const std::vector<std::string> tags =
        row.flacSource
            ? std::vector<std::string>{"ARTIST=Someone\n" + mask + "TITLE=Intro\nTRACKNUMBER=1\n" +
                                           loop,
                                       "ARTIST=Someone\nTITLE=Whole\n" + mask + "TRACKNUMBER=2\n",
                                       "ARTIST=Someone\nTITLE=Whole\nTRACKNUMBER=9\n" + mask + loop}
            : std::vector<std::string>{"TITLE=Intro\nTRACKNUMBER=1\n", "TRACKNUMBER=2\n", ""};
    for (const OutputFormat outputFormat : {OutputFormat::kFlac, OutputFormat::kWave}) {
      // A WAVE source's WAVE outputs are the export's own tests.
      if (outputFormat == OutputFormat::kWave && !row.flacSource) continue;
      const bool flac = outputFormat == OutputFormat::kFlac;
      const std::string extension = flac ? ".flac" : ".wav";
      SCOPED_TRACE(extension);
      request.outputFormat = outputFormat;
      request.edges = {};
      // Pieces of the first two ranges only (one path each).
      ExportPlan split =
          PlanOf(request, {dir.File("1" + extension), dir.File("2" + extension)}, false);
      // The joined file fades out over its last 250 ms, across the seams.
      request.edges.fadeOutMs = 250;
      const ExportPlan joined = PlanOf(request, {dir.File("joined" + extension)}, true);
      const ExportPlan* plans[] = {&split, &joined};
      for (const ExportPlan* plan : plans) {
        RecordingProgress progress;
        ASSERT_EQ(WriteExport(*plan, progress), ExportOutcome::Done);
        if (flac) {
          EXPECT_EQ(progress.lastFilePosition, progress.fileRanges.back());
        }
        for (const ExportOutput& output : plan->outputs) {
          SCOPED_TRACE(output.path);
          Bytes expected;
          for (const ExportRange& range : output.ranges) {
            const Bytes part = Frames(decoded, align, range.startFrame, range.endFrame);
            expected.insert(expected.end(), part.begin(), part.end());
          }
          if (plan == &joined) {
            const size_t fadeBytes = size_t{rate} / 4 * align;
            ReferenceFade(expected, fadeBytes, align, format.formatBlock.channels);
          }
          EXPECT_EQ(VerifyOutput(*plan, output), "");
          if (!flac) {
            EXPECT_TRUE(ChunkBody(ReadFileBytes(output.path), "data") == expected);
            continue;
          }
          EXPECT_EQ(RunCommand("flac -s -t " + ShellQuote(output.path)).exitCode, 0);
          EXPECT_TRUE(FlacToolSamples(output.path) == expected);
          EXPECT_TRUE(FfmpegSamples(output.path, format.formatBlock.bitsPerSample) == expected);
          EXPECT_EQ(FlacTags(output.path), tags[plan == &joined ? 2 : output.number - 1]);
          EXPECT_NE(RunCommand("metaflac --list --block-type=SEEKTABLE " + ShellQuote(output.path))
                        .output.find("point 0:"),
                    std::string::npos);
        }
      }
      if (flac && row.flacSource) {
        // A sample changed after writing is found by the check.
        ChangeOneSample(split.outputs[0].path, 2 * align);
        const std::string problem = VerifyOutput(split, split.outputs[0]);
        EXPECT_NE(problem.find("differs from the source"), std::string::npos) << problem;
      }
    }
  }
}

TEST(FlacOutputs, RefusalsFailuresAndCancelLeaveNothing) {
  TempDir dir;
  const std::string source = dir.File("in.flac");
  std::string why;
  ASSERT_TRUE(MakeFlac(source, {16, 2, 44100, 441000}, why)) << why;
  SoundFormatInfo format;
  ASSERT_EQ(ReadFlacFile(source, format), FlacProblem::kNone);
  const FlacEncoding encoding{source, format, 5};
  const auto piece = [&](uint64_t start, uint64_t end, const std::string& name) {
    return FlacPiece{{{start, end}}, dir.File(name), {}, {}};
  };
  SoundFormatInfo floating = format;
  floating.formatBlock.formatTag = kWaveFormatIeeeFloat;
  floating.formatBlock.bitsPerSample = 32;
  struct Row {
    const char* name;
    FlacEncoding encoding;
    std::vector<FlacPiece> pieces;
    int cancelAtPump;
    ExportOutcome outcome;
    std::vector<std::string> left;  // files in the folder afterwards, beside the source's
  };
  const Row rows[] = {
      {"float samples",
       {source, floating, 5},
       {piece(0, 10, "a.flac")},
       -1,
       ExportOutcome::SourceFailed,
       {}},
      {"a range past the end",
       encoding,
       {piece(0, 10, "a.flac"), piece(5, 441001, "b.flac")},
       -1,
       ExportOutcome::BadRange,
       {}},
      {"an empty range", encoding, {piece(7, 7, "a.flac")}, -1, ExportOutcome::BadRange, {}},
      {"the source as output",
       encoding,
       {piece(0, 10, "in.flac")},
       -1,
       ExportOutcome::OutputIsSource,
       {}},
      {"a folder that does not exist",
       encoding,
       {piece(0, 10, "a.flac"), piece(0, 10, "no/b.flac")},
       -1,
       ExportOutcome::OutputFailed,
       {"a.flac"}},
      {"cancel at once",
       encoding,
       {piece(0, 441000, "a.flac"), piece(0, 441000, "b.flac")},
       0,
       ExportOutcome::Cancelled,
       {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    for (const std::string& name : FolderNames(dir.path())) {
      if (name.rfind("in.flac", 0) != 0) std::filesystem::remove(dir.File(name));
    }
    RecordingProgress progress;
    progress.cancelAtPump = row.cancelAtPump;
    // One piece at a time, so that the first piece is done before the second fails.
    EXPECT_EQ(WriteFlacPieces(row.encoding, row.pieces, progress, 1), row.outcome);
    std::vector<std::string> left;
    for (const std::string& name : FolderNames(dir.path())) {
      if (name.rfind("in.flac", 0) != 0) left.push_back(name);
    }
    EXPECT_EQ(left, row.left);
  }
  // Samples FLAC cannot hold are refused when planned, in one sentence.
  ExportRequest request;
  request.sourcePath = source;
  request.format = floating;
  request.ranges = CutRanges({{0, 10}});
  request.paths = {dir.File("a.flac")};
  request.outputFormat = OutputFormat::kFlac;
  ExportPlan plan;
  EXPECT_EQ(PlanExport(request, plan).value_or(""),
            "this source (32-bit float, 2 channels) cannot be written as FLAC, which holds "
            "integer samples of 4 to 32 bits in 1 to 8 channels");
}

}  // namespace
}  // namespace snipora::test
