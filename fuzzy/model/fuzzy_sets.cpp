#include "fuzzy/model/fuzzy_sets.h"

#include "fuzzy/model/fuzzy_variable.h"

namespace fuzzy {

TFuzzySets::TFuzzySets(TFuzzyVariable* Variable, TFuzzySetClass SetClass)
    : TGCollection(Variable, &TFuzzySets::CreateSet), FSetClass(SetClass) {}

TCollectionItem* TFuzzySets::CreateSet(TCollection* Collection) {
  return static_cast<TFuzzySets*>(Collection)->FSetClass(Collection);
}

TFuzzyVariable* TFuzzySets::GetVariable() const { return static_cast<TFuzzyVariable*>(Owner()); }

TFuzzySet* TFuzzySets::Add() {
  auto* Set = static_cast<TFuzzySet*>(TGCollection::Add());
  if (TFuzzyVariable* Owner = GetVariable()) Owner->FItemIndex = Set->Index();
  return Set;
}

TFuzzySet* TFuzzySets::Add(const std::string& Name) {
  TFuzzySet* Set = Add();
  try {
    Set->SetName(Name);
  } catch (...) {
    Set->Free();
    throw;
  }
  Set->SetDefined(!Name.empty() && Name != SEmptyFuzzy);
  return Set;
}

TFuzzySet* TFuzzySets::GetItemByName(const std::string& Name) const {
  const int Index = IndexOf(Name);
  if (Index < 0) throw EFzyException(SUnknownFuzzySetName, {Name});
  return Items(Index);
}

void TFuzzySets::SetItemByName(const std::string& Name, const TFuzzySet* Value) {
  GetItemByName(Name)->Assign(Value);
}

void TFuzzySets::Notify(TCollectionItem* Item, TCollectionNotification Action) {
  TGCollection::Notify(Item, Action);
  auto* Set = static_cast<TFuzzySet*>(Item);
  // The owner is the variable a lookup from the set would find; telling the set spares it that
  // lookup (a cross-cast) for every set made in the list.
  if (Action == TCollectionNotification::cnAdded) Set->JoinedVariable(GetVariable());
  if (TFuzzyVariable* Owner = GetVariable()) Owner->Notify(Set, Action);
}

void TFuzzySets::Update(TCollectionItem* Item) {
  TGCollection::Update(Item);
  if (TFuzzyVariable* Owner = GetVariable()) Owner->Update(static_cast<TFuzzySet*>(Item));
}

}  // namespace fuzzy
