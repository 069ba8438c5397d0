#include "platform/system/page_memory.h"

#include <sys/mman.h>
#include <unistd.h>
#include <cstdint>

namespace snipora::pagememory {
namespace {
constexpr size_t kHugePageBytes = size_t{2} << 20;
}

void* AllocatePages(size_t size) {
  if (size == 0) return nullptr;
  // Large buffers serve unbuffered transfers: on huge pages the kernel pins
  // each request as one page and the disk gets few, large segments. They
  // start on a huge-page boundary (older kernels do not align by themselves);
  // the hint is only a hint, and 4 KiB pages work the same.
  const bool huge = size >= kHugePageBytes;
  const size_t page = PageSize();
  const size_t whole = (size + page - 1) / page * page;
  const size_t mapped = huge ? whole + kHugePageBytes : whole;
  void* pages = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (pages == MAP_FAILED) return nullptr;
  if (!huge) return pages;
  auto* begin = static_cast<uint8_t*>(pages);
  const size_t lead =
      (kHugePageBytes - reinterpret_cast<uintptr_t>(begin) % kHugePageBytes) % kHugePageBytes;
  if (lead != 0) ::munmap(begin, lead);
  ::munmap(begin + lead + whole, kHugePageBytes - lead);
  ::madvise(begin + lead, size, MADV_HUGEPAGE);
  return begin + lead;
}

void FreePages(void* pages, size_t size) {
  if (pages != nullptr) ::munmap(pages, size);
}

size_t PageSize() {
  const long size = ::sysconf(_SC_PAGESIZE);
  return size > 0 ? static_cast<size_t>(size) : 4096;
}

}  // namespace snipora::pagememory
