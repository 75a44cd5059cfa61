#include "fuzzy/imodel/ifuzzy_variable.h"

#include <algorithm>

#include "fuzzy/model/fuzzy_variable.h"
#include "fuzzy/model/internal/rule_firing.h"

namespace fuzzy {

namespace {

void RequireSet(const IPtr<IFuzzySet>& FuzzySet, std::string_view Role) {
  if (!FuzzySet) throw EFzyException(SMissingRuleSet, {Role});
}

}  // namespace

// ---- creation, counting and destruction --------------------------------------------------------

IPtr<IFuzzyVariable> TIFuzzyVariable::Create(const std::string& Name, TIFuzzyVariableClass Class) {
  return IPtr<IFuzzyVariable>(Class(Name));
}

void TIFuzzyVariable::AfterConstruction() {
  TInterfaced::AfterConstruction();
  FItems.reset(CreateItems());
}

TIFuzzySets* TIFuzzyVariable::CreateItems() { return New<TIFuzzySets>(this); }

void TIFuzzyVariable::BeforeDestruction() {
  // Releases that the dying sets send back must not free the variable a second time.
  FIgnoreRelease = true;
  SetParser(nullptr);
  FOnChange = nullptr;
  FOnVariableChange = nullptr;
  FOnFuzzySetChange = nullptr;
  FItems.reset();
  TInterfaced::BeforeDestruction();
}

int TIFuzzyVariable::_Release() {
  const int Count = DecrementRefCount();
  if (!FItems || FIgnoreRelease) return Count;
  if (Count > 0 && Count <= FItems->GetCount() && Count == SetsHoldingThis()) {
    // Only the variable's own sets hold it: drop them, so those that nothing else holds die; the
    // variable dies with the last of them.
    FIgnoreRelease = true;
    try {
      FItems->Clear();
    } catch (...) {
      // A release cannot report an error (it runs in destructors); a raising handler stops the
      // change reports of the clearing, not the clearing itself.
    }
    if (RefCount() == 0)
      Free();
    else
      FIgnoreRelease = false;
    return Count;
  }
  if (Count == 0) Free();
  return Count;
}

int TIFuzzyVariable::SetsHoldingThis() const {
  const IFuzzyVariable* Me = this;
  int Holding = 0;
  for (auto Entry = FItems->TIStringHashTable::begin(); Entry != FItems->TIStringHashTable::end(); ++Entry) {
    const auto* Set = ObjectOf<const TIFuzzySet>(Entry.Value());
    if (Set && Set->BelongsTo(Me)) ++Holding;
  }
  return Holding;
}

// ---- properties --------------------------------------------------------------------------------

void TIFuzzyVariable::SetName(const std::string& Value) {
  if (Value == FName) return;
  FName = Value;
  Changed();
}

void TIFuzzyVariable::SetNumFunctionValues(int Value) {
  if (Value == FNumFunctionValues) return;
  FNumFunctionValues = Value;
  Changed();
}

void TIFuzzyVariable::SetParser(const IPtr<IFuzzyParser>& Value) {
  FParser = Value;
  if (!FItems) return;
  for (const IPtr<IFuzzySet>& FuzzySet : *FItems) FuzzySet->SetParser(Value);
}

// ---- change reports ----------------------------------------------------------------------------

void TIFuzzyVariable::Changed() {
  if (FOnChange) FOnChange(this);
  if (FOnVariableChange) FOnVariableChange(Self());
}

void TIFuzzyVariable::NewFuzzySet(const IPtr<IFuzzySet>& FuzzySet) {
  if (FOnFuzzySetAdded) FOnFuzzySetAdded(Self(), FuzzySet);
  Changed();
}

void TIFuzzyVariable::RemoveFuzzySet(const IPtr<IFuzzySet>& FuzzySet) {
  if (FOnFuzzySetDeleted) FOnFuzzySetDeleted(Self(), FuzzySet);
  Changed();
}

void TIFuzzyVariable::ClearFuzzySets() { Changed(); }

void TIFuzzyVariable::FuzzySetChanged(const IPtr<IFuzzySet>& FuzzySet) {
  if (FOnFuzzySetChange) FOnFuzzySetChange(Self(), FuzzySet);
}

// ---- object ------------------------------------------------------------------------------------

void TIFuzzyVariable::Assign(const TPersistent* Source) {
  const auto* Variable = dynamic_cast<const TIFuzzyVariable*>(Source);
  if (!Variable) {
    TPersistent::Assign(Source);
    return;
  }
  if (Variable == this) return;
  FDefuzzificationMethod = Variable->FDefuzzificationMethod;
  CopyRange(*Variable, false);
  FName = Variable->FName;
  FUnits = Variable->FUnits;
  FNumFunctionValues = Variable->FNumFunctionValues;
  FTag = Variable->FTag;
  FParser = Variable->FParser;
  FItems->AssignFuzzySets(IPtr<IFuzzyVariable>(const_cast<TIFuzzyVariable*>(Variable)));
  Changed();
}

IPtr<IInterface> TIFuzzyVariable::Clone() {
  IPtr<IFuzzyVariable> Copy = Create(FName, ClassType());
  dynamic_cast<TIFuzzyVariable&>(*Copy).Assign(static_cast<const TPersistent*>(this));
  return Copy;
}

bool TIFuzzyVariable::Equals(const IPtr<IInterface>& AValue) {
  IPtr<IFuzzyVariable> Other;
  if (!Supports(AValue, Other)) return false;
  return FName == Other->Name() && FMaximum == Other->Maximum() && FMinimum == Other->Minimum() &&
         FUnits == Other->Units() && FItems->EqualsSets(Other);
}

std::string TIFuzzyVariable::ToString() const {
  if (!FParser) return FName;
  return FParser->PrettyPrint(IPtr<IFuzzyVariable>(const_cast<TIFuzzyVariable*>(this)));
}

// ---- rules -------------------------------------------------------------------------------------

TFzyFloat TIFuzzyVariable::GetCorrelationStrength(TIFuzzySetSpan Premises, TIFuzzySetSpan Matchings) {
  return LowestCorrelationStrength(Premises, Matchings);
}

namespace {

// The interface model's sets for FireRule: no logic component chooses, so the cut is by minimum
// and the union min-max.
struct TInterfaceRules {
  using THeld = IPtr<IFuzzySet>;
  static THeld Clone(const IPtr<IFuzzySet>& Set) { return QueryIntf<IFuzzySet>(Set->Clone()); }
  static void Correlate(THeld& Set, TFzyFloat Strength) { Set = Set->Correlate(Strength, fcmMinimum); }
  static THeld Infer(const IPtr<IFuzzySet>& OldEvidence, const THeld& Set) {
    return OldEvidence->Infer(Set, fimMinMax, false);
  }
};

}  // namespace

IPtr<IFuzzySet> TIFuzzyVariable::AssertRule(TFzyFloat CorrelationStrength, const IPtr<IFuzzySet>& NewEvidence,
                                            const IPtr<IFuzzySet>& OldEvidence) {
  return FireRule<TInterfaceRules>(Threshold(), CorrelationStrength, NewEvidence, OldEvidence);
}

IPtr<IFuzzySet> TIFuzzyVariable::AssertRule(TIFuzzySetSpan Premises, TIFuzzySetSpan Matchings,
                                            const IPtr<IFuzzySet>& NewEvidence,
                                            const IPtr<IFuzzySet>& OldEvidence) {
  return AssertRule(GetCorrelationStrength(Premises, Matchings), NewEvidence, OldEvidence);
}

IPtr<IFuzzySet> TIFuzzyVariable::AssertRule(const IPtr<IFuzzySet>& Premise,
                                            const IPtr<IFuzzySet>& NewEvidence,
                                            const IPtr<IFuzzySet>& Matching,
                                            const IPtr<IFuzzySet>& OldEvidence) {
  RequireSet(Premise, "Premise");
  return AssertRule(Premise->GetCorrelationStrength(Matching), NewEvidence, OldEvidence);
}

}  // namespace fuzzy
