#include <cstdint>
#include <cstring>

#include "foundation/regex.h"
#include "foundation/regex_digits.h"
#include "foundation/regex_matcher.h"
#include "foundation/text_encoding.h"

// The search loop of Regex: matching at successive positions, the callback,
// the replacement template and the result lists.
namespace snipora {
namespace {

using regex_internal::IsDigit;
using regex_internal::ReadNumber;

struct SearchOptions {
  bool foldCase = false;  // 'i'
  bool global = false;    // 'g'
  bool anchored = false;  // 's'
};

SearchOptions ReadOptions(const char* options) {
  SearchOptions result;
  if (options == nullptr) return result;
  result.foldCase = std::strchr(options, 'i') != nullptr;
  result.global = std::strchr(options, 'g') != nullptr;
  result.anchored = std::strchr(options, 's') != nullptr;
  return result;
}

// Appends capture number, or nothing when there is no such capture.
void AppendCapture(const CStrArray_base<64>& captures, int64_t number, CStr_base<64>& output) {
  if (number < 0 || number >= captures.Count()) return;
  const CStr_base<64>& capture = captures[static_cast<uint32_t>(number)];
  output.Append(capture.Buffer(), capture.Length());
}

// Expands a replacement template: %% is '%', %Nv capture N, %NV capture N
// counted from the last, %N followed by another character that character.
void ExpandTemplate(const char* replacement, const CStrArray_base<64>& captures,
                    CStr_base<64>& output) {
  const auto* p = reinterpret_cast<const unsigned char*>(replacement);
  while (*p != 0) {
    if (*p == '%' && p[1] == '%') {
      output.AppendByte('%');
      p += 2;
    } else if (*p == '%' && IsDigit(p[1])) {
      ++p;
      const int32_t number = ReadNumber(p);
      if (*p == 'v') {
        AppendCapture(captures, number, output);
        ++p;
      } else if (*p == 'V') {
        AppendCapture(captures, int64_t{captures.Count()} - 1 - number, output);
        ++p;
      }
      // Any other character is copied by the next round; the terminator ends.
    } else {
      const size_t length = CharLength(reinterpret_cast<const char*>(p));
      output.Append(reinterpret_cast<const char*>(p), static_cast<uint32_t>(length));
      p += length;
    }
  }
}

class Search {
 public:
  Search(CStr_base<64>& subject, const SearchOptions& options, CStrArray_base<64>& captures,
         const char* replacement, int startOffset)
      : subject_(subject),
        text_(subject.Buffer()),
        length_(static_cast<int>(subject.Length())),
        options_(options),
        captures_(captures),
        replacement_(replacement),
        matcher_(text_, length_, startOffset, options.foldCase, captures) {
    // The text before the start offset is kept as it is.
    if (replacement_ != nullptr) output_.Append(text_, static_cast<uint32_t>(startOffset));
  }

  int Run(const CStrRegexStruct& root, int startOffset,
          CArrayAuto<CStrArray_base<64>>* matchCaptures, CArrayAuto<CStrRegexMatchStruct>* hits,
          RegexCallback callback) {
    int matches = 0;
    int pos = startOffset;
    while (pos <= length_) {
      int width = matcher_.MatchRoot(root, pos);
      bool expand = replacement_ != nullptr;
      if (width >= 0 && callback != nullptr) {
        const int decided = callback(text_ + pos, pos, width, replacement_, output_, captures_);
        if (decided >= -1) {
          expand = false;
          width = decided > length_ - pos ? length_ - pos : decided;
        }
        // The captures of a match the callback refused belong to no match.
        if (width < 0) captures_.Clear();
      }
      if (width < 0) {
        if (options_.anchored) break;
        pos += CopyCharacter(pos);
        continue;
      }
      ++matches;
      CStrRegexMatchStruct hit{pos, width};
      if (expand) {
        hit.offset = static_cast<int32_t>(output_.Length());
        ExpandTemplate(replacement_, captures_, output_);
        hit.length = static_cast<int32_t>(output_.Length()) - hit.offset;
      }
      if (hits != nullptr) hits->Add(hit);
      pos += width;
      if (matchCaptures != nullptr) matchCaptures->Add(captures_);
      if (!options_.global) break;
      if (width == 0) pos += CopyCharacter(pos);
      captures_.Clear();
    }
    if (replacement_ != nullptr) {
      if (pos < length_) output_.Append(text_ + pos, static_cast<uint32_t>(length_ - pos));
      subject_.Swap(output_);
    }
    return matches;
  }

  bool GaveUp() const { return matcher_.GaveUp(); }

 private:
  // Copies the character at pos to the output when rewriting; returns its
  // length (1 at the end of the text, so the loop ends).
  int CopyCharacter(int pos) {
    if (pos >= length_) return 1;
    const int length =
        static_cast<int>(CharLength(text_ + pos, static_cast<size_t>(length_ - pos)));
    if (replacement_ != nullptr) output_.Append(text_ + pos, static_cast<uint32_t>(length));
    return length;
  }

  CStr_base<64>& subject_;
  const char* text_;
  int length_;
  SearchOptions options_;
  CStrArray_base<64>& captures_;
  const char* replacement_;
  CStr_base<64> output_;
  regex_internal::RegexMatcher matcher_;
};

}  // namespace

int RegexSearch(CStr_base<64>& subject, const CStrRegexStruct& root, const char* options,
                CStrArray_base<64>* captures, const char* replacement,
                CArrayAuto<CStrArray_base<64>>* matchCaptures, int startOffset,
                CArrayAuto<CStrRegexMatchStruct>* hits, RegexCallback callback, bool* gaveUp) {
  if (gaveUp != nullptr) *gaveUp = false;
  CStrArray_base<64> temporary;
  CStrArray_base<64>& captureList = captures != nullptr ? *captures : temporary;
  captureList.Clear();
  if (hits != nullptr) hits->Clear();
  // Offsets are signed 32-bit; a start outside the text searches nothing.
  if (subject.Length() > INT32_MAX || startOffset < 0 ||
      startOffset > static_cast<int>(subject.Length())) {
    return 0;
  }
  Search search(subject, ReadOptions(options), captureList, replacement, startOffset);
  const int matches = search.Run(root, startOffset, matchCaptures, hits, callback);
  if (gaveUp != nullptr) *gaveUp = search.GaveUp();
  return matches;
}

int CStr_base<64>::Regex(const char* pattern, const char* options, CStrArray_base<64>* captures,
                         const char* replacement, CArrayAuto<CStrArray_base<64>>* matchCaptures,
                         int startOffset, CArrayAuto<CStrRegexMatchStruct>* hits,
                         RegexCallback callback, bool* gaveUp) {
  CStrRegexStruct root;
  CompileRegex(pattern, root);
  return RegexSearch(*this, root, options, captures, replacement, matchCaptures, startOffset, hits,
                     callback, gaveUp);
}

}  // namespace snipora
