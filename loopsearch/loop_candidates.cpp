#include "loopsearch/loop_candidates.h"

#include <algorithm>
#include <cstdlib>
#include <span>

#include "loopsearch/loop_values.h"

namespace snipora {

namespace {

// Keeps the byte distances the search reports.
class DistanceList : public ILoopSearchResults {
 public:
  void ClearResults() override { distances.clear(); }
  void AddResult(const std::string& text) override {
    distances.push_back(std::strtoull(text.c_str(), nullptr, 10));
  }
  std::vector<uint64_t> distances;
};

// Windows of 16-bit values at rising value-byte positions, reading each
// value once (the candidates of a search lie in increasing order).
class ForwardWindows {
 public:
  explicit ForwardWindows(CLoopValueFile& values) : values_(values) {}

  // The `count` values at `offset`, fewer at the end of the file; offsets
  // never fall below the previous call's.
  std::span<const int16_t> At(uint64_t offset, uint32_t count) {
    const uint64_t bufferedEnd = base_ + 2 * (buffer_.size() - front_);
    if (offset >= bufferedEnd || (offset - base_) % 2 != 0) {
      // Nothing buffered is needed: continue reading at the offset.
      buffer_.clear();
      front_ = 0;
      base_ = offset;
      if (!values_.Seek(offset)) return {};
    } else {
      front_ += (offset - base_) / 2;
      base_ = offset;
    }
    if (front_ > buffer_.size() / 2) {  // drop what lies behind, now and then
      buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<ptrdiff_t>(front_));
      front_ = 0;
    }
    while (buffer_.size() - front_ < count) {
      const size_t held = buffer_.size();
      const size_t wanted = std::max<size_t>(count - (held - front_), kReadValues);
      buffer_.resize(held + wanted);
      const uint32_t got = values_.Read(buffer_.data() + held, static_cast<uint32_t>(2 * wanted));
      buffer_.resize(held + got / 2);
      if (got < 2 * wanted) break;
    }
    return {buffer_.data() + front_, std::min<size_t>(count, buffer_.size() - front_)};
  }

 private:
  static constexpr size_t kReadValues = 65536;
  CLoopValueFile& values_;
  std::vector<int16_t> buffer_;
  size_t front_ = 0;   // index of the value at base_
  uint64_t base_ = 0;  // value-byte position of buffer_[front_]
};

uint64_t AbsoluteDifference(std::span<const int16_t> a, std::span<const int16_t> b) {
  uint64_t sum = 0;
  for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) sum += std::abs(a[i] - b[i]);
  return sum;
}

// Ends one frame apart form a run: the same seam found with a slightly
// different length. Long runs (near-constant sound) are sampled at this many
// evenly spaced members, which bounds the work on silence.
constexpr uint32_t kMembersPerRun = 64;

// The frame lengths of the matches, grouped into runs of consecutive lengths.
std::vector<std::vector<uint32_t>> LengthRuns(const std::vector<uint64_t>& distances,
                                              uint32_t blockAlign) {
  std::vector<std::vector<uint32_t>> runs;
  for (uint64_t distance : distances) {
    // 0 is the window itself; a distance inside a frame would swap channels.
    if (distance == 0 || distance % blockAlign != 0) continue;
    const auto frames = static_cast<uint32_t>(distance / blockAlign);
    if (runs.empty() || runs.back().back() + 1 != frames) runs.emplace_back();
    runs.back().push_back(frames);
  }
  return runs;
}

}  // namespace

std::vector<LoopCandidate> FindLoopCandidates(const LoopCandidateRequest& request,
                                              ILoopSearchProgress& progress, IUiServices& ui,
                                              LoopSearchEnd& end) {
  const SoundFormatInfo& info = request.format;
  const uint32_t blockAlign = info.formatBlock.blockAlign;
  LoopSearchInput input;
  input.path = request.path;
  input.format = info;
  input.sourceStart = request.startFrame * blockAlign;
  input.compareStart = input.sourceStart;
  input.distance = (request.endFrame - request.startFrame) * blockAlign;
  input.tolerance = LoopTolerance(request.precisionIndex);
  input.windowValues = static_cast<uint32_t>(std::min<uint64_t>(
      LoopWindowValues(info.formatBlock.samplesPerSec, request.lengthIndex), UINT32_MAX));
  DistanceList found;
  end = RunLoopSearch(input, found, progress, ui);

  std::vector<LoopCandidate> candidates;
  CLoopValueFile values(info);
  if (found.distances.empty() || blockAlign == 0 || values.Open(request.path.c_str()) != 0) {
    return candidates;
  }
  const uint64_t start = values.ToValueBytes(input.sourceStart);
  const uint32_t frameBytes = values.BytesPerFrame();
  ForwardWindows windows(values);
  const std::span<const int16_t> first = windows.At(start, input.windowValues);
  const std::vector<int16_t> window(first.begin(), first.end());
  for (const std::vector<uint32_t>& run : LengthRuns(found.distances, blockAlign)) {
    const size_t stride = (run.size() + kMembersPerRun - 1) / kMembersPerRun;
    LoopCandidate best{0, 0, UINT64_MAX};
    for (size_t k = 0; k < run.size(); k += stride) {
      const uint64_t difference = AbsoluteDifference(
          window, windows.At(start + uint64_t{run[k]} * frameBytes, input.windowValues));
      if (difference < best.seamDifference) {
        best = {request.startFrame, request.startFrame + run[k], difference};
      }
    }
    candidates.push_back(best);
  }
  std::stable_sort(candidates.begin(), candidates.end(), [](const auto& a, const auto& b) {
    return a.seamDifference < b.seamDifference;
  });
  return candidates;
}

}  // namespace snipora
