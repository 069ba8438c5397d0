#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/array.h"
#include "foundation/ini_map.h"
#include "foundation/str.h"

// The settings file as an in-memory tree of sections holding named string
// values and named subsections, read from and written to a text file.
namespace snipora {

template <unsigned SectionBuckets, unsigned ValueBuckets, unsigned StringStep>
class IniExElement;

// One section: its parent (null for the root), its subsections and values.
template <>
class IniExElement<32, 32, 64> {
 public:
  using SectionMap = CIniMap<IniExElement*, 32, 32>;
  using ValueMap = CIniMap<CStr_base<64>, 32, 32>;

  IniExElement* parent = nullptr;
  SectionMap sections;
  ValueMap values;
};

using IniSection = IniExElement<32, 32, 64>;

class IniEx {
 public:
  // An empty tree whose current section is the root. Throws std::bad_alloc
  // ("bad allocation") when the element pools cannot be set up.
  IniEx();
  IniEx(const IniEx&) = delete;
  IniEx& operator=(const IniEx&) = delete;

  // Reads the file at path (null: the settings file) into the tree, emptied
  // first when clear is set; false when the file cannot be read or a section
  // line cannot be applied (what was read before that line stays).
  bool Load(const char* path, bool clear);

  // Writes the whole tree to path (null: the file last loaded, else the
  // settings file, whose folder is made when missing). The file is replaced
  // whole or not at all; false when it cannot be written.
  bool Save(const char* path);

  // Load and Save without the file: reads INI text into the tree (not
  // emptied first; the same result as Load), or replaces out by the text of
  // the whole tree.
  bool LoadText(const char* text, size_t size);
  void SaveText(CStr_base<64>& out) const;

  // Makes the section named by path current; false (nothing changes) when a
  // component does not exist or ".." is applied at the root.
  bool ChangeSection(const char* path);

  // Adds a subsection of the current section (true also when it exists);
  // false for a name that is empty or holds '/' or '.'.
  bool CreateSection(const char* name);

  // The section named by path, or null; the current section does not change.
  IniSection* FindSection(const char* path);

  // The value of key in the current section, or null. "path/key" looks in the
  // section named by path. A key holding '=' throws the integer 0.
  CStr_base<64>* FindValue(const char* key);

  // The value of key in the current section, created empty when missing.
  // A key holding '=' throws the integer 0.
  CStr_base<64>& Value(const char* key);

  IniSection* CurrentSection() const { return current_; }
  IniSection* RootSection() const { return root_; }
  // The path of the current section from the root, without a leading '/'.
  const CStr_base<64>& CurrentPath() const { return currentPath_; }
  // The file the last Load used (empty before any).
  const CStr_base<64>& FilePath() const { return filePath_; }

  // Removes every section and value; the root becomes current.
  void Clear();

 private:
  // The section that path names (from the root with a leading '/', else from
  // the current section), or null.
  IniSection* Resolve(const char* path) const;
  // Applies the components of a path that resolved to the current path.
  void ApplyToCurrentPath(const char* path);

  static bool PrepareSections(CArrayAuto<IniSection>& pool, uint32_t first, uint32_t count,
                              void* user);

  CArrayAuto<IniSection::SectionMap::Element> sectionNames_;
  CArrayAuto<IniSection::ValueMap::Element> valueNames_;
  CArrayAuto<IniSection> sections_;
  IniSection* current_ = nullptr;
  CStr_base<64> currentPath_;
  IniSection* root_ = nullptr;
  CStr_base<64> filePath_;
};

}  // namespace snipora
