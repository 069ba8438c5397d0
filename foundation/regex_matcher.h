#pragma once

#include <cstdint>
#include <memory>
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

  const char* text_;
  int length_;
  int start_;
  bool foldCase_;
  CStrArray_base<64>& captures_;
  int depth_ = 0;
  uint64_t stepsLeft_;
  // Windows of the greedy runs in progress, innermost last; kept for reuse.
  std::vector<std::unique_ptr<GreedyWindows>> windows_;
  size_t windowsInUse_ = 0;
};

int RepeatCount(const CStrRegexStruct& node);

}  // namespace snipora::regex_internal
