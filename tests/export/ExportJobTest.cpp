#include "export/export_job.h"

#include <csignal>
#include <filesystem>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "audiofile/wave_reader.h"
#include "tests/export/export_test_support.h"
#include "tests/export/fade_reference.h"

namespace snipora {
namespace {

using namespace snipora::test;
namespace fs = std::filesystem;

ExportRequest MakeJob(const std::string& source, const std::vector<ExportRange>& ranges,
                      uint32_t fadeMs = 0, uint32_t sectorSize = 0) {
  ExportRequest job;
  job.sourcePath = source;
  job.format = LoadFormat(source);
  job.ranges = CutRanges(ranges);
  job.edges.fadeOutMs = fadeMs;
  job.forcedSectorSize = sectorSize;
  return job;
}

std::string Soxi(const std::string& flag, const std::string& path) {
  CommandResult r = RunCommand("soxi -V0 " + flag + " " + ShellQuote(path));
  EXPECT_EQ(r.exitCode, 0) << r.output;
  while (!r.output.empty() && (r.output.back() == '\n' || r.output.back() == ' ')) {
    r.output.pop_back();
  }
  return r.output;
}

void ExpectSoxiReads(const std::string& path, const SoundFormatInfo& info, uint32_t frames) {
  if (!HaveProgram("soxi")) return;
  EXPECT_EQ(Soxi("-c", path), std::to_string(info.formatBlock.channels)) << path;
  EXPECT_EQ(Soxi("-r", path), std::to_string(info.formatBlock.samplesPerSec)) << path;
  EXPECT_EQ(Soxi("-s", path), std::to_string(frames)) << path;
}

// The fade length the way a user would work it out: whole frames of the
// requested milliseconds, never more than the piece.
size_t ExpectedFadeBytes(const SoundFormatInfo& info, uint32_t ms, size_t pieceBytes) {
  const size_t align = info.formatBlock.blockAlign;
  const size_t bytes = size_t{info.formatBlock.avgBytesPerSec} * ms / 1000 / align * align;
  return std::min(bytes, pieceBytes);
}

TEST(SplitExport, PiecesAreExactCopiesBehindA46ByteHeader) {
  const struct {
    SourceShape shape;
    uint32_t sectorSize;
  } cases[] = {
      {{2, 16, 44100, 5000, 0, 1}, 512},
      {{1, 16, 8000, 5000, 2, 2}, 4096},  // 18 + 2 byte "fmt " in the source
      {{2, 24, 48000, 5000, 0, 3}, 512},
      {{1, 8, 11025, 5000, 22, 4}, 4096},
      {{2, 16, 22050, 5000, 0, 5}, 0},
  };
  const std::vector<ExportRange> ranges = {{1000, 2000}, {0, 1}, {37, 4999}, {4999, 5000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.shape.channels << " ch " << c.shape.bits << " bit, sector " << c.sectorSize);
    TempDir dir;
    const std::string source = dir.File("src.wav");
    const Bytes file = WriteSource(source, c.shape);
    const ExportRequest job = MakeJob(source, ranges, 0, c.sectorSize);
    std::vector<std::string> outputs;
    for (size_t i = 0; i < ranges.size(); ++i) outputs.push_back(dir.File(std::to_string(i)));
    RecordingProgress progress;
    ASSERT_EQ(WritePieces(job, outputs, progress), ExportOutcome::Done);
    for (size_t i = 0; i < ranges.size(); ++i) {
      const Bytes expected =
          SourceRange(file, job.format, ranges[i].startFrame, ranges[i].endFrame);
      EXPECT_EQ(CheckedData(ReadFileBytes(outputs[i]), job.format,
                            static_cast<uint32_t>(expected.size())),
                expected)
          << "piece " << i;
      ExpectSoxiReads(outputs[i], job.format, ranges[i].endFrame - ranges[i].startFrame);
    }
    EXPECT_EQ(progress.overallRange, ranges.size());
    EXPECT_EQ(progress.overallPositions, (std::vector<uint32_t>{0, 0, 1, 2, 3, 4}));
    EXPECT_EQ(progress.fileRanges.size(), ranges.size());
    EXPECT_GT(progress.mainWindowPumps, 0);
    EXPECT_EQ(FolderNames(dir.path()).size(), ranges.size() + 1);  // no temporary files left
  }
}

TEST(SplitExport, FadeMatchesTheReferenceFormula) {
  const struct {
    uint16_t channels;
    uint32_t rate, pieceFrames, fadeMs;
  } cases[] = {
      {1, 8000, 4000, 100},      // shorter than the piece
      {1, 8000, 4000, 500},      // exactly the piece
      {1, 8000, 4000, 900},      // longer: the whole piece
      {1, 8000, 4000, 0},        // nothing
      {2, 8000, 4000, 100},      //
      {2, 8000, 4000, 500},      //
      {2, 44100, 441000, 1000},  // 10 s piece, 1 s fade (176400 bytes)
      {2, 44100, 200000, 3100},  // fade crosses the 512000-byte pump points
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.channels << " ch, " << c.pieceFrames << " frames, " << c.fadeMs << " ms");
    TempDir dir;
    const std::string source = dir.File("src.wav");
    const Bytes file = WriteSource(source, {c.channels, 16, c.rate, c.pieceFrames + 100, 0, 7});
    const ExportRequest job = MakeJob(source, {{50, 50 + c.pieceFrames}}, c.fadeMs);
    RecordingProgress progress;
    ASSERT_EQ(WritePieces(job, {dir.File("out.wav")}, progress), ExportOutcome::Done);
    Bytes expected = SourceRange(file, job.format, 50, 50 + c.pieceFrames);
    ReferenceFade(expected, ExpectedFadeBytes(job.format, c.fadeMs, expected.size()),
                  job.format.formatBlock.blockAlign, c.channels);
    const Bytes data = CheckedData(ReadFileBytes(dir.File("out.wav")), job.format,
                                   static_cast<uint32_t>(expected.size()));
    EXPECT_TRUE(data == expected);
    if (c.fadeMs >= 500) {
      EXPECT_EQ(GetU16(data, data.size() - 2), 0);
    }
  }
}

// Lengths below one sector, between one and two, and longer, for both sector sizes.
TEST(JoinedExport, PatchesTheLengthsForEveryFileSize) {
  const struct {
    uint32_t sectorSize, totalFrames;  // mono 16-bit: data bytes = 2 x frames
  } cases[] = {{512, 150},   {512, 300},   {512, 2000},  {4096, 150},
               {4096, 2000}, {4096, 3000}, {4096, 10000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "sector " << c.sectorSize << ", " << 2 * c.totalFrames << " data bytes");
    TempDir dir;
    const std::string source = dir.File("src.wav");
    const Bytes file = WriteSource(source, {1, 16, 8000, 20000, 0, 9});
    const uint32_t a = c.totalFrames / 3, b = c.totalFrames / 2;
    const std::vector<ExportRange> ranges = {
        {9000, 9000 + a}, {100, 100 + b}, {15000, 15000 + c.totalFrames - a - b}};
    const ExportRequest job = MakeJob(source, ranges, 0, c.sectorSize);
    RecordingProgress progress;
    ASSERT_EQ(WriteJoined(job, dir.File("joined.wav"), progress), ExportOutcome::Done);
    Bytes expected;
    for (const auto& r : ranges) {
      const Bytes piece = SourceRange(file, job.format, r.startFrame, r.endFrame);
      expected.insert(expected.end(), piece.begin(), piece.end());
    }
    EXPECT_EQ(CheckedData(ReadFileBytes(dir.File("joined.wav")), job.format, 2 * c.totalFrames),
              expected);
    ExpectSoxiReads(dir.File("joined.wav"), job.format, c.totalFrames);
    EXPECT_EQ(progress.overallPositions, (std::vector<uint32_t>{0, 0, 1, 2, 3}));
  }
}

// With RF64 always, pieces (lengths written up front) and a joined file
// (lengths patched) are RF64 whose sizes our reader and sox agree on.
TEST(ExportJob, Rf64AlwaysWritesEveryOutputAsRf64) {
  TempDir dir;
  const std::string source = dir.File("src.wav");
  const Bytes file = WriteSource(source, {2, 16, 8000, 5000, 0, 7});
  const std::vector<ExportRange> ranges = {{10, 1010}, {4000, 4999}};
  for (uint32_t sectorSize : {512u, 4096u}) {
    SCOPED_TRACE(sectorSize);
    ExportRequest job = MakeJob(source, ranges, 0, sectorSize);
    job.rf64 = Rf64Policy::kAlways;
    const std::vector<std::string> pieces = {dir.File("a.wav"), dir.File("b.wav")};
    RecordingProgress progress;
    ASSERT_EQ(WritePieces(job, pieces, progress), ExportOutcome::Done);
    ASSERT_EQ(WriteJoined(job, dir.File("j.wav"), progress), ExportOutcome::Done);
    Bytes joined;
    const auto expectRf64 = [&job](const std::string& path, const Bytes& data) {
      const Bytes bytes = ReadFileBytes(path);
      EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RF64") << path;
      EXPECT_TRUE(WaveFileMatchesHeader(path)) << path;
      SoundFormatInfo info;
      ASSERT_EQ(ProbeWaveFile(path.c_str(), info), 0) << path;
      EXPECT_EQ(Bytes(bytes.begin() + info.dataOffset, bytes.end()), data) << path;
      ExpectSoxiReads(path, job.format, static_cast<uint32_t>(data.size() / 4));
    };
    for (size_t i = 0; i < ranges.size(); ++i) {
      const Bytes piece = SourceRange(file, job.format, ranges[i].startFrame, ranges[i].endFrame);
      expectRf64(pieces[i], piece);
      joined.insert(joined.end(), piece.begin(), piece.end());
    }
    expectRf64(dir.File("j.wav"), joined);
  }
}

// Data of an odd length (8-bit mono; 24-bit mono or three channels with an
// odd frame count) is followed by its pad byte, which the RIFF size (in RF64
// the one in "ds64") counts: pieces, a joined file and RF64 alike, read by
// sndfile without an error.
TEST(ExportJob, OddLengthDataIsFollowedByItsPadByte) {
  const bool haveSndfile = HaveProgram("sndfile-info");
  for (const SourceShape& shape :
       {SourceShape{1, 8, 8000, 700, 0, 3}, {1, 24, 8000, 700, 0, 4}, {3, 24, 8000, 700, 0, 5}}) {
    for (const Rf64Policy policy : {Rf64Policy::kAuto, Rf64Policy::kAlways}) {
      SCOPED_TRACE(testing::Message() << shape.channels << " ch " << shape.bits << " bit, "
                                      << (policy == Rf64Policy::kAlways ? "RF64" : "RIFF"));
      TempDir dir;
      const std::string source = dir.File("src.wav");
      const Bytes file = WriteSource(source, shape);
      ExportRequest job = MakeJob(source, {{0, 101}, {200, 301}, {500, 601}});
      job.rf64 = policy;
      const std::vector<std::string> pieces = {dir.File("1.wav"), dir.File("2.wav"),
                                               dir.File("3.wav")};
      RecordingProgress progress;
      ASSERT_EQ(WritePieces(job, pieces, progress), ExportOutcome::Done);
      ASSERT_EQ(WriteJoined(job, dir.File("j.wav"), progress), ExportOutcome::Done);
      Bytes joined;
      for (const CutRange& r : job.ranges) {
        const Bytes piece = SourceRange(file, job.format, r.startFrame, r.endFrame);
        joined.insert(joined.end(), piece.begin(), piece.end());
      }
      const struct {
        std::string path;
        Bytes data;
      } outputs[] = {{pieces[0], SourceRange(file, job.format, 0, 101)},
                     {dir.File("j.wav"), joined}};
      for (const auto& output : outputs) {
        SCOPED_TRACE(output.path);
        const Bytes bytes = ReadFileBytes(output.path);
        ASSERT_EQ(output.data.size() % 2, 1u);
        SoundFormatInfo info;
        ASSERT_EQ(ProbeWaveFile(output.path.c_str(), info), 0);
        EXPECT_EQ(bytes.size(), info.dataOffset + output.data.size() + 1);
        EXPECT_TRUE(Bytes(bytes.begin() + info.dataOffset, bytes.end() - 1) == output.data);
        EXPECT_EQ(bytes.back(), 0);
        EXPECT_TRUE(WaveFileMatchesHeader(output.path));
        if (policy == Rf64Policy::kAuto) {
          EXPECT_EQ(GetU32(bytes, 4), bytes.size() - 8);
        }
        if (haveSndfile) {
          const CommandResult seen = RunCommand("sndfile-info " + ShellQuote(output.path));
          EXPECT_EQ(seen.output.find("Error"), std::string::npos) << seen.output;
          EXPECT_NE(seen.output.find(
                        "Frames      : " +
                        std::to_string(output.data.size() / job.format.formatBlock.blockAlign)),
                    std::string::npos)
              << seen.output;
        }
      }
    }
  }
}

// Pieces of several megabytes at odd frames and odd byte offsets (3-byte
// frames), from the source's first frame and up to its last: the source is
// read ahead in large blocks, so piece boundaries fall anywhere inside them.
TEST(ExportJob, LongPiecesAtOddPositionsAreExactAtBothEndsOfTheSource) {
  const struct {
    SourceShape shape;
    uint32_t fadeMs;
  } cases[] = {
      {{2, 16, 44100, 900001, 0, 31}, 1000},
      {{1, 24, 48000, 1200001, 0, 32}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.shape.channels << " ch " << c.shape.bits << " bit");
    TempDir dir;
    const std::string source = dir.File("src.wav");
    const Bytes file = WriteSource(source, c.shape);
    const uint32_t last = c.shape.frames;
    const std::vector<ExportRange> ranges = {
        {0, 262147}, {last - 437853, last}, {123457, last - 1}};
    const ExportRequest job = MakeJob(source, ranges, c.fadeMs, 4096);
    std::vector<std::string> outputs;
    Bytes joined;
    for (size_t i = 0; i < ranges.size(); ++i) {
      outputs.push_back(dir.File(std::to_string(i)));
      const Bytes piece = SourceRange(file, job.format, ranges[i].startFrame, ranges[i].endFrame);
      joined.insert(joined.end(), piece.begin(), piece.end());
    }
    RecordingProgress progress;
    ASSERT_EQ(WritePieces(job, outputs, progress), ExportOutcome::Done);
    ASSERT_EQ(WriteJoined(job, dir.File("joined.wav"), progress), ExportOutcome::Done);
    for (size_t i = 0; i < ranges.size(); ++i) {
      Bytes expected = SourceRange(file, job.format, ranges[i].startFrame, ranges[i].endFrame);
      ReferenceFade(expected, ExpectedFadeBytes(job.format, c.fadeMs, expected.size()),
                    job.format.formatBlock.blockAlign, c.shape.channels);
      EXPECT_TRUE(CheckedData(ReadFileBytes(outputs[i]), job.format,
                              static_cast<uint32_t>(expected.size())) == expected)
          << "piece " << i;
    }
    ReferenceFade(joined, ExpectedFadeBytes(job.format, c.fadeMs, joined.size()),
                  job.format.formatBlock.blockAlign, c.shape.channels);
    EXPECT_TRUE(CheckedData(ReadFileBytes(dir.File("joined.wav")), job.format,
                            static_cast<uint32_t>(joined.size())) == joined);
  }
}

// The fade of a joined file is its last fadeMs, over the seams of its ranges.
TEST(JoinedExport, FadesTheEndOfTheFileAcrossItsSeams) {
  TempDir dir;
  const std::string source = dir.File("src.wav");
  const Bytes file = WriteSource(source, {2, 16, 8000, 10000, 0, 11});
  const std::vector<ExportRange> ranges = {{0, 1000}, {2000, 4000}, {6000, 6500}};
  const ExportRequest job = MakeJob(source, ranges, 200);  // 1600 frames: 500 + 1100 of the second
  RecordingProgress progress;
  ASSERT_EQ(WriteJoined(job, dir.File("j.wav"), progress), ExportOutcome::Done);
  Bytes expected;
  for (const auto& r : ranges) {
    const Bytes piece = SourceRange(file, job.format, r.startFrame, r.endFrame);
    expected.insert(expected.end(), piece.begin(), piece.end());
  }
  ReferenceFade(expected, 6400, 4, 2);
  EXPECT_TRUE(CheckedData(ReadFileBytes(dir.File("j.wav")), job.format, 14000) == expected);
}

// Fades of more than 2^32 bytes of audio (whole frames, though their low 32
// bits are not) fade all of a piece and all of a joined file.
TEST(ExportJob, FadesBeyond4GiBOfAudioFadeEverything) {
  const struct {
    SourceShape shape;
    uint32_t fadeMs;
  } cases[] = {
      {{2, 16, 44100, 3000, 0, 12}, 24347910},  // 2^32 + 4028 bytes
      {{2, 24, 44100, 3000, 0, 13}, 16231940},  // the same, 4028 not whole 6-byte frames
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shape.bits);
    TempDir dir;
    const std::string source = dir.File("src.wav");
    const Bytes file = WriteSource(source, c.shape);
    const ExportRequest job = MakeJob(source, {{0, 1500}, {2000, 3000}}, c.fadeMs);
    RecordingProgress progress;
    ASSERT_EQ(WritePieces(job, {dir.File("1.wav"), dir.File("2.wav")}, progress),
              ExportOutcome::Done);
    ASSERT_EQ(WriteJoined(job, dir.File("j.wav"), progress), ExportOutcome::Done);
    const uint16_t align = job.format.formatBlock.blockAlign;
    Bytes piece = SourceRange(file, job.format, 0, 1500);
    Bytes joined = piece;
    const Bytes second = SourceRange(file, job.format, 2000, 3000);
    joined.insert(joined.end(), second.begin(), second.end());
    ReferenceFade(piece, piece.size(), align, c.shape.channels);
    ReferenceFade(joined, joined.size(), align, c.shape.channels);
    EXPECT_TRUE(CheckedData(ReadFileBytes(dir.File("1.wav")), job.format, 1500 * align) == piece);
    EXPECT_TRUE(CheckedData(ReadFileBytes(dir.File("j.wav")), job.format, 2500 * align) == joined);
  }
}

// Cancel during the second of three pieces: the first stays, the second is
// removed, and files of the same names that existed before are untouched.
TEST(SplitExport, CancelKeepsFinishedPiecesAndEveryExistingFile) {
  TempDir dir;
  const std::string source = dir.File("src.wav");
  WriteSource(source, {2, 16, 44100, 300000, 0, 12});
  const ExportRequest job = MakeJob(source, {{0, 100000}, {100000, 200000}, {200000, 300000}});
  fs::create_directory(dir.File("out"));
  const std::vector<std::string> outputs = {dir.File("out/01.wav"), dir.File("out/02.wav"),
                                            dir.File("out/03.wav")};
  WriteFileBytes(outputs[1], {1, 2, 3});
  WriteFileBytes(outputs[2], {4, 5});
  RecordingProgress progress;
  progress.cancelAtPump = 6;  // 400000 bytes a piece: 4 blocks each
  bool sawTemporary = false;
  progress.onPump = [&] { sawTemporary = sawTemporary || FolderNames(dir.File("out")).size() > 3; };
  EXPECT_EQ(WritePieces(job, outputs, progress), ExportOutcome::Cancelled);
  EXPECT_TRUE(sawTemporary);
  EXPECT_EQ(FolderNames(dir.File("out")), (std::vector<std::string>{"01.wav", "02.wav", "03.wav"}));
  EXPECT_EQ(ReadFileBytes(outputs[0]).size(), 46u + 400000);
  EXPECT_EQ(ReadFileBytes(outputs[1]), (Bytes{1, 2, 3}));
  EXPECT_EQ(ReadFileBytes(outputs[2]), (Bytes{4, 5}));
}

TEST(JoinedExport, CancelDuringTheFadeLeavesTheOldFile) {
  TempDir dir;
  const std::string source = dir.File("src.wav");
  WriteSource(source, {2, 16, 44100, 300000, 0, 13});
  // 3 s fade = 529200 bytes: the fade's first pump point comes after 17200 bytes.
  const ExportRequest job = MakeJob(source, {{0, 1000}, {1000, 300000}}, 3000);
  WriteFileBytes(dir.File("j.wav"), {7, 7, 7});
  RecordingProgress progress;
  progress.cancelAtPump = 7;  // 1 + 6 copy pumps, then the fade's first
  EXPECT_EQ(WriteJoined(job, dir.File("j.wav"), progress), ExportOutcome::Cancelled);
  EXPECT_EQ(progress.pumps, 8);
  EXPECT_EQ(ReadFileBytes(dir.File("j.wav")), (Bytes{7, 7, 7}));
  EXPECT_EQ(FolderNames(dir.path()), (std::vector<std::string>{"j.wav", "src.wav"}));
}

TEST(ExportJob, OutputThatIsTheSourceIsRefusedAndNothingIsWritten) {
  TempDir dir;
  const std::string source = dir.File("src.wav");
  const Bytes file = WriteSource(source, {2, 16, 8000, 1000, 0, 14});
  fs::create_hard_link(source, dir.File("alias.wav"));
  const ExportRequest job = MakeJob(source, {{0, 10}, {10, 20}});
  RecordingProgress progress;
  EXPECT_EQ(WritePieces(job, {dir.File("new.wav"), dir.File("alias.wav")}, progress),
            ExportOutcome::OutputIsSource);
  EXPECT_EQ(WriteJoined(job, source, progress), ExportOutcome::OutputIsSource);
  EXPECT_EQ(ReadFileBytes(source), file);
  EXPECT_EQ(FolderNames(dir.path()), (std::vector<std::string>{"alias.wav", "src.wav"}));
}

TEST(ExportJob, BadRangesAreRefusedBeforeAnythingIsWritten) {
  const std::vector<ExportRange> bad[] = {
      {{10, 10}}, {{0, 5}, {20, 10}}, {{0, 1001}}, {{0xFFFFFFF0u, 0xFFFFFFFFu}}};
  for (const auto& ranges : bad) {
    TempDir dir;
    const std::string source = dir.File("src.wav");
    WriteSource(source, {2, 16, 8000, 1000, 0, 15});
    const ExportRequest job = MakeJob(source, ranges);
    std::vector<std::string> outputs;
    for (size_t i = 0; i < ranges.size(); ++i) outputs.push_back(dir.File(std::to_string(i)));
    RecordingProgress progress;
    EXPECT_EQ(WritePieces(job, outputs, progress), ExportOutcome::BadRange);
    EXPECT_EQ(WriteJoined(job, dir.File("j"), progress), ExportOutcome::BadRange);
    EXPECT_EQ(FolderNames(dir.path()).size(), 1u);
  }
}

// Without RF64 a file of 4 GiB cannot be described: refused before anything
// is opened. RF64 allowed, it goes on to the source.
TEST(ExportJob, JoinedFilesOf4GiBAreRefusedWithoutRf64) {
  ExportRequest job;
  job.sourcePath = "/nonexistent/src.wav";
  job.rf64 = Rf64Policy::kNever;
  job.format.formatBlock.blockAlign = 1;
  job.format.dataSize = 0xFFFFFFFFu;
  const auto fits = [&job] { return OutputsFit(PlanOf(job, {"/nonexistent/j.wav"}, true)); };
  job.ranges = CutRanges({{0, 0xFFFFFFFFu - 47}});
  EXPECT_TRUE(fits());
  job.ranges = CutRanges({{0, 0xFFFFFFFFu - 46}});  // odd: its pad byte makes the file 4 GiB
  EXPECT_FALSE(fits());
  job.ranges = CutRanges({{0, 0x80000000u}, {0, 0x80000000u}});
  const ExportPlan plan = PlanOf(job, {"/nonexistent/j.wav"}, true);
  EXPECT_EQ(DataLength(plan, plan.outputs[0]), 0x100000000u);
  RecordingProgress progress;
  EXPECT_EQ(WriteJoined(job, "/nonexistent/j.wav", progress), ExportOutcome::TooLarge);
  job.rf64 = Rf64Policy::kAuto;
  EXPECT_TRUE(fits());
  EXPECT_EQ(WriteJoined(job, "/nonexistent/j.wav", progress), ExportOutcome::SourceFailed);
}

// A source near 4 GiB without RF64: a piece whose file would reach 4 GiB is
// refused before anything is opened.
TEST(ExportJob, PiecesOf4GiBAreRefusedWithoutRf64) {
  TempDir dir;
  ExportRequest job;
  job.sourcePath = dir.File("missing.wav");
  job.rf64 = Rf64Policy::kNever;
  job.format.formatBlock.blockAlign = 1;
  job.format.dataOffset = 44;
  job.format.dataSize = 0xFFFFFFFFu - 44;
  const struct {
    ExportRange range;
    ExportOutcome outcome;
  } cases[] = {
      {{2, 0xFFFFFFFFu - 45}, ExportOutcome::SourceFailed},  // a 0xFFFFFFFE-byte file: fits
      {{1, 0xFFFFFFFFu - 45}, ExportOutcome::TooLarge},      // odd: 4 GiB with its pad byte
      {{0, 0xFFFFFFFFu - 45}, ExportOutcome::TooLarge},
      {{9, 3}, ExportOutcome::BadRange},
  };
  for (const auto& c : cases) {
    job.ranges = CutRanges({{0, 10}, c.range});
    RecordingProgress progress;
    EXPECT_EQ(OutputsFit(PlanOf(job, {dir.File("01.wav"), dir.File("02.wav")}, false)),
              c.outcome != ExportOutcome::TooLarge);
    EXPECT_EQ(WritePieces(job, {dir.File("01.wav"), dir.File("02.wav")}, progress), c.outcome);
    EXPECT_EQ(FolderNames(dir.path()).size(), 0u);
  }
}

// A 20-in-24 extensible source: the fade scales the valid bits and keeps the 4
// padding bits of every sample zero, across the copier's blocks (18-byte frames).
TEST(ExportJob, FadeOfAPaddedContainerKeepsThePaddingZero) {
  TempDir dir;
  const std::string source = dir.File("src.wav");
  Bytes data = SeededBytes(18 * 48000, 3);  // 1 s of 6 channels
  for (size_t at = 0; at < data.size(); at += 3) data[at] &= 0xF0;
  WriteFileBytes(source, RiffWave({RiffChunk("fmt ", ExtensibleFmtBody(6, 48000, 24, 20, 0x3F, 1)),
                                   RiffChunk("data", data)}));
  const ExportRequest job = MakeJob(source, {{0, 48000}}, 900);
  RecordingProgress progress;
  ASSERT_EQ(WriteJoined(job, dir.File("out.wav"), progress), ExportOutcome::Done);
  Bytes expected = data;
  ReferenceFade(expected, 18 * 43200, 18, 6, false, 4);
  EXPECT_TRUE(ChunkBody(ReadFileBytes(dir.File("out.wav")), "data") == expected);
}

TEST(ExportJob, ASourceCutShortStopsAndRemovesTheOutput) {
  TempDir dir;
  const std::string source = dir.File("src.wav");
  Bytes file = WriteSource(source, {2, 16, 8000, 100000, 0, 16});
  const ExportRequest job = MakeJob(source, {{0, 1000}, {1000, 100000}});
  fs::resize_file(source, file.size() - 1000);  // the file shrank after it was opened
  RecordingProgress progress;
  EXPECT_EQ(WritePieces(job, {dir.File("a.wav"), dir.File("b.wav")}, progress),
            ExportOutcome::ReadFailed);
  EXPECT_EQ(WriteJoined(job, dir.File("j.wav"), progress), ExportOutcome::ReadFailed);
  EXPECT_EQ(FolderNames(dir.path()), (std::vector<std::string>{"a.wav", "src.wav"}));
}

TEST(ExportJob, AnOutputIsNeverShorterThanItsHeaderStates) {
  // 16-bit stereo whose block alignment (6, 10) is no multiple of the fade's
  // 4-byte step: the fade must not leave the file short of its header while
  // reporting success. Either the file is complete or it is not kept.
  for (uint16_t blockAlign : {6, 10}) {
    TempDir dir;
    const std::string source = dir.File("src.wav");
    WriteSource(source, {2, 16, 8000, 2000, 0, 19});
    ExportRequest job = MakeJob(source, {{0, 101}}, 1000);  // the fade covers all 101 blocks
    job.format.formatBlock.blockAlign = blockAlign;
    job.format.formatBlock.avgBytesPerSec = 8000u * blockAlign;
    const uint32_t length = 101u * blockAlign;
    for (bool joined : {false, true}) {
      const std::string output = dir.File(joined ? "j.wav" : "a.wav");
      RecordingProgress progress;
      const ExportOutcome outcome =
          joined ? WriteJoined(job, output, progress) : WritePieces(job, {output}, progress);
      if (outcome == ExportOutcome::Done) {
        EXPECT_EQ(ReadFileBytes(output).size(), 46u + length) << blockAlign << " " << joined;
      } else {
        EXPECT_EQ(outcome, ExportOutcome::WriteFailed) << blockAlign << " " << joined;
        EXPECT_FALSE(fs::exists(output)) << blockAlign << " " << joined;
      }
    }
    for (const std::string& name : FolderNames(dir.path())) EXPECT_NE(name[0], '.') << name;
  }
}

// Runs the export in a child whose file size limit stops the writes half-way.
ExportOutcome ExportUnderSizeLimit(const ExportRequest& job,
                                   const std::vector<std::string>& outputs, bool joined,
                                   rlim_t limit) {
  const pid_t child = fork();
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
    const rlimit r = {limit, limit};
    setrlimit(RLIMIT_FSIZE, &r);
    RecordingProgress progress;
    _exit(static_cast<int>(joined ? WriteJoined(job, outputs[0], progress)
                                  : WritePieces(job, outputs, progress)));
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? static_cast<ExportOutcome>(WEXITSTATUS(status)) : ExportOutcome::Done;
}

TEST(ExportJob, AFailedWriteIsReportedAndLeavesNoPartialFile) {
  for (uint32_t sector : {512u, 4096u}) {
    TempDir dir;
    const std::string source = dir.File("src.wav");
    WriteSource(source, {2, 16, 44100, 200000, 0, 17});
    const ExportRequest job = MakeJob(source, {{0, 1000}, {1000, 200000}}, 0, sector);
    WriteFileBytes(dir.File("b.wav"), {1});
    EXPECT_EQ(ExportUnderSizeLimit(job, {dir.File("a.wav"), dir.File("b.wav")}, false, 300000),
              ExportOutcome::WriteFailed);
    EXPECT_EQ(ExportUnderSizeLimit(job, {dir.File("j.wav")}, true, 300000),
              ExportOutcome::WriteFailed);
    // Limits that only the last partial sector (appended at close) crosses.
    const ExportRequest small = MakeJob(source, {{0, 1000}}, 0, sector);
    EXPECT_EQ(ExportUnderSizeLimit(small, {dir.File("c.wav")}, false, 4046 - 10),
              ExportOutcome::WriteFailed);
    EXPECT_EQ(FolderNames(dir.path()), (std::vector<std::string>{"a.wav", "b.wav", "src.wav"}));
    EXPECT_EQ(ReadFileBytes(dir.File("b.wav")), (Bytes{1}));
  }
}

TEST(ExportJob, AnOutputThatCannotBeCreatedIsReported) {
  TempDir dir;
  const std::string source = dir.File("src.wav");
  WriteSource(source, {2, 16, 8000, 1000, 0, 18});
  fs::create_directory(dir.File("ro"));
  fs::permissions(dir.File("ro"), fs::perms::owner_read | fs::perms::owner_exec);
  std::vector<std::string> unwritable = {dir.File("missing/a.wav"), dir.File("src.wav/a.wav")};
  if (geteuid() != 0) unwritable.push_back(dir.File("ro/a.wav"));  // permissions do not bind root
  const ExportRequest job = MakeJob(source, {{0, 10}});
  for (const auto& output : unwritable) {
    RecordingProgress progress;
    EXPECT_EQ(WritePieces(job, {output}, progress), ExportOutcome::OutputFailed) << output;
    EXPECT_EQ(WriteJoined(job, output, progress), ExportOutcome::OutputFailed) << output;
  }
  EXPECT_TRUE(FolderNames(dir.File("ro")).empty());
  EXPECT_EQ(FolderNames(dir.path()), (std::vector<std::string>{"ro", "src.wav"}));
}

}  // namespace
}  // namespace snipora
