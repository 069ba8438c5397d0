#include "loopsearch/loop_candidates.h"

#include <algorithm>
#include <cstdlib>

#include "audiofile/sector_file.h"

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

std::vector<int16_t> ReadValues(CSectorFile& file, uint64_t offset, uint32_t count) {
  std::vector<int16_t> values(count);
  uint32_t got = 0;
  if (offset <= UINT32_MAX && file.SeekLarge(static_cast<uint32_t>(offset)) == 0) {
    got = file.ReadBlock(values.data(), 2 * count) / 2;
  }
  values.resize(got);
  return values;
}

uint64_t AbsoluteDifference(const std::vector<int16_t>& a, const std::vector<int16_t>& b) {
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
  input.distance = uint64_t{request.endFrame - request.startFrame} * blockAlign;
  input.tolerance = LoopTolerance(request.precisionIndex);
  input.windowValues = static_cast<uint32_t>(std::min<uint64_t>(
      LoopWindowValues(info.formatBlock.samplesPerSec, request.lengthIndex), UINT32_MAX));
  DistanceList found;
  end = RunLoopSearch(input, found, progress, ui);

  std::vector<LoopCandidate> candidates;
  CSectorFile file(kLoopSearchFileCapacity);
  if (found.distances.empty() || blockAlign == 0 ||
      file.Open(request.path.c_str(), "rb", 32) != 0) {
    return candidates;
  }
  const uint64_t start = uint64_t{static_cast<uint32_t>(info.dataOffset)} + input.sourceStart;
  const std::vector<int16_t> window = ReadValues(file, start, input.windowValues);
  for (const std::vector<uint32_t>& run : LengthRuns(found.distances, blockAlign)) {
    const size_t stride = (run.size() + kMembersPerRun - 1) / kMembersPerRun;
    LoopCandidate best{0, 0, UINT64_MAX};
    for (size_t k = 0; k < run.size(); k += stride) {
      const std::vector<int16_t> after =
          ReadValues(file, start + uint64_t{run[k]} * blockAlign, input.windowValues);
      const uint64_t difference = AbsoluteDifference(window, after);
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
