#include "fuzzy/companion/interface_collections.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
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
using TStrings = std::vector<std::string>;

class TCounted : public TInterfacedObject {
 public:
  TCounted(TLiveCounter& Counter, std::function<void()> OnDeath)
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

std::string CompanionError(const std::function<void()>& Action) {
  try {
    Action();
  } catch (const EAQException& E) {
    return E.what();
  }
  return "no exception";
}

TStrings Keys(const TIStringHashTable& Table) {
  TStrings Result;
  for (auto Entry = Table.begin(); Entry != Table.end(); ++Entry) Result.push_back(Entry.Key());
  return Result;
}

// Records each store, with what the table held at that moment, and each clear.
class TRecordingTable : public TIStringHashTable {
 public:
  TStrings Log;
  void Clear() override {
    TIStringHashTable::Clear();
    Log.push_back("clear");
  }

 protected:
  void PutValue(const std::string& Key, const IPtr<IInterface>& Value) override {
    TIStringHashTable::PutValue(Key, Value);
    Log.push_back(Key + (Get(Key) == Value ? " stored " : " missing ") + std::to_string(Count()));
  }
};

TEST(IStringHashTable, LookupsAndMessages) {
  TLiveCounter Counter;
  auto Table = MakeOwned<TIStringHashTable>(101, 0.75, 47);
  const auto Warm = Counted(Counter);
  EXPECT_EQ(Table->Put("warm", Warm), nullptr);
  EXPECT_EQ(Table->GetItem("warm"), Warm);
  EXPECT_EQ(Table->Get("Warm"), nullptr);  // keys are case-sensitive
  IPtr<IInterface> Found = Warm;
  EXPECT_FALSE(Table->ContainsKey("cold", Found));
  EXPECT_EQ(Found, nullptr);
  EXPECT_TRUE(Table->ContainsKey("warm", Found));
  EXPECT_EQ(Found, Warm);
  EXPECT_EQ(Table->Remove("cold"), nullptr);

  EXPECT_EQ(CompanionError([&] { Table->GetItem("cold"); }), "Key \"cold\" not found");
  EXPECT_THROW(Table->GetItemByIndex(1), EListError);
  EXPECT_EQ(CompanionError([] { MakeOwned<TIStringHashTable>(101, 0.0, 47); }),
            "Invalid hash table settings: capacity 101, load factor 0.0000, prime 47");
  EXPECT_THROW(MakeOwned<TIStringHashTable>(101, 0.75, 1), EAQException);
  // A tiny load factor still gives an index of sensible size.
  auto Sparse = MakeOwned<TIStringHashTable>(101, 1e-300, 47);
  Sparse->Put("warm", Warm);
  EXPECT_EQ(Sparse->Get("warm"), Warm);
}

TEST(IStringHashTable, KeepsInsertionOrderThroughRemovalsAndReplacements) {
  TLiveCounter Counter;
  auto Table = MakeOwned<TIStringHashTable>();
  for (const char* Key : {"low", "medium", "high", "very high"}) Table->Put(Key, Counted(Counter));
  const auto High = Table->Get("high");
  const auto Medium = Table->Remove("medium");
  EXPECT_EQ(Keys(*Table), (TStrings{"low", "high", "very high"}));
  EXPECT_EQ(Table->GetItemByIndex(1), High);

  // Re-putting a stored key replaces the value in place and hands back the old one.
  const auto NewLow = Counted(Counter);
  EXPECT_NE(Table->Put("low", NewLow), nullptr);
  EXPECT_EQ(Table->GetItemByIndex(0), NewLow);
  Table->Put("medium", Medium);
  EXPECT_EQ(Keys(*Table), (TStrings{"low", "high", "very high", "medium"}));

  // Many removals keep the order of what is left.
  auto Big = MakeOwned<TIStringHashTable>();
  for (int I = 0; I < 3000; ++I) Big->Put(std::to_string(I), nullptr);
  for (int I = 0; I < 3000; I += 3) Big->Remove(std::to_string(I));
  const TStrings Left = Keys(*Big);
  ASSERT_EQ(Left.size(), 2000u);
  for (std::size_t Index = 0; Index < Left.size(); ++Index)
    ASSERT_EQ(Left[Index], std::to_string(Index / 2 * 3 + 1 + Index % 2));
}

// Random puts, removals and clears against a plain list of entries in table order: every key is
// found exactly while stored, whatever runs of neighbours removals break up in the index.
TEST(IStringHashTable, AgreesWithAPlainListThroughRandomChanges) {
  TLiveCounter Counter;
  auto Table = MakeOwned<TIStringHashTable>(4, 2.0, 31);
  std::vector<std::pair<std::string, IPtr<IInterface>>> Expected;
  std::uint32_t Seed = 12345;
  const auto Random = [&Seed](std::uint32_t Below) {
    Seed = Seed * 1664525u + 1013904223u;
    return (Seed >> 8) % Below;
  };
  for (int Step = 0; Step < 20000; ++Step) {
    const std::string Key = std::to_string(Random(60));
    const auto Stored = std::find_if(Expected.begin(), Expected.end(), [&](const auto& E) { return E.first == Key; });
    const std::uint32_t Action = Random(100);
    if (Action < 55) {
      const IPtr<IInterface> Value = Counted(Counter);
      Table->Put(Key, Value);
      if (Stored != Expected.end())
        Stored->second = Value;
      else
        Expected.emplace_back(Key, Value);
    } else if (Action < 99) {
      ASSERT_EQ(Table->Remove(Key), Stored == Expected.end() ? nullptr : Stored->second);
      if (Stored != Expected.end()) Expected.erase(Stored);
    } else {
      Table->Clear();
      Expected.clear();
    }
    ASSERT_EQ(Table->Count(), static_cast<int>(Expected.size()));
    for (int K = 0; K < 60; ++K) {
      const std::string Probe = std::to_string(K);
      const auto E = std::find_if(Expected.begin(), Expected.end(), [&](const auto& X) { return X.first == Probe; });
      ASSERT_EQ(Table->Get(Probe), E == Expected.end() ? nullptr : E->second) << Probe << " at step " << Step;
    }
  }
  TStrings Order;
  for (const auto& E : Expected) Order.push_back(E.first);
  EXPECT_EQ(Keys(*Table), Order);
  Table.reset();
  Expected.clear();
  EXPECT_EQ(Counter.Live(), 0);
}

TEST(IStringHashTable, ReleasesEveryReferenceAfterTheEntryHasLeft) {
  TLiveCounter Counter;
  {
    auto Table = MakeOwned<TIStringHashTable>();
    TStrings Seen;
    auto Watch = [&] { Seen.push_back(std::to_string(Table->Count()) + (Table->Get("a") ? " a" : " -")); };
    Table->Put("a", Counted(Counter, Watch));
    Table->Put("b", Counted(Counter, Watch));
    Table->Put("c", Counted(Counter));
    Table->Put("c", Counted(Counter));
    EXPECT_EQ(Counter.Live(), 3);
    Table->Remove("a");
    Table->Clear();
    EXPECT_EQ(Seen, (TStrings{"2 -", "0 -"}));
    EXPECT_EQ(Counter.Live(), 0);
    Table->Put("d", Counted(Counter));
  }
  EXPECT_EQ(Counter.Live(), 0);
}

TEST(IStringHashTable, EnumeratorSurvivesChangesDuringTheWalk) {
  auto Table = MakeOwned<TIStringHashTable>();
  for (const char* Key : {"a", "b", "c", "d", "e"}) Table->Put(Key, nullptr);
  TStrings Walked;
  for (auto Entry = Table->begin(); Entry != Table->end(); ++Entry) {
    Walked.push_back(Entry.Key());
    if (Entry.Key() != "a") continue;
    for (const char* Key : {"b", "c", "d"}) Table->Remove(Key);  // the table compacts
    Table->Put("f", nullptr);
  }
  EXPECT_EQ(Walked, (TStrings{"a", "e", "f"}));
}

TEST(IStringHashTable, PutValueHookRunsAfterEveryStore) {
  TLiveCounter Counter;
  auto Table = MakeOwned<TRecordingTable>();
  Table->Put("a", Counted(Counter));
  Table->SetItem("b", Counted(Counter));
  Table->Put("a", Counted(Counter));
  EXPECT_EQ(Table->Log, (TStrings{"a stored 1", "b stored 2", "a stored 2"}));

  // Assigning another table clears through the override, then stores in the source's order.
  auto Source = MakeOwned<TIStringHashTable>();
  Source->Put("y", Counted(Counter));
  Source->Put("x", Counted(Counter));
  Table->Log.clear();
  Table->Assign(Source.get());
  EXPECT_EQ(Table->Log, (TStrings{"clear", "y stored 1", "x stored 2"}));
  EXPECT_EQ(Counter.Live(), 2);
  EXPECT_THROW(Table->Assign(MakeOwned<TIStringList>().get()), EConvertError);
}

// Reports each value handed to PutData.
class TRecordingList : public TIStringList {
 public:
  TStrings Log;
  void PutData(int Index, const IPtr<IInterface>& Value) override {
    Log.push_back(Strings(Index) + (GetData(Index) ? " replaced" : " new") + (Value ? " value" : " nil"));
    TIStringList::PutData(Index, Value);
  }
};

TEST(IStringList, EntriesDataAndHooks) {
  TLiveCounter Counter;
  {
    auto List = MakeOwned<TRecordingList>();
    EXPECT_EQ(List->Add("x", Counted(Counter)), 0);
    List->Add("y", nullptr);
    List->Add("X", Counted(Counter));
    List->PutData(0, nullptr);
    EXPECT_EQ(List->Log, (TStrings{"x new value", "y new nil", "X new value", "x replaced nil"}));
    EXPECT_EQ(List->IndexOf("X"), 2);
    EXPECT_EQ(List->IndexOf("z"), -1);
    EXPECT_EQ(Counter.Live(), 1);
    List->Delete(1);
    EXPECT_EQ(List->Strings(1), "X");
    EXPECT_THROW(List->GetData(2), EListError);
    List->Add("z", Counted(Counter));
  }
  EXPECT_EQ(Counter.Live(), 0);
}

TEST(Stacks, LastInFirstOutReleaseAndEmptyErrors) {
  TLiveCounter Counter;
  {
    auto Stack = MakeOwned<TIStack>();
    const auto A = Counted(Counter), B = Counted(Counter);
    Stack->Push(A);
    Stack->Push(B);
    EXPECT_EQ(Stack->Peek(), B);
    EXPECT_EQ(Stack->Pop(), B);
    EXPECT_EQ(Stack->Pop(), A);
    EXPECT_TRUE(Stack->IsEmpty());
    EXPECT_EQ(CompanionError([&] { Stack->Pop(); }), "Stack is empty");
    Stack->Push(Counted(Counter));
    Stack->Clear();
    EXPECT_EQ(Counter.Live(), 2);
    Stack->Push(Counted(Counter));
  }
  EXPECT_EQ(Counter.Live(), 0);

  // The object stack does not own: the objects outlive it (ASan reports a double free otherwise).
  auto Object = MakeOwned<TIStringList>();
  {
    auto Objects = MakeOwned<TGStack>();
    Objects->Add(Object.get());
    Objects->Push(Object.get());
    EXPECT_EQ(Objects->Count(), 2);
    EXPECT_EQ(Objects->Pop(), Object.get());
    EXPECT_EQ(Objects->Peek(), Object.get());
    Objects->Clear();
    EXPECT_THROW(Objects->Peek(), EAQException);
    Objects->Add(Object.get());
  }
  Object->Add("still here", nullptr);
}

}  // namespace
}  // namespace fuzzy
