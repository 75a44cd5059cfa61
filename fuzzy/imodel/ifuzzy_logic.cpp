#include "fuzzy/imodel/ifuzzy_logic.h"

#include <algorithm>

#include "fuzzy/model/internal/auto_terms.h"
#include "fuzzy/runtime/update_bracket.h"

namespace fuzzy {

// ---- construction and destruction --------------------------------------------------------------

void TIFuzzyLogic::AfterConstruction() {
  FItems.reset(CreateVariables());
  TCustomFuzzyLogic::AfterConstruction();
}

TFuzzyVariableTable* TIFuzzyLogic::CreateVariables() { return New<TFuzzyVariableTable>(this); }

void TIFuzzyLogic::BeforeDestruction() {
  FOnFuzzySetChange = nullptr;
  FOnFuzzySetDeleted = nullptr;
  FOnFuzzySetAdded = nullptr;
  FOnVariableChange = nullptr;
  FOnVariableDeleted = nullptr;
  FOnVariableAdded = nullptr;
  SetOnChange(nullptr);
  // Lists bound to the component forget it; their variables may outlive it.
  for (TFuzzyVariableStrings* Strings : FBoundStrings) {
    Strings->FFuzzyLogic = nullptr;
    for (int I = 0; I < Strings->Count(); ++I)
      if (const IPtr<IFuzzyVariable> Variable = Strings->GetData(I)) Unhook(*Variable);
  }
  FBoundStrings.clear();
  // Freeing the table unhooks its variables.
  FItems.reset();
  TCustomFuzzyLogic::BeforeDestruction();
}

void TIFuzzyLogic::UnbindStrings(TFuzzyVariableStrings* Strings) {
  FBoundStrings.erase(std::remove(FBoundStrings.begin(), FBoundStrings.end(), Strings), FBoundStrings.end());
}

void TIFuzzyLogic::Loaded() {
  TCustomFuzzyLogic::Loaded();
  Parse();
}

// ---- texts -------------------------------------------------------------------------------------

void TIFuzzyLogic::WriteVariables(TStrings& Text) const {
  for (const IPtr<IFuzzyVariable>& Variable : *FItems) Text.Add(Variable->ToString());
}

void TIFuzzyLogic::ClearVariables() { FItems->Clear(); }

// ---- threshold, automatic terms, joining and leaving -------------------------------------------

void TIFuzzyLogic::ThresholdChanged() {
  TCustomFuzzyLogic::ThresholdChanged();
  for (const IPtr<IFuzzyVariable>& Variable : *FItems) Variable->SetThreshold(Threshold());
}

void TIFuzzyLogic::AddAutoTerms(const IPtr<IFuzzyVariable>& Variable) {
  auto NewTerm = [&Variable](std::string_view Name) -> IPtr<IFuzzySet> {
    const std::string Term(Name);
    return Variable->ContainsFuzzySet(Term) ? nullptr : Variable->Add(Term);
  };
  auto SetLine = [](IFuzzySet& Set, TFzyFloat X1, TFzyFloat Y1, TFzyFloat X2, TFzyFloat Y2) {
    Set.BeginUpdate();
    Set.Add(X1, Y1);
    Set.Add(X2, Y2);
    Set.EndUpdate();
  };
  CreateAutoTerms(Variable->Minimum(), Variable->Maximum(), NewTerm, SetLine);
}

void TIFuzzyLogic::VariableAdded(const IPtr<IFuzzyVariable>& Variable) {
  Variable->SetThreshold(Threshold());
  if (AutoTerms()) AddAutoTerms(Variable);
  Variable->SetOnFuzzySetAdded(
      [this](const IPtr<IFuzzyVariable>& Sender, const IPtr<IFuzzySet>& Set) { FuzzySetAdded(Sender, Set); });
  Variable->SetOnFuzzySetDeleted([this](const IPtr<IFuzzyVariable>& Sender, const IPtr<IFuzzySet>& Set) {
    FuzzySetDeleted(Sender, Set);
  });
  Variable->SetOnFuzzySetChange([this](const IPtr<IFuzzyVariable>& Sender, const IPtr<IFuzzySet>& Set) {
    UpdateFuzzySet(Sender, Set);
  });
  if (FOnVariableAdded) FOnVariableAdded(Variable);
}

void TIFuzzyLogic::VariableDeleted(const IPtr<IFuzzyVariable>& Variable) {
  Unhook(*Variable);
  if (FOnVariableDeleted) FOnVariableDeleted(Variable);
}

void TIFuzzyLogic::Unhook(IFuzzyVariable& Variable) {
  Variable.SetOnFuzzySetAdded(nullptr);
  Variable.SetOnFuzzySetDeleted(nullptr);
  Variable.SetOnFuzzySetChange(nullptr);
}

// ---- change reports ----------------------------------------------------------------------------

void TIFuzzyLogic::FuzzySetAdded(const IPtr<IFuzzyVariable>& Variable, const IPtr<IFuzzySet>& FuzzySet) {
  if (FOnFuzzySetAdded) FOnFuzzySetAdded(Variable, FuzzySet);
}

void TIFuzzyLogic::FuzzySetDeleted(const IPtr<IFuzzyVariable>& Variable, const IPtr<IFuzzySet>& FuzzySet) {
  if (FOnFuzzySetDeleted) FOnFuzzySetDeleted(Variable, FuzzySet);
}

void TIFuzzyLogic::UpdateVariable(const IPtr<IFuzzyVariable>& Variable) {
  SetNeedsUpdate(true);
  if (Variable) {
    if (FOnVariableChange) FOnVariableChange(Variable);
  } else if (OnChange()) {
    OnChange()(this);
  }
}

void TIFuzzyLogic::UpdateFuzzySet(const IPtr<IFuzzyVariable>& Variable, const IPtr<IFuzzySet>& FuzzySet) {
  SetNeedsUpdate(true);
  if (FOnFuzzySetChange) FOnFuzzySetChange(Variable, FuzzySet);
}

}  // namespace fuzzy
