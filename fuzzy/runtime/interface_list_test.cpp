#include "fuzzy/runtime/interface_list.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "fuzzy/runtime/exception.h"
#include "fuzzy/testing/live_instances.h"

namespace fuzzy {
namespace {

using testing::TLiveCounter;
using testing::TLiveToken;

// A counted object that, when it dies, records how many entries its list still had.
class TWatcher : public TInterfacedObject {
 public:
  TWatcher(TLiveCounter& Counter, IInterfaceList* List = nullptr, int* SeenCount = nullptr)
      : FToken(Counter), FList(List), FSeenCount(SeenCount) {}

 protected:
  ~TWatcher() override {
    if (FList && FSeenCount) *FSeenCount = FList->Count();
  }

 private:
  TLiveToken FToken;
  IInterfaceList* FList;
  int* FSeenCount;
};

IPtr<IInterface> Watcher(TLiveCounter& Counter, IInterfaceList* List = nullptr, int* SeenCount = nullptr) {
  return IPtr<IInterface>(New<TWatcher>(Counter, List, SeenCount));
}

std::string Message(const std::function<void()>& Action) {
  try {
    Action();
  } catch (const EListError& E) {
    return E.what();
  }
  return "no exception";
}

TEST(InterfaceList, KeepsOrderAndIdentity) {
  TLiveCounter Counter;
  IPtr<IInterfaceList> List(New<TInterfaceList>());
  const auto A = Watcher(Counter), B = Watcher(Counter), C = Watcher(Counter);
  EXPECT_EQ(List->Add(A), 0);
  EXPECT_EQ(List->Add(C), 1);
  List->Insert(1, B);
  List->Insert(3, nullptr);
  ASSERT_EQ(List->Count(), 4);
  EXPECT_EQ(List->Get(0), A);
  EXPECT_EQ(List->Get(1), B);
  EXPECT_EQ(List->Get(2), C);
  EXPECT_EQ(List->Last(), nullptr);
  EXPECT_EQ(List->IndexOf(C), 2);
  EXPECT_EQ(List->IndexOf(nullptr), 3);

  EXPECT_EQ(List->Remove(B), 1);
  EXPECT_EQ(List->Remove(B), -1);
  List->Put(0, C);
  EXPECT_EQ(List->First(), C);
  EXPECT_EQ(List->IndexOf(A), -1);

  // The list answers for its own interface and keeps one identity for all of them.
  IPtr<IInterfaceList> Queried;
  ASSERT_TRUE(Supports<IInterfaceList>(List, Queried));
  EXPECT_EQ(Queried, List);
  IPtr<IInterface> Identity;
  ASSERT_TRUE(Supports<IInterface>(List, Identity));
  EXPECT_EQ(Identity, IPtr<IInterface>(List));
}

TEST(InterfaceList, ReleasesEveryReference) {
  TLiveCounter Counter;
  {
    IPtr<IInterfaceList> List(New<TInterfaceList>());
    for (int I = 0; I < 5; ++I) List->Add(Watcher(Counter));
    List->Add(List->Get(0));  // the same object twice holds two references
    EXPECT_EQ(Counter.Live(), 5);
    List->Delete(0);
    EXPECT_EQ(Counter.Live(), 5);
    List->Delete(List->Count() - 1);
    EXPECT_EQ(Counter.Live(), 4);
    List->Put(0, nullptr);
    EXPECT_EQ(Counter.Live(), 3);
    List->Clear();
    EXPECT_EQ(Counter.Live(), 0);
    List->Add(Watcher(Counter));
    List->Add(Watcher(Counter));
  }
  EXPECT_EQ(Counter.Live(), 0);
  EXPECT_EQ(Counter.Created(), 7);
}

TEST(InterfaceList, EntryLeavesBeforeItIsReleased) {
  TLiveCounter Counter;
  IPtr<IInterfaceList> List(New<TInterfaceList>());
  int SeenCount = -1;
  List->Add(Watcher(Counter));
  List->Add(Watcher(Counter, List.Get(), &SeenCount));
  List->Delete(1);
  EXPECT_EQ(SeenCount, 1);

  List->Add(Watcher(Counter, List.Get(), &SeenCount));
  List->Clear();
  EXPECT_EQ(SeenCount, 0);
}

TEST(InterfaceList, BadIndexesRaiseListError) {
  IPtr<IInterfaceList> List(New<TInterfaceList>());
  EXPECT_EQ(Message([&] { List->First(); }), "List index out of bounds (0)");
  EXPECT_EQ(Message([&] { List->Last(); }), "List index out of bounds (-1)");
  EXPECT_EQ(Message([&] { List->Insert(1, nullptr); }), "List index out of bounds (1)");
  List->Insert(0, nullptr);
  EXPECT_EQ(Message([&] { List->Get(1); }), "List index out of bounds (1)");
  EXPECT_EQ(Message([&] { List->Put(-1, nullptr); }), "List index out of bounds (-1)");
  EXPECT_EQ(Message([&] { List->Delete(1); }), "List index out of bounds (1)");
  EXPECT_EQ(List->Count(), 1);
}

}  // namespace
}  // namespace fuzzy
