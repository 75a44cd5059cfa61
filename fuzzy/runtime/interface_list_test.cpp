#include "fuzzy/runtime/interface_list.h"

#include <gtest/gtest.h>

#include "fuzzy/runtime/exception.h"
#include "fuzzy/testing/live_instances.h"

namespace fuzzy {
namespace {

using testing::TLiveCounter;
using testing::TLiveToken;

// A counted object that, when it dies, records how many entries its list still has.
class TWatcher : public TInterfacedObject {
 public:
  TWatcher(TLiveCounter& Counter, IInterfaceList* List, int* SeenCount)
      : FToken(Counter), FList(List), FSeenCount(SeenCount) {}

 protected:
  ~TWatcher() override {
    if (FList) *FSeenCount = FList->Count();
  }

 private:
  TLiveToken FToken;
  IInterfaceList* FList;
  int* FSeenCount;
};

IPtr<IInterface> Watcher(TLiveCounter& Counter, IInterfaceList* List = nullptr, int* SeenCount = nullptr) {
  return IPtr<IInterface>(New<TWatcher>(Counter, List, SeenCount));
}

TEST(InterfaceList, OrderIdentityAndBadIndexes) {
  TLiveCounter Counter;
  IPtr<IInterfaceList> List(New<TInterfaceList>());
  EXPECT_THROW(List->First(), EListError);
  const auto A = Watcher(Counter), B = Watcher(Counter), C = Watcher(Counter);
  List->Add(A);
  EXPECT_EQ(List->Add(C), 1);
  List->Insert(1, B);
  List->Insert(3, nullptr);
  EXPECT_EQ(List->Get(1), B);
  EXPECT_EQ(List->IndexOf(C), 2);
  EXPECT_EQ(List->Last(), nullptr);
  EXPECT_EQ(List->Remove(B), 1);
  EXPECT_EQ(List->Remove(B), -1);
  List->Put(0, C);
  EXPECT_EQ(List->First(), C);
  EXPECT_EQ(List->IndexOf(A), -1);

  // One identity whichever interface the list is reached through.
  EXPECT_EQ(QueryIntf<IInterface>(List), IPtr<IInterface>(List));

  try {
    List->Get(3);
    FAIL();
  } catch (const EListError& E) {
    EXPECT_STREQ(E.what(), "List index out of bounds (3)");
  }
  EXPECT_THROW(List->Insert(4, nullptr), EListError);
  EXPECT_THROW(List->Put(-1, nullptr), EListError);
  EXPECT_THROW(List->Delete(3), EListError);
  EXPECT_EQ(List->Count(), 3);
}

TEST(InterfaceList, ReleasesEveryReferenceAfterTheEntryHasLeft) {
  TLiveCounter Counter;
  int SeenCount = -1;
  {
    IPtr<IInterfaceList> List(New<TInterfaceList>());
    for (int I = 0; I < 3; ++I) List->Add(Watcher(Counter));
    List->Add(List->Get(0));  // the same object twice holds two references
    List->Delete(0);
    EXPECT_EQ(Counter.Live(), 3);
    List->Put(2, nullptr);
    EXPECT_EQ(Counter.Live(), 2);

    List->Add(Watcher(Counter, List.Get(), &SeenCount));
    List->Delete(3);
    EXPECT_EQ(SeenCount, 3);
    List->Add(Watcher(Counter, List.Get(), &SeenCount));
    List->Clear();
    EXPECT_EQ(SeenCount, 0);
    EXPECT_EQ(Counter.Live(), 0);
    List->Add(Watcher(Counter));
  }
  EXPECT_EQ(Counter.Live(), 0);
}

}  // namespace
}  // namespace fuzzy
