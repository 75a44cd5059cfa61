#pragma once
// The terms of a linguistic variable: an owned, named collection of fuzzy sets.
//
// The variable owns the collection and the collection owns its sets. Every membership change
// (Notify) and every change of a set or of the whole collection (Update) is handed on to the
// variable, which routes it to its logic component.
//
//   TFuzzySet* Warm = Variable->Items().Add("warm");   // defined, owned by the variable
//   Variable->Items().GetItemByName("warm") == Warm

#include <string>

#include "fuzzy/companion/structures.h"
#include "fuzzy/engine/fuzzy_set.h"
#include "fuzzy/model/item_enumerator.h"

namespace fuzzy {

class TFuzzyVariable;

class TFuzzySets : public TGCollection {
 public:
  std::string ClassName() const override { return "TFuzzySets"; }

  // The set at Index; EListError for a bad index.
  TFuzzySet* Items(int Index) const { return static_cast<TFuzzySet*>(GetItem(Index)); }
  // A new set of the item class at the end; it becomes the variable's current set (ItemIndex is
  // written directly, without a change report).
  TFuzzySet* Add();
  // Add(), then the name; the set is Defined unless Name is empty or SEmptyFuzzy. A reserved Name
  // raises EFzyException (SInvalidFuzzySetName), and the new set is freed again.
  TFuzzySet* Add(const std::string& Name);
  // A new set moved to Index; ItemIndex is left alone.
  TFuzzySet* Insert(int Index) { return static_cast<TFuzzySet*>(TGCollection::Insert(Index)); }
  // The set named Name; raises EFzyException (SUnknownFuzzySetName) when there is none.
  TFuzzySet* GetItemByName(const std::string& Name) const;
  // Assigns Value into the set named Name; raises like GetItemByName.
  void SetItemByName(const std::string& Name, const TFuzzySet* Value);

  TFuzzyVariable* Variable() const { return GetVariable(); }
  // The owning variable, or nullptr.
  TFuzzyVariable* GetVariable() const;
  TFuzzySetClass SetClass() const { return FSetClass; }

  TItemEnumerator<TFuzzySet> begin() const { return {*this, 0}; }
  TItemEnumerator<TFuzzySet>::TEnd end() const { return {}; }

 protected:
  ~TFuzzySets() override = default;
  explicit TFuzzySets(TFuzzyVariable* Variable, TFuzzySetClass SetClass = &CreateFuzzySet<TFuzzySet>);
  template <typename T, typename... Args>
  friend T* New(Args&&...);

  void Notify(TCollectionItem* Item, TCollectionNotification Action) override;
  void Update(TCollectionItem* Item) override;

 private:
  // The collection's item class: makes a set of the collection's set class.
  static TCollectionItem* CreateSet(TCollection* Collection);

  TFuzzySetClass FSetClass;
};

}  // namespace fuzzy
