#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "audiofile/sample_loops.h"
#include "audiofile/sample_source.h"
#include "audiofile/sound_format.h"
#include "audiofile/wave_writer.h"
#include "export/fade.h"

// One export plan for both front ends. The window and snipora-cut fill in an
// ExportRequest: the source, its ranges with their labels, where the outputs
// go and the options. PlanExport decides what each output holds: its ranges,
// the fades at its edges, its loops ("smpl") and the metadata chunks kept from
// the source. WriteExport (export_job.h) writes the plan, VerifyExport
// (export_verify.h) reads the outputs back. Nothing here is decided by a
// front end.
namespace snipora {

struct ExportRange {
  uint64_t startFrame = 0;
  uint64_t endFrame = 0;  // exclusive

  bool operator==(const ExportRange&) const = default;
};

// A range to cut, as the user gave it.
struct CutRange {
  uint64_t startFrame = 0;
  uint64_t endFrame = 0;  // exclusive
  std::string label;      // empty: none
  // A loop of this range's own (source frames, end exclusive; e.g. one the
  // loop search found in it): its piece gets it in place of the source's.
  std::optional<ExportRange> loop;
};

// How the outputs are encoded: WAVE files whose samples are the source's
// (decoded, for a FLAC source), or FLAC files encoded by libFLAC from them
// (export/flac_writer.h). Both get the same ranges and fades.
enum class OutputFormat { kWave, kFlac };

// What a source is written as unless asked otherwise: FLAC for a FLAC
// source, WAVE for any other.
OutputFormat DefaultOutputFormat(const SoundFormatInfo& source);

// Fades at the edges, in milliseconds of audio; 0 = none.
struct EdgeOptions {
  uint32_t fadeInMs = 0;   // each piece's start; of a joined file its start
  uint32_t fadeOutMs = 0;  // each piece's end; of a joined file its end
  // A fade-in and a fade-out of this length at every piece's edges; a
  // joined file gets them at its start and end and on both sides of every
  // seam. Where fadeInMs or fadeOutMs is longer at an edge, it applies there.
  uint32_t declickMs = 0;
};

// A loop the user gives for all outputs, in place of the source's loops.
struct GivenLoop {
  ExportRange frames;  // source frames, end exclusive
  std::string name;    // how the user knows it, for refusals ("--loop 10:20")
};

// Each piece written as a listening copy of its loop: the piece up to the
// loop's last frame, the loop count - 1 more times, then fadeMs of audio from
// the loop's start on (round the loop again where the fade is longer),
// fading out. Its samples are the source's except in that fade; it holds no
// chunk from the source and no "smpl" (it plays the loop already).
struct ExtendedCopies {
  uint32_t count = 2;       // how often the loop plays in all, at least 1
  uint32_t fadeMs = 10000;  // 0 = no fade
};

struct ExportRequest {
  std::string sourcePath;
  SoundFormatInfo format;
  std::vector<CutRange> ranges;
  bool join = false;               // one output of all ranges, in order
  std::vector<std::string> paths;  // one per range; joined: the one file
  OutputFormat outputFormat = OutputFormat::kWave;
  uint32_t flacLevel = 5;  // libFLAC's compression level of FLAC outputs, 0 to 8
  EdgeOptions edges;
  // Split: it must lie inside every piece; joined: inside one of the ranges.
  std::optional<GivenLoop> loop;
  // False writes no chunk from the source (no INFO, bext, iXML, markers or
  // loops; no Vorbis comments into FLAC outputs); a given or a range's own
  // loop is still written.
  bool keepMetadata = true;
  // Split only, in place of the edge fades: each piece's first loop (given,
  // its own, else the source's, read also when metadata is not kept) is
  // played out; a piece without a loop is refused.
  std::optional<ExtendedCopies> extend;
  Rf64Policy rf64 = Rf64Policy::kAuto;
  uint32_t forcedSectorSize = 0;  // 0: the file system's; tests force 512 or 4096
};

// One output as decided.
struct ExportOutput {
  std::string path;
  OutputFormat format = OutputFormat::kWave;
  std::vector<ExportRange> ranges;  // source frames, in the order written
  // A piece's label (may be empty) and number among the ranges, from 1; a
  // joined file has neither (number 0).
  std::string label;
  uint32_t number = 0;
  std::vector<FadeSpan> fades;  // in the output's frames
  // Whole chunks kept from the source, in writing order ("bext", "iXML",
  // LIST "INFO", "cue ", LIST "adtl"), each with its pad byte.
  std::vector<uint8_t> metadata;
  std::optional<SampleChunk> loops;  // its "smpl" chunk
  // A FLAC output's Vorbis comments ("NAME=value", in order); FLAC outputs
  // hold no WAVE chunks, so their metadata and loops stay empty (a loop
  // becomes LOOPSTART and LOOPLENGTH here).
  std::vector<std::string> comments;

  uint64_t Frames() const;
  // Every chunk written between "fmt " and "data": the metadata, then "smpl".
  WaveExtraChunks ExtraChunks() const;
};

struct ExportPlan {
  std::string sourcePath;
  SoundFormatInfo format;
  std::vector<ExportOutput> outputs;
  Rf64Policy rf64 = Rf64Policy::kAuto;
  uint32_t flacLevel = 5;
  uint32_t forcedSectorSize = 0;
  // What the outputs leave out that the source has (loops and markers in no
  // output, chunks that cannot be kept), one sentence each.
  std::vector<std::string> notes;
};

// Decides the plan of `request`. A refusal (one sentence) when it cannot be
// planned: FLAC outputs of samples FLAC cannot hold, the given loop or a
// range's own loop does not lie where it must, a loop or marker would lie past
// the frames a chunk can address, or an extended copy has no loop to play
// out. Ranges are checked by the
// writer, which refuses bad ones before writing anything.
std::optional<std::string> PlanExport(const ExportRequest& request, ExportPlan& plan);

// The source frames of `ranges`, as a sample source delivers them.
std::vector<FrameStretch> SourceStretches(const std::vector<ExportRange>& ranges);

// Bytes of sample data of the output.
uint64_t DataLength(const ExportPlan& plan, const ExportOutput& output);

// False when an output would be 4 GiB or more and the plan does not allow
// RF64. Empty or reversed ranges are left to the writer's range check.
bool OutputsFit(const ExportPlan& plan);

}  // namespace snipora
