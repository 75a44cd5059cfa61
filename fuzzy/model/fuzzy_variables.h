#pragma once
// The variables of a logic component: an owned, named collection of linguistic variables.
//
// The logic component owns the collection and the collection owns its variables. Membership and
// change notifications of the variables, and those of their sets, are handed on to the component.
//
//   TFuzzyVariable* Tip = Logic->Items().Add("tip");
//   Logic->Items().GetItemByName("tip") == Tip

#include <string>

#include "fuzzy/companion/structures.h"
#include "fuzzy/model/fuzzy_variable.h"
#include "fuzzy/model/item_enumerator.h"

namespace fuzzy {

class TFuzzyLogic;
class TFuzzyVariables;

// The class of a variables collection, as a factory that creates one owned by Fuzzy.
using TFuzzyVariablesClass = TFuzzyVariables* (*)(TFuzzyLogic* Fuzzy);

template <typename T>
TFuzzyVariables* CreateFuzzyVariables(TFuzzyLogic* Fuzzy) {
  return New<T>(Fuzzy);
}

class TFuzzyVariables : public TGCollection {
 public:
  std::string ClassName() const override { return "TFuzzyVariables"; }

  // The variable at Index; EListError for a bad index.
  TFuzzyVariable* Items(int Index) const { return static_cast<TFuzzyVariable*>(GetItem(Index)); }
  // A new variable of the item class, made with SetClass; it joins the collection while it is
  // being created (the logic component then gives it its threshold and automatic terms).
  TFuzzyVariable* Add() { return static_cast<TFuzzyVariable*>(TGCollection::Add()); }
  // Add(), then the name (a change of the variable).
  TFuzzyVariable* Add(const std::string& Name);
  // Add(), then the new variable moves to Index.
  TFuzzyVariable* Insert(int Index) { return static_cast<TFuzzyVariable*>(TGCollection::Insert(Index)); }
  // The variable named Name; raises EFzyException (SUnknownFuzzyVarName) when there is none.
  TFuzzyVariable* GetItemByName(const std::string& Name) const;
  // Assigns Value into the variable named Name; raises like GetItemByName.
  void SetItemByName(const std::string& Name, const TFuzzyVariable* Value);

  // The owning logic component, or nullptr.
  TFuzzyLogic* Fuzzy() const { return GetFuzzy(); }
  TFuzzyLogic* GetFuzzy() const { return FFuzzy; }
  // The class of the sets that new variables make.
  TFuzzySetClass SetClass() const { return FSetClass; }

  TItemEnumerator<TFuzzyVariable> begin() const { return {*this, 0}; }
  TItemEnumerator<TFuzzyVariable>::TEnd end() const { return {}; }

 protected:
  ~TFuzzyVariables() override = default;
  explicit TFuzzyVariables(TFuzzyLogic* Fuzzy,
                           TFuzzyVariableClass VariableClass = &CreateFuzzyVariable<TFuzzyVariable>,
                           TFuzzySetClass SetClass = &CreateFuzzySet<TFuzzySet>);
  template <typename T, typename... Args>
  friend T* New(Args&&...);

  // Pulls a variable's ItemIndex back to its last set, then tells the component.
  void Update(TCollectionItem* Item) override;
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override;
  // A set of one of the variables changed.
  virtual void UpdateFuzzySet(TFuzzySet* FuzzySet);
  // A set joined, is leaving or is being deleted from one of the variables.
  virtual void NotifyFuzzySet(TFuzzySet* FuzzySet, TCollectionNotification Action);

 private:
  friend class TFuzzyVariable;
  // The collection's item class: makes a variable of the collection's variable and set classes.
  static TCollectionItem* CreateVariable(TCollection* Collection);

  TFuzzyLogic* FFuzzy;
  TFuzzyVariableClass FVariableClass;
  TFuzzySetClass FSetClass;
};

}  // namespace fuzzy
