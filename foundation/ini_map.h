#pragma once

#include <cstdint>
#include <cstring>

#include "foundation/array.h"

// The name maps of the INI tree: 32 hash buckets of chained elements that
// live in a pool owned by the tree. Iteration visits buckets 0 to 31 and each
// chain from its head, which is the order keys and sections are saved in.
namespace snipora {

// Hash of a name: each byte, taken as signed, times a weight that starts at
// 257 and grows by one per byte, summed with 32-bit wrap-around.
inline uint32_t IniNameHash(const char* name, uint32_t length) {
  uint32_t hash = 0;
  for (uint32_t i = 0; i < length; ++i) {
    const int32_t byte = static_cast<signed char>(name[i]);
    hash += static_cast<uint32_t>(byte) * (257u + i);
  }
  return hash;
}

// Names of inline-name length or longer are kept once in a process-wide list;
// returns the name's number there.
uint32_t StoreLongName(const char* name, uint32_t length);
const char* LongName(uint32_t number);

// One named entry of a map. Names shorter than InlineBytes - 1 bytes are held
// inline, longer ones by their number in the long-name list.
template <class V, unsigned InlineBytes>
class CMapElement {
 public:
  const char* Name() const { return isLong_ ? LongName(longName_) : inlineName_; }
  uint32_t Hash() const { return hash_; }
  uint32_t Number() const { return number_; }
  CMapElement* Next() const { return next_; }
  V& Value() { return value_; }
  const V& Value() const { return value_; }

  bool HasName(const char* name, uint32_t length, uint32_t hash) const {
    if (hash != hash_) return false;
    const char* own = Name();
    return std::strncmp(own, name, length) == 0 && own[length] == 0;
  }

  void Set(const char* name, uint32_t length, uint32_t hash, uint32_t number) {
    isLong_ = length >= InlineBytes - 1;
    if (isLong_) {
      longName_ = StoreLongName(name, length);
    } else {
      std::memcpy(inlineName_, name, length);
      inlineName_[length] = 0;
    }
    hash_ = hash;
    number_ = number;
    next_ = nullptr;
  }
  void Link(CMapElement* next) { next_ = next; }

 private:
  char inlineName_[InlineBytes - 1] = {};
  bool isLong_ = false;
  uint32_t longName_ = 0;
  uint32_t hash_ = 0;
  V value_{};
  CMapElement* next_ = nullptr;
  uint32_t number_ = 0;
};

// A map of names to V in 32 buckets; its elements come from a shared pool.
template <class V, unsigned InlineBytes, unsigned Buckets = 32>
class CIniMap {
 public:
  using Element = CMapElement<V, InlineBytes>;
  using Pool = CArrayAuto<Element>;

  void AttachPool(Pool* pool) { pool_ = pool; }

  Element* Find(const char* name, uint32_t length) const {
    const uint32_t hash = IniNameHash(name, length);
    for (Element* e = heads_[hash % Buckets]; e != nullptr; e = e->Next()) {
      if (e->HasName(name, length, hash)) return e;
    }
    return nullptr;
  }

  // The element of name, appended at the end of its bucket when new.
  Element* FindOrAdd(const char* name, uint32_t length) {
    const uint32_t hash = IniNameHash(name, length);
    Element*& head = heads_[hash % Buckets];
    Element* last = nullptr;
    for (Element* e = head; e != nullptr; e = e->Next()) {
      if (e->HasName(name, length, hash)) return e;
      last = e;
    }
    // A map without its pool cannot take names: a programming error.
    if (pool_ == nullptr) throw name;
    Element& element = pool_->Add();
    element.Set(name, length, hash, pool_->Count() - 1);
    if (last == nullptr) {
      head = &element;
    } else {
      last->Link(&element);
    }
    return &element;
  }

  // Iteration in bucket order: First(), then Next(element) until null.
  Element* First() const { return FirstFrom(0); }
  Element* Next(const Element* element) const {
    if (element->Next() != nullptr) return element->Next();
    return FirstFrom(element->Hash() % Buckets + 1);
  }

 private:
  Element* FirstFrom(uint32_t bucket) const {
    for (; bucket < Buckets; ++bucket) {
      if (heads_[bucket] != nullptr) return heads_[bucket];
    }
    return nullptr;
  }

  Element* heads_[Buckets] = {};
  Pool* pool_ = nullptr;
};

}  // namespace snipora
