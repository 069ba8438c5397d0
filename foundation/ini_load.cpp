#include <cstring>
#include <string>

#include "foundation/ini.h"
#include "foundation/str_array.h"
#include "foundation/text_encoding.h"
#include "platform/system/atomic_file.h"
#include "platform/system/settings_location.h"

// Reading the INI text: value lines, [EndSection] and section lines; any
// other line is skipped.
namespace snipora {
namespace {

// Optional indentation, a key of one or more bytes up to the first '=', the
// rest of the line as the value.
constexpr char kValueLinePattern[] = "%/0w%{%+j%e=%}%{%+0j%P\n%}";
// Optional indentation, '[', a name of one or more bytes up to the first ']'.
constexpr char kSectionLinePattern[] = "%/0w[%{%+j%e]%}";

// Undoes the escaping of a saved value: \\, \n and \t give a backslash, a
// line feed and a tab; a backslash before anything else is dropped with the
// character that follows it, a backslash at the end is dropped.
void Unescape(const char* value, CStr_base<64>& out) {
  out.Truncate(0);
  for (const char* p = value; *p != 0;) {
    const size_t length = CharLength(p);
    if (length > 1 || *p != '\\') {
      out.Append(p, static_cast<uint32_t>(length));
      p += length;
      continue;
    }
    const char next = p[1];
    if (next == 0) break;
    if (next == '\\') out.AppendByte('\\');
    if (next == 'n') out.AppendByte('\n');
    if (next == 't') out.AppendByte('\t');
    p += 1 + CharLength(p + 1);
  }
}

}  // namespace

bool IniEx::Load(const char* path, bool clear) {
  const std::string target = path != nullptr ? std::string(path) : SettingsFilePath();
  if (target.empty()) return false;
  filePath_.Assign(target.c_str());
  if (clear) Clear();
  std::string contents;
  if (!ReadWholeFile(target, contents)) return false;
  return LoadText(contents.data(), contents.size());
}

bool IniEx::LoadText(const char* text, size_t size) {
  if (text == nullptr) text = "";
  CStrArray_base<64> captures;
  CStr_base<64> line;
  CStr_base<64> value;
  // Lines end at every line feed byte: no well-formed character of either
  // encoding contains one, and letting a stray lead byte swallow it would
  // merge two lines. A line also ends at a NUL byte (the rest is not text).
  const char* const end = text + size;
  for (const char* lineStart = text; lineStart <= end;) {
    const char* lineEnd = static_cast<const char*>(std::memchr(lineStart, '\n', end - lineStart));
    if (lineEnd == nullptr) lineEnd = end;
    line.Assign(lineStart, static_cast<int>(lineEnd - lineStart));
    lineStart = lineEnd + 1;
    // The key runs to the first '=' after its first byte, so a line starting
    // with '=' would give a key holding one, which no key may: such a line
    // is not a value line.
    // A line without '=' (or '[') cannot match the value (or section)
    // pattern, whose literal it is: such lines skip that search.
    const char* bytes = line.Buffer();
    if (std::strchr(bytes, '=') != nullptr &&
        line.Regex(kValueLinePattern, "s", &captures, nullptr, nullptr, 0, nullptr, nullptr) > 0 &&
        std::strchr(captures[0].Buffer(), '=') == nullptr) {
      Unescape(captures[1].Buffer(), value);
      Value(captures[0].Buffer()) = value;
    } else if (CStr_base<64>::Find(bytes, "[EndSection]", 0) >= 0) {
      if (!ChangeSection("..")) return false;
    } else if (std::strchr(bytes, '[') != nullptr &&
               line.Regex(kSectionLinePattern, "s", &captures, nullptr, nullptr, 0, nullptr,
                          nullptr) > 0) {
      const char* name = captures[0].Buffer();
      if (!CreateSection(name) || !ChangeSection(name)) return false;
    }
  }
  ChangeSection("/");
  return true;
}

}  // namespace snipora
