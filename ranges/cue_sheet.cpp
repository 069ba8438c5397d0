#include "ranges/cue_sheet.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "ranges/messages.h"
#include "ranges/text_lines.h"

namespace snipora::ranges {

namespace {

constexpr uint32_t kCdFramesPerSecond = 75;
constexpr size_t kMaxTracks = 99;

struct Track {
  int line = 0;        // of its TRACK command
  int indexLine = 0;   // of its INDEX 01
  uint64_t value = 0;  // its number
  std::string number;  // as written, for messages
  std::string title;
  std::optional<uint64_t> startFrame;
};

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

// The first blank-separated word of text, and the text after it.
std::string_view NextWord(std::string_view& text) {
  text = Trimmed(text);
  size_t end = 0;
  while (end < text.size() && text[end] != ' ' && text[end] != '\t') ++end;
  const std::string_view word = text.substr(0, end);
  text = Trimmed(text.substr(end));
  return word;
}

// A TITLE or FILE argument: the text between its first and last double quote,
// or the whole text when it is not quoted.
std::string QuotedText(std::string_view text) {
  text = Trimmed(text);
  if (text.empty() || text.front() != '"') return std::string(text);
  text.remove_prefix(1);
  if (!text.empty() && text.back() == '"') text.remove_suffix(1);
  return std::string(text);
}

// "mm:ss:ff" -> CD frames (1/75 s); minutes may have more than two digits.
std::optional<uint64_t> ParseCdTime(std::string_view text) {
  const size_t colon1 = text.find(':');
  const size_t colon2 = colon1 == std::string_view::npos ? colon1 : text.find(':', colon1 + 1);
  if (colon2 == std::string_view::npos || colon1 > 9) return std::nullopt;
  const auto minutes = ParseFrameNumber(text.substr(0, colon1));
  const std::string_view secondsText = text.substr(colon1 + 1, colon2 - colon1 - 1);
  const std::string_view framesText = text.substr(colon2 + 1);
  const auto seconds = ParseFrameNumber(secondsText);
  const auto frames = ParseFrameNumber(framesText);
  if (!minutes || !seconds || !frames || secondsText.size() > 2 || framesText.size() > 2 ||
      *seconds >= 60 || *frames >= kCdFramesPerSecond) {
    return std::nullopt;
  }
  return (*minutes * 60 + *seconds) * kCdFramesPerSecond + *frames;
}

uint64_t Saturated(unsigned __int128 value) {
  return value > UINT64_MAX ? UINT64_MAX : static_cast<uint64_t>(value);
}

// CD frames -> the nearest sample frame, rounded half up.
uint64_t CdToSampleFrame(uint64_t cdFrames, uint32_t rate) {
  return Saturated((static_cast<unsigned __int128>(cdFrames) * rate * 2 + kCdFramesPerSecond) /
                   (2 * kCdFramesPerSecond));
}

// Sample frame -> the nearest CD frame, rounded half up.
uint64_t SampleToCdFrame(uint64_t frame, uint32_t rate) {
  return Saturated((static_cast<unsigned __int128>(frame) * kCdFramesPerSecond * 2 + rate) /
                   (2 * static_cast<unsigned __int128>(rate)));
}

std::string TwoDigits(uint64_t value) {
  return (value < 10 ? "0" : "") + std::to_string(value);
}

std::string CdTimeText(uint64_t cdFrames) {
  const uint64_t seconds = cdFrames / kCdFramesPerSecond;
  return TwoDigits(seconds / 60) + ":" + TwoDigits(seconds % 60) + ":" +
         TwoDigits(cdFrames % kCdFramesPerSecond);
}

// What the lines read so far gave.
struct Sheet {
  int fileCount = 0;
  std::vector<Track> tracks;
  std::vector<std::string> notes;  // lines taken although they look wrong
};

// Commands of CUE sheets (with the CD-TEXT fields some writers add) that
// move no bound.
bool IsOtherCommand(const std::string& command) {
  static constexpr const char* kCommands[] = {
      "REM",        "CATALOG", "CDTEXTFILE", "FLAGS",     "ISRC",      "PERFORMER",
      "SONGWRITER", "POSTGAP", "PREGAP",     "COMPOSER",  "ARRANGER",  "MESSAGE",
      "GENRE",      "DISC_ID", "UPC_EAN",    "TOC_INFO1", "TOC_INFO2", "SIZE_INFO"};
  return std::any_of(std::begin(kCommands), std::end(kCommands),
                     [&command](const char* known) { return command == known; });
}

// A track number not above the one before: repeated or out of order. The
// tracks are still cut in the order of their lines.
void NoteTrackOrder(Sheet& sheet, const TextLine& line, uint64_t value, std::string_view number) {
  if (sheet.tracks.empty() || value > sheet.tracks.back().value) return;
  const bool repeated = std::any_of(sheet.tracks.begin(), sheet.tracks.end(),
                                    [value](const Track& t) { return t.value == value; });
  const std::string at = std::to_string(line.number);
  sheet.notes.push_back(
      repeated
          ? Say(QT_TRANSLATE_NOOP("ranges", "line %1: track %2 repeats an earlier track's number"),
                {at, std::string(number)})
          : Say(QT_TRANSLATE_NOOP("ranges", "line %1: track %2 comes after track %3"),
                {at, std::string(number), sheet.tracks.back().number}));
}

// Reads one command line into the sheet; an error message when malformed.
std::string ReadCommand(const TextLine& line, const SourceShape& shape, Sheet& sheet) {
  std::vector<Track>& tracks = sheet.tracks;
  std::string_view rest = line.text;
  const std::string command = Upper(NextWord(rest));
  if (command == "FILE") {
    if (++sheet.fileCount > 1)
      return Say(
          QT_TRANSLATE_NOOP("ranges", "a second FILE: only sheets for one WAVE file are read"));
  } else if (command == "TRACK") {
    const std::string_view number = NextWord(rest);
    const std::string type = Upper(NextWord(rest));
    const auto value = ParseFrameNumber(number);
    if (!value || *value < 1 || *value > kMaxTracks || type.empty() || !rest.empty()) {
      return Say(QT_TRANSLATE_NOOP("ranges", "not TRACK nn AUDIO"));
    }
    if (type != "AUDIO")
      return Say(QT_TRANSLATE_NOOP("ranges", "track %1 is %2, not AUDIO"),
                 {std::string(number), type});
    if (tracks.size() == kMaxTracks) return Say(QT_TRANSLATE_NOOP("ranges", "more than 99 tracks"));
    NoteTrackOrder(sheet, line, *value, number);
    tracks.push_back({line.number, 0, *value, std::string(number), "", std::nullopt});
  } else if (command == "INDEX") {
    const auto index = ParseFrameNumber(NextWord(rest));
    const auto time = ParseCdTime(NextWord(rest));
    if (!index || !time || *index > 99 || !rest.empty())
      return Say(QT_TRANSLATE_NOOP("ranges", "not INDEX nn mm:ss:ff"));
    if (tracks.empty()) return Say(QT_TRANSLATE_NOOP("ranges", "INDEX before the first TRACK"));
    // INDEX 00 (a pregap, the end of the track before) and subindexes move no bound.
    if (*index != 1) return "";
    Track& track = tracks.back();
    if (track.startFrame)
      return Say(QT_TRANSLATE_NOOP("ranges", "a second INDEX 01 in track %1"), {track.number});
    track.startFrame = CdToSampleFrame(*time, shape.sampleRate);
    track.indexLine = line.number;
  } else if (command == "TITLE") {
    // A TITLE before the first track names the album.
    if (!tracks.empty()) tracks.back().title = QuotedText(rest);
  } else if (!command.empty() && !IsOtherCommand(command)) {
    sheet.notes.push_back(Say(
        QT_TRANSLATE_NOOP("ranges", "line %1: unknown command %2 ignored"),
        {std::to_string(line.number), std::string(Trimmed(line.text).substr(0, command.size()))}));
  }
  return "";
}

}  // namespace

RangeListRead ReadCueSheet(const std::string& text, const SourceShape& shape) {
  RangeListRead read;
  const std::vector<TextLine> lines = ListLines(text, read);
  if (!read.ok()) return read;
  Sheet sheet;
  for (const TextLine& line : lines) {
    const std::string error = ReadCommand(line, shape, sheet);
    if (!error.empty()) {
      Refuse(read, line.number, error);
      return read;
    }
  }
  const std::vector<Track>& tracks = sheet.tracks;
  read.notes = sheet.notes;
  if (tracks.empty()) {
    Refuse(read, 0, Say(QT_TRANSLATE_NOOP("ranges", "no TRACK in the sheet")));
    return read;
  }
  for (size_t i = 0; i < tracks.size(); ++i) {
    const Track& track = tracks[i];
    if (!track.startFrame) {
      Refuse(read, track.line,
             Say(QT_TRANSLATE_NOOP("ranges", "track %1 has no INDEX 01"), {track.number}));
      return read;
    }
    if (i > 0 && *track.startFrame <= *tracks[i - 1].startFrame) {
      Refuse(read, track.indexLine,
             Say(QT_TRANSLATE_NOOP("ranges", "track %1 does not start after the one before"),
                 {track.number}));
      return read;
    }
    if (*track.startFrame >= shape.frames) {
      Refuse(read, track.indexLine,
             Say(QT_TRANSLATE_NOOP("ranges", "track %1 starts beyond the data (%2 frames)"),
                 {track.number, std::to_string(shape.frames)}));
      return read;
    }
  }
  for (size_t i = 0; i < tracks.size(); ++i) {
    const uint64_t end = i + 1 < tracks.size() ? *tracks[i + 1].startFrame : shape.frames;
    read.ranges.push_back({*tracks[i].startFrame, end, tracks[i].title, tracks[i].indexLine});
  }
  return read;
}

RangeListText WriteCueSheet(const std::vector<LabeledRange>& ranges, const SourceShape& shape,
                            const std::string& fileName) {
  RangeListText out;
  if (ranges.size() > kMaxTracks) {
    out.error = Say(QT_TRANSLATE_NOOP("ranges", "a CUE sheet holds at most 99 tracks, not %1"),
                    {std::to_string(ranges.size())});
    return out;
  }
  const uint32_t rate = std::max(shape.sampleRate, 1u);  // no rate, no time: avoid dividing by 0
  std::vector<uint64_t> cdStarts;
  for (size_t i = 0; i < ranges.size(); ++i) {
    cdStarts.push_back(SampleToCdFrame(ranges[i].startFrame, rate));
    if (i > 0 && cdStarts[i] <= cdStarts[i - 1]) {
      out.error = Say(QT_TRANSLATE_NOOP("ranges",
                                        "range %1 does not start at least 1/75 s after range %2; a "
                                        "CUE sheet holds ranges in time order"),
                      {std::to_string(i + 1), std::to_string(i)});
      return out;
    }
  }
  if (!cdStarts.empty() && CdToSampleFrame(cdStarts.back(), rate) >= shape.frames) {
    out.error = Say(
        QT_TRANSLATE_NOOP("ranges", "range %1 starts too close to the end of the data for 1/75 s"),
        {std::to_string(ranges.size())});
    return out;
  }
  out.text = "FILE \"" + OneLineLabel(fileName) + "\" WAVE\n";
  for (size_t i = 0; i < ranges.size(); ++i) {
    const LabeledRange& r = ranges[i];
    const std::string n = TwoDigits(i + 1);
    out.text += "  TRACK " + n + " AUDIO\n";
    if (!r.label.empty()) out.text += "    TITLE \"" + OneLineLabel(r.label) + "\"\n";
    out.text += "    INDEX 01 " + CdTimeText(cdStarts[i]) + "\n";
    const uint64_t start = CdToSampleFrame(cdStarts[i], rate);
    if (start != r.startFrame) {
      out.notes.push_back(
          Say(QT_TRANSLATE_NOOP("ranges", "range %1: start %2 is written as %3 (frame %4)"),
              {std::to_string(i + 1), std::to_string(r.startFrame), CdTimeText(cdStarts[i]),
               std::to_string(start)}));
    }
    const uint64_t end =
        i + 1 < ranges.size() ? CdToSampleFrame(cdStarts[i + 1], rate) : shape.frames;
    if (end != r.endFrame) {
      const char* note = i + 1 < ranges.size()
                             ? QT_TRANSLATE_NOOP("ranges",
                                                 "range %1: end %2 cannot be written; the sheet "
                                                 "ends it at the next track, frame %3")
                             : QT_TRANSLATE_NOOP("ranges",
                                                 "range %1: end %2 cannot be written; the sheet "
                                                 "ends it at the end of the data, frame %3");
      out.notes.push_back(
          Say(note, {std::to_string(i + 1), std::to_string(r.endFrame), std::to_string(end)}));
    }
  }
  return out;
}

}  // namespace snipora::ranges
