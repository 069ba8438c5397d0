#include <functional>

#include "foundation/regex_matcher.h"

// What the matcher remembers of failed lazy and greedy runs, so that a run
// retried from each position of a long text costs linear, not quadratic, time.
namespace snipora::regex_internal {
namespace {

// Bits of remembered failures one search may hold; beyond it runs are
// matched without memory (slower, never wrong).
constexpr size_t kMaxRememberedBytes = size_t{64} << 20;
// Short searches (the settings file's lines) end long before remembering
// would pay for its bookkeeping.
constexpr uint64_t kStepsBeforeRemembering = 10'000;

bool ReadsCapturesOrCallsOut(const CStrRegexStruct& node) {
  if (node.kind != kRegexCommand) return false;
  return node.letter == 'v' || node.letter == 'V' || node.letter == 'u' || node.letter == 'U';
}

}  // namespace

size_t RegexMatcher::RunKeyHash::operator()(const RunKey& key) const {
  size_t hash = std::hash<const void*>()(key.node);
  hash = hash * 31 + std::hash<const void*>()(key.members);
  hash = hash * 31 + key.from;
  return hash * 31 + key.captureCount;
}

bool RegexMatcher::IsPure(const CStrRegexStruct& node) {
  const auto known = pureNodes_.find(&node);
  if (known != pureNodes_.end()) return known->second;
  // Nesting is bounded by the compiler, so this recursion is too.
  bool pure = !ReadsCapturesOrCallsOut(node);
  for (uint32_t i = 0; pure && i < node.children.Count(); ++i) pure = IsPure(node.children[i]);
  pureNodes_.emplace(&node, pure);
  return pure;
}

bool RegexMatcher::IsPureFrom(MemberSpan span) {
  if (span.members == nullptr) return true;
  auto [entry, added] = pureSuffixes_.try_emplace(span.members);
  std::vector<bool>& suffix = entry->second;
  if (added) {
    const Members& members = *span.members;
    suffix.assign(members.Count() + 1, true);
    for (uint32_t i = members.Count(); i-- > 0;) suffix[i] = suffix[i + 1] && IsPure(members[i]);
  }
  return suffix[span.from];
}

int RegexMatcher::RunSlot(const CStrRegexStruct& node, MemberSpan rest) {
  // A maximum makes the outcome depend on the repetitions already made.
  if (node.max >= 0 || stepBudget_ - stepsLeft_ < kStepsBeforeRemembering) return -1;
  const RunKey key{&node, rest.members, rest.from, captures_.Count()};
  const auto known = runSlots_.find(key);
  if (known != runSlots_.end()) return known->second;
  const bool remembered = IsPure(node) && IsPureFrom(rest);
  const int slot = remembered ? static_cast<int>(failedRuns_.size()) : -1;
  if (remembered) failedRuns_.emplace_back();
  runSlots_.emplace(key, slot);
  return slot;
}

bool RegexMatcher::RunFailed(int slot, int pos) const {
  if (slot < 0) return false;
  const std::vector<uint64_t>& bits = failedRuns_[static_cast<size_t>(slot)];
  const auto word = static_cast<size_t>(pos) / 64;
  return word < bits.size() && (bits[word] >> (pos % 64) & 1) != 0;
}

void RegexMatcher::RememberRunFailed(int slot, int pos) {
  if (slot < 0) return;
  std::vector<uint64_t>& bits = failedRuns_[static_cast<size_t>(slot)];
  if (bits.empty()) {
    const size_t words = static_cast<size_t>(length_) / 64 + 1;
    if (failedRunBytes_ + words * 8 > kMaxRememberedBytes) return;
    failedRunBytes_ += words * 8;
    bits.assign(words, 0);
  }
  bits[static_cast<size_t>(pos) / 64] |= uint64_t{1} << (pos % 64);
}

}  // namespace snipora::regex_internal
