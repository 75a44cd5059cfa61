#include "fuzzy/runtime/recycled_memory.h"

#include <cstdlib>
#include <cstring>
#include <new>

// Off in a build configured with FUZZY_RECYCLE_MEMORY=OFF (which defines it as 0) and in builds of
// the library with AddressSanitizer.
#if defined(FUZZY_RECYCLE_MEMORY)
#elif defined(__SANITIZE_ADDRESS__)
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

// The runtimes of the sanitizers define these; in a process without them the weak references are null.
extern "C" void __asan_init() __attribute__((weak));
extern "C" void __tsan_init() __attribute__((weak));
extern "C" void __msan_init() __attribute__((weak));

namespace {

// Whether this process recycles, decided once: not when FUZZY_RECYCLE_MEMORY=0 is set in the
// environment, nor under a sanitizer's runtime or valgrind's memcheck, so that the host's own tools
// see every free of a library object.
bool DecideRecycling() noexcept {
  if (const char* Setting = std::getenv("FUZZY_RECYCLE_MEMORY"); Setting && std::strcmp(Setting, "0") == 0)
    return false;
  if (__asan_init || __tsan_init || __msan_init) return false;
  const char* Preload = std::getenv("LD_PRELOAD");
  return !(Preload && std::strstr(Preload, "vgpreload_memcheck"));
}

bool RecyclingEnabled() noexcept {
  static const bool Enabled = DecideRecycling();
  return Enabled;
}

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

// At a thread's first release: a thread of a process that does not recycle closes its cache at
// once, so its lists stay empty and every block goes to the heap.
void RegisterThreadExit() {
  Cache.ExitRegistered = true;
  if (!RecyclingEnabled()) {
    Cache.Closed = true;
    return;
  }
  thread_local TThreadExit Exit;
  (void)Exit;
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
      Cache.ExitRegistered = false;
    }
    if (!Cache.ExitRegistered || Cache.Closed) {
      ::operator delete(Block);
      return;
    }
  }
  auto* Free = static_cast<TFreeBlock*>(Block);
  Free->Next = Cache.Heads[Class];
  Cache.Heads[Class] = Free;
  ++Cache.Counts[Class];
}

bool Recycling() noexcept { return RecyclingEnabled(); }

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
