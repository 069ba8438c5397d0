#include "foundation/regex_matcher.h"

// Sequences, groups, alternations and the non-greedy repetitions.
namespace snipora::regex_internal {
namespace {

constexpr MemberSpan kNothing{nullptr, 0};

bool IsMarker(const CStrRegexStruct& node, char letter) {
  return node.kind == kRegexCommand && node.letter == letter;
}

// A lazy or greedy item has matched the rest of its sequence as well.
bool LooksAhead(const CStrRegexStruct& node) {
  const CStrRegexStruct* item = &node;
  while (true) {
    if (item->prefix == '+' || item->prefix == '*') return true;
    if (item->kind != kRegexCommand || item->letter != 'z' || item->children.Count() == 0) {
      return false;
    }
    item = &item->children[0];
  }
}

}  // namespace

int RepeatCount(const CStrRegexStruct& node) {
  return node.count < 0 ? 1 : node.count;
}

RegexMatcher::RegexMatcher(const char* text, int length, int start, bool foldCase,
                           CStrArray_base<64>& captures)
    : text_(text),
      length_(length),
      start_(start),
      foldCase_(foldCase),
      captures_(captures),
      stepBudget_(kRegexBaseSteps + kRegexStepsPerByte * static_cast<uint64_t>(length)),
      stepsLeft_(stepBudget_) {}

int RegexMatcher::MatchRoot(const CStrRegexStruct& root, int pos) {
  depth_ = 0;
  MatchEnd out;
  if (!MatchOnce(root, pos, kNothing, kNothing, out)) return -1;
  return out.end - pos;
}

bool RegexMatcher::MatchSequence(MemberSpan span, int pos, MatchEnd& out) {
  const uint32_t captureCount = captures_.Count();
  out = {pos, -1, -1};
  if (span.members == nullptr) return true;
  const Members& members = *span.members;
  for (uint32_t i = span.from; i < members.Count(); ++i) {
    const CStrRegexStruct& node = members[i];
    if (IsMarker(node, 'p')) {
      out.consumeEnd = pos;
    } else if (IsMarker(node, 'P')) {
      if (pos == length_) break;
      out.consumeEnd = pos;
    } else if (IsMarker(node, 'e')) {
      out.captureEnd = pos;
    } else {
      MatchEnd item;
      if (!MatchItem(node, pos, {&members, i + 1}, {&members, i}, item)) {
        TruncateCaptures(captureCount);
        return false;
      }
      if (LooksAhead(node)) {
        out.end = item.end;
        if (item.consumeEnd >= 0) out.consumeEnd = item.consumeEnd;
        if (item.captureEnd >= 0) out.captureEnd = item.captureEnd;
        return true;
      }
      pos = item.end;
    }
  }
  out.end = pos;
  return true;
}

bool RegexMatcher::MatchItem(const CStrRegexStruct& node, int pos, MemberSpan rest,
                             MemberSpan place, MatchEnd& out) {
  // Beyond this depth the pattern nests or chains absurdly deep; failing
  // here keeps the stack bounded. The step budget bounds the time.
  if (depth_ >= kRegexMaxMatchDepth || stepsLeft_ == 0) {
    ++refusals_;
    return false;
  }
  --stepsLeft_;
  ++depth_;
  bool matched;
  switch (node.prefix) {
    case '+':
      matched = MatchLazy(node, pos, rest, place, out);
      break;
    case '*':
      matched = MatchGreedy(node, pos, rest, place, out);
      break;
    case '!':
      matched = MatchNot(node, pos, rest, place, out);
      break;
    default:
      matched = MatchCounted(node, pos, rest, place, out);
      break;
  }
  --depth_;
  return matched;
}

bool RegexMatcher::MatchOnce(const CStrRegexStruct& node, int pos, MemberSpan rest,
                             MemberSpan place, MatchEnd& out) {
  out = {pos, -1, -1};
  int width;
  switch (node.kind) {
    case kRegexEmpty:
      return true;
    case kRegexLiteral:
      width = MatchBytes(node.text.Buffer(), static_cast<int>(node.text.Length()), pos);
      break;
    case kRegexGroup:
    case kRegexCapture:
      return MatchGroup(node, pos, out);
    case kRegexAlternation:
      return MatchAlternation(node, pos, out);
    case kRegexCommand:
      if (node.letter == 'z') {
        if (node.children.Count() == 0) return true;
        return MatchItem(node.children[0], pos, rest, {&node.children, 0}, out);
      }
      width = MatchCommand(node, pos, place);
      break;
    case kRegexRange:
      width = MatchCommand(node, pos, place);
      break;
    default:
      throw 0;
  }
  if (width < 0) return false;
  out.end = pos + width;
  return true;
}

bool RegexMatcher::MatchGroup(const CStrRegexStruct& node, int pos, MatchEnd& out) {
  const uint32_t captureCount = captures_.Count();
  MatchEnd members;
  if (!MatchSequence({&node.children, 0}, pos, members)) return false;
  const int end = members.consumeEnd >= 0 ? members.consumeEnd : members.end;
  if (node.kind == kRegexCapture) {
    const int captureEnd = members.captureEnd >= 0 ? members.captureEnd : end;
    if (!AppendCapture(text_ + pos, captureEnd - pos)) {
      TruncateCaptures(captureCount);
      return false;
    }
  }
  out = {end, -1, -1};
  return true;
}

bool RegexMatcher::MatchAlternation(const CStrRegexStruct& node, int pos, MatchEnd& out) {
  const Members& members = node.children;
  for (uint32_t i = 0; i < members.Count(); ++i) {
    const CStrRegexStruct& member = members[i];
    if (IsMarker(member, 'p')) continue;
    if (IsMarker(member, 'P')) {
      if (pos != length_) continue;
      out = {pos, -1, -1};
      return true;
    }
    MatchEnd item;
    if (MatchItem(member, pos, kNothing, {&members, i}, item)) {
      out = {item.end, -1, -1};
      return true;
    }
  }
  return false;
}

// No prefix: count times, then up to max. '/': count times, then as long as
// the item consumes something. Nothing is given back.
bool RegexMatcher::MatchCounted(const CStrRegexStruct& node, int pos, MemberSpan rest,
                                MemberSpan place, MatchEnd& out) {
  const uint32_t captureCount = captures_.Count();
  const int count = RepeatCount(node);
  out = {pos, -1, -1};
  int done = 0;
  while (done < count) {
    const uint32_t before = captures_.Count();
    MatchEnd once;
    if (!MatchOnce(node, out.end, rest, place, once)) {
      TruncateCaptures(captureCount);
      return false;
    }
    ++done;
    const bool changedNothing = once.end == out.end && captures_.Count() == before;
    out = once;
    // Another repetition would start from the same state and end alike.
    if (changedNothing) return true;
  }
  const bool possessive = node.prefix == '/' && node.max < 0;
  while (possessive || done < node.max) {
    const uint32_t before = captures_.Count();
    MatchEnd once;
    if (!MatchOnce(node, out.end, rest, place, once)) break;
    if (once.end == out.end) {
      if (possessive) TruncateCaptures(before);  // an empty match does not count here
      if (possessive || captures_.Count() == before) break;
    }
    out = once;
    ++done;
  }
  return true;
}

// '!': succeeds with width 0 when the item cannot be matched count times.
bool RegexMatcher::MatchNot(const CStrRegexStruct& node, int pos, MemberSpan rest, MemberSpan place,
                            MatchEnd& out) {
  const uint32_t captureCount = captures_.Count();
  const int count = RepeatCount(node);
  int at = pos;
  for (int done = 0; done < count; ++done) {
    const uint32_t before = captures_.Count();
    MatchEnd once;
    if (!MatchOnce(node, at, rest, place, once)) {
      out = {pos, -1, -1};
      return true;
    }
    if (once.end == at && captures_.Count() == before) break;  // the remaining tries succeed alike
    at = once.end;
  }
  TruncateCaptures(captureCount);
  return false;
}

// '+': the fewest repetitions after which the rest of the sequence fits.
bool RegexMatcher::MatchLazy(const CStrRegexStruct& node, int pos, MemberSpan rest,
                             MemberSpan place, MatchEnd& out) {
  const uint32_t captureCount = captures_.Count();
  const int slot = RunSlot(node, rest);
  if (RunFailed(slot, pos)) return false;
  const uint64_t refusals = refusals_;
  // Where the rest was tried with the capture count of the start; the run
  // fails from each of them if it fails as a whole.
  const size_t trail = lazyTrail_.size();
  if (slot >= 0) lazyTrail_.push_back(pos);
  const auto fail = [&] {
    if (refusals_ == refusals) {
      for (size_t i = trail; i < lazyTrail_.size(); ++i) RememberRunFailed(slot, lazyTrail_[i]);
    }
    lazyTrail_.resize(trail);
    TruncateCaptures(captureCount);
    return false;
  };
  const int count = RepeatCount(node);
  int done = 0;
  while (done < count) {
    const uint32_t before = captures_.Count();
    MatchEnd once;
    if (!MatchOnce(node, pos, kNothing, place, once)) return fail();
    ++done;
    const bool changedNothing = once.end == pos && captures_.Count() == before;
    pos = once.end;
    if (changedNothing) done = count;
  }
  while (true) {
    if (MatchRest(rest, pos, out)) {
      lazyTrail_.resize(trail);
      return true;
    }
    if (slot >= 0 && captures_.Count() == captureCount) lazyTrail_.push_back(pos);
    if (node.max >= 0 && done >= node.max) break;
    const uint32_t before = captures_.Count();
    MatchEnd once;
    if (!MatchOnce(node, pos, kNothing, place, once)) break;
    // Nothing changed, so the rest would fail here again: stop, do not loop.
    if (once.end == pos && captures_.Count() == before) break;
    pos = once.end;
    ++done;
  }
  return fail();
}

bool RegexMatcher::MatchRest(MemberSpan rest, int pos, MatchEnd& out) {
  MatchEnd sequence;
  if (!MatchSequence(rest, pos, sequence)) return false;
  out.end = sequence.consumeEnd >= 0 ? sequence.consumeEnd : sequence.end;
  out.consumeEnd = sequence.consumeEnd;
  out.captureEnd = sequence.captureEnd;
  return true;
}

void RegexMatcher::TruncateCaptures(uint32_t count) {
  while (captures_.Count() > count) captures_.RemoveLast();
}

}  // namespace snipora::regex_internal
