#pragma once
// Owned collections of items with change and membership notification.
//
// A collection owns its items: Delete, Clear and the collection's own Free() free them, and an
// item that is freed leaves its collection first. Items are made by the collection's item class
// (a factory), so Add() makes the right type.
//
// Notification: Notify(Item, Action) reports an item added, being extracted (it leaves the
// collection for any reason: free, delete, clear, move; sent once, while the item is still in
// place) or about to be deleted (Delete only, before the extraction). Update(Item) reports a
// change: of one item (Item's Changed(false)) or of the whole collection (nullptr: add, remove,
// move, clear, the outermost EndUpdate). No Update is delivered between BeginUpdate and EndUpdate.
//
//   TOwned<TFuzzyLogic> Logic = MakeOwned<TFuzzyLogic>(nullptr);
//   TFuzzyVariable* Tip = Logic->Items().Add("tip");   // made by the collection's item class
//   Tip->Free();                                         // leaves the collection (extracting notified)

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzzy/runtime/exception.h"
#include "fuzzy/runtime/object.h"

namespace fuzzy {

class TCollection;

enum class TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
 public:
  std::string ClassName() const override { return "TCollectionItem"; }

  TCollection* Collection() const { return FCollection; }
  // Moves the item to another collection (or out of any, with nullptr).
  virtual void SetCollection(TCollection* Value);
  // Position in the collection, -1 when in none.
  int Index() const;
  // Moves the item to Value, shifting the others; raises EListError for a bad index.
  virtual void SetIndex(int Value);
  virtual std::string GetDisplayName() const { return ClassName(); }
  std::string DisplayName() const { return GetDisplayName(); }
  // Whether a lookup by name finds the item under Name; an item without a name is never found.
  virtual bool NamedAs(std::string_view) const { return false; }

  void AfterConstruction() override;
  void BeforeDestruction() override;

 protected:
  ~TCollectionItem() override = default;
  // The item joins Collection in AfterConstruction, so that the collection's notification sees
  // the complete item.
  explicit TCollectionItem(TCollection* Collection) : FJoinCollection(Collection) {}
  // Reports a change of this item (AllItems false) or of the whole collection (true).
  void Changed(bool AllItems);
  TPersistent* GetOwner() const override;

 private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
  TCollection* FJoinCollection;
  // Where the item was last seen in its collection: checked first by every lookup of its position.
  // A lookup is a const read that writes the hint, so concurrent readers share it atomically (any
  // value they store is a position the item held, and a stale one only costs a search).
  void SetIndexHint(int Index) const { FIndexHint.store(Index, std::memory_order_relaxed); }
  mutable std::atomic<int> FIndexHint{-1};
};

// The factory that makes the items of a collection through the two-phase path.
using TCollectionItemClass = TCollectionItem* (*)(TCollection* Collection);

template <typename T>
TCollectionItem* CreateItem(TCollection* Collection) {
  return New<T>(Collection);
}

class TCollection : public TPersistent {
 public:
  std::string ClassName() const override { return "TCollection"; }

  TCollectionItemClass ItemClass() const { return FItemClass; }
  int Count() const { return static_cast<int>(FItems.size()); }
  // Raises EListError "List index out of bounds (i)" for a bad index.
  TCollectionItem* GetItem(int Index) const;
  // The position of Item in this collection, or -1. Constant time while the item has not moved
  // since it was last looked up, added or moved.
  int IndexOfItem(const TCollectionItem* Item) const;
  // Assigns Value to the item at Index.
  void SetItem(int Index, const TCollectionItem* Value);
  TCollectionItem* Add();
  // A new item moved to Index.
  TCollectionItem* Insert(int Index);
  void Delete(int Index);
  void Clear();
  // Makes room for Capacity items, so that adding up to that many allocates no list storage.
  void Reserve(int Capacity);
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }
  // Clears, then adds a copy of every item of a collection Source, in one update bracket.
  void Assign(const TPersistent* Source) override;
  TPersistent* Owner() const { return GetOwner(); }

  void BeforeDestruction() override;

  // Direct access for loops that must not pay for index checks.
  using TItemList = TRecycledVector<TCollectionItem*>;
  const TItemList& RawItems() const { return FItems; }
  // Grows with every item added, removed or moved (and whatever a descendant counts), so that a
  // cache of the collection can tell whether it is still current.
  std::uint64_t ChangeCount() const { return FChangeCount; }

 protected:
  ~TCollection() override = default;
  explicit TCollection(TCollectionItemClass ItemClass) : FItemClass(ItemClass) {}
  void Changed();
  void CountChange() { ++FChangeCount; }
  // Moves the item at CurIndex to NewIndex, shifting the others; reports a whole-collection change.
  void MoveItem(int CurIndex, int NewIndex);
  // Places the last Added items (just added) before the items that held the ascending positions
  // Before(0), ..., Before(Added - 1) when they were added (that count means the end): the moves
  // of as many Insert calls, made at once in linear time; one whole-collection change.
  template <typename TBefore>
  void PlaceAddedItems(int Added, TBefore&& Before);
  virtual void Update(TCollectionItem* Item);
  virtual void Notify(TCollectionItem* Item, TCollectionNotification Action);
  // Adds Item, which is in no collection, as the last item, as joining would, but without the
  // added notification and the change report: for a descendant inside an update bracket whose
  // class does not override Notify.
  void AppendQuietly(TCollectionItem* Item);
  // Takes the last item out, as Clear does, but without the extracting notification and the
  // change report, under the same conditions; the item is then in no collection.
  TCollectionItem* RemoveLastQuietly();
  // Frees the items for which Remove(Item) holds (asked once per item, in index order) in one pass,
  // without the notifications of Delete, under the same conditions; one whole-collection change.
  template <typename TRemove>
  void DeleteItemsQuietly(TRemove&& Remove);
  // Puts the items in a new order in one pass: Order[I] is the present index of the item that goes
  // to index I (each index once); one whole-collection change.
  void ReorderItems(const std::vector<int>& Order);

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* Item);
  void RemoveItem(TCollectionItem* Item);
  void CheckIndex(int Index) const;
  // IndexOfItem when the item's hint is out of date.
  int SearchItem(const TCollectionItem* Item) const;

  TCollectionItemClass FItemClass;
  TItemList FItems;
  int FUpdateCount = 0;
  std::uint64_t FChangeCount = 0;
};

template <typename TBefore>
void TCollection::PlaceAddedItems(int Added, TBefore&& Before) {
  if (Added <= 0) return;
  const int Original = Count() - Added;
  if (Original < 0) throw EListError(SListIndexError, {Added});
  for (int Next = 0; Next < Added; ++Next)
    if (Before(Next) < 0 || Before(Next) > Original || (Next > 0 && Before(Next) < Before(Next - 1)))
      throw EListError(SListIndexError, {Before(Next)});
  // In place, from the back: each item of the list moves right past the added items that go before
  // it. The added items are set aside first (a few on the stack).
  constexpr int Few = 16;
  TCollectionItem* Stack[Few];
  TItemList Heap;
  TCollectionItem** Set = Stack;
  if (Added > Few) {
    Heap.resize(static_cast<std::size_t>(Added));
    Set = Heap.data();
  }
  std::copy(FItems.begin() + Original, FItems.end(), Set);
  int Item = Original - 1;
  int Place = Count() - 1;
  for (int Next = Added - 1; Next >= 0; --Place) {
    if (Item >= Before(Next))
      FItems[static_cast<std::size_t>(Place)] = FItems[static_cast<std::size_t>(Item--)];
    else
      FItems[static_cast<std::size_t>(Place)] = Set[Next--];
  }
  for (int I = Before(0); I < Count(); ++I) FItems[static_cast<std::size_t>(I)]->SetIndexHint(I);
  CountChange();
  Changed();
}

template <typename TRemove>
void TCollection::DeleteItemsQuietly(TRemove&& Remove) {
  std::size_t Kept = 0;
  for (std::size_t I = 0; I < FItems.size(); ++I) {
    TCollectionItem* Item = FItems[I];
    if (!Remove(Item)) {
      Item->SetIndexHint(static_cast<int>(Kept));
      FItems[Kept++] = Item;
      continue;
    }
    Item->FCollection = nullptr;
    Item->Free();
  }
  if (Kept == FItems.size()) return;
  FItems.resize(Kept);
  CountChange();
  Changed();
}

inline int TCollection::IndexOfItem(const TCollectionItem* Item) const {
  const int Hint = Item->FIndexHint.load(std::memory_order_relaxed);
  if (static_cast<std::size_t>(Hint) < FItems.size() && FItems[static_cast<std::size_t>(Hint)] == Item) return Hint;
  return SearchItem(Item);
}

// A collection with an owner (the object whose part it is), reported by GetOwner().
class TOwnedCollection : public TCollection {
 public:
  std::string ClassName() const override { return "TOwnedCollection"; }

 protected:
  ~TOwnedCollection() override = default;
  TOwnedCollection(TPersistent* Owner, TCollectionItemClass ItemClass)
      : TCollection(ItemClass), FOwner(Owner) {}
  TPersistent* GetOwner() const override { return FOwner; }

 private:
  TPersistent* FOwner;
};

}  // namespace fuzzy
