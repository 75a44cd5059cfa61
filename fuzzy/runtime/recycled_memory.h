#pragma once
// Memory for small library objects, recycled per thread.
//
// A rule cycle makes and frees dozens of small objects (points, sets, point lists) in quick
// succession. Blocks of up to 1024 bytes are kept on a free list of the thread that freed them and
// handed out again by the next allocation of the same size class, so the steady state of such a
// cycle does not go through the general heap. Each thread keeps a bounded number of blocks per
// size class and returns them to the heap when it ends.
//
// Recycling hides a use after free from memory checkers, so it is off (every block goes straight to
// the general heap) in builds of the library with AddressSanitizer, in a build configured with
// -DFUZZY_RECYCLE_MEMORY=OFF, in a process whose environment sets FUZZY_RECYCLE_MEMORY=0 (read once,
// at the first allocation), and in a process that runs under AddressSanitizer, ThreadSanitizer,
// MemorySanitizer or valgrind's memcheck.
//
//   FUZZY_RECYCLE_MEMORY=0 ./host   // every free of a library object reaches the heap

#include <cstddef>
#include <vector>

namespace fuzzy::recycled_memory {

// A block of at least Size bytes, aligned for any object.
void* Allocate(std::size_t Size);
// Returns a block that Allocate(Size) made, with the same Size.
void Release(void* Block, std::size_t Size) noexcept;
// Whether blocks are recycled in this build and process.
bool Recycling() noexcept;
// The number of blocks the calling thread keeps for reuse.
std::size_t KeptBlocks() noexcept;

}  // namespace fuzzy::recycled_memory

namespace fuzzy {

// A standard allocator over recycled memory, for the small short-lived arrays of the library
// (the item lists of collections, working lists of the set operations).
template <typename T>
struct TRecycledAllocator {
  using value_type = T;

  TRecycledAllocator() = default;
  template <typename U>
  TRecycledAllocator(const TRecycledAllocator<U>&) noexcept {}

  T* allocate(std::size_t Count) { return static_cast<T*>(recycled_memory::Allocate(Count * sizeof(T))); }
  void deallocate(T* Block, std::size_t Count) noexcept { recycled_memory::Release(Block, Count * sizeof(T)); }

  template <typename U>
  friend bool operator==(const TRecycledAllocator&, const TRecycledAllocator<U>&) noexcept {
    return true;
  }
};

// A vector in recycled memory.
template <typename T>
using TRecycledVector = std::vector<T, TRecycledAllocator<T>>;

}  // namespace fuzzy
