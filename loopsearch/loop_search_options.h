#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "loopsearch/loop_search.h"
#include "loopsearch/loop_search_host.h"
#include "platform/ui/ui_text.h"

// The choices of the loop detection dialog and how they become a search input.
namespace snipora {

// Window length: sample rate x multiplier, shifted right by `shift`. A value is
// one sample of one channel, so a stereo window spans half the named duration.
struct LoopLengthChoice {
  const char* label;
  uint32_t multiplier;
  uint32_t shift;
};
inline constexpr std::array<LoopLengthChoice, 6> kLoopLengthChoices{{
    {QT_TRANSLATE_NOOP("Snipora", "250ミリ秒"), 1, 2},
    {QT_TRANSLATE_NOOP("Snipora", "500ミリ秒"), 1, 1},
    {QT_TRANSLATE_NOOP("Snipora", "1秒"), 1, 0},
    {QT_TRANSLATE_NOOP("Snipora", "2秒"), 2, 0},
    {QT_TRANSLATE_NOOP("Snipora", "5秒"), 5, 0},
    {QT_TRANSLATE_NOOP("Snipora", "10秒"), 10, 0},
}};
inline constexpr int kDefaultLoopLength = 1;  // "500ミリ秒"

struct LoopPrecisionChoice {
  const char* label;
  uint32_t tolerance;
};
inline constexpr std::array<LoopPrecisionChoice, 6> kLoopPrecisionChoices{{
    {QT_TRANSLATE_NOOP("Snipora", "0(完全)"), 0},
    {QT_TRANSLATE_NOOP("Snipora", "32(高精度)"), 32},
    {QT_TRANSLATE_NOOP("Snipora", "64(中高精度)"), 64},
    {QT_TRANSLATE_NOOP("Snipora", "128(中精度)"), 128},
    {QT_TRANSLATE_NOOP("Snipora", "256(低中精度)"), 256},
    {QT_TRANSLATE_NOOP("Snipora", "512(低精度)"), 512},
}};
inline constexpr int kDefaultLoopPrecision = 3;  // "128(中精度)"

// Where the window is taken from.
enum class LoopSourceOption { Marker1 = 0, Marker2 = 1, CurrentPosition = 2 };
// Where the candidates begin.
enum class LoopCompareOption { SourceStart = 0, Marker1 = 1, Marker2 = 2, CurrentPosition = 3 };

// The dialog's state when the search starts.
struct LoopSearchSettings {
  LoopSourceOption source = LoopSourceOption::CurrentPosition;
  LoopCompareOption compare = LoopCompareOption::SourceStart;
  int lengthIndex = kDefaultLoopLength;
  int precisionIndex = kDefaultLoopPrecision;
  std::string distanceText;  // seconds, as typed
};

// W for a sample rate and a length choice (out-of-range index: the default).
uint64_t LoopWindowValues(uint32_t sampleRate, int lengthIndex);
// T for a precision choice (out-of-range index: the default).
uint32_t LoopTolerance(int precisionIndex);

// The typed distance read like "%d": optional blanks and sign, then digits;
// 0 when nothing can be read; clamped to the 32-bit signed range.
int32_t ParseDistanceSeconds(const std::string& text);

// Bytes to search: seconds x average bytes per second when seconds >= 1,
// otherwise the whole data size (the search limits it to the data left).
uint64_t LoopSearchDistance(int32_t seconds, const SoundFormatInfo& info);

// The search input for the dialog's settings, reading positions, path and
// format from the main window (the player's position only when an option uses it).
LoopSearchInput MakeLoopSearchInput(ILoopSearchHost& host, const LoopSearchSettings& settings);

}  // namespace snipora
