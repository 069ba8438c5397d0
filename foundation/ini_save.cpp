#include <string>
#include <vector>

#include "foundation/ini.h"
#include "foundation/text_encoding.h"
#include "platform/system/atomic_file.h"
#include "platform/system/settings_location.h"

// Writing the INI tree: values first, then subsections, each level one tab
// deeper, every subsection closed by [EndSection].
namespace snipora {
namespace {

// Backslash, line feed and tab become \\, \n and \t; the bytes of a
// multi-byte character are copied as they are.
void AppendEscaped(CStr_base<64>& out, const char* value) {
  for (const char* p = value; *p != 0;) {
    const size_t length = CharLength(p);
    if (length > 1) {
      out.Append(p, static_cast<uint32_t>(length));
    } else if (*p == '\\') {
      out.Append("\\\\");
    } else if (*p == '\n') {
      out.Append("\\n");
    } else if (*p == '\t') {
      out.Append("\\t");
    } else {
      out.AppendByte(*p);
    }
    p += length;
  }
}

void AppendTabs(CStr_base<64>& out, uint32_t depth) {
  for (uint32_t i = 0; i < depth; ++i) out.AppendByte('\t');
}

void AppendValues(CStr_base<64>& out, const IniSection& section, uint32_t depth) {
  CStr_base<64> escaped;
  CStr_base<64> line;
  for (auto* element = section.values.First(); element != nullptr;
       element = section.values.Next(element)) {
    escaped.Truncate(0);
    AppendEscaped(escaped, element->Value().Buffer());
    line.Format("%s=%s\n", element->Name(), escaped.Buffer());
    AppendTabs(out, depth);
    out.Append(line.Buffer());
  }
}

// The whole tree as text. Depth-first with an explicit stack, so that a
// deeply nested tree cannot exhaust the call stack.
void AppendTree(CStr_base<64>& out, const IniSection& root) {
  struct Level {
    const IniSection* section;
    const IniSection::SectionMap::Element* next;  // next subsection to write
  };
  std::vector<Level> levels;
  AppendValues(out, root, 0);
  levels.push_back({&root, root.sections.First()});
  CStr_base<64> line;
  while (!levels.empty()) {
    const uint32_t depth = static_cast<uint32_t>(levels.size() - 1);
    Level& level = levels.back();
    if (level.next == nullptr) {
      levels.pop_back();
      if (depth > 0) {
        AppendTabs(out, depth - 1);
        out.Append("[EndSection]\n");
      }
      continue;
    }
    const auto* element = level.next;
    level.next = level.section->sections.Next(element);
    const IniSection& child = *element->Value();
    line.Format("[%s]\n", element->Name());
    AppendTabs(out, depth);
    out.Append(line.Buffer());
    AppendValues(out, child, depth + 1);
    levels.push_back({&child, child.sections.First()});
  }
}

}  // namespace

void IniEx::SaveText(CStr_base<64>& out) const {
  out.Truncate(0);
  AppendTree(out, *root_);
}

bool IniEx::Save(const char* path) {
  std::string target;
  if (path != nullptr) {
    target = path;
  } else if (!filePath_.IsEmpty()) {
    target = filePath_.Buffer();
  } else {
    target = SettingsFilePath();
  }
  if (target.empty()) return false;
  CStr_base<64> text;
  SaveText(text);
  // A file name the object formed itself may lie in a folder not made yet.
  return WriteFileAtomically(target, text.Buffer(), text.Length(), path == nullptr);
}

}  // namespace snipora
