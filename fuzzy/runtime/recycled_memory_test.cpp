#include "fuzzy/runtime/recycled_memory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "fuzzy/runtime/object.h"

namespace fuzzy {
namespace {

using namespace recycled_memory;

TEST(RecycledMemory, BlocksOfOneSizeClassAreReused) {
  if (!Recycling()) GTEST_SKIP() << "this build uses the general heap";
  void* Block = Allocate(40);
  std::memset(Block, 0xAB, 48);  // every block of the class has the class's full size
  const std::size_t Kept = KeptBlocks();
  Release(Block, 40);
  EXPECT_EQ(KeptBlocks(), Kept + 1);
  void* Again = Allocate(33);  // 33 to 48 bytes share a class
  EXPECT_EQ(Again, Block);
  EXPECT_EQ(KeptBlocks(), Kept);
  void* Other = Allocate(64);  // another class does not take it
  Release(Again, 33);
  void* Smaller = Allocate(20);
  EXPECT_NE(Smaller, Block);
  Release(Smaller, 20);
  Release(Other, 64);
}

TEST(RecycledMemory, TheEnvironmentTurnsRecyclingOff) {
  const char* Setting = std::getenv("FUZZY_RECYCLE_MEMORY");
  if (!Setting || std::strcmp(Setting, "0") != 0) GTEST_SKIP() << "run with FUZZY_RECYCLE_MEMORY=0";
  EXPECT_FALSE(Recycling());
  void* Block = Allocate(40);
  const std::size_t Kept = KeptBlocks();
  Release(Block, 40);
  EXPECT_EQ(KeptBlocks(), Kept);  // straight back to the heap
}

TEST(RecycledMemory, LargeBlocksAndBurstsGoBackToTheHeap) {
  void* Large = Allocate(4096);
  Release(Large, 4096);
  void* Largest = Allocate(1024);
  std::memset(Largest, 0xCD, 1024);
  Release(Largest, 1024);
  std::vector<void*> Burst;
  for (int I = 0; I < 5000; ++I) Burst.push_back(Allocate(100));
  const std::size_t Before = KeptBlocks();
  for (void* Block : Burst) Release(Block, 100);
  // A thread keeps a bounded number of blocks per class.
  EXPECT_LE(KeptBlocks() - Before, 256u);
  Release(nullptr, 100);
}

class TSmall : public TObject {
 public:
  TSmall() = default;
};

TEST(RecycledMemory, ObjectsFreedOnAnotherThreadAreKeptThere) {
  TSmall* Made = New<TSmall>();
  std::size_t KeptByWorker = 0;
  // The worker keeps the block until it ends, then gives it back to the heap (the leak checker of
  // the sanitizer build would report it otherwise).
  std::thread Worker([&] {
    Made->Free();
    KeptByWorker = KeptBlocks();
  });
  Worker.join();
  EXPECT_EQ(KeptByWorker, Recycling() ? 1u : 0u);
  TSmall* Next = New<TSmall>();
  Next->Free();
}

}  // namespace
}  // namespace fuzzy
