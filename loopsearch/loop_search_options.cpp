#include "loopsearch/loop_search_options.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace snipora {

namespace {

int ValidIndex(int index, size_t count, int fallback) {
  return index >= 0 && static_cast<size_t>(index) < count ? index : fallback;
}

}  // namespace

uint64_t LoopWindowValues(uint32_t sampleRate, int lengthIndex) {
  const LoopLengthChoice& choice =
      kLoopLengthChoices[ValidIndex(lengthIndex, kLoopLengthChoices.size(), kDefaultLoopLength)];
  return (uint64_t{sampleRate} * choice.multiplier) >> choice.shift;
}

uint32_t LoopTolerance(int precisionIndex) {
  return kLoopPrecisionChoices[ValidIndex(precisionIndex, kLoopPrecisionChoices.size(),
                                          kDefaultLoopPrecision)]
      .tolerance;
}

int32_t ParseDistanceSeconds(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = std::min<int64_t>(value * 10 + (text[i] - '0'), int64_t{INT32_MAX} + 1);
  }
  value = negative ? -value : std::min<int64_t>(value, INT32_MAX);
  return static_cast<int32_t>(value);
}

uint64_t LoopSearchDistance(int32_t seconds, const SoundFormatInfo& info) {
  if (seconds >= 1) return uint64_t(seconds) * info.formatBlock.avgBytesPerSec;
  return info.dataSize;
}

LoopSearchInput MakeLoopSearchInput(ILoopSearchHost& host, const LoopSearchSettings& settings) {
  LoopSearchInput input;
  input.format = host.FormatInfo();
  input.path = host.OpenFilePath();
  switch (settings.source) {
    case LoopSourceOption::Marker1:
      input.sourceStart = host.Marker1Position();
      break;
    case LoopSourceOption::Marker2:
      input.sourceStart = host.Marker2Position();
      break;
    case LoopSourceOption::CurrentPosition:
      input.sourceStart = host.PlayerBytePosition();
      break;
  }
  switch (settings.compare) {
    case LoopCompareOption::SourceStart:
      input.compareStart = input.sourceStart;
      break;
    case LoopCompareOption::Marker1:
      input.compareStart = host.Marker1Position();
      break;
    case LoopCompareOption::Marker2:
      input.compareStart = host.Marker2Position();
      break;
    case LoopCompareOption::CurrentPosition:
      input.compareStart = host.PlayerBytePosition();
      break;
  }
  input.distance = LoopSearchDistance(ParseDistanceSeconds(settings.distanceText), input.format);
  input.tolerance = LoopTolerance(settings.precisionIndex);
  // Windows too large to buffer are refused by the search as a memory failure.
  input.windowValues = static_cast<uint32_t>(std::min<uint64_t>(
      LoopWindowValues(input.format.formatBlock.samplesPerSec, settings.lengthIndex), UINT32_MAX));
  return input;
}

}  // namespace snipora
