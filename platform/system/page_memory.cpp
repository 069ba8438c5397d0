#include "platform/system/page_memory.h"

#include <sys/mman.h>
#include <unistd.h>

namespace snipora::pagememory {

void* AllocatePages(size_t size) {
  if (size == 0) return nullptr;
  void* pages = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  return pages == MAP_FAILED ? nullptr : pages;
}

void FreePages(void* pages, size_t size) {
  if (pages != nullptr) ::munmap(pages, size);
}

size_t PageSize() {
  const long size = ::sysconf(_SC_PAGESIZE);
  return size > 0 ? static_cast<size_t>(size) : 4096;
}

}  // namespace snipora::pagememory
