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

  CStrArray_base<64> captures;
  CStr_base<64> line;
  CStr_base<64> value;
  const char* const text = contents.data();
  const size_t size = contents.size();
  size_t lineStart = 0;
  // Lines end at line feeds; a multi-byte character is never cut, and a line
  // ends at a NUL byte (the rest of such a line is not text).
  for (size_t at = 0; lineStart <= size;) {
    if (at < size && text[at] != '\n') {
      at += CharLength(text + at, size - at);
      continue;
    }
    line.Assign(text + lineStart, static_cast<int>(at - lineStart));
    lineStart = ++at;
    if (line.Regex(kValueLinePattern, "s", &captures, nullptr, nullptr, 0, nullptr, nullptr) > 0) {
      Unescape(captures[1].Buffer(), value);
      Value(captures[0].Buffer()) = value;
    } else if (CStr_base<64>::Find(line.Buffer(), "[EndSection]", 0) >= 0) {
      if (!ChangeSection("..")) return false;
    } else if (line.Regex(kSectionLinePattern, "s", &captures, nullptr, nullptr, 0, nullptr,
                          nullptr) > 0) {
      const char* name = captures[0].Buffer();
      if (!CreateSection(name) || !ChangeSection(name)) return false;
    }
  }
  ChangeSection("/");
  return true;
}

}  // namespace snipora
