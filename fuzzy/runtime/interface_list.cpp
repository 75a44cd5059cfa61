#include "fuzzy/runtime/interface_list.h"

#include <algorithm>
#include <utility>

#include "fuzzy/runtime/exception.h"

namespace fuzzy {

int TInterfaceList::Add(const IPtr<IInterface>& Item) { return AddItem(Item.Get()); }

int TInterfaceList::AddItem(IInterface* Item) {
  // Most lists are short: the first entry makes room for eight, instead of growing by one, two,
  // four.
  if (FItems.capacity() == 0) FItems.reserve(FirstCapacity);
  FItems.emplace_back(Item);
  return Count() - 1;
}

IPtr<IInterface> TInterfaceList::Get(int Index) const { return IPtr<IInterface>(ItemAt(Index)); }

void TInterfaceList::Put(int Index, const IPtr<IInterface>& Item) {
  CheckIndex(Index, Count() - 1);
  // The old entry is released when Old goes, after the list holds the new one.
  IPtr<IInterface> Old = std::exchange(FItems[static_cast<std::size_t>(Index)], Item);
}

void TInterfaceList::Insert(int Index, const IPtr<IInterface>& Item) {
  CheckIndex(Index, Count());
  FItems.insert(FItems.begin() + Index, Item);
}

void TInterfaceList::Delete(int Index) {
  CheckIndex(Index, Count() - 1);
  IPtr<IInterface> Removed = std::move(FItems[static_cast<std::size_t>(Index)]);
  FItems.erase(FItems.begin() + Index);
}

void TInterfaceList::Clear() {
  TRecycledVector<IPtr<IInterface>> Removed;
  Removed.swap(FItems);
}

int TInterfaceList::IndexOf(const IPtr<IInterface>& Item) const {
  const auto It = std::find(FItems.begin(), FItems.end(), Item);
  return It == FItems.end() ? -1 : static_cast<int>(It - FItems.begin());
}

int TInterfaceList::Remove(const IPtr<IInterface>& Item) {
  const int Index = IndexOf(Item);
  if (Index >= 0) Delete(Index);
  return Index;
}

bool TInterfaceList::GetInterface(const TGUID& IID, void** Obj) {
  if (IID == IInterfaceList::IID) {
    *Obj = static_cast<IInterfaceList*>(this);
    return true;
  }
  return TInterfacedObject::GetInterface(IID, Obj);
}

void TInterfaceList::CheckIndex(int Index, int Limit) const {
  if (Index < 0 || Index > Limit) throw EListError(SListIndexError, {Index});
}

}  // namespace fuzzy
