#include "cli/help_format.h"

#include <sstream>

namespace snipora::cli {

namespace {

constexpr size_t kLineWidth = 79;
constexpr size_t kNameColumn = 24;  // where the help sentences start

constexpr const char* kUsage = R"(Usage: snipora-cut [options] SOURCE RANGE...
       snipora-cut [options] SOURCE... RANGE...
       snipora-cut [options] --labels|--cue|--csv FILE SOURCE... [RANGE...]
       snipora-cut [options] --markers SOURCE... [RANGE...]
       snipora-cut [options] --silence [--threshold DB] [--min-silence MS]
                   [--min-sound MS] [--pad MS] SOURCE... [RANGE...]
       snipora-cut --print-ranges FORMAT [--ms] LIST-OPTION SOURCE [RANGE...]
       snipora-cut --info SOURCE
       snipora-cut --find-loops [--window MS] [--precision N] SOURCE [RANGE]
)";

constexpr const char* kDescription = R"(
Cuts ranges out of PCM WAVE, uncompressed NWA or FLAC files: a WAVE piece is
a byte-exact copy of the source's samples, a FLAC piece (see --format)
decodes to exactly them; fades aside.

RANGE is START:END in sample frames, END exclusive (with --ms: milliseconds).
Without -o the pieces go to a folder named after the source as 01.wav,
02.wav ... (01.flac ... as FLAC): /music/song.wav gives /music/song/01.wav (a
source without an extension, /music/song, gives /music/song.pieces/01.wav).

Several sources take their ranges one by one: from a list whose FILE holds
{stem}, the source's name without extension ('{stem}.cue' is read beside each
source), from --markers or --silence, or the RANGEs given, applied to each.
Each source's pieces go to its own folder (with -o DIR: DIR/STEM/). A source
that fails does not stop the others; the run ends with one line per source on
standard error.
An argument after the first that is not START:END names a source.
)";

constexpr const char* kFooter =
    R"(Range lists: one at a time; its ranges come before any RANGE. A malformed
list is refused with its file and line, and that source is not cut.

Exit status:
  0  done (also when --skip-existing found every output in place)
  1  failed: a source or list is missing, unreadable or malformed, --silence
     found no sound, a range does not fit its source, an output is in the
     way or cannot be written, or the run was interrupted; with several
     sources, any of them failed.
     Nothing unfinished is left behind.
  2  usage error: the command line itself is wrong (an unknown option, a bad
     value, options that do not go together, a RANGE that is not START:END
     with START below END); found before any file is read, so nothing was
     read or written.

Examples:
  snipora-cut song.wav 0:441000 441000:882000
      two pieces: song/01.wav and song/02.wav
  snipora-cut --ms --fade 500 -o clips song.wav 1000:5000 60000:65000
      clips/01.wav and clips/02.wav, each fading out over its last 0.5 s
  snipora-cut -j -o medley.wav --labels marks.txt song.wav
      the labelled regions joined into medley.wav
  snipora-cut --cue album.cue --name "{n:02} {label}" album.wav
      one file per track, named after its title: album/01 Intro.wav ...
  snipora-cut --cue '{stem}.cue' -o tracks --skip-existing --json *.wav
      every album through its own CUE sheet into tracks/ALBUM/; a rerun
      writes only what is missing
  snipora-cut --markers --print-ranges cue take.wav > take.cue
      the source's own markers as a CUE sheet
  snipora-cut --silence --threshold -45 --min-silence 2000 tape.wav
      one piece per sound between silences of at least 2 s below -45 dB
  snipora-cut --info voice.nwa
  snipora-cut --find-loops --ms song.wav 5000:60000
      loops that start at 5 s and end before 60 s
  snipora-cut --loop 220500:1543500 song.wav 0:2000000
      song/01.wav with the loop from 5 s to 35 s (44100 Hz) in its smpl chunk
)";

// text broken into lines of at most `width` characters at spaces.
std::vector<std::string> Wrapped(const std::string& text, size_t width) {
  std::vector<std::string> lines;
  std::istringstream words(text);
  std::string word, line;
  while (words >> word) {
    if (!line.empty() && line.size() + 1 + word.size() > width) {
      lines.push_back(line);
      line.clear();
    }
    line += (line.empty() ? "" : " ") + word;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace

std::string HelpFormatter::make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const {
  std::string help = std::string(kUsage) + kDescription;
  for (const std::string& group : app->get_groups()) {
    if (group.empty()) continue;
    const auto options = app->get_options(
        [&group](const CLI::Option* option) { return option->get_group() == group; });
    if (!options.empty()) help += make_group(group, false, options);
  }
  return help + "\n" + kFooter;
}

std::string HelpFormatter::make_option(const CLI::Option* option, bool) const {
  std::string names = option->get_snames().empty() ? "    " : "-" + option->get_snames()[0] + ", ";
  names += "--" + option->get_lnames()[0];
  if (option->get_expected_max() != 0) names += " " + option->get_type_name();
  const std::string indent(kNameColumn, ' ');
  std::string out = "  " + names;
  out += out.size() < kNameColumn ? std::string(kNameColumn - out.size(), ' ') : "\n" + indent;
  const std::vector<std::string> lines =
      Wrapped(option->get_description(), kLineWidth - kNameColumn);
  for (size_t i = 0; i < lines.size(); ++i) out += (i > 0 ? "\n" + indent : "") + lines[i];
  return out + "\n";
}

}  // namespace snipora::cli
