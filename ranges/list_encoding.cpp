#include "ranges/list_encoding.h"

#include <cstdio>

#include "foundation/legacy_text.h"
#include "foundation/text_encoding.h"
#include "ranges/messages.h"

namespace snipora::ranges {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The line (from 1) that byte `offset` of text is on; line breaks as
// SplitLines counts them ("\n", "\r\n" or "\r").
int LineOfOffset(std::string_view text, size_t offset) {
  int line = 1;
  for (size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
      ++line;
    }
  }
  return line;
}

std::string ByteText(std::string_view text, size_t offset) {
  char hex[8];
  std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned char>(text[offset]));
  return hex;
}

bool IsHigh(char c) {
  return static_cast<unsigned char>(c) >= 0x80;
}

}  // namespace

std::string ListTextAsUtf8(const std::string& text, const std::string& encoding,
                           RangeListRead& read) {
  const size_t bad = FirstNonUtf8Byte(text);
  if (bad == std::string::npos) return text;
  const int line = LineOfOffset(text, bad);
  if (text.starts_with(kByteOrderMark)) {
    Refuse(read, line,
           Say(QT_TRANSLATE_NOOP("ranges",
                                 "the text starts with the UTF-8 mark but is not UTF-8 (byte %1)"),
               {ByteText(text, bad)}));
    return "";
  }
  if (encoding.empty()) {
    Refuse(read, line,
           Say(QT_TRANSLATE_NOOP("ranges",
                                 "the text is not UTF-8 (byte %1); name its encoding with "
                                 "--list-encoding, e.g. CP1251, CP1252 or SHIFT_JIS"),
               {ByteText(text, bad)}));
    return "";
  }
  DecodedText decoded = DecodeToUtf8(text, encoding);
  switch (decoded.status) {
    case DecodedText::Status::kOk:
      return std::move(decoded.text);
    case DecodedText::Status::kUnknownEncoding:
      Refuse(read, 0, EncodingProblem(encoding));
      return "";
    case DecodedText::Status::kBadByte:
      break;
  }
  Refuse(read, LineOfOffset(text, decoded.badOffset),
         Say(QT_TRANSLATE_NOOP("ranges", "the text is not %1 (byte %2)"),
             {encoding, ByteText(text, decoded.badOffset)}));
  return "";
}

std::string LabelAsUtf8(std::string_view label, const std::string& encoding, bool& replaced) {
  replaced = false;
  if (FirstNonUtf8Byte(label) == std::string_view::npos) return std::string(label);
  if (!encoding.empty()) {
    DecodedText decoded = DecodeToUtf8(label, encoding);
    if (decoded.status == DecodedText::Status::kOk) return std::move(decoded.text);
  }
  replaced = true;
  return ReplaceNonUtf8(label, "\uFFFD");
}

std::string EncodingProblem(const std::string& encoding) {
  if (encoding.empty() ||
      DecodeToUtf8("", encoding).status != DecodedText::Status::kUnknownEncoding) {
    return "";
  }
  return Say(QT_TRANSLATE_NOOP("ranges",
                               "%1 is not an encoding this system knows (names as iconv takes "
                               "them, e.g. CP1251, CP1252 or SHIFT_JIS)"),
             {encoding});
}

bool NeedsEncoding(std::string_view text) {
  int badLine = 0;
  SplitLines(text, &badLine);
  return badLine == 0 && !text.starts_with(kByteOrderMark) &&
         FirstNonUtf8Byte(text) != std::string_view::npos;
}

std::vector<std::string> LegacyEncodingsOf(std::string_view text) {
  size_t together = 0, alone = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!IsHigh(text[i])) continue;
    const bool neighbour =
        (i > 0 && IsHigh(text[i - 1])) || (i + 1 < text.size() && IsHigh(text[i + 1]));
    ++(neighbour ? together : alone);
  }
  std::vector<std::string> order = {"CP932", "CP1252", "CP1251"};
  if (together > alone) std::swap(order[1], order[2]);
  std::vector<std::string> readable;
  for (const std::string& encoding : order) {
    if (DecodeToUtf8(text, encoding).status == DecodedText::Status::kOk) {
      readable.push_back(encoding);
    }
  }
  return readable;
}

std::vector<std::string> LinesBeyondAscii(std::string_view text, size_t maxLines) {
  int badLine = 0;
  std::vector<std::string> lines;
  for (const TextLine& line : SplitLines(text, &badLine)) {
    if (lines.size() == maxLines) break;
    bool beyond = false;
    for (char c : line.text) beyond = beyond || IsHigh(c);
    if (beyond) lines.emplace_back(line.text);
  }
  return lines;
}

}  // namespace snipora::ranges
