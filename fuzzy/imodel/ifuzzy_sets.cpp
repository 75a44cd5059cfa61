#include "fuzzy/imodel/ifuzzy_sets.h"

#include "fuzzy/imodel/ifuzzy_variable.h"

namespace fuzzy {

IPtr<IFuzzySet> TIFuzzySetsEnumerator::operator*() const { return TIFuzzySets::AsFuzzySet(FPosition.Value()); }

IPtr<IFuzzySet> TIFuzzySets::AsFuzzySet(IInterface* Value) {
  if (Value && typeid(*Value) == typeid(TIFuzzySet)) return IPtr<IFuzzySet>(ObjectOf<TIFuzzySet>(Value));
  IPtr<IFuzzySet> Set;
  Supports(Value, Set);
  return Set;
}

IPtr<IFuzzyVariable> TIFuzzySets::Mine() const { return IPtr<IFuzzyVariable>(FVariable); }

void TIFuzzySets::Add(const IPtr<IFuzzySet>& FuzzySet) {
  if (!FuzzySet) return;
  const IFuzzyVariable* Me = FVariable;
  // A set of exactly TIFuzzySet answers Variable() with the variable it holds.
  IFuzzySet* const Set = FuzzySet.Get();
  const bool Own = typeid(*Set) == typeid(TIFuzzySet);
  if (Own ? ObjectOf<TIFuzzySet>(Set)->BelongsTo(Me) : FuzzySet->Variable().Get() == Me) {
    if (FuzzySet->Defined()) TIStringHashTable::Put(FuzzySet->Name(), FuzzySet);
    return;
  }
  // A defined set stores itself into this table from its new variable.
  FuzzySet->SetVariable(Mine());
  if (!FuzzySet->Defined()) TIStringHashTable::Put(FuzzySet->Name(), FuzzySet);
}

IPtr<IFuzzySet> TIFuzzySets::Add(const std::string& Name) {
  const TFuzzySetClass Class = FVariable ? FVariable->FuzzySetClass() : &CreateFuzzySet<TIFuzzySet>;
  IPtr<IFuzzySet> FuzzySet = TIFuzzySet::Create(Mine(), Name, Class);
  FuzzySet->SetDefined(Name != SEmptyFuzzy);
  Add(FuzzySet);
  return FuzzySet;
}

IPtr<IFuzzySet> TIFuzzySets::Put(const std::string& Key, const IPtr<IFuzzySet>& Value) {
  return QueryIntf<IFuzzySet>(TIStringHashTable::Put(Key, IPtr<IInterface>(Value)));
}

void TIFuzzySets::PutValue(const std::string& Key, const IPtr<IInterface>& Value) {
  TIStringHashTable::PutValue(Key, Value);
  const IPtr<IFuzzySet> FuzzySet = AsFuzzySet(Value.Get());
  if (!FuzzySet) return;
  FuzzySet->SetIndex(NewIndex());
  if (FVariable) FVariable->NewFuzzySet(FuzzySet);
}

bool TIFuzzySets::ContainsKey(const std::string& Key, IPtr<IFuzzySet>& FuzzySet) const {
  FuzzySet = Get(Key);
  return static_cast<bool>(FuzzySet);
}

IPtr<IFuzzySet> TIFuzzySets::Remove(const std::string& Key) { return Removed(TIStringHashTable::Remove(Key)); }

void TIFuzzySets::Remove(const IPtr<IFuzzySet>& FuzzySet) {
  if (FuzzySet) Removed(RemoveHolding(FuzzySet->Name(), FuzzySet.Get()));
}

IPtr<IFuzzySet> TIFuzzySets::Removed(const IPtr<IInterface>& Value) {
  IPtr<IFuzzySet> Set = AsFuzzySet(Value.Get());
  if (Set && FVariable) FVariable->RemoveFuzzySet(Set);
  return Set;
}

void TIFuzzySets::Clear() {
  TIStringHashTable::Clear();
  FNewIndex = 0;
  if (FVariable) FVariable->ClearFuzzySets();
}

void TIFuzzySets::AssignFuzzySets(const IPtr<IFuzzyVariable>& Source) {
  const IPtr<IFuzzyVariable> Variable = Mine();
  // Clearing first would lose the sets of a variable assigned to itself.
  if (Source && Source == Variable) return;
  Clear();
  if (!Source) return;
  for (int I = 0; I < Source->GetCount(); ++I) {
    const IPtr<IFuzzySet> Original = Source->GetFuzzySet(I);
    const IPtr<IFuzzySet> Copy = Original->Clone(Variable);
    Copy->SetDefined(Original->Defined());
    Add(Copy);
  }
}

void TIFuzzySets::Assign(const IPtr<IInterface>& AValue) {
  IPtr<IFuzzyVariable> Source;
  if (Supports(AValue, Source)) AssignFuzzySets(Source);
}

void TIFuzzySets::Assign(const TPersistent* Source) {
  const auto* Sets = dynamic_cast<const TIFuzzySets*>(Source);
  if (!Sets) {
    TIStringHashTable::Assign(Source);
    return;
  }
  AssignFuzzySets(Sets->Mine());
}

bool TIFuzzySets::EqualsSets(const IPtr<IFuzzyVariable>& FuzzyVariable) const {
  if (!FuzzyVariable) return false;
  for (const IPtr<IFuzzySet>& FuzzySet : *this) {
    if (!FuzzySet->Defined()) continue;
    const IPtr<IFuzzySet> Other = FuzzyVariable->ContainsFuzzySet(FuzzySet->Name());
    if (!Other || !Other->Equals(IPtr<IInterface>(FuzzySet))) return false;
  }
  return true;
}

std::string TIFuzzySets::ToString() const { return FVariable ? FVariable->ToString() : ClassName(); }

}  // namespace fuzzy
