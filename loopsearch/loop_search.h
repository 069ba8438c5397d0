#pragma once

#include <cstdint>
#include <string>

#include "audiofile/sound_format.h"
#include "platform/ui/ui_services.h"
#include "platform/ui/ui_text.h"

// The search for places where a window of 16-bit sample values recurs in a
// sound file, within a tolerance band around every value. A 16-bit file's
// values are its samples; any other plain PCM file is searched as the mono
// mix of its frames at 16-bit precision (see CLoopValueFile), with positions
// and distances still in bytes of the file's sample data.
namespace snipora {

// Everything one search needs, resolved before it starts.
struct LoopSearchInput {
  uint64_t sourceStart = 0;   // byte position of the window in the sample data
  uint64_t compareStart = 0;  // byte position where candidates begin
  uint64_t distance = 0;      // bytes to search after compareStart (limited to the data)
  uint32_t windowValues = 0;  // W: 16-bit values in the window (of all channels)
  uint32_t tolerance = 0;     // T: accepted deviation of each value
  std::string path;           // the sound file
  SoundFormatInfo format;     // its format record
};

// Receives the matches: one "%u" byte distance from the compare start each.
class ILoopSearchResults {
 public:
  virtual ~ILoopSearchResults() = default;
  virtual void ClearResults() = 0;
  virtual void AddResult(const std::string& text) = 0;
};

// Shows the progress of a running search and lets the user stop it.
class ILoopSearchProgress {
 public:
  virtual ~ILoopSearchProgress() = default;
  // Progress runs from 0 to total (milliseconds of the searched stretch).
  virtual void SetRange(uint32_t total) = 0;
  virtual void SetPosition(uint32_t position) = 0;
  // "elapsed / total\nhits".
  virtual void SetText(const std::string& text) = 0;
  // Handles what is waiting for the progress display (repaints, the cancel button).
  virtual void Pump() = 0;
  virtual bool IsCancelled() const = 0;
};

// How a search ended.
enum class LoopSearchEnd {
  Completed,       // the whole distance was searched
  Cancelled,       // the user stopped it; the results so far stay
  FormatRefused,   // neither 16 bits per sample nor plain PCM (message shown)
  OpenFailed,      // the file could not be opened (message shown)
  NoMemory,        // the buffers could not be allocated (message shown)
  EmptyWindow,     // no whole value could be read at the source start
  DataEnded,       // the file ended before the distance was covered; the results so far stay
  ConstantWindow,  // the sound at the source start is silent or constant (message shown)
};

inline constexpr const char* kLoopFormatRefusedText =
    QT_TRANSLATE_NOOP("Snipora", "このファイルのフォーマットではこの機能を使えません");
inline constexpr const char* kLoopOpenFailedText =
    QT_TRANSLATE_NOOP("Snipora", "ファイルオープンエラーが発生しました");
inline constexpr const char* kLoopNoMemoryText =
    QT_TRANSLATE_NOOP("Snipora", "メモリ確保ができませんでした");
inline constexpr const char* kLoopConstantWindowText =
    QT_TRANSLATE_NOOP("Snipora", "開始点の音が無音か一定のため、ループの基準にできません");

// Ring size of the search's own file.
inline constexpr uint32_t kLoopSearchFileCapacity = 512 * 1024;

// Empties the results, then lists every byte distance d (in increasing order)
// from the compare start at which each of the W values of the data lies within
// the tolerance band of the window at the source start, for the candidates
// whose window ends inside the distance. Failures are told through `ui`. A
// window that cannot anchor a loop (WindowCanAnchor) is refused at once, before
// any data is compared: this keeps every search under a second per minute of
// sound.
LoopSearchEnd RunLoopSearch(const LoopSearchInput& input, ILoopSearchResults& results,
                            ILoopSearchProgress& progress, IUiServices& ui);

}  // namespace snipora
