#include "loopsearch/loop_search.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>
#include <vector>

#include "audiofile/sound_units.h"
#include "loopsearch/loop_values.h"
#include "loopsearch/loop_window.h"

namespace snipora {

namespace {

// Larger windows cannot be buffered (their byte counts would not fit 32 bits).
constexpr uint64_t kMaxWindowValues = 0x3FFFFFFF;

template <class T>
std::unique_ptr<T[]> TryAllocate(uint64_t count) {
  return std::unique_ptr<T[]>(new (std::nothrow) T[count]);
}

// Reads up to `bytes` value bytes at `position`; 0 when it lies outside the file.
uint32_t ReadAt(CLoopValueFile& values, uint64_t position, void* dst, uint32_t bytes) {
  if (!values.Seek(position)) return 0;
  return values.Read(dst, bytes);
}

std::string ProgressText(uint32_t elapsed, uint32_t total, uint32_t hits) {
  char text[48];
  std::snprintf(text, sizeof text, "%u / %u\n%u", elapsed, total, hits);
  return text;
}

// The buffers of one search: the band (lower bound and span per window value)
// and the compare buffer of 2W + 1 values.
struct SearchBuffers {
  std::unique_ptr<int16_t[]> lower;
  std::unique_ptr<uint16_t[]> span;
  std::unique_ptr<int16_t[]> data;

  bool Allocate(uint64_t windowValues) {
    if (windowValues > kMaxWindowValues) return false;
    lower = TryAllocate<int16_t>(windowValues + 1);
    span = TryAllocate<uint16_t>(windowValues + 1);
    data = TryAllocate<int16_t>(2 * windowValues + 1);
    return lower && span && data;
  }
};

// Scans the candidates of the compare buffer and keeps the values that later
// candidates still need, block after block.
class CompareScanner {
 public:
  CompareScanner(const SearchBuffers& buffers, uint32_t windowValues, bool bandUsable,
                 const CLoopValueFile& values, ILoopSearchResults& results)
      : buffers_(buffers),
        window_(windowValues),
        bandUsable_(bandUsable),
        values_(values),
        results_(results) {}

  // Scans every position of the `held` values whose window lies wholly inside them.
  void Scan() {
    if (held_ <= window_) return;
    const uint32_t candidates = held_ - window_;
    if (bandUsable_) {
      matches_.clear();
      FindWindowMatches(buffers_.data.get(), candidates, buffers_.lower.get(), buffers_.span.get(),
                        window_, matches_);
      for (uint32_t k : matches_) {
        results_.AddResult(std::to_string(values_.ToDataBytes(2 * (scanned_ + k))));
      }
      hits_ += static_cast<uint32_t>(matches_.size());
    }
    scanned_ += candidates;
  }

  // Moves the values not yet scanned as a candidate start (at most W) to the
  // front; returns where the next block goes.
  int16_t* KeepTail() {
    const uint32_t keep = std::min(held_, window_);
    int16_t* data = buffers_.data.get();
    std::copy(data + held_ - keep, data + held_, data);
    held_ = keep;
    return data + keep;
  }

  void Append(uint32_t bytes) { held_ += bytes / 2; }
  uint32_t Hits() const { return hits_; }

 private:
  const SearchBuffers& buffers_;
  const uint32_t window_;
  const bool bandUsable_;
  const CLoopValueFile& values_;
  ILoopSearchResults& results_;
  std::vector<uint32_t> matches_;
  uint64_t scanned_ = 0;  // candidates examined before the front of the buffer
  uint32_t held_ = 0;     // values in the buffer
  uint32_t hits_ = 0;
};

}  // namespace

LoopSearchEnd RunLoopSearch(const LoopSearchInput& input, ILoopSearchResults& results,
                            ILoopSearchProgress& progress, IUiServices& ui) {
  results.ClearResults();
  const SoundFormatInfo& info = input.format;
  const WaveFormatBlock& block = info.formatBlock;

  // Zero rates would divide by zero below; such a file cannot be searched either.
  CLoopValueFile values(info);
  if (!values.Searchable() || block.avgBytesPerSec == 0 || block.samplesPerSec == 0) {
    ui.ShowText(kLoopFormatRefusedText, MessageButtons::Ok);
    return LoopSearchEnd::FormatRefused;
  }
  const uint64_t dataLeft =
      input.compareStart < info.dataSize ? info.dataSize - input.compareStart : 0;
  // From here on positions and lengths are value bytes.
  const uint64_t distance = values.ToValueBytes(std::min(input.distance, dataLeft));
  const uint64_t sourceStart = values.ToValueBytes(input.sourceStart);
  const uint64_t compareStart = values.ToValueBytes(input.compareStart);

  // The file closes and the buffers are freed when they go out of scope.
  if (values.Open(input.path.c_str()) != 0) {
    ui.ShowText(kLoopOpenFailedText, MessageButtons::Ok);
    return LoopSearchEnd::OpenFailed;
  }
  SearchBuffers buffers;
  if (!buffers.Allocate(input.windowValues)) {
    ui.ShowText(kLoopNoMemoryText, MessageButtons::Ok);
    return LoopSearchEnd::NoMemory;
  }

  // The window is what can actually be read at the source start.
  const uint32_t window =
      ReadAt(values, sourceStart, buffers.lower.get(), 2 * input.windowValues) / 2;
  if (window == 0) {
    return LoopSearchEnd::EmptyWindow;
  }
  const bool bandUsable = BuildToleranceBand(buffers.lower.get(), window, input.tolerance,
                                             buffers.lower.get(), buffers.span.get());
  // Matches of such a window would lie closer together than kLoopAnchorRatio
  // allows, everywhere the sound stays as it is at the start: searching them
  // would take time without end and list the same place many times over.
  if (bandUsable && !WindowCanAnchor(buffers.lower.get(), buffers.span.get(), window)) {
    ui.ShowText(kLoopConstantWindowText, MessageButtons::Ok);
    return LoopSearchEnd::ConstantWindow;
  }

  CompareScanner scanner(buffers, window, bandUsable, values, results);
  const uint32_t firstRead = ReadAt(values, compareStart, buffers.data.get(), 4 * window);
  const uint64_t counted = std::min<uint64_t>(firstRead, distance);
  uint64_t remaining = distance - counted;
  scanner.Append(static_cast<uint32_t>(counted));

  const uint32_t total = static_cast<uint32_t>(distance * 1000 / values.BytesPerSecond());
  uint32_t step = FramesToMilliseconds(window, block.samplesPerSec);
  if (values.Channels() == 2) step >>= 1;
  uint32_t elapsed = 0;
  progress.SetRange(total);
  scanner.Scan();

  while (remaining != 0) {
    progress.Pump();
    if (progress.IsCancelled()) return LoopSearchEnd::Cancelled;
    int16_t* next = scanner.KeepTail();
    const uint32_t got =
        values.Read(next, static_cast<uint32_t>(std::min<uint64_t>(2 * window, remaining)));
    if (got == 0) return LoopSearchEnd::DataEnded;  // the file holds less than its header states
    remaining -= got;
    scanner.Append(got);
    elapsed += step;
    progress.SetText(ProgressText(elapsed, total, scanner.Hits()));
    progress.SetPosition(elapsed);
    scanner.Scan();
  }
  return LoopSearchEnd::Completed;
}

}  // namespace snipora
