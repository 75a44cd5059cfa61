#include "fuzzy/model/fuzzy_logic.h"

#include "fuzzy/model/internal/auto_terms.h"
#include "fuzzy/runtime/update_bracket.h"

namespace fuzzy {

namespace {

// A new defined term Name in Sets, or nullptr when Sets has a term of that name already.
TFuzzySet* NewTerm(TFuzzySets& Sets, std::string_view Name) {
  return Sets.IndexOf(Name) >= 0 ? nullptr : Sets.Add(std::string(Name));
}

// Gives Set the two points (X1, Y1) and (X2, Y2), reported as one change.
void SetLine(TFuzzySet& Set, TFzyFloat X1, TFzyFloat Y1, TFzyFloat X2, TFzyFloat Y2) {
  const TUpdateBracket Bracket(Set.Values());
  Set.Values().Add(X1, Y1);
  Set.Values().Add(X2, Y2);
}

}  // namespace

// ---- construction and destruction --------------------------------------------------------------

void TFuzzyLogic::AfterConstruction() {
  // The variables exist before the component joins its owner, whose notification sees it whole.
  FItems.reset(CreateVariables());
  TCustomFuzzyLogic::AfterConstruction();
}

void TFuzzyLogic::BeforeDestruction() {
  FOnFuzzySetChange = nullptr;
  FOnFuzzySetAdded = nullptr;
  FOnFuzzySetDeleted = nullptr;
  FOnVariableChange = nullptr;
  FOnVariableAdded = nullptr;
  FOnVariableDeleted = nullptr;
  SetOnChange(nullptr);
  FItems.reset();
  TCustomFuzzyLogic::BeforeDestruction();
}

TFuzzyVariables* TFuzzyLogic::CreateVariables() { return FItemsClass(this); }

void TFuzzyLogic::SetItems(const TFuzzyVariables* Value) { FItems->Assign(Value); }

// ---- texts -------------------------------------------------------------------------------------

void TFuzzyLogic::WriteVariables(TStrings& Text) const {
  for (const TFuzzyVariable* Variable : *FItems) Text.Add(Parser()->PrettyPrint(Variable));
}

void TFuzzyLogic::ClearVariables() { FItems->Clear(); }

// ---- threshold and automatic terms -------------------------------------------------------------

void TFuzzyLogic::ThresholdChanged() {
  TCustomFuzzyLogic::ThresholdChanged();
  for (TFuzzyVariable* Variable : *FItems) Variable->SetThreshold(Threshold());
}

void TFuzzyLogic::AddAutoTerms(TFuzzyVariable* Variable) {
  TFuzzySets& Sets = Variable->Items();
  CreateAutoTerms(
      Variable->Minimum(), Variable->Maximum(),
      [&Sets](std::string_view Name) { return NewTerm(Sets, Name); }, SetLine);
}

// ---- change routing ----------------------------------------------------------------------------

void TFuzzyLogic::NotifyVariable(TFuzzyVariable* Variable, TCollectionNotification Action) {
  switch (Action) {
    case TCollectionNotification::cnAdded:
      Variable->SetThreshold(Threshold());
      if (FOnVariableAdded) FOnVariableAdded(this, Variable);
      if (AutoTerms()) AddAutoTerms(Variable);
      break;
    case TCollectionNotification::cnExtracting:
      if (FOnVariableDeleted) FOnVariableDeleted(this, Variable);
      break;
    case TCollectionNotification::cnDeleting:
      break;
  }
}

void TFuzzyLogic::NotifyFuzzySet(TFuzzySet* FuzzySet, TCollectionNotification Action) {
  switch (Action) {
    case TCollectionNotification::cnAdded:
      if (FOnFuzzySetAdded) FOnFuzzySetAdded(this, FuzzySet);
      break;
    case TCollectionNotification::cnExtracting:
      if (FOnFuzzySetDeleted) FOnFuzzySetDeleted(this, FuzzySet);
      break;
    case TCollectionNotification::cnDeleting:
      break;
  }
}

void TFuzzyLogic::UpdateVariable(TFuzzyVariable* Variable) {
  SetNeedsUpdate(true);
  if (Variable) {
    if (FOnVariableChange) FOnVariableChange(this, Variable);
  } else if (OnChange()) {
    OnChange()(this);
  }
}

void TFuzzyLogic::UpdateFuzzySet(TFuzzySet* FuzzySet) {
  SetNeedsUpdate(true);
  if (FOnFuzzySetChange) FOnFuzzySetChange(this, FuzzySet);
}

}  // namespace fuzzy
