#include "fuzzy/runtime/collection.h"

#include <algorithm>
#include <iterator>

#include "fuzzy/runtime/exception.h"

namespace fuzzy {

void TCollectionItem::AfterConstruction() {
  TPersistent::AfterConstruction();
  if (FJoinCollection) SetCollection(FJoinCollection);
  FJoinCollection = nullptr;
}

void TCollectionItem::BeforeDestruction() {
  SetCollection(nullptr);
  TPersistent::BeforeDestruction();
}

void TCollectionItem::SetCollection(TCollection* Value) {
  if (Value == FCollection) return;
  if (FCollection) FCollection->RemoveItem(this);
  if (Value) Value->InsertItem(this);
}

int TCollectionItem::Index() const { return FCollection ? FCollection->IndexOfItem(this) : -1; }

void TCollectionItem::SetIndex(int Value) {
  const int Current = Index();
  if (Current < 0 || Current == Value) return;
  FCollection->MoveItem(Current, Value);
}

void TCollectionItem::Changed(bool AllItems) {
  if (!FCollection || FCollection->FUpdateCount != 0) return;
  FCollection->Update(AllItems ? nullptr : this);
}

TPersistent* TCollectionItem::GetOwner() const { return FCollection; }

int TCollection::SearchItem(const TCollectionItem* Item) const {
  // Searched from the back: Clear and destruction remove the last item first.
  const auto It = std::find(FItems.rbegin(), FItems.rend(), Item);
  if (It == FItems.rend()) return -1;
  const int Index = static_cast<int>(FItems.rend() - It) - 1;
  Item->SetIndexHint(Index);
  return Index;
}

TCollectionItem* TCollection::GetItem(int Index) const {
  CheckIndex(Index);
  return FItems[static_cast<std::size_t>(Index)];
}

void TCollection::SetItem(int Index, const TCollectionItem* Value) { GetItem(Index)->Assign(Value); }

TCollectionItem* TCollection::Add() { return FItemClass(this); }

TCollectionItem* TCollection::Insert(int Index) {
  TCollectionItem* Item = Add();
  Item->SetIndex(Index);
  return Item;
}

void TCollection::Delete(int Index) {
  TCollectionItem* Item = GetItem(Index);
  Item->SetIndexHint(Index);
  Notify(Item, TCollectionNotification::cnDeleting);
  RemoveItem(Item);
  Item->Free();
}

void TCollection::Clear() {
  if (FItems.empty()) return;
  BeginUpdate();
  try {
    while (!FItems.empty()) {
      TCollectionItem* Item = FItems.back();
      Item->SetIndexHint(Count() - 1);
      RemoveItem(Item);
      Item->Free();
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCollection::Reserve(int Capacity) {
  if (Capacity > 0) FItems.reserve(static_cast<std::size_t>(Capacity));
}

void TCollection::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  Changed();
}

void TCollection::Assign(const TPersistent* Source) {
  const auto* SourceCollection = dynamic_cast<const TCollection*>(Source);
  if (!SourceCollection) {
    TPersistent::Assign(Source);
    return;
  }
  if (SourceCollection == this) return;
  BeginUpdate();
  try {
    Clear();
    for (const TCollectionItem* Item : SourceCollection->FItems) Add()->Assign(Item);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCollection::BeforeDestruction() {
  // Items leave one by one (each sees its extracting notification) but no change is reported.
  FUpdateCount = 1;
  Clear();
  TPersistent::BeforeDestruction();
}

void TCollection::Changed() {
  if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::MoveItem(int CurIndex, int NewIndex) {
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  if (CurIndex == NewIndex) return;
  // One item moves; the ones between shift by one place towards where it was.
  const auto Items = FItems.begin();
  TCollectionItem* const Moved = Items[CurIndex];
  if (NewIndex < CurIndex)
    std::move_backward(Items + NewIndex, Items + CurIndex, Items + CurIndex + 1);
  else
    std::move(Items + CurIndex + 1, Items + NewIndex + 1, Items + CurIndex);
  Items[NewIndex] = Moved;
  Moved->SetIndexHint(NewIndex);
  CountChange();
  Changed();
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

void TCollection::InsertItem(TCollectionItem* Item) {
  FItems.push_back(Item);
  Item->FCollection = this;
  Item->SetIndexHint(Count() - 1);
  CountChange();
  Notify(Item, TCollectionNotification::cnAdded);
  Changed();
}

void TCollection::AppendQuietly(TCollectionItem* Item) {
  FItems.push_back(Item);
  Item->FCollection = this;
  Item->SetIndexHint(Count() - 1);
  CountChange();
}

TCollectionItem* TCollection::RemoveLastQuietly() {
  TCollectionItem* Item = FItems.back();
  FItems.pop_back();
  Item->FCollection = nullptr;
  CountChange();
  return Item;
}

void TCollection::ReorderItems(const std::vector<int>& Order) {
  if (Order.size() != FItems.size()) throw EListError(SListIndexError, {static_cast<int>(Order.size())});
  TItemList Items(FItems.size());
  for (std::size_t I = 0; I < Order.size(); ++I) {
    Items[I] = GetItem(Order[I]);
    Items[I]->SetIndexHint(static_cast<int>(I));
  }
  FItems.swap(Items);
  CountChange();
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
  Notify(Item, TCollectionNotification::cnExtracting);
  const int Index = IndexOfItem(Item);
  if (Index >= 0) FItems.erase(FItems.begin() + Index);
  Item->FCollection = nullptr;
  CountChange();
  Changed();
}

void TCollection::CheckIndex(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(SListIndexError, {Index});
}

}  // namespace fuzzy
