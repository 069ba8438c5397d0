#pragma once

#include <cstdint>

// The growing 8-bit string of the foundation library.
namespace snipora {

template <unsigned MinStep>
class CStr_base;  // only CStr_base<64> exists
template <unsigned MinStep>
class CStrArray_base;  // only CStrArray_base<64> exists
template <class T>
class CArrayAuto;
struct CStrRegexMatchStruct;  // defined in foundation/regex.h

// Called by Regex after each match: (match pointer in the text, match offset,
// match width, replacement template, output string, capture list). A result of
// -1 or more replaces the width (-1: no match here) and suppresses the template.
using RegexCallback = int (*)(const char* match, int offset, int width, const char* replacement,
                              CStr_base<64>& output, CStrArray_base<64>& captures);

// A NUL-terminated byte string that grows in steps widening with its capacity
// (64 bytes at least) and never truncates. A string without its own allocation
// points at one shared empty buffer, so Buffer() is never null.
template <>
class CStr_base<64> {
 public:
  CStr_base();
  CStr_base(const char* text);  // NOLINT: implicit by design, like a text literal
  CStr_base(const CStr_base& other);
  CStr_base& operator=(const CStr_base& other);
  virtual ~CStr_base();

  uint32_t Capacity() const { return capacity_; }
  uint32_t Length() const { return length_; }
  const char* Buffer() const { return buffer_; }
  bool IsEmpty() const { return length_ == 0; }

  // Makes room for at least n bytes (terminator included); the text stays.
  void Reserve(uint32_t n);

  // Copies a NUL-terminated text (null counts as empty).
  void Assign(const char* text);
  // Copies the first n bytes of text (all of it when n is negative), stopping
  // early at a NUL.
  void Assign(const char* text, int n);

  // Appends one byte; a NUL byte is ignored.
  void AppendByte(char c);
  void Append(const char* text);
  // Appends the first n bytes of text, stopping early at a NUL.
  void Append(const char* text, uint32_t n);

  // Shortens the text to length bytes; a longer length changes nothing.
  void Truncate(uint32_t length);

  // Exchanges the contents of two strings without copying text.
  void Swap(CStr_base& other);

  // Offset of the first occurrence of needle in text at or after start,
  // stepping over multi-byte characters; 0 for an empty needle; -1 when start
  // is negative or beyond the text, or nothing is found.
  static int Find(const char* text, const char* needle, int start);

  // Replaces the content by printf-style formatted text (format.cpp).
  int Format(const char* format, ...);

  // Pattern search, capture and replace (regex.cpp); returns the match count.
  // gaveUp, when given, tells whether the matcher gave up on some attempt (a
  // pattern too deep or too explosive), so that the count may be too low.
  int Regex(const char* pattern, const char* options, CStrArray_base<64>* captures,
            const char* replacement, CArrayAuto<CStrArray_base<64>>* matchCaptures, int startOffset,
            CArrayAuto<CStrRegexMatchStruct>* hits, RegexCallback callback, bool* gaveUp = nullptr);

 private:
  // Replaces the text by n bytes at text, which may lie inside this string.
  void AssignBytes(const char* text, uint32_t n);
  void AppendBytes(const char* text, uint32_t n);

  uint32_t capacity_;  // 0 while the shared empty buffer is used
  uint32_t length_;
  char* buffer_;
};

using CStr = CStr_base<64>;

}  // namespace snipora
