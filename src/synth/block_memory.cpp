#include "synth/block_memory.h"

#include <cstdint>
#include <new>

#include "constants.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace mpx {

#if defined(__linux__)

namespace {

std::size_t round_up_to_huge_pages(std::size_t bytes) {
  if (bytes == 0) return huge_page_bytes;
  return (bytes + huge_page_bytes - 1) / huge_page_bytes * huge_page_bytes;
}

}  // namespace

void* allocate_block_memory(std::size_t bytes) {
  const std::size_t length = round_up_to_huge_pages(bytes);
  // Map one huge page more than needed, then unmap the ends so what is left starts on a huge
  // page boundary (mmap itself only promises 4 KiB alignment).
  void* mapped = mmap(nullptr, length + huge_page_bytes, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(mapped);
  const std::uintptr_t aligned = (start + huge_page_bytes - 1) / huge_page_bytes * huge_page_bytes;
  if (aligned > start) munmap(mapped, aligned - start);
  const std::uintptr_t tail = aligned + length;
  const std::uintptr_t end = start + length + huge_page_bytes;
  if (end > tail) munmap(reinterpret_cast<void*>(tail), end - tail);
  void* memory = reinterpret_cast<void*>(aligned);
  // Only advice: without transparent huge pages the block simply stays in small pages.
  madvise(memory, length, MADV_HUGEPAGE);
  return memory;
}

void free_block_memory(void* memory, std::size_t bytes) noexcept {
  if (memory != nullptr) munmap(memory, round_up_to_huge_pages(bytes));
}

#else

void* allocate_block_memory(std::size_t bytes) { return ::operator new(bytes); }

void free_block_memory(void* memory, std::size_t) noexcept { ::operator delete(memory); }

#endif

}  // namespace mpx
