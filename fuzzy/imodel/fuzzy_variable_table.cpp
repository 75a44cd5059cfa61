#include "fuzzy/imodel/fuzzy_variable_table.h"

#include "fuzzy/imodel/ifuzzy_logic.h"

namespace fuzzy {

void TFuzzyVariableTable::Add(const IPtr<IFuzzyVariable>& FuzzyVariable) {
  if (FuzzyVariable) Put(FuzzyVariable->Name(), FuzzyVariable);
}

IPtr<IFuzzyVariable> TFuzzyVariableTable::Put(const std::string& Key, const IPtr<IFuzzyVariable>& Value) {
  return QueryIntf<IFuzzyVariable>(TIStringHashTable::Put(Key, IPtr<IInterface>(Value)));
}

void TFuzzyVariableTable::PutValue(const std::string& Key, const IPtr<IInterface>& Value) {
  const IPtr<IFuzzyVariable> Variable = QueryIntf<IFuzzyVariable>(Value);
  const IPtr<IFuzzyVariable> Previous = Get(Key);
  if (FFuzzyLogic && Previous && Previous != Variable) TIFuzzyLogic::Unhook(*Previous);
  TIStringHashTable::PutValue(Key, Value);
  if (FFuzzyLogic && Variable) FFuzzyLogic->VariableAdded(Variable);
}

bool TFuzzyVariableTable::ContainsKey(const std::string& Key, IPtr<IFuzzyVariable>& FuzzyVariable) const {
  FuzzyVariable = Get(Key);
  return static_cast<bool>(FuzzyVariable);
}

IPtr<IFuzzyVariable> TFuzzyVariableTable::Remove(const std::string& Key) {
  IPtr<IFuzzyVariable> Removed = QueryIntf<IFuzzyVariable>(TIStringHashTable::Remove(Key));
  if (Removed && FFuzzyLogic) FFuzzyLogic->VariableDeleted(Removed);
  return Removed;
}

void TFuzzyVariableTable::Remove(const IPtr<IFuzzyVariable>& FuzzyVariable) {
  if (FuzzyVariable && Get(FuzzyVariable->Name()) == FuzzyVariable) Remove(FuzzyVariable->Name());
}

void TFuzzyVariableTable::Clear() {
  UnhookAll();
  TIStringHashTable::Clear();
}

void TFuzzyVariableTable::BeforeDestruction() {
  UnhookAll();
  TIStringHashTable::BeforeDestruction();
}

void TFuzzyVariableTable::UnhookAll() {
  if (!FFuzzyLogic) return;
  for (const IPtr<IFuzzyVariable>& Variable : *this) TIFuzzyLogic::Unhook(*Variable);
}

}  // namespace fuzzy
