#include "fuzzy/companion/interface_collections.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "fuzzy/runtime/exception.h"
#include "fuzzy/testing/live_instances.h"

namespace fuzzy {
namespace {

using testing::TLiveCounter;
using testing::TLiveToken;

class TCounted : public TInterfacedObject {
 public:
  explicit TCounted(TLiveCounter& Counter, std::function<void()> OnDeath = nullptr)
      : FToken(Counter), FOnDeath(std::move(OnDeath)) {}

 protected:
  ~TCounted() override {
    if (FOnDeath) FOnDeath();
  }

 private:
  TLiveToken FToken;
  std::function<void()> FOnDeath;
};

IPtr<IInterface> Counted(TLiveCounter& Counter, std::function<void()> OnDeath = nullptr) {
  return IPtr<IInterface>(New<TCounted>(Counter, std::move(OnDeath)));
}

std::vector<std::string> Keys(const TIStringHashTable& Table) {
  std::vector<std::string> Result;
  for (auto Entry = Table.begin(); Entry != Table.end(); ++Entry) Result.push_back(Entry.Key());
  return Result;
}

// Records each store and clear, with what the table held at that moment.
class TRecordingTable : public TIStringHashTable {
 public:
  std::vector<std::string> Log;

  void Clear() override {
    TIStringHashTable::Clear();
    Log.push_back("clear");
  }

 protected:
  void PutValue(const std::string& Key, const IPtr<IInterface>& Value) override {
    TIStringHashTable::PutValue(Key, Value);
    Log.push_back(Key + (Get(Key) == Value ? " stored, count " : " missing, count ") +
                  std::to_string(Count()));
  }
};

TEST(IStringHashTable, LookupsAndMessages) {
  TLiveCounter Counter;
  TOwned<TIStringHashTable> Table = MakeOwned<TIStringHashTable>(101, 0.75, 47);
  const auto Warm = Counted(Counter);
  EXPECT_EQ(Table->Put("warm", Warm), nullptr);
  Table->SetItem("", Counted(Counter));
  EXPECT_EQ(Table->Count(), 2);
  EXPECT_EQ(Table->Get("warm"), Warm);
  EXPECT_EQ(Table->GetItem("warm"), Warm);
  EXPECT_EQ(Table->Get("Warm"), nullptr);  // keys are case-sensitive
  EXPECT_NE(Table->Get(""), nullptr);

  IPtr<IInterface> Found = Warm;
  EXPECT_FALSE(Table->ContainsKey("cold", Found));
  EXPECT_EQ(Found, nullptr);
  EXPECT_TRUE(Table->ContainsKey("warm", Found));
  EXPECT_EQ(Found, Warm);

  try {
    Table->GetItem("cold");
    FAIL();
  } catch (const EAQException& E) {
    EXPECT_STREQ(E.what(), "Key \"cold\" not found");
  }
  try {
    Table->GetItemByIndex(2);
    FAIL();
  } catch (const EListError& E) {
    EXPECT_STREQ(E.what(), "List index out of bounds (2)");
  }
  EXPECT_THROW(Table->GetItemByIndex(-1), EListError);
  EXPECT_EQ(Table->Remove("cold"), nullptr);
  EXPECT_EQ(Table->Count(), 2);
}

TEST(IStringHashTable, InvalidConstructionValuesRaise) {
  try {
    New<TIStringHashTable>(101, 0.0, 47);
    FAIL();
  } catch (const EAQException& E) {
    EXPECT_STREQ(E.what(), "Invalid hash table settings: capacity 101, load factor 0.0000, prime 47");
  }
  EXPECT_THROW(New<TIStringHashTable>(-1, 0.75, 47), EAQException);
  EXPECT_THROW(New<TIStringHashTable>(101, 0.75, 1), EAQException);
  EXPECT_NO_THROW(MakeOwned<TIStringHashTable>(0, 4.0, 2));
}

TEST(IStringHashTable, KeepsInsertionOrderThroughRemovalsAndReplacements) {
  TLiveCounter Counter;
  TOwned<TIStringHashTable> Table = MakeOwned<TIStringHashTable>();
  for (const char* Key : {"low", "medium", "high", "very high"}) Table->Put(Key, Counted(Counter));
  const auto High = Table->Get("high");

  const auto Medium = Table->Remove("medium");
  ASSERT_NE(Medium, nullptr);
  EXPECT_EQ(Table->Count(), 3);
  EXPECT_EQ(Keys(*Table), (std::vector<std::string>{"low", "high", "very high"}));
  EXPECT_EQ(Table->GetItemByIndex(1), High);

  // Re-putting a stored key replaces the value in place and hands back the old one.
  const auto NewLow = Counted(Counter);
  const auto OldLow = Table->Put("low", NewLow);
  EXPECT_NE(OldLow, nullptr);
  EXPECT_EQ(Table->GetItemByIndex(0), NewLow);
  Table->Put("medium", Medium);
  EXPECT_EQ(Keys(*Table), (std::vector<std::string>{"low", "high", "very high", "medium"}));
  EXPECT_EQ(Table->GetItemByIndex(3), Medium);
}

TEST(IStringHashTable, ManyRemovalsKeepTheOrderOfTheRest) {
  TOwned<TIStringHashTable> Big = MakeOwned<TIStringHashTable>();
  for (int I = 0; I < 5000; ++I) Big->Put(std::to_string(I), nullptr);
  for (int I = 0; I < 5000; I += 3) Big->Remove(std::to_string(I));
  int Expected = 1;
  for (const std::string& Key : Keys(*Big)) {
    EXPECT_EQ(Key, std::to_string(Expected));
    Expected += Expected % 3 == 1 ? 1 : 2;
  }
  IPtr<IInterface> Value;
  EXPECT_TRUE(Big->ContainsKey("4999", Value));
  for (int I = 0; I < 5000; ++I) Big->Remove(std::to_string(I));
  EXPECT_EQ(Big->Count(), 0);
  EXPECT_EQ(Big->begin(), Big->end());
}

TEST(IStringHashTable, ReleasesEveryReference) {
  TLiveCounter Counter;
  {
    TOwned<TIStringHashTable> Table = MakeOwned<TIStringHashTable>();
    for (int I = 0; I < 10; ++I) Table->Put(std::to_string(I), Counted(Counter));
    Table->Put("0", Counted(Counter));  // the replaced value goes
    EXPECT_EQ(Counter.Live(), 10);
    Table->Remove("1");
    EXPECT_EQ(Counter.Live(), 9);
    Table->Clear();
    EXPECT_EQ(Counter.Live(), 0);
    for (int I = 0; I < 3; ++I) Table->Put(std::to_string(I), Counted(Counter));
  }
  EXPECT_EQ(Counter.Live(), 0);
  EXPECT_EQ(Counter.Created(), 14);
}

TEST(IStringHashTable, ValueLeavesBeforeItIsReleased) {
  TLiveCounter Counter;
  TOwned<TIStringHashTable> Table = MakeOwned<TIStringHashTable>();
  std::vector<std::string> Seen;
  auto Watch = [&] { Seen.push_back(std::to_string(Table->Count()) + (Table->Get("a") ? " a" : " -")); };
  Table->Put("a", Counted(Counter, Watch));
  Table->Put("b", Counted(Counter, Watch));
  Table->Remove("a");  // dies here: the table no longer holds it
  Table->Clear();
  EXPECT_EQ(Seen, (std::vector<std::string>{"1 -", "0 -"}));
}

TEST(IStringHashTable, EnumeratorSurvivesChangesDuringTheWalk) {
  TOwned<TIStringHashTable> Table = MakeOwned<TIStringHashTable>();
  for (const char* Key : {"a", "b", "c", "d", "e"}) Table->Put(Key, nullptr);
  std::vector<std::string> Walked;
  for (auto Entry = Table->begin(); Entry != Table->end(); ++Entry) {
    Walked.push_back(Entry.Key());
    if (Entry.Key() == "a") {
      Table->Remove("b");
      Table->Remove("c");
      Table->Remove("d");  // more than half of the slots are unused now: the table compacts
      Table->Put("f", nullptr);
    }
  }
  EXPECT_EQ(Walked, (std::vector<std::string>{"a", "e", "f"}));
  Table->Clear();
  EXPECT_EQ(Table->begin(), Table->end());
}

TEST(IStringHashTable, PutValueHookRunsAfterEveryStore) {
  TLiveCounter Counter;
  TOwned<TRecordingTable> Table = MakeOwned<TRecordingTable>();
  Table->Put("a", Counted(Counter));
  Table->SetItem("b", Counted(Counter));
  Table->Put("a", Counted(Counter));
  EXPECT_EQ(Table->Log,
            (std::vector<std::string>{"a stored, count 1", "b stored, count 2", "a stored, count 2"}));

  // Assigning from another table clears through the override, then stores in the source's order.
  TOwned<TIStringHashTable> Source = MakeOwned<TIStringHashTable>();
  Source->Put("y", Counted(Counter));
  Source->Put("x", Counted(Counter));
  Table->Log.clear();
  Table->Assign(Source.get());
  EXPECT_EQ(Table->Log, (std::vector<std::string>{"clear", "y stored, count 1", "x stored, count 2"}));
  EXPECT_EQ(Table->GetItemByIndex(0), Source->Get("y"));
  EXPECT_EQ(Counter.Live(), 2);

  TOwned<TIStringList> NotATable = MakeOwned<TIStringList>();
  EXPECT_THROW(Table->Assign(NotATable.get()), EConvertError);
}

// Reports each value handed to PutData.
class TRecordingList : public TIStringList {
 public:
  std::vector<std::string> Log;
  void PutData(int Index, const IPtr<IInterface>& Value) override {
    Log.push_back(Strings(Index) + (GetData(Index) ? " replaced" : " new") + (Value ? " value" : " nil"));
    TIStringList::PutData(Index, Value);
  }
};

TEST(IStringList, EntriesDataAndHooks) {
  TLiveCounter Counter;
  {
    TOwned<TRecordingList> List = MakeOwned<TRecordingList>();
    const auto First = Counted(Counter);
    EXPECT_EQ(List->Add("x", First), 0);
    EXPECT_EQ(List->Add("y", nullptr), 1);
    List->Add("X", Counted(Counter));
    List->PutData(1, Counted(Counter));
    List->PutData(0, nullptr);
    EXPECT_EQ(List->Log, (std::vector<std::string>{"x new value", "y new nil", "X new value", "y new value",
                                                   "x replaced nil"}));
    EXPECT_EQ(List->IndexOf("X"), 2);
    EXPECT_EQ(List->IndexOf("z"), -1);
    EXPECT_EQ(List->Strings(1), "y");
    EXPECT_EQ(List->GetData(0), nullptr);
    EXPECT_EQ(Counter.Live(), 3);

    List->Delete(1);
    EXPECT_EQ(Counter.Live(), 2);
    EXPECT_EQ(List->Strings(1), "X");
    EXPECT_THROW(List->Strings(2), EListError);
    EXPECT_THROW(List->PutData(-1, nullptr), EListError);
    EXPECT_THROW(List->Delete(2), EListError);
    List->Clear();
    EXPECT_EQ(List->Count(), 0);
    EXPECT_EQ(Counter.Live(), 1);  // First is still held here
    List->Add("z", Counted(Counter));
  }
  EXPECT_EQ(Counter.Live(), 0);
}

TEST(Stacks, InterfaceStackIsLastInFirstOutAndReleases) {
  TLiveCounter Counter;
  {
    TOwned<TIStack> Stack = MakeOwned<TIStack>();
    const auto A = Counted(Counter), B = Counted(Counter);
    Stack->Push(A);
    Stack->Push(B);
    EXPECT_EQ(Stack->Count(), 2);
    EXPECT_EQ(Stack->Peek(), B);
    EXPECT_EQ(Stack->Pop(), B);
    EXPECT_EQ(Stack->Pop(), A);
    EXPECT_TRUE(Stack->IsEmpty());
    try {
      Stack->Pop();
      FAIL();
    } catch (const EAQException& E) {
      EXPECT_STREQ(E.what(), "Stack is empty");
    }
    EXPECT_THROW(Stack->Peek(), EAQException);

    Stack->Push(Counted(Counter));
    Stack->Push(Counted(Counter));
    EXPECT_EQ(Counter.Live(), 4);
    Stack->Clear();
    EXPECT_EQ(Counter.Live(), 2);
    Stack->Push(Counted(Counter));
  }
  EXPECT_EQ(Counter.Live(), 0);
}

TEST(Stacks, ObjectStackDoesNotOwn) {
  TOwned<TIStringList> A = MakeOwned<TIStringList>(), B = MakeOwned<TIStringList>();
  {
    TOwned<TGStack> Stack = MakeOwned<TGStack>();
    Stack->Add(A.get());
    Stack->Push(B.get());
    EXPECT_EQ(Stack->Peek(), B.get());
    EXPECT_EQ(Stack->Pop(), B.get());
    EXPECT_EQ(Stack->Count(), 1);
    EXPECT_THROW(
        {
          Stack->Pop();
          Stack->Pop();
        },
        EAQException);
    Stack->Add(A.get());
    Stack->Clear();
    EXPECT_TRUE(Stack->IsEmpty());
    Stack->Add(B.get());
  }
  // Both objects outlive the stack (ASan reports a double free otherwise).
  A->Add("still here", nullptr);
  B->Add("still here", nullptr);
}

}  // namespace
}  // namespace fuzzy
