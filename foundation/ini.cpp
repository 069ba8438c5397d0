#include "foundation/ini.h"

#include <cstring>
#include <new>
#include <string_view>
#include <unordered_map>

#include "foundation/str_array.h"
#include "foundation/text_encoding.h"

namespace snipora {
namespace {

// Names too long to be held inline, each stored once for the process. The
// strings never move (array elements are stable), so the index can point
// into them.
struct LongNameList {
  CStrArray_base<64> names;
  std::unordered_map<std::string_view, uint32_t> index;
};

LongNameList& LongNames() {
  static LongNameList list;
  return list;
}

class BadAllocation : public std::bad_alloc {
 public:
  const char* what() const noexcept override { return "bad allocation"; }
};

bool IsParentComponent(const char* component, size_t length) {
  return length == 2 && component[0] == '.' && component[1] == '.';
}

// Calls visit(component, length) for each non-empty component of a path.
template <class Visit>
bool ForEachComponent(const char* path, Visit visit) {
  const char* p = path;
  while (*p != 0) {
    if (*p == '/') {
      ++p;
      continue;
    }
    const char* start = p;
    while (*p != 0 && *p != '/') p += CharLength(p);
    if (!visit(start, static_cast<uint32_t>(p - start))) return false;
  }
  return true;
}

// Removes the last component of a path without leading '/'. A '/' is never
// part of a multi-byte character in either encoding, so scanning back is safe.
void RemoveLastComponent(CStr_base<64>& path) {
  const char* text = path.Buffer();
  const char* slash = std::strrchr(text, '/');
  path.Truncate(slash == nullptr ? 0 : static_cast<uint32_t>(slash - text));
}

void ThrowIfKeyHoldsEquals(const char* key) {
  if (key == nullptr || std::strchr(key, '=') != nullptr) throw 0;
}

}  // namespace

uint32_t StoreLongName(const char* name, uint32_t length) {
  LongNameList& list = LongNames();
  const auto found = list.index.find(std::string_view(name, length));
  if (found != list.index.end()) return found->second;
  const uint32_t number = list.names.Count();
  CStr_base<64>& stored = list.names.Add();
  stored.Assign(name, static_cast<int>(length));
  list.index.emplace(std::string_view(stored.Buffer(), stored.Length()), number);
  return number;
}

const char* LongName(uint32_t number) {
  return LongNames().names[number].Buffer();
}

IniEx::IniEx() {
  try {
    sections_.SetCallbacks(PrepareSections, nullptr, this);
    Clear();
  } catch (...) {
    throw BadAllocation();
  }
}

bool IniEx::PrepareSections(CArrayAuto<IniSection>& pool, uint32_t first, uint32_t count,
                            void* user) {
  IniEx* ini = static_cast<IniEx*>(user);
  for (uint32_t i = first; i < first + count; ++i) {
    pool[i].sections.AttachPool(&ini->sectionNames_);
    pool[i].values.AttachPool(&ini->valueNames_);
  }
  return true;
}

void IniEx::Clear() {
  sectionNames_.Clear();
  valueNames_.Clear();
  sections_.Clear();
  root_ = &sections_.Add();
  current_ = root_;
  currentPath_.Truncate(0);
}

IniSection* IniEx::Resolve(const char* path) const {
  if (path == nullptr) return nullptr;
  IniSection* section = path[0] == '/' ? root_ : current_;
  const bool found = ForEachComponent(path, [&](const char* name, uint32_t length) {
    if (IsParentComponent(name, length)) {
      section = section->parent;
    } else {
      IniSection::SectionMap::Element* element = section->sections.Find(name, length);
      section = element == nullptr ? nullptr : element->Value();
    }
    return section != nullptr;
  });
  return found ? section : nullptr;
}

void IniEx::ApplyToCurrentPath(const char* path) {
  if (path[0] == '/') currentPath_.Truncate(0);
  ForEachComponent(path, [&](const char* name, uint32_t length) {
    if (IsParentComponent(name, length)) {
      RemoveLastComponent(currentPath_);
    } else {
      if (!currentPath_.IsEmpty()) currentPath_.AppendByte('/');
      currentPath_.Append(name, length);
    }
    return true;
  });
}

bool IniEx::ChangeSection(const char* path) {
  IniSection* section = Resolve(path);
  if (section == nullptr) return false;
  current_ = section;
  ApplyToCurrentPath(path);
  return true;
}

IniSection* IniEx::FindSection(const char* path) {
  return Resolve(path);
}

bool IniEx::CreateSection(const char* name) {
  if (name == nullptr || name[0] == 0 || std::strpbrk(name, "/.") != nullptr) return false;
  const uint32_t length = static_cast<uint32_t>(std::strlen(name));
  if (current_->sections.Find(name, length) != nullptr) return true;
  IniSection& section = sections_.Add();
  section.parent = current_;
  current_->sections.FindOrAdd(name, length)->Value() = &section;
  return true;
}

CStr_base<64>* IniEx::FindValue(const char* key) {
  ThrowIfKeyHoldsEquals(key);
  IniSection* section = current_;
  const char* name = key;
  if (const char* slash = std::strrchr(key, '/'); slash != nullptr) {
    CStr_base<64> path;
    path.Assign(key, static_cast<int>(slash - key));
    section = Resolve(path.IsEmpty() ? "/" : path.Buffer());
    if (section == nullptr) return nullptr;
    name = slash + 1;
  }
  IniSection::ValueMap::Element* element =
      section->values.Find(name, static_cast<uint32_t>(std::strlen(name)));
  return element == nullptr ? nullptr : &element->Value();
}

CStr_base<64>& IniEx::Value(const char* key) {
  ThrowIfKeyHoldsEquals(key);
  return current_->values.FindOrAdd(key, static_cast<uint32_t>(std::strlen(key)))->Value();
}

}  // namespace snipora
