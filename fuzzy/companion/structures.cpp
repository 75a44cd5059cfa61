#include "fuzzy/companion/structures.h"

#include <algorithm>

namespace fuzzy {

void TGCollectionItem::FreeNotification(TGCollectionItem* Item) {
  if (!Item || Item == this) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), Item) == FFreeNotifies.end())
    FFreeNotifies.push_back(Item);
  if (std::find(Item->FFreeNotifies.begin(), Item->FFreeNotifies.end(), this) == Item->FFreeNotifies.end())
    Item->FFreeNotifies.push_back(this);
}

void TGCollectionItem::RemoveFreeNotification(TGCollectionItem* Item) {
  if (!Item) return;
  Unlink(Item);
  Item->Unlink(this);
}

void TGCollectionItem::Unlink(TGCollectionItem* Item) {
  FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), Item), FFreeNotifies.end());
}

void TGCollectionItem::BeforeDestruction() {
  // Each partner forgets this item before it is told, so a handler may free or re-register freely.
  while (!FFreeNotifies.empty()) {
    TGCollectionItem* Item = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    Item->Unlink(this);
    Item->Notification(this);
  }
  TCollectionItem::BeforeDestruction();
}

void TGCollectionItem::Notification(TGCollectionItem*) {}

int TGCollection::IndexOf(std::string_view Name) const {
  const auto& Items = RawItems();
  for (std::size_t I = 0; I < Items.size(); ++I)
    if (Items[I]->NamedAs(Name)) return static_cast<int>(I);
  return -1;
}

}  // namespace fuzzy
