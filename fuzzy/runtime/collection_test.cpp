#include "fuzzy/runtime/collection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fuzzy/runtime/exception.h"
#include "fuzzy/runtime/update_bracket.h"
#include "fuzzy/testing/live_instances.h"

namespace fuzzy {
namespace {

using testing::TLiveCounter;
using testing::TLiveToken;

TLiveCounter ItemCounter;
int NextItemId = 0;

class TTestItem : public TCollectionItem {
 public:
  explicit TTestItem(TCollection* Collection)
      : TCollectionItem(Collection), FId(++NextItemId), FToken(ItemCounter) {}
  std::string ClassName() const override { return "TTestItem"; }

  int Id() const { return FId; }
  int Value() const { return FValue; }
  void SetValue(int Value) {
    if (Value == FValue) return;
    FValue = Value;
    Changed(false);
  }
  void ChangeAll() { Changed(true); }

  void Assign(const TPersistent* Source) override {
    if (const auto* Item = dynamic_cast<const TTestItem*>(Source)) {
      SetValue(Item->FValue);
      return;
    }
    TCollectionItem::Assign(Source);
  }

 private:
  int FId;
  int FValue = 0;
  TLiveToken FToken;
};

// Records every notification and update as text: "added 1", "extracting 1", "deleting 1",
// "update 1" (one item) and "update nil" (the whole collection).
class TTestCollection : public TCollection {
 public:
  TTestCollection() : TCollection(CreateItem<TTestItem>) {}
  explicit TTestCollection(TCollectionItemClass ItemClass) : TCollection(ItemClass) {}
  std::string ClassName() const override { return "TTestCollection"; }

  TTestItem* Add() { return static_cast<TTestItem*>(TCollection::Add()); }
  TTestItem* Item(int Index) const { return static_cast<TTestItem*>(GetItem(Index)); }
  using TCollection::AppendQuietly;
  using TCollection::RemoveLastQuietly;
  std::vector<std::string> Log;

 protected:
  void Update(TCollectionItem* Item) override {
    Log.push_back(Item ? "update " + std::to_string(Id(Item)) : std::string("update nil"));
  }
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override {
    const char* Names[] = {"added ", "extracting ", "deleting "};
    Log.push_back(Names[static_cast<int>(Action)] + std::to_string(Id(Item)));
  }

 private:
  static int Id(TCollectionItem* Item) {
    const auto* Test = dynamic_cast<TTestItem*>(Item);
    return Test ? Test->Id() : -1;
  }
};

using Log = std::vector<std::string>;

class CollectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    NextItemId = 0;
    LiveBefore = ItemCounter.Live();
  }
  void TearDown() override { EXPECT_EQ(ItemCounter.Live(), LiveBefore) << "items leaked"; }
  int Live() const { return ItemCounter.Live() - LiveBefore; }

  int LiveBefore = 0;
};

std::vector<int> Ids(const TTestCollection& Collection) {
  std::vector<int> Result;
  for (int I = 0; I < Collection.Count(); ++I) Result.push_back(Collection.Item(I)->Id());
  return Result;
}

TEST_F(CollectionTest, AddNotifiesAddedThenUpdatesTheWholeCollection) {
  auto Collection = MakeOwned<TTestCollection>();
  TTestItem* Item = Collection->Add();
  EXPECT_EQ(Collection->Log, (Log{"added 1", "update nil"}));
  EXPECT_EQ(Item->Collection(), Collection.get());
  EXPECT_EQ(Item->Index(), 0);
  EXPECT_EQ(Collection->Count(), 1);
  EXPECT_EQ(Live(), 1);
}

TEST_F(CollectionTest, QuietAppendAndRemoveKeepPositionsAndCountChangesWithoutNotifying) {
  auto Collection = MakeOwned<TTestCollection>();
  Collection->Add();
  Collection->Log.clear();
  TTestItem* Item = New<TTestItem>(nullptr);
  const auto Before = Collection->ChangeCount();
  Collection->AppendQuietly(Item);
  EXPECT_EQ(Item->Collection(), Collection.get());
  EXPECT_EQ(Item->Index(), 1);
  EXPECT_GT(Collection->ChangeCount(), Before);
  EXPECT_EQ(Collection->RemoveLastQuietly(), Item);
  EXPECT_EQ(Item->Collection(), nullptr);
  EXPECT_EQ(Collection->Count(), 1);
  EXPECT_TRUE(Collection->Log.empty());
  Item->Free();
}

TEST_F(CollectionTest, DeleteSendsDeletingThenExtractingOnceAndFreesTheItem) {
  auto Collection = MakeOwned<TTestCollection>();
  Collection->Add();
  Collection->Add();
  Collection->Log.clear();
  Collection->Delete(0);
  EXPECT_EQ(Collection->Log, (Log{"deleting 1", "extracting 1", "update nil"}));
  EXPECT_EQ(Ids(*Collection), (std::vector<int>{2}));
  EXPECT_EQ(Live(), 1);
}

TEST_F(CollectionTest, FreeOfAnItemSendsExtracting) {
  auto Collection = MakeOwned<TTestCollection>();
  Collection->Add();
  TTestItem* Second = Collection->Add();
  Collection->Add();
  Collection->Log.clear();
  Second->Free();
  EXPECT_EQ(Collection->Log, (Log{"extracting 2", "update nil"}));
  EXPECT_EQ(Ids(*Collection), (std::vector<int>{1, 3}));
  EXPECT_EQ(Live(), 2);
}

TEST_F(CollectionTest, SetCollectionMovesAnItemBetweenCollections) {
  auto Source = MakeOwned<TTestCollection>();
  auto Dest = MakeOwned<TTestCollection>();
  TTestItem* Item = Source->Add();
  Source->Log.clear();
  Item->SetCollection(Dest.get());
  EXPECT_EQ(Source->Log, (Log{"extracting 1", "update nil"}));
  EXPECT_EQ(Dest->Log, (Log{"added 1", "update nil"}));
  EXPECT_EQ(Item->Collection(), Dest.get());
  EXPECT_EQ(Source->Count(), 0);
  EXPECT_EQ(Dest->Count(), 1);

  Dest->Log.clear();
  Item->SetCollection(Dest.get());  // already there
  EXPECT_TRUE(Dest->Log.empty());

  Item->SetCollection(nullptr);
  EXPECT_EQ(Dest->Log, (Log{"extracting 1", "update nil"}));
  EXPECT_EQ(Item->Collection(), nullptr);
  EXPECT_EQ(Item->Index(), -1);
  Item->Free();
  EXPECT_EQ(Live(), 0);
}

TEST_F(CollectionTest, AChangeOfOneItemUpdatesThatItemAndChangedTrueTheWholeCollection) {
  auto Collection = MakeOwned<TTestCollection>();
  TTestItem* Item = Collection->Add();
  Collection->Log.clear();
  Item->SetValue(5);
  Item->ChangeAll();
  EXPECT_EQ(Collection->Log, (Log{"update 1", "update nil"}));
}

TEST_F(CollectionTest, NoUpdateInsideBeginEndUpdateAndOneFromTheOutermostEndUpdate) {
  auto Collection = MakeOwned<TTestCollection>();
  TTestItem* Item = Collection->Add();
  Collection->Log.clear();
  Collection->BeginUpdate();
  Collection->BeginUpdate();
  Item->SetValue(1);
  Collection->Add();
  Collection->Delete(0);
  EXPECT_EQ(Collection->Log, (Log{"added 2", "deleting 1", "extracting 1"}));
  Collection->EndUpdate();
  EXPECT_EQ(Collection->UpdateCount(), 1);
  EXPECT_EQ(Collection->Log.size(), 3u) << "no update from an inner EndUpdate";
  Collection->EndUpdate();
  EXPECT_EQ(Collection->UpdateCount(), 0);
  EXPECT_EQ(Collection->Log, (Log{"added 2", "deleting 1", "extracting 1", "update nil"}));
}

TEST_F(CollectionTest, InsertAndSetIndexMoveAndShift) {
  auto Collection = MakeOwned<TTestCollection>();
  for (int I = 0; I < 4; ++I) Collection->Add();  // 1 2 3 4
  Collection->Item(3)->SetIndex(1);
  EXPECT_EQ(Ids(*Collection), (std::vector<int>{1, 4, 2, 3}));
  Collection->Item(0)->SetIndex(3);
  EXPECT_EQ(Ids(*Collection), (std::vector<int>{4, 2, 3, 1}));
  EXPECT_EQ(Collection->Item(3)->Index(), 3);

  Collection->Log.clear();
  Collection->Item(2)->SetIndex(2);  // no move, no update
  EXPECT_TRUE(Collection->Log.empty());
  Collection->Item(2)->SetIndex(0);
  EXPECT_EQ(Collection->Log, (Log{"update nil"}));
  EXPECT_EQ(Ids(*Collection), (std::vector<int>{3, 4, 2, 1}));

  Collection->Log.clear();
  TCollectionItem* Inserted = Collection->Insert(1);
  EXPECT_EQ(Inserted->Index(), 1);
  EXPECT_EQ(Ids(*Collection), (std::vector<int>{3, 5, 4, 2, 1}));
  EXPECT_EQ(Collection->Log, (Log{"added 5", "update nil", "update nil"}));
}

// Positions stay right after the items around them moved, were deleted or moved to another
// collection, whatever an item remembers of where it was.
TEST_F(CollectionTest, PositionsFollowMovesAndRemovals) {
  auto Collection = MakeOwned<TTestCollection>();
  auto Other = MakeOwned<TTestCollection>();
  std::vector<TTestItem*> Items;
  for (int I = 0; I < 6; ++I) Items.push_back(Collection->Add());
  auto ExpectPositions = [&] {
    for (TTestItem* Item : Items) {
      const auto& Raw = Collection->RawItems();
      const auto Found = std::find(Raw.begin(), Raw.end(), Item);
      const int Expected = Found == Raw.end() ? -1 : static_cast<int>(Found - Raw.begin());
      EXPECT_EQ(Collection->IndexOfItem(Item), Expected) << Item->Id();
      if (Item->Collection() == Collection.get()) {
        EXPECT_EQ(Item->Index(), Expected) << Item->Id();
      }
    }
  };
  ExpectPositions();
  Collection->Item(5)->SetIndex(0);
  ExpectPositions();
  Items.erase(std::find(Items.begin(), Items.end(), Collection->Item(2)));
  Collection->Delete(2);
  ExpectPositions();
  Items[0]->SetCollection(Other.get());
  EXPECT_EQ(Items[0]->Index(), 0);
  EXPECT_EQ(Collection->IndexOfItem(Items[0]), -1);
  ExpectPositions();
  Collection->Item(0)->SetIndex(Collection->Count() - 1);
  ExpectPositions();
}

TEST_F(CollectionTest, BadIndexRaisesListError) {
  auto Collection = MakeOwned<TTestCollection>();
  for (int I = 0; I < 3; ++I) Collection->Add();
  try {
    Collection->GetItem(5);
    FAIL() << "no exception";
  } catch (const EListError& E) {
    EXPECT_STREQ(E.what(), "List index out of bounds (5)");
  }
  EXPECT_THROW(Collection->GetItem(-1), EListError);
  EXPECT_THROW(Collection->GetItem(3), EListError);
  EXPECT_THROW(Collection->Delete(3), EListError);
  try {
    Collection->Item(0)->SetIndex(5);
    FAIL() << "no exception";
  } catch (const EListError& E) {
    EXPECT_STREQ(E.what(), "List index out of bounds (5)");
  }
  EXPECT_EQ(Ids(*Collection), (std::vector<int>{1, 2, 3}));
}

TEST_F(CollectionTest, ClearExtractsEveryItemInOneUpdate) {
  auto Collection = MakeOwned<TTestCollection>();
  for (int I = 0; I < 3; ++I) Collection->Add();
  Collection->Log.clear();
  Collection->Clear();
  EXPECT_EQ(Collection->Log, (Log{"extracting 3", "extracting 2", "extracting 1", "update nil"}));
  EXPECT_EQ(Live(), 0);
  Collection->Log.clear();
  Collection->Clear();
  EXPECT_TRUE(Collection->Log.empty());
}

TEST_F(CollectionTest, FreeOfTheCollectionFreesItsItemsWithoutUpdate) {
  auto* Collection = New<TTestCollection>();
  for (int I = 0; I < 3; ++I) Collection->Add();
  EXPECT_EQ(Live(), 3);
  std::vector<std::string> Seen;
  // The log dies with the collection: watch it through a derived class instead.
  struct TWatched : TTestCollection {
    std::vector<std::string>* Out = nullptr;
    void BeforeDestruction() override {
      TTestCollection::BeforeDestruction();
      *Out = Log;
    }
  };
  auto* Watched = New<TWatched>();
  Watched->Out = &Seen;
  Watched->Add();
  Watched->Add();
  Watched->Log.clear();
  Watched->Free();
  EXPECT_EQ(Seen, (Log{"extracting 5", "extracting 4"}));
  Collection->Free();
  EXPECT_EQ(Live(), 0);
}

TEST_F(CollectionTest, AssignClearsAndCopiesEveryItemInOneBatch) {
  auto Source = MakeOwned<TTestCollection>();
  for (int V : {10, 20, 30}) Source->Add()->SetValue(V);
  auto Dest = MakeOwned<TTestCollection>();
  Dest->Add()->SetValue(1);
  Dest->Add()->SetValue(2);
  Dest->Log.clear();
  Dest->Assign(Source.get());
  EXPECT_EQ(Dest->Log, (Log{"extracting 5", "extracting 4", "added 6", "added 7", "added 8", "update nil"}));
  ASSERT_EQ(Dest->Count(), 3);
  EXPECT_EQ(Dest->Item(0)->Value(), 10);
  EXPECT_EQ(Dest->Item(1)->Value(), 20);
  EXPECT_EQ(Dest->Item(2)->Value(), 30);
  EXPECT_NE(Dest->Item(0), Source->Item(0)) << "items are copies";
  EXPECT_EQ(Source->Count(), 3);

  Dest->Log.clear();
  Dest->Assign(Dest.get());
  EXPECT_TRUE(Dest->Log.empty()) << "assigning a collection to itself does nothing";
  EXPECT_EQ(Dest->Count(), 3);
}

TEST_F(CollectionTest, SetItemAssignsIntoTheExistingItem) {
  auto Collection = MakeOwned<TTestCollection>();
  TTestItem* First = Collection->Add();
  TTestItem* Second = Collection->Add();
  Second->SetValue(7);
  Collection->SetItem(0, Second);
  EXPECT_EQ(Collection->Item(0), First);
  EXPECT_EQ(First->Value(), 7);
}

TEST_F(CollectionTest, AssignOfSomethingElseRaisesConvertError) {
  auto Collection = MakeOwned<TTestCollection>();
  auto Item = MakeOwned<TTestItem>(nullptr);
  try {
    Collection->Assign(Item.get());
    FAIL() << "no exception";
  } catch (const EConvertError& E) {
    EXPECT_STREQ(E.what(), "Cannot assign a TTestItem to a TTestCollection");
  }
}

// Two-phase creation: the item class factory of a derived collection makes a derived item, whose
// AfterConstruction calls a virtual that the derived item overrides; the collection's added
// notification sees the complete derived item.
class TBaseItem : public TCollectionItem {
 public:
  explicit TBaseItem(TCollection* Collection) : TCollectionItem(Collection) {}
  std::string ClassName() const override { return "TBaseItem"; }
  void AfterConstruction() override {
    CreateParts();
    TCollectionItem::AfterConstruction();  // joins the collection
  }
  virtual std::string Kind() const { return "base"; }
  std::string Parts;

 protected:
  virtual void CreateParts() { Parts = "base parts"; }
};

class TDerivedItem : public TBaseItem {
 public:
  using TBaseItem::TBaseItem;
  std::string ClassName() const override { return "TDerivedItem"; }
  std::string Kind() const override { return "derived"; }

 protected:
  void CreateParts() override { Parts = "derived parts"; }
};

class TBaseCollection : public TCollection {
 public:
  TBaseCollection() : TCollection(CreateItem<TBaseItem>) {}
  explicit TBaseCollection(TCollectionItemClass ItemClass) : TCollection(ItemClass) {}
  std::vector<std::string> Seen;

 protected:
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override {
    if (Action == TCollectionNotification::cnAdded) {
      const auto* Base = static_cast<TBaseItem*>(Item);
      Seen.push_back(Item->ClassName() + " " + Base->Kind() + " " + Base->Parts);
    }
  }
};

class TDerivedCollection : public TBaseCollection {
 public:
  TDerivedCollection() : TBaseCollection(CreateItem<TDerivedItem>) {}
};

TEST_F(CollectionTest, TwoPhaseCreationThroughTheItemClassFactory) {
  auto Base = MakeOwned<TBaseCollection>();
  Base->Add();
  EXPECT_EQ(Base->Seen, (Log{"TBaseItem base base parts"}));

  auto Derived = MakeOwned<TDerivedCollection>();
  TCollectionItem* Item = Derived->Add();
  ASSERT_NE(dynamic_cast<TDerivedItem*>(Item), nullptr);
  EXPECT_EQ(static_cast<TDerivedItem*>(Item)->Parts, "derived parts");
  EXPECT_EQ(Derived->Seen, (Log{"TDerivedItem derived derived parts"}));
  EXPECT_EQ(Item->GetDisplayName(), "TDerivedItem");
}

TEST_F(CollectionTest, OwnedCollectionReportsItsOwner) {
  struct TOwnerObject : TPersistent {};
  struct TTestOwned : TOwnedCollection {
    explicit TTestOwned(TPersistent* Owner) : TOwnedCollection(Owner, CreateItem<TTestItem>) {}
  };
  auto Owner = MakeOwned<TOwnerObject>();
  auto Owned = MakeOwned<TTestOwned>(Owner.get());
  EXPECT_EQ(Owned->Owner(), Owner.get());
  auto Plain = MakeOwned<TTestCollection>();
  EXPECT_EQ(Plain->Owner(), nullptr);
}

// The bracket's closing update may raise: on a normal exit that error passes on; while an error
// from inside the bracket unwinds, the closing one is dropped and the first one arrives.
TEST(UpdateBracket, ClosingErrorsPassOnUnlessAnotherUnwinds) {
  class TFailingCollection : public TCollection {
   public:
    TFailingCollection() : TCollection(CreateItem<TTestItem>) {}
    void Update(TCollectionItem*) override { throw EListError("closing"); }
  };
  auto Collection = MakeOwned<TFailingCollection>();
  EXPECT_THROW(
      {
        TUpdateBracket Bracket(*Collection);
        Collection->Add();
      },
      EListError);
  try {
    TUpdateBracket Bracket(*Collection);
    throw EConvertError("inside");
  } catch (const EConvertError& E) {
    EXPECT_STREQ(E.what(), "inside");
  } catch (const EListError&) {
    ADD_FAILURE() << "the closing error replaced the first one";
  }
  EXPECT_EQ(Collection->UpdateCount(), 0);

  // The same with the scope given as a function.
  EXPECT_THROW(WithinUpdate(*Collection, [&] { Collection->Add(); }), EListError);
  try {
    WithinUpdate(*Collection, [] { throw EConvertError("inside"); });
  } catch (const EConvertError& E) {
    EXPECT_STREQ(E.what(), "inside");
  } catch (const EListError&) {
    ADD_FAILURE() << "the closing error replaced the first one";
  }
  EXPECT_EQ(Collection->UpdateCount(), 0);
  EXPECT_EQ(Collection->Count(), 2);
}

}  // namespace
}  // namespace fuzzy
