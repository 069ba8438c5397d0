#include <cstring>
#include <vector>

#include "foundation/regex_matcher.h"
#include "foundation/text_encoding.h"

// The single items: literals, character classes, ranges, positions and the
// commands that read or edit the capture list.
namespace snipora::regex_internal {
namespace {

std::vector<RegexCaptureMatcher>& CaptureMatchers() {
  static std::vector<RegexCaptureMatcher> matchers;
  return matchers;
}

std::vector<RegexPlainMatcher>& PlainMatchers() {
  static std::vector<RegexPlainMatcher> matchers;
  return matchers;
}

bool InRange(unsigned char c, unsigned char low, unsigned char high) {
  return c >= low && c <= high;
}
bool IsLower(unsigned char c) {
  return InRange(c, 'a', 'z');
}
bool IsUpper(unsigned char c) {
  return InRange(c, 'A', 'Z');
}
bool IsLetter(unsigned char c) {
  return IsLower(c) || IsUpper(c);
}
bool IsDecimal(unsigned char c) {
  return InRange(c, '0', '9');
}
bool IsLetterOrDigit(unsigned char c) {
  return IsLetter(c) || IsDecimal(c);
}
bool IsWordCharacter(unsigned char c) {
  return IsLetterOrDigit(c) || c == '_';
}
bool IsHex(unsigned char c) {
  return IsDecimal(c) || InRange(c, 'a', 'f') || InRange(c, 'A', 'F');
}
bool IsBlank(unsigned char c) {
  return c == '\t' || c == ' ';
}
bool IsSpace(unsigned char c) {
  return IsBlank(c) || c == '\n' || c == '\r';
}
bool IsVisible(unsigned char c) {
  return InRange(c, 0x21, 0x7E);
}
bool IsPunctuation(unsigned char c) {
  return IsVisible(c) && !IsLetterOrDigit(c);
}
bool IsControl(unsigned char c) {
  return InRange(c, 0x01, 0x1F) || c == 0x7F;
}

// The C library's toupper in the "C" locale.
unsigned char Upper(unsigned char c) {
  return IsLower(c) ? static_cast<unsigned char>(c - 32) : c;
}

const Members& NoMembers() {
  static const Members empty;
  return empty;
}

}  // namespace

int RegexMatcher::CharacterWidth(int pos) const {
  return static_cast<int>(CharLength(text_ + pos, static_cast<size_t>(length_ - pos)));
}

int RegexMatcher::MatchCharacterClass(char letter, int pos) const {
  if (pos >= length_) return -1;
  const unsigned char c = static_cast<unsigned char>(text_[pos]);
  const int width = CharacterWidth(pos);
  const bool single = width == 1;
  // A class of single-byte characters, and the complement of one, which
  // takes a multi-byte character whole.
  const auto inClass = [single](bool test) { return single && test ? 1 : -1; };
  const auto outside = [single, width](bool test) { return single && test ? -1 : width; };
  switch (letter) {
    case '?':
      return inClass(!IsLeadByte(c));
    case 'j':
      return width;
    case 'J':
      return single ? -1 : width;
    case 'a':
      return inClass(IsLower(c));
    case 'A':
      return inClass(IsUpper(c));
    case 'l':
      return inClass(IsLetter(c));
    case 'b':
      return outside(IsLetter(c));
    case 'L':
      return inClass(IsLetterOrDigit(c));
    case 'B':
      return outside(IsLetterOrDigit(c));
    case 'd':
      return inClass(IsDecimal(c));
    case 'D':
      return outside(IsDecimal(c));
    case 's':
      return inClass(IsWordCharacter(c));
    case 'S':
      return outside(IsWordCharacter(c));
    case 'n':
      return inClass(IsHex(c));
    case 'N':
      return outside(IsHex(c));
    case 'x':
      return inClass(IsDecimal(c) || InRange(c, 'a', 'f'));
    case 'X':
      return inClass(IsDecimal(c) || InRange(c, 'A', 'F'));
    case 'w':
      return inClass(IsBlank(c));
    case 'i':
      return outside(IsBlank(c));
    case 'W':
      return inClass(IsSpace(c));
    case 'I':
      return outside(IsSpace(c));
    case 'k':
      return inClass(IsVisible(c));
    case 'K':
      return single ? inClass(IsVisible(c)) : width;
    case 'y':
      return inClass(IsPunctuation(c));
    case 'Y':
      return outside(IsPunctuation(c));
    case 'c':
      return inClass(IsControl(c));
    case 'C':
      return outside(c == '\n');
    default:
      return -1;
  }
}

int RegexMatcher::MatchCommand(const CStrRegexStruct& node, int pos, MemberSpan place) {
  if (node.kind == kRegexRange) {
    // Bounds compare as signed bytes, so a range never spans 0x7F-0x80.
    if (pos >= length_) return -1;
    const auto c = static_cast<signed char>(text_[pos]);
    return c >= static_cast<signed char>(node.low) && c <= static_cast<signed char>(node.high) ? 1
                                                                                               : -1;
  }
  const int32_t index = node.index < 0 ? 0 : node.index;
  const uint32_t captureCount = captures_.Count();
  switch (node.letter) {
    case '$':
      return pos == length_ ? 0 : -1;
    case '^':
      return pos == start_ ? 0 : -1;
    case 'g':
      return pos == start_ || (pos > 0 && text_[pos - 1] == '\n') ? 0 : -1;
    case 'G':
      return pos < length_ && text_[pos] == '\n' ? 0 : -1;
    // 'p' and 'P' reach here only as the operand of z, where they mark
    // nothing: they match the empty string like 'e'.
    case 'e':
    case 'p':
    case 'P':
      return 0;
    case 'v':
    case 'V': {
      const int64_t number = node.letter == 'v' ? index : int64_t{captureCount} - 1 - index;
      if (number < 0 || number >= captureCount) return 0;
      const CStr_base<64>& capture = captures_[static_cast<uint32_t>(number)];
      return MatchBytes(capture.Buffer(), static_cast<int>(capture.Length()), pos);
    }
    case 'h':
      if (static_cast<uint32_t>(index) < captureCount) captures_.RemoveAt(index);
      return 0;
    case 'H':
      captures_.RemoveLast();
      return 0;
    case 't':
      return CopyLatestCapture(index) ? 0 : -1;
    case 'T':
      return AppendCapture("", 0) ? 0 : -1;
    case 'u':
    case 'U':
      return MatchRegistered(node, pos, place);
    default:
      return MatchCharacterClass(node.letter, pos);
  }
}

int RegexMatcher::MatchBytes(const char* bytes, int length, int pos) const {
  if (length > length_ - pos) return -1;
  const char* text = text_ + pos;
  if (!foldCase_) return std::memcmp(bytes, text, static_cast<size_t>(length)) == 0 ? length : -1;
  for (int i = 0; i < length;) {
    const int n = static_cast<int>(CharLength(bytes + i, static_cast<size_t>(length - i)));
    if (n == 1) {
      if (Upper(static_cast<unsigned char>(bytes[i])) !=
          Upper(static_cast<unsigned char>(text[i]))) {
        return -1;
      }
    } else if (std::memcmp(bytes + i, text + i, static_cast<size_t>(n)) != 0) {
      return -1;  // multi-byte characters always compare exactly
    }
    i += n;
  }
  return length;
}

int RegexMatcher::MatchRegistered(const CStrRegexStruct& node, int pos, MemberSpan place) {
  const auto entry = static_cast<size_t>(node.index < 0 ? 0 : node.index);
  const Members& members = place.members != nullptr ? *place.members : NoMembers();
  int width = -1;
  if (node.letter == 'U') {
    if (entry < CaptureMatchers().size()) {
      width = CaptureMatchers()[entry](text_ + pos, node, captures_, members, place.from);
    }
  } else if (entry < PlainMatchers().size()) {
    width = PlainMatchers()[entry](text_ + pos, node, members, place.from);
  }
  return width > length_ - pos ? -1 : width;
}

bool RegexMatcher::AppendCapture(const char* bytes, int length) {
  if (captures_.Count() >= kRegexMaxCaptures) return false;
  captures_.Add().Assign(bytes, length);
  return true;
}

bool RegexMatcher::CopyLatestCapture(int32_t index) {
  if (static_cast<uint32_t>(index) >= kRegexMaxCaptures) return false;
  const uint32_t count = captures_.Count();
  const CStr_base<64> latest = count > 0 ? captures_[count - 1] : CStr_base<64>();
  if (static_cast<uint32_t>(index) >= count) captures_.Resize(static_cast<uint32_t>(index) + 1);
  captures_[static_cast<uint32_t>(index)] = latest;
  return true;
}

}  // namespace snipora::regex_internal

namespace snipora {

uint32_t RegisterRegexCaptureMatcher(RegexCaptureMatcher matcher) {
  auto& matchers = regex_internal::CaptureMatchers();
  matchers.push_back(matcher);
  return static_cast<uint32_t>(matchers.size() - 1);
}

uint32_t RegisterRegexPlainMatcher(RegexPlainMatcher matcher) {
  auto& matchers = regex_internal::PlainMatchers();
  matchers.push_back(matcher);
  return static_cast<uint32_t>(matchers.size() - 1);
}

void ClearRegexMatchers() {
  regex_internal::CaptureMatchers().clear();
  regex_internal::PlainMatchers().clear();
}

}  // namespace snipora
