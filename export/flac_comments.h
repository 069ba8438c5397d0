#pragma once

#include <optional>
#include <string>
#include <vector>

#include "audiofile/sample_loops.h"
#include "audiofile/sound_format.h"
#include "export/export_plan.h"
#include "export/kept_metadata.h"

// What FLAC outputs keep of the source's metadata: Vorbis comments. A FLAC
// source's comments go into every FLAC output but those that describe the
// whole source (REPLAYGAIN_*, CUESHEET and the loop points); a piece's label
// becomes its TITLE and its number its TRACKNUMBER; its loop is stored as
// LOOPSTART and LOOPLENGTH in frames, as game engines and loop-aware players
// read them. WAVE chunks (INFO, bext, iXML, markers) are not written into
// FLAC files.
namespace snipora {

// The Vorbis comments of a FLAC source ("NAME=value", in order); none for
// other sources or when the header cannot be read.
std::vector<std::string> SourceVorbisComments(const std::string& path,
                                              const SoundFormatInfo& format);

// The loop that LOOPSTART and LOOPLENGTH comments state (frames), as a
// "smpl" chunk; nothing unless both are whole numbers and the loop lies
// inside the source's frames and a chunk's 32-bit fields.
std::optional<SampleChunk> CommentLoops(const std::vector<std::string>& comments,
                                        const SoundFormatInfo& format);

// Fills in the comments of the plan's outputs (all FLAC) from the source's
// comments, their labels, numbers and planned loops (which give way to
// LOOPSTART and LOOPLENGTH: the first one, any more named in the notes, as
// are the WAVE chunks of `source` that FLAC outputs leave out).
void PlanFlacComments(const std::vector<std::string>& sourceComments, const SourceMetadata& source,
                      bool keepMetadata, ExportPlan& plan);

}  // namespace snipora
