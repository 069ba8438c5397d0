#pragma once

#include <cstddef>

// Page-granular memory straight from the operating system (mmap), always
// page-aligned, suitable for direct I/O transfers.
namespace snipora::pagememory {

// Committed, readable and writable pages covering at least size bytes, or
// nullptr. size 0 gives nullptr.
void* AllocatePages(size_t size);

// Returns pages obtained from AllocatePages with the same size.
void FreePages(void* pages, size_t size);

// The system's page size in bytes.
size_t PageSize();

}  // namespace snipora::pagememory
