#include "fuzzy/model/fuzzy_variables.h"

#include "fuzzy/model/fuzzy_logic.h"

namespace fuzzy {

TFuzzyVariables::TFuzzyVariables(TFuzzyLogic* Fuzzy, TFuzzyVariableClass VariableClass,
                                 TFuzzySetClass SetClass)
    : TGCollection(Fuzzy, &TFuzzyVariables::CreateVariable),
      FFuzzy(Fuzzy),
      FVariableClass(VariableClass),
      FSetClass(SetClass) {}

TCollectionItem* TFuzzyVariables::CreateVariable(TCollection* Collection) {
  auto* Variables = static_cast<TFuzzyVariables*>(Collection);
  return Variables->FVariableClass(Variables, Variables->FSetClass);
}

TFuzzyVariable* TFuzzyVariables::Add(const std::string& Name) {
  TFuzzyVariable* Variable = Add();
  Variable->SetName(Name);
  return Variable;
}

TFuzzyVariable* TFuzzyVariables::GetItemByName(const std::string& Name) const {
  const int Index = IndexOf(Name);
  if (Index < 0) throw EFzyException(SUnknownFuzzyVarName, {Name});
  return Items(Index);
}

void TFuzzyVariables::SetItemByName(const std::string& Name, const TFuzzyVariable* Value) {
  GetItemByName(Name)->Assign(Value);
}

void TFuzzyVariables::Update(TCollectionItem* Item) {
  TGCollection::Update(Item);
  auto* Variable = static_cast<TFuzzyVariable*>(Item);
  // Written directly: the setter refuses to move away from an index that is out of range.
  if (Variable && Variable->FItems->Count() <= Variable->FItemIndex)
    Variable->FItemIndex = Variable->FItems->Count() - 1;
  if (FFuzzy) FFuzzy->UpdateVariable(Variable);
}

void TFuzzyVariables::Notify(TCollectionItem* Item, TCollectionNotification Action) {
  TGCollection::Notify(Item, Action);
  if (FFuzzy) FFuzzy->NotifyVariable(static_cast<TFuzzyVariable*>(Item), Action);
}

void TFuzzyVariables::UpdateFuzzySet(TFuzzySet* FuzzySet) {
  if (FFuzzy) FFuzzy->UpdateFuzzySet(FuzzySet);
}

void TFuzzyVariables::NotifyFuzzySet(TFuzzySet* FuzzySet, TCollectionNotification Action) {
  if (FFuzzy) FFuzzy->NotifyFuzzySet(FuzzySet, Action);
}

}  // namespace fuzzy
