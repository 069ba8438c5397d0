#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "foundation/regex.h"

// The backtracking matcher over a compiled pattern tree (internal to the
// pattern search). Recursion follows the pattern's structure only: no step
// recurses once per repetition, so long runs need no stack.
namespace snipora::regex_internal {

using Members = CArrayAuto<CStrRegexStruct>;

// A run of sibling members: the rest of a sequence after an item, or an
// item's place among its siblings. members may be null (nothing follows).
struct MemberSpan {
  const Members* members;
  uint32_t from;
};

// Where an item ended. consumeEnd and captureEnd are -1 unless a 'p'/'P'
// or 'e' marker set them (in a sequence, or in the rest a lazy or greedy
// item looked ahead over).
struct MatchEnd {
  int end;
  int consumeEnd;
  int captureEnd;
};

// A window of remembered repetitions of a greedy run.
constexpr int kGreedyWindow = 1000;
struct GreedyWindows {
  CStrRegexHitBufStruct positions[kGreedyWindow];    // every repetition of the current thousand
  CStrRegexHitBufStruct checkpoints[kGreedyWindow];  // every 1000th of the current million
};

class RegexMatcher {
 public:
  // text is length bytes; start is where the search began (for '^', 'g').
  RegexMatcher(const char* text, int length, int start, bool foldCase,
               CStrArray_base<64>& captures);

  // Width of a match of the compiled root at pos, or -1.
  int MatchRoot(const CStrRegexStruct& root, int pos);
  // True once an attempt failed only because of the depth limit or the step
  // budget: a later "no match" may then be wrong.
  bool GaveUp() const { return refusals_ != 0; }

 private:
  friend class GreedyRun;

  // One occurrence of node at pos; rest is what a z operand may look ahead over.
  bool MatchOnce(const CStrRegexStruct& node, int pos, MemberSpan rest, MemberSpan place,
                 MatchEnd& out);
  // node with its prefix and numbers; a lazy or greedy item also matches rest.
  bool MatchItem(const CStrRegexStruct& node, int pos, MemberSpan rest, MemberSpan place,
                 MatchEnd& out);
  // members from span.from on, left to right, with their markers.
  bool MatchSequence(MemberSpan span, int pos, MatchEnd& out);

  bool MatchCounted(const CStrRegexStruct& node, int pos, MemberSpan rest, MemberSpan place,
                    MatchEnd& out);
  bool MatchNot(const CStrRegexStruct& node, int pos, MemberSpan rest, MemberSpan place,
                MatchEnd& out);
  bool MatchLazy(const CStrRegexStruct& node, int pos, MemberSpan rest, MemberSpan place,
                 MatchEnd& out);
  bool MatchGreedy(const CStrRegexStruct& node, int pos, MemberSpan rest, MemberSpan place,
                   MatchEnd& out);
  // The rest after a lazy or greedy run that stopped at pos.
  bool MatchRest(MemberSpan rest, int pos, MatchEnd& out);

  bool MatchGroup(const CStrRegexStruct& node, int pos, MatchEnd& out);
  bool MatchAlternation(const CStrRegexStruct& node, int pos, MatchEnd& out);
  // Width of a command letter or range at pos, or -1.
  int MatchCommand(const CStrRegexStruct& node, int pos, MemberSpan place);
  int MatchCharacterClass(char letter, int pos) const;
  int MatchBytes(const char* bytes, int length, int pos) const;
  int MatchRegistered(const CStrRegexStruct& node, int pos, MemberSpan place);

  bool AppendCapture(const char* bytes, int length);
  bool CopyLatestCapture(int32_t index);
  void TruncateCaptures(uint32_t count);
  int CharacterWidth(int pos) const;

  GreedyWindows& AcquireWindows();
  void ReleaseWindows() { --windowsInUse_; }

  // Failed runs. A lazy or greedy run without a maximum that failed from a
  // position fails from every later position its repetitions reached (with the
  // capture count they had there): it would try the same rest at the same
  // positions. Only items whose result depends on the position and the capture
  // count alone are remembered, not those reading captured text or calling
  // registered matchers.
  int RunSlot(const CStrRegexStruct& node, MemberSpan rest);
  bool RunFailed(int slot, int pos) const;
  void RememberRunFailed(int slot, int pos);
  bool IsPure(const CStrRegexStruct& node);
  bool IsPureFrom(MemberSpan span);

  const char* text_;
  int length_;
  int start_;
  bool foldCase_;
  CStrArray_base<64>& captures_;
  int depth_ = 0;
  const uint64_t stepBudget_;
  uint64_t stepsLeft_;
  // Windows of the greedy runs in progress, innermost last; kept for reuse.
  std::vector<std::unique_ptr<GreedyWindows>> windows_;
  size_t windowsInUse_ = 0;
  // Attempts refused by the depth limit or the step budget.
  uint64_t refusals_ = 0;

  struct RunKey {
    const CStrRegexStruct* node;
    const Members* members;
    uint32_t from;
    uint32_t captureCount;
    bool operator==(const RunKey&) const = default;
  };
  struct RunKeyHash {
    size_t operator()(const RunKey& key) const;
  };
  std::unordered_map<RunKey, int, RunKeyHash> runSlots_;  // -1: not remembered
  std::vector<std::vector<uint64_t>> failedRuns_;         // per slot, one bit per position
  size_t failedRunBytes_ = 0;
  std::unordered_map<const CStrRegexStruct*, bool> pureNodes_;
  std::unordered_map<const Members*, std::vector<bool>> pureSuffixes_;
  std::vector<int> lazyTrail_;  // positions the lazy runs in progress have tried
};

int RepeatCount(const CStrRegexStruct& node);

}  // namespace snipora::regex_internal
