#include "foundation/regex_matcher.h"

// Greedy repetition with bounded memory. A run of n repetitions is walked
// back from the longest, so every earlier end position must be found again;
// instead of storing all n, three levels are kept:
//   positions   - every repetition of the current block of 1000,
//   checkpoints - the first repetition of every such block in the current
//                 block of a million,
//   heap        - the first repetition of every block of a million.
// When walking back empties a level, it is rebuilt by matching forward again
// from the entry one level up. Nothing here recurses per repetition.
namespace snipora::regex_internal {
namespace {

constexpr int kMillion = kGreedyWindow * kGreedyWindow;
constexpr MemberSpan kNothing{nullptr, 0};

}  // namespace

class GreedyRun {
 public:
  GreedyRun(RegexMatcher& matcher, const CStrRegexStruct& node, MemberSpan place)
      : matcher_(matcher), node_(node), place_(place), windows_(matcher.AcquireWindows()) {}
  ~GreedyRun() { matcher_.ReleaseWindows(); }
  GreedyRun(const GreedyRun&) = delete;
  GreedyRun& operator=(const GreedyRun&) = delete;

  // Remembers the state after repetition r (counted from the run's start).
  void Record(int r, int pos) {
    const CStrRegexHitBufStruct entry{pos, static_cast<int32_t>(matcher_.captures_.Count())};
    if (r == 0) start_ = entry;
    if (r > 0 && r % kMillion == 0) {
      heap_.Add(entry);
      checkpointCount_ = 0;
    }
    if (r % kGreedyWindow == 0) {
      windows_.checkpoints[checkpointCount_++] = entry;
      positionCount_ = 0;
    }
    windows_.positions[positionCount_++] = entry;
  }

  CStrRegexHitBufStruct Latest() const { return windows_.positions[positionCount_ - 1]; }

  // Repetition r (above 0) was the latest; makes r - 1 the latest, matching
  // forward again where it is no longer held. False if that fails.
  bool StepBack(int r) {
    if (--positionCount_ > 0) return true;
    if (--checkpointCount_ > 0) {
      return Replay(windows_.checkpoints[checkpointCount_ - 1], r - kGreedyWindow, r - 1, false);
    }
    heap_.RemoveLast();
    const uint32_t held = heap_.Count();
    return Replay(held > 0 ? heap_[held - 1] : start_, r - kMillion, r - 1, true);
  }

 private:
  // Rebuilds the levels below `from` (repetition first) up to repetition last.
  bool Replay(CStrRegexHitBufStruct from, int first, int last, bool newMillion) {
    // Cutting the captures back lets the repetitions recreate them.
    matcher_.TruncateCaptures(static_cast<uint32_t>(from.captureCount));
    if (newMillion) {
      checkpointCount_ = 0;
      windows_.checkpoints[checkpointCount_++] = from;
    }
    positionCount_ = 0;
    windows_.positions[positionCount_++] = from;
    int pos = from.offset;
    for (int r = first + 1; r <= last; ++r) {
      MatchEnd once;
      if (!matcher_.MatchOnce(node_, pos, kNothing, place_, once)) return false;
      pos = once.end;
      Record(r, pos);
    }
    return true;
  }

  RegexMatcher& matcher_;
  const CStrRegexStruct& node_;
  MemberSpan place_;
  GreedyWindows& windows_;
  int positionCount_ = 0;
  int checkpointCount_ = 0;
  CStrRegexHitBufStruct start_{0, 0};
  CArrayAuto<CStrRegexHitBufStruct> heap_;
};

// '*': as many repetitions as match (up to max), then the longest run after
// which the rest of the sequence fits, down to count repetitions.
bool RegexMatcher::MatchGreedy(const CStrRegexStruct& node, int pos, MemberSpan rest,
                               MemberSpan place, MatchEnd& out) {
  const uint32_t captureCount = captures_.Count();
  const int slot = RunSlot(node, rest);
  if (RunFailed(slot, pos)) return false;
  const uint64_t refusals = refusals_;
  const int start = pos;
  const auto fail = [&] {
    if (refusals_ == refusals) RememberRunFailed(slot, start);
    TruncateCaptures(captureCount);
    return false;
  };
  const int count = RepeatCount(node);
  int done = 0;
  bool emptyRepetition = false;  // a run ends with a repetition that consumed nothing
  while (done < count && !emptyRepetition) {
    MatchEnd once;
    if (!MatchOnce(node, pos, kNothing, place, once)) return fail();
    ++done;
    emptyRepetition = once.end == pos;
    pos = once.end;
  }
  GreedyRun run(*this, node, place);
  run.Record(0, pos);
  int extra = 0;
  while (!emptyRepetition && (node.max < 0 || done < node.max)) {
    MatchEnd once;
    if (!MatchOnce(node, pos, kNothing, place, once)) break;
    ++done;
    ++extra;
    emptyRepetition = once.end == pos;
    pos = once.end;
    run.Record(extra, pos);
  }
  for (int r = extra;; --r) {
    const CStrRegexHitBufStruct latest = run.Latest();
    TruncateCaptures(static_cast<uint32_t>(latest.captureCount));
    if (MatchRest(rest, latest.offset, out)) return true;
    // The rest failed here and at every later end of the run, which is all a
    // run starting here would try.
    if (refusals_ == refusals && static_cast<uint32_t>(latest.captureCount) == captureCount) {
      RememberRunFailed(slot, latest.offset);
    }
    if (r == 0 || !run.StepBack(r)) break;
  }
  return fail();
}

GreedyWindows& RegexMatcher::AcquireWindows() {
  if (windowsInUse_ == windows_.size()) windows_.push_back(std::make_unique<GreedyWindows>());
  return *windows_[windowsInUse_++];
}

}  // namespace snipora::regex_internal
