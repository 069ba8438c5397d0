#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

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
// A large map also keeps an open-addressing index over the same elements, so
// that lookups stay fast however long the bucket chains grow; the chains alone
// decide the iteration order.
template <class V, unsigned InlineBytes, unsigned Buckets = 32>
class CIniMap {
 public:
  using Element = CMapElement<V, InlineBytes>;
  using Pool = CArrayAuto<Element>;

  void AttachPool(Pool* pool) { pool_ = pool; }

  Element* Find(const char* name, uint32_t length) const {
    return Lookup(name, length, IniNameHash(name, length));
  }

  // The element of name, appended at the end of its bucket when new.
  Element* FindOrAdd(const char* name, uint32_t length) {
    const uint32_t hash = IniNameHash(name, length);
    if (Element* found = Lookup(name, length, hash)) return found;
    // A map without its pool cannot take names: a programming error.
    if (pool_ == nullptr) throw name;
    Element& element = pool_->Add();
    element.Set(name, length, hash, pool_->Count() - 1);
    const uint32_t bucket = hash % Buckets;
    Element* tail = Tail(bucket);
    if (tail == nullptr) {
      heads_[bucket] = &element;
    } else {
      tail->Link(&element);
    }
    if (!tails_.empty()) tails_[bucket] = &element;
    ++count_;
    AddToIndex(&element);
    return &element;
  }

  // Iteration in bucket order: First(), then Next(element) until null.
  Element* First() const { return FirstFrom(0); }
  Element* Next(const Element* element) const {
    if (element->Next() != nullptr) return element->Next();
    return FirstFrom(element->Hash() % Buckets + 1);
  }

 private:
  static constexpr uint32_t kIndexFrom = 4 * Buckets;  // elements before an index pays off

  Element* FirstFrom(uint32_t bucket) const {
    for (; bucket < Buckets; ++bucket) {
      if (heads_[bucket] != nullptr) return heads_[bucket];
    }
    return nullptr;
  }

  // The last element of a bucket: kept once the map is indexed, else found
  // by walking the (then short) chain.
  Element* Tail(uint32_t bucket) const {
    if (!tails_.empty()) return tails_[bucket];
    Element* last = heads_[bucket];
    while (last != nullptr && last->Next() != nullptr) last = last->Next();
    return last;
  }

  uint32_t Slot(uint32_t hash) const {
    return (hash * 2654435761u) >> (32 - indexBits_);  // spreads the weighted sums
  }

  Element* Lookup(const char* name, uint32_t length, uint32_t hash) const {
    if (index_.empty()) {
      for (Element* e = heads_[hash % Buckets]; e != nullptr; e = e->Next()) {
        if (e->HasName(name, length, hash)) return e;
      }
      return nullptr;
    }
    const size_t mask = index_.size() - 1;
    for (size_t i = Slot(hash); index_[i] != nullptr; i = (i + 1) & mask) {
      if (index_[i]->HasName(name, length, hash)) return index_[i];
    }
    return nullptr;
  }

  void Insert(Element* element) {
    const size_t mask = index_.size() - 1;
    size_t i = Slot(element->Hash());
    while (index_[i] != nullptr) i = (i + 1) & mask;
    index_[i] = element;
  }

  void AddToIndex(Element* element) {
    if (index_.empty() && count_ <= kIndexFrom) return;
    if (!index_.empty() && 2 * static_cast<size_t>(count_) <= index_.size()) {
      Insert(element);
      return;
    }
    if (tails_.empty()) {
      std::vector<Element*> tails(Buckets);
      for (uint32_t bucket = 0; bucket < Buckets; ++bucket) tails[bucket] = Tail(bucket);
      tails_.swap(tails);
    }
    // Rebuild at four slots per element, so the table stays at most half full.
    indexBits_ = 1;
    while ((size_t{1} << indexBits_) < 4 * static_cast<size_t>(count_)) ++indexBits_;
    index_.assign(size_t{1} << indexBits_, nullptr);
    for (Element* e = First(); e != nullptr; e = Next(e)) Insert(e);
  }

  Element* heads_[Buckets] = {};
  uint32_t count_ = 0;
  uint32_t indexBits_ = 0;
  std::vector<Element*> index_;  // open addressing by hash, once the map is large
  std::vector<Element*> tails_;  // last element of each bucket, once indexed
  Pool* pool_ = nullptr;
};

}  // namespace snipora
