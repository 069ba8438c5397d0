#include "platform/system/page_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace snipora::pagememory {
namespace {

// Large blocks are trimmed out of a bigger mapping: every byte of each must
// stay mapped and its own, and none may overlap another block.
TEST(PageMemoryTest, BlocksOfEverySizeAreWholeAndSeparate) {
  const size_t page = PageSize();
  const std::vector<size_t> sizes = {1,          page,           page + 1,          (2u << 20) - 1,
                                     (2u << 20), (2u << 20) + 1, (5u << 20) + page, 4u << 20};
  std::vector<uint8_t*> blocks;
  for (size_t i = 0; i < sizes.size(); ++i) {
    auto* block = static_cast<uint8_t*>(AllocatePages(sizes[i]));
    ASSERT_NE(block, nullptr) << sizes[i];
    EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % page, 0u) << sizes[i];
    for (size_t at = 0; at < sizes[i]; at += page / 2) block[at] = static_cast<uint8_t>(i + 1);
    block[sizes[i] - 1] = static_cast<uint8_t>(i + 1);
    blocks.push_back(block);
  }
  for (size_t i = 0; i < sizes.size(); ++i) {
    for (size_t at = 0; at < sizes[i]; at += page / 2) {
      ASSERT_EQ(blocks[i][at], i + 1) << "block " << i << " byte " << at;
    }
    EXPECT_EQ(blocks[i][sizes[i] - 1], i + 1) << "block " << i;
    FreePages(blocks[i], sizes[i]);
  }
  EXPECT_EQ(AllocatePages(0), nullptr);
}

}  // namespace
}  // namespace snipora::pagememory
