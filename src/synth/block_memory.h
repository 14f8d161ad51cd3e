// Memory for the one-second block. On Linux it is one 2 MiB-aligned mapping marked for a
// transparent huge page, so the block's first touch costs one page fault instead of one per
// 4 KiB page (282 of them, each a trap into the kernel that costs far more than the copy itself
// on a virtual machine). Elsewhere, or where the system declines, it is ordinary memory.
#pragma once

#include <cstddef>

namespace mpx {

// Throws std::bad_alloc when no memory is left.
void* allocate_block_memory(std::size_t bytes);
void free_block_memory(void* memory, std::size_t bytes) noexcept;

// A standard allocator over the two functions above, for a std::vector that holds the block.
template <class T>
struct BlockAllocator {
  using value_type = T;

  BlockAllocator() = default;
  template <class U>
  BlockAllocator(const BlockAllocator<U>&) noexcept {}

  T* allocate(std::size_t n) { return static_cast<T*>(allocate_block_memory(n * sizeof(T))); }
  void deallocate(T* memory, std::size_t n) noexcept { free_block_memory(memory, n * sizeof(T)); }

  friend bool operator==(const BlockAllocator&, const BlockAllocator&) { return true; }
};

}  // namespace mpx
