#pragma once

#include <cstdint>

#include "foundation/array.h"
#include "foundation/str.h"
#include "foundation/str_array.h"

// The library's pattern language: every construct starts with '%',
// every other character stands for itself, and every string is a valid
// pattern. CStr_base<64>::Regex compiles a pattern into a tree of
// CStrRegexStruct nodes and searches, captures and replaces with it.
namespace snipora {

// One hit of a search: the match offset and width in the text, or, when a
// replacement template was expanded, the offset and length of the
// replacement in the output.
struct CStrRegexMatchStruct {
  int32_t offset;
  int32_t length;
};

// A remembered point of a greedy repetition: where the text stood and how
// many captures existed after that repetition.
struct CStrRegexHitBufStruct {
  int32_t offset;
  int32_t captureCount;
};

enum CStrRegexKind : uint8_t {
  kRegexEmpty = 0,
  kRegexLiteral = 1,
  kRegexGroup = 2,        // %( ... %)
  kRegexCapture = 3,      // %{ ... %}
  kRegexAlternation = 4,  // %[ ... %]
  kRegexCommand = 5,      // %letter, including %z
  kRegexRange = 6,        // %-xy
};

// One node of a compiled pattern. A node owns its children.
struct CStrRegexStruct {
  uint8_t kind = kRegexEmpty;
  CStr_base<64> text;                    // the literal bytes
  CArrayAuto<CStrRegexStruct> children;  // group members, or the operand of z
  char letter = ' ';                     // the command letter
  char prefix = ' ';                     // ' ', '+' lazy, '*' greedy, '!' not, '/' possessive
  char low = ' ';                        // range bounds
  char high = ' ';
  int32_t count = -1;  // repetitions; for U V h t u v the '.' number
  int32_t index = -1;  // the '.' number; for U V h t u v the first number
  int32_t max = -1;    // the ',' number
};

// Compiles pattern (null counts as empty) into root, which must be a fresh
// node: root becomes a group whose children are the top-level items.
void CompileRegex(const char* pattern, CStrRegexStruct& root);

// Searches subject with a compiled pattern; the arguments after root are
// those of CStr_base<64>::Regex. Throws int 0 for a node of unknown kind.
int RegexSearch(CStr_base<64>& subject, const CStrRegexStruct& root, const char* options,
                CStrArray_base<64>* captures, const char* replacement,
                CArrayAuto<CStrArray_base<64>>* matchCaptures, int startOffset,
                CArrayAuto<CStrRegexMatchStruct>* hits, RegexCallback callback,
                bool* gaveUp = nullptr);

// Matchers that %U (first registry) and %u (second registry) call by index.
// They get the text position, the node, the capture list (first registry
// only), the members of the enclosing group and the node's place among them,
// and return the width matched or a negative value for no match.
using RegexCaptureMatcher = int (*)(const char* position, const CStrRegexStruct& node,
                                    CStrArray_base<64>& captures,
                                    const CArrayAuto<CStrRegexStruct>& members, uint32_t place);
using RegexPlainMatcher = int (*)(const char* position, const CStrRegexStruct& node,
                                  const CArrayAuto<CStrRegexStruct>& members, uint32_t place);

// Process-wide; the program itself registers nothing, so %u and %U fail.
// Each returns the index under which the matcher is called.
uint32_t RegisterRegexCaptureMatcher(RegexCaptureMatcher matcher);
uint32_t RegisterRegexPlainMatcher(RegexPlainMatcher matcher);
void ClearRegexMatchers();

// Limits that keep hostile patterns from exhausting the stack or memory.
constexpr int kRegexMaxNesting = 1000;            // groups and z operands inside one another
constexpr int kRegexMaxMatchDepth = 2000;         // nested matching steps; deeper attempts fail
constexpr uint32_t kRegexMaxCaptures = 1u << 18;  // an item that would exceed it fails
// Matching steps one search may take: a base plus a share per byte of text,
// so backtracking that grows exponentially (nested repetitions that can split
// the same text in many ways) ends, while ordinary searches of any length fit
// (a run retried from every position reuses what earlier tries found).
// Once spent, the attempt in progress and every later one fail, and the
// search reports that it gave up.
constexpr uint64_t kRegexBaseSteps = 1'000'000;
constexpr uint64_t kRegexStepsPerByte = 64;

}  // namespace snipora
