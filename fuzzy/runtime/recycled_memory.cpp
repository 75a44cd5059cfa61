#include "fuzzy/runtime/recycled_memory.h"

#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define FUZZY_RECYCLE_MEMORY 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FUZZY_RECYCLE_MEMORY 0
#endif
#endif
#ifndef FUZZY_RECYCLE_MEMORY
#define FUZZY_RECYCLE_MEMORY 1
#endif

namespace fuzzy::recycled_memory {

#if FUZZY_RECYCLE_MEMORY

namespace {

constexpr std::size_t Granularity = 16;
constexpr std::size_t LargestRecycled = 1024;
constexpr std::size_t SizeClasses = LargestRecycled / Granularity;
// Blocks kept per size class and thread: enough for the objects of a busy rule cycle, little
// enough that freeing a huge set does not pin its memory.
constexpr unsigned KeptPerClass = 256;

struct TFreeBlock {
  TFreeBlock* Next;
};

// Trivially destructible and zero-initialised, so a thread reaches it without an initialisation
// guard; TThreadExit empties it when the thread ends.
struct TThreadCache {
  TFreeBlock* Heads[SizeClasses];
  unsigned Counts[SizeClasses];
  bool ExitRegistered;
  bool Closed;
};
thread_local TThreadCache Cache;

void Drain() noexcept {
  for (std::size_t Class = 0; Class < SizeClasses; ++Class) {
    while (TFreeBlock* Block = Cache.Heads[Class]) {
      Cache.Heads[Class] = Block->Next;
      ::operator delete(Block);
    }
    Cache.Counts[Class] = 0;
  }
}

struct TThreadExit {
  ~TThreadExit() {
    Drain();
    // Objects freed later in this thread's exit (statics of the main thread) go to the heap.
    Cache.Closed = true;
  }
};

void RegisterThreadExit() {
  thread_local TThreadExit Exit;
  (void)Exit;
  Cache.ExitRegistered = true;
}

}  // namespace

void* Allocate(std::size_t Size) {
  if (Size == 0 || Size > LargestRecycled) return ::operator new(Size);
  const std::size_t Class = (Size - 1) / Granularity;
  if (TFreeBlock* Block = Cache.Heads[Class]) {
    Cache.Heads[Class] = Block->Next;
    --Cache.Counts[Class];
    return Block;
  }
  // Every block of a class has the class's full size, so it can serve any size of the class.
  return ::operator new((Class + 1) * Granularity);
}

void Release(void* Block, std::size_t Size) noexcept {
  if (!Block) return;
  const std::size_t Class = (Size - 1) / Granularity;
  if (Size == 0 || Size > LargestRecycled || Cache.Closed || Cache.Counts[Class] == KeptPerClass) {
    ::operator delete(Block);
    return;
  }
  if (!Cache.ExitRegistered) {
    try {
      RegisterThreadExit();
    } catch (...) {
      ::operator delete(Block);
      return;
    }
  }
  auto* Free = static_cast<TFreeBlock*>(Block);
  Free->Next = Cache.Heads[Class];
  Cache.Heads[Class] = Free;
  ++Cache.Counts[Class];
}

bool Recycling() noexcept { return true; }

std::size_t KeptBlocks() noexcept {
  std::size_t Result = 0;
  for (unsigned Count : Cache.Counts) Result += Count;
  return Result;
}

#else

void* Allocate(std::size_t Size) { return ::operator new(Size); }

void Release(void* Block, std::size_t) noexcept { ::operator delete(Block); }

bool Recycling() noexcept { return false; }

std::size_t KeptBlocks() noexcept { return 0; }

#endif

}  // namespace fuzzy::recycled_memory
