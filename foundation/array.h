#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>

// Owning arrays whose elements never move: elements are built in blocks and
// reached through a table of pointers, so a reference to an element stays
// valid for the array's life and appending never copies elements.
namespace snipora {

template <class T>
class CArrayAuto {
 public:
  // Called for a range of elements just taken into use (false refuses them)
  // and for a range about to be released; user is the value given with them.
  using PrepareCallback = bool (*)(CArrayAuto& array, uint32_t first, uint32_t count, void* user);
  using ReleaseCallback = void (*)(CArrayAuto& array, uint32_t first, uint32_t count, void* user);

  CArrayAuto() = default;
  // Copies the elements in use; the callbacks belong to the original's owner
  // and are not copied.
  CArrayAuto(const CArrayAuto& other) { CopyFrom(other); }
  CArrayAuto& operator=(const CArrayAuto& other) {
    if (this != &other) {
      Clear();
      CopyFrom(other);
    }
    return *this;
  }
  // Destroys every element without the release step: the owner that the
  // callbacks serve may already be gone.
  virtual ~CArrayAuto() {
    Block* block = first_;
    while (block != nullptr) {
      Block* next = block->next;
      T* elements = block->Elements();
      for (uint32_t i = 0; i < block->count; ++i) elements[i].~T();
      ::operator delete (block, std::align_val_t{kBlockAlign});
      block = next;
    }
    delete[] table_;
  }

  // Makes room for n elements at least; returns the capacity.
  uint32_t Reserve(uint32_t n) {
    if (n <= capacity_) return capacity_;
    const uint32_t k = n - capacity_ > step_ ? n - capacity_ : step_;
    const uint32_t needed = capacity_ + k;
    if (tableCapacity_ < needed) GrowTable((needed + 1000) / 1000 * 1000 + 1);
    Block* block = NewBlock(k);
    T* elements = block->Elements();
    for (uint32_t i = 0; i < k; ++i) table_[capacity_ + i] = &elements[i];
    capacity_ = needed;
    if (static_cast<uint64_t>(step_) * 10 < capacity_ && step_ <= UINT32_MAX / 5) step_ *= 5;
    return capacity_;
  }

  // Appends an element in its freshly constructed state (a reused element is
  // reset by assigning a new T to it, which may keep its allocations).
  T& Add() {
    Take(1, true);
    return *table_[count_ - 1];
  }

  // Appends a copy of value.
  T& Add(const T& value) {
    Take(1, false);
    T& element = *table_[count_ - 1];
    element = value;  // a self-assignment when value is the reused element itself
    return element;
  }

  // Grows the count to n with fresh elements; never shrinks.
  void Resize(uint32_t n) {
    if (n > count_) Take(n - count_, true);
  }

  // Removes the last element; returns the new count, or -1 when empty.
  int RemoveLast() {
    if (count_ == 0) return -1;
    ReleaseElements(count_ - 1, 1);
    --count_;
    return static_cast<int>(count_);
  }

  // Removes element i; later elements move down one place in the table and
  // the removed element object is kept for reuse.
  void RemoveAt(uint32_t i) {
    if (i >= count_) throw i;
    ReleaseElements(i, 1);
    T* removed = table_[i];
    std::memmove(&table_[i], &table_[i + 1], (count_ - i - 1) * sizeof(T*));
    table_[count_ - 1] = removed;
    --count_;
  }

  // Releases every element in use; they stay allocated for reuse.
  void Clear() {
    if (count_ == 0) return;
    ReleaseElements(0, count_);
    count_ = 0;
  }

  T& operator[](uint32_t i) {
    if (i >= count_) throw i;
    return *table_[i];
  }
  const T& operator[](uint32_t i) const {
    if (i >= count_) throw i;
    return *table_[i];
  }

  uint32_t Count() const { return count_; }
  uint32_t Capacity() const { return capacity_; }

  void SetCallbacks(PrepareCallback prepare, ReleaseCallback release, void* user) {
    prepare_ = prepare;
    release_ = release;
    user_ = user;
  }

 protected:
  // Takes elements [first, first + count) into use; false refuses them.
  virtual bool PrepareElements(uint32_t first, uint32_t count) {
    return prepare_ == nullptr || prepare_(*this, first, count, user_);
  }
  // Elements [first, first + count) are about to leave use.
  virtual void ReleaseElements(uint32_t first, uint32_t count) {
    if (release_ != nullptr) release_(*this, first, count, user_);
  }

 private:
  // Blocks are aligned for any element type; the elements follow the header.
  static constexpr size_t kBlockAlign = alignof(T) > alignof(std::max_align_t)
                                            ? alignof(T)
                                            : alignof(std::max_align_t);
  struct Block {
    Block* next;
    uint32_t count;
    static constexpr size_t HeaderSize() {
      return (sizeof(Block) + alignof(T) - 1) / alignof(T) * alignof(T);
    }
    T* Elements() {
      return reinterpret_cast<T*>(reinterpret_cast<unsigned char*>(this) + HeaderSize());
    }
  };

  Block* NewBlock(uint32_t k) {
    const size_t bytes = Block::HeaderSize() + static_cast<size_t>(k) * sizeof(T);
    void* memory = ::operator new (bytes, std::align_val_t{kBlockAlign}, std::nothrow);
    if (memory == nullptr) throw static_cast<T*>(nullptr);
    Block* block = new (memory) Block{nullptr, 0};
    T* elements = block->Elements();
    try {
      for (; block->count < k; ++block->count) Construct(&elements[block->count]);
    } catch (...) {
      for (uint32_t i = 0; i < block->count; ++i) elements[i].~T();
      ::operator delete (memory, std::align_val_t{kBlockAlign});
      throw;
    }
    if (last_ == nullptr) {
      first_ = block;
    } else {
      last_->next = block;
    }
    last_ = block;
    return block;
  }

  // Plain records start zeroed; a class runs its own constructor without
  // the zero-filling that value-initialisation would add first.
  static void Construct(T* element) {
    if constexpr (std::is_trivially_default_constructible_v<T>) {
      new (element) T();
    } else {
      new (element) T;
    }
  }

  void GrowTable(uint32_t entries) {
    T** table = new (std::nothrow) T*[entries];
    if (table == nullptr) throw static_cast<T*>(nullptr);
    if (capacity_ != 0) std::memcpy(table, table_, capacity_ * sizeof(T*));
    delete[] table_;
    table_ = table;
    tableCapacity_ = entries;
  }

  // Takes n more elements into use; with reset, elements used before are
  // given a fresh state first.
  void Take(uint32_t n, bool reset) {
    const uint32_t first = count_;
    if (n > UINT32_MAX - first) throw n;
    Reserve(first + n);
    if (reset) {
      for (uint32_t i = first; i < first + n && i < highWater_; ++i) *table_[i] = T();
    }
    // The range is counted while it is prepared, so a callback can index it.
    count_ = first + n;
    if (count_ > highWater_) highWater_ = count_;
    if (!PrepareElements(first, n)) {
      count_ = first;
      throw n;
    }
  }

  void CopyFrom(const CArrayAuto& other) {
    Reserve(other.count_);
    for (uint32_t i = 0; i < other.count_; ++i) Add(*other.table_[i]);
  }

  uint32_t capacity_ = 0;
  uint32_t count_ = 0;
  uint32_t tableCapacity_ = 0;
  uint32_t step_ = 10;
  Block* first_ = nullptr;
  Block* last_ = nullptr;
  T** table_ = nullptr;
  PrepareCallback prepare_ = nullptr;
  ReleaseCallback release_ = nullptr;
  void* user_ = nullptr;
  uint32_t highWater_ = 0;  // elements ever taken into use; beyond it they are fresh
};

}  // namespace snipora
