// FLAC pieces as flac, ffmpeg and metaflac read them: the source's decoded
// samples for the ranges (faded where asked), a correct MD5, the source's
// comments with the piece's title and number, a seek table; refusals, a
// failure and a cancel leave nothing behind.
#include "export/flac_pieces.h"

#include <gtest/gtest.h>

#include <sstream>

#include "audiofile/flac_file.h"
#include "audiofile/wave_reader.h"
#include "tests/export/export_test_support.h"
#include "tests/export/fade_reference.h"
#include "tests/support/flac_files.h"

namespace snipora::test {
namespace {

// The samples ffmpeg decodes from a file, in the given container width.
Bytes FfmpegSamples(const std::string& path, uint16_t bits) {
  const std::string codec = bits == 8 ? "u8" : bits == 16 ? "s16le" : "s24le";
  const std::string raw = path + ".ffmpeg.raw";
  const CommandResult result =
      RunCommand("ffmpeg -v error -y -i " + ShellQuote(path) + " -c:a pcm_" + codec + " -f " +
                 codec + " " + ShellQuote(raw));
  EXPECT_EQ(result.exitCode, 0) << result.output;
  return ReadFileBytes(raw);
}

std::string Metaflac(const std::string& options, const std::string& path) {
  return RunCommand("metaflac " + options + " " + ShellQuote(path)).output;
}

Bytes Frames(const Bytes& data, uint32_t align, uint64_t start, uint64_t end) {
  return Bytes(data.begin() + static_cast<std::ptrdiff_t>(start * align),
               data.begin() + static_cast<std::ptrdiff_t>(end * align));
}

TEST(FlacWriterTest, PiecesDecodeToTheSourceSamplesWithTheirTags) {
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
      ASSERT_TRUE(
          MakeFlac(source, row.shape, why, "-T ARTIST=Someone -T TITLE=Whole -T TRACKNUMBER=9"))
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
    const std::string sourceTags = row.flacSource ? Metaflac("--export-tags-to=-", source) : "";
    std::string kept;  // the source's tags but its title and number
    std::istringstream lines(sourceTags);
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("TITLE=", 0) != 0 && line.rfind("TRACKNUMBER=", 0) != 0) kept += line + "\n";
    }
    FlacEncoding encoding{source, format, SourceVorbisComments(source, format), 5};
    const std::vector<FlacPiece> pieces = {
        {{{4097, 4097 + rate}}, dir.File("01.flac"), "Intro", 1, 0},
        {{{rate * 2 + 3, rate * 3 + 1}, {11, 8000}}, dir.File("02.flac"), "", 0, 0},
        {{{rate, rate * 2}}, dir.File("03.flac"), "Faded", 3, 250},
    };
    RecordingProgress progress;
    ASSERT_EQ(WriteFlacPieces(encoding, pieces, progress, 2), ExportOutcome::Done);
    EXPECT_EQ(progress.overallRange, 3u);
    EXPECT_EQ(progress.fileRanges.back(), progress.lastFilePosition);

    for (const FlacPiece& piece : pieces) {
      SCOPED_TRACE(piece.outputPath);
      Bytes expected;
      for (const ExportRange& range : piece.ranges) {
        const Bytes part = Frames(decoded, align, range.startFrame, range.endFrame);
        expected.insert(expected.end(), part.begin(), part.end());
      }
      const size_t fadeBytes =
          uint64_t{format.formatBlock.avgBytesPerSec} * piece.fadeMs / 1000 / align * align;
      ReferenceFade(expected, fadeBytes, align, format.formatBlock.channels);
      EXPECT_EQ(RunCommand("flac -s -t " + ShellQuote(piece.outputPath)).exitCode, 0);
      EXPECT_TRUE(FlacToolSamples(piece.outputPath) == expected);
      EXPECT_TRUE(FfmpegSamples(piece.outputPath, format.formatBlock.bitsPerSample) == expected);
      // The source's tags, the title and number replaced when the piece names them.
      std::string tags = sourceTags;
      if (!piece.title.empty()) {
        tags = kept + "TITLE=" + piece.title +
               "\nTRACKNUMBER=" + std::to_string(piece.trackNumber) + "\n";
      }
      EXPECT_EQ(Metaflac("--export-tags-to=-", piece.outputPath), tags);
      EXPECT_NE(Metaflac("--list --block-type=SEEKTABLE", piece.outputPath).find("point 0:"),
                std::string::npos);
    }
  }
}

TEST(FlacWriterTest, RefusalsFailuresAndCancelLeaveNothing) {
  TempDir dir;
  const std::string source = dir.File("in.flac");
  std::string why;
  ASSERT_TRUE(MakeFlac(source, {16, 2, 44100, 441000}, why)) << why;
  SoundFormatInfo format;
  ASSERT_EQ(ReadFlacFile(source, format), FlacProblem::kNone);
  const FlacEncoding encoding{source, format, {}, 5};
  const auto piece = [&](uint64_t start, uint64_t end, const std::string& name) {
    return FlacPiece{{{start, end}}, dir.File(name), "", 0, 0};
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
       {source, floating, {}, 5},
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
  // The byte-copy export refuses a decoded source instead of copying its bytes.
  ExportRequest job;
  job.sourcePath = source;
  job.format = format;
  job.ranges = CutRanges({{0, 10}});
  RecordingProgress progress;
  EXPECT_EQ(WritePieces(job, {dir.File("a.wav")}, progress), ExportOutcome::SourceFailed);
  EXPECT_FALSE(std::filesystem::exists(dir.File("a.wav")));
}

}  // namespace
}  // namespace snipora::test
