#pragma once
// Collections with name lookup, and collection items with free notification.
//
//   Variable->Items().IndexOf("warm")   // the position of the set named "warm", or -1

#include <string>
#include <string_view>
#include <vector>

#include "fuzzy/runtime/collection.h"

namespace fuzzy {

// A collection item that can tell other items when it is freed.
class TGCollectionItem : public TCollectionItem {
 public:
  std::string ClassName() const override { return "TGCollectionItem"; }

  // The name IndexOf looks for; empty for items without a name.
  virtual std::string GetItemName() const { return {}; }
  bool NamedAs(std::string_view Name) const override { return GetItemName() == Name; }

  // Item will receive Notification(this) when this item is freed. Registration is mutual, so
  // either side may be freed first.
  void FreeNotification(TGCollectionItem* Item);
  void RemoveFreeNotification(TGCollectionItem* Item);

  void BeforeDestruction() override;

 protected:
  ~TGCollectionItem() override = default;
  explicit TGCollectionItem(TCollection* Collection) : TCollectionItem(Collection) {}
  // Called when an item that this one registered with is being freed.
  virtual void Notification(TGCollectionItem* Item);

 private:
  void Unlink(TGCollectionItem* Item);
  std::vector<TGCollectionItem*> FFreeNotifies;
};

class TGCollection : public TOwnedCollection {
 public:
  std::string ClassName() const override { return "TGCollection"; }

  // Index of the first item named Name exactly (case-sensitive; see NamedAs), or -1.
  int IndexOf(std::string_view Name) const;

 protected:
  ~TGCollection() override = default;
  TGCollection(TPersistent* Owner, TCollectionItemClass ItemClass) : TOwnedCollection(Owner, ItemClass) {}
};

}  // namespace fuzzy
