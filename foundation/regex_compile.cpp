#include <cstring>
#include <vector>

#include "foundation/regex.h"
#include "foundation/regex_digits.h"
#include "foundation/text_encoding.h"

// Pattern compiler: one left-to-right pass with an explicit stack of open
// groups, so deeply nested patterns cannot exhaust the call stack.
namespace snipora {
namespace {

using regex_internal::IsDigit;
using regex_internal::ReadNumber;

constexpr char kCommandLetters[] = "$^gGepP?jJaAlbLBdDsSnNxXwiWIkKyYcCvVhHtTuU";
// Zero-width markers and anchors: never repeated, so prefix and numbers go.
constexpr char kUnrepeatedLetters[] = "$P^ep";
// Capture-numbered letters: the first number names the capture.
constexpr char kCaptureLetters[] = "UVhtuv";

bool IsOneOf(unsigned char c, const char* set) {
  return c != 0 && std::strchr(set, c) != nullptr;
}

enum class ScanMode {
  Sequence,     // literal bytes gather into one node
  Alternation,  // every literal character is an alternative of its own
  Operand,      // the operand scan of z: ends after its first literal character
};

struct OpenGroup {
  CStrRegexStruct* node;
  ScanMode mode;
};

// The prefix and numbers read after '%', before the final character.
struct Quantifier {
  char prefix = ' ';
  int32_t count = -1;
  int32_t index = -1;
  int32_t max = -1;
};

class PatternCompiler {
 public:
  PatternCompiler(const char* pattern, CStrRegexStruct& root)
      : p_(reinterpret_cast<const unsigned char*>(pattern != nullptr ? pattern : "")) {
    root.kind = kRegexGroup;
    open_.push_back({&root, ScanMode::Sequence});
  }

  void Run() {
    while (*p_ != 0 && !finished_) {
      if (*p_ != '%' || p_[1] == '%') {
        if (!ReadLiteralCharacter()) break;
      } else {
        FlushLiteral();
        ReadConstruct();
      }
    }
    FlushLiteral();
  }

 private:
  // Returns false when the pattern ends inside a multi-byte character.
  bool ReadLiteralCharacter() {
    if (*p_ == '%') {
      AddLiteral(p_, 1);
      p_ += 2;
      return true;
    }
    if (IsLeadByte(*p_) && p_[1] == 0) return false;
    const size_t length = CharLength(reinterpret_cast<const char*>(p_));
    AddLiteral(p_, length);
    p_ += length;
    return true;
  }

  void AddLiteral(const unsigned char* bytes, size_t length) {
    const char* text = reinterpret_cast<const char*>(bytes);
    const OpenGroup top = open_.back();
    if (top.mode == ScanMode::Sequence) {
      pending_.Append(text, static_cast<uint32_t>(length));
      return;
    }
    CStrRegexStruct& node = top.node->children.Add();
    node.kind = kRegexLiteral;
    node.text.Assign(text, static_cast<int>(length));
    if (top.mode == ScanMode::Operand) open_.pop_back();
  }

  void FlushLiteral() {
    if (pending_.Length() == 0) return;
    CStrRegexStruct& node = open_.back().node->children.Add();
    node.kind = kRegexLiteral;
    node.text.Assign(pending_.Buffer(), static_cast<int>(pending_.Length()));
    pending_.Truncate(0);
  }

  void ReadConstruct() {
    const unsigned char* s = p_ + 1;
    Quantifier q;
    if (IsOneOf(*s, "+*!/")) q.prefix = static_cast<char>(*s++);
    if (IsDigit(*s)) q.count = ReadNumber(s);
    if (*s == '.' && IsDigit(*++s)) q.index = ReadNumber(s);
    if (*s == ',' && IsDigit(*++s)) q.max = ReadNumber(s);
    const unsigned char c = *s;
    const bool canNest = open_.size() <= static_cast<size_t>(kRegexMaxNesting);
    if (IsOneOf(c, "({[") && canNest) {
      const uint8_t kind = c == '(' ? kRegexGroup : c == '{' ? kRegexCapture : kRegexAlternation;
      OpenNode(AddNode(kind, q),
               kind == kRegexAlternation ? ScanMode::Alternation : ScanMode::Sequence);
      p_ = s + 1;
    } else if (IsOneOf(c, ")}]")) {
      p_ = s + 1;
      CloseGroup();
    } else if (c == 'z' && canNest) {
      CStrRegexStruct& node = AddNode(kRegexCommand, q);
      node.letter = 'z';
      OpenNode(node, ScanMode::Operand);
      p_ = s + 1;
    } else if (IsOneOf(c, kCommandLetters)) {
      AddCommand(static_cast<char>(c), q);
      p_ = s + 1;
    } else if (c == '-') {
      p_ = s + 1;
      ReadRange(q);
    } else {
      // Outside the grammar: the construct is dropped and its final
      // character is read again as ordinary pattern text.
      p_ = s;
    }
  }

  CStrRegexStruct& AddNode(uint8_t kind, const Quantifier& q) {
    CStrRegexStruct& node = open_.back().node->children.Add();
    node.kind = kind;
    node.prefix = q.prefix;
    node.count = q.count;
    node.index = q.index;
    node.max = q.max;
    return node;
  }

  void AddCommand(char letter, const Quantifier& q) {
    Quantifier stored = q;
    if (IsOneOf(static_cast<unsigned char>(letter), kUnrepeatedLetters)) {
      stored = Quantifier{};
    } else if (IsOneOf(static_cast<unsigned char>(letter), kCaptureLetters)) {
      stored.count = q.index;
      stored.index = q.count;
    }
    AddNode(kRegexCommand, stored).letter = letter;
  }

  // p_ stands after the '-'; the two characters that follow are the bounds.
  void ReadRange(const Quantifier& q) {
    const unsigned char* bound = p_;
    if (bound[0] == 0 || bound[1] == 0) return;
    char bounds[2];
    for (char& value : bounds) {
      if (*bound == 0) return;
      const size_t length = CharLength(reinterpret_cast<const char*>(bound));
      value = length > 1 ? ' ' : static_cast<char>(*bound);
      bound += length;
    }
    CStrRegexStruct& node = AddNode(kRegexRange, q);
    node.low = bounds[0];
    node.high = bounds[1];
    p_ = bound;
  }

  void OpenNode(CStrRegexStruct& node, ScanMode mode) { open_.push_back({&node, mode}); }

  // Any closer closes the innermost open group; at top level it ends the pattern.
  void CloseGroup() {
    if (open_.size() == 1) {
      finished_ = true;
    } else {
      open_.pop_back();
    }
  }

  const unsigned char* p_;
  std::vector<OpenGroup> open_;
  CStr_base<64> pending_;
  bool finished_ = false;
};

}  // namespace

void CompileRegex(const char* pattern, CStrRegexStruct& root) {
  PatternCompiler compiler(pattern, root);
  compiler.Run();
}

}  // namespace snipora
