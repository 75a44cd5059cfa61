#include "fuzzy/model/fuzzy_variable.h"

#include <algorithm>

#include "fuzzy/model/custom_fuzzy_logic_parser.h"
#include "fuzzy/model/fuzzy_logic.h"
#include "fuzzy/model/number_check.h"
#include "fuzzy/runtime/strings.h"
#include "fuzzy/runtime/update_bracket.h"

namespace fuzzy {

namespace {

void RequireSet(const TFuzzySet* FuzzySet, std::string_view Role) {
  if (!FuzzySet) throw EFzyException(SMissingRuleSet, {Role});
}

}  // namespace

// ---- construction and destruction --------------------------------------------------------------

void TFuzzyVariable::AfterConstruction() {
  // The set list exists before the variable joins its collection: the logic component answers the
  // join by adding the automatic terms.
  FItems.reset(CreateItems());
  TGCollectionItem::AfterConstruction();
}

void TFuzzyVariable::BeforeDestruction() {
  if (FItems) {
    // The sets go first, each with its deleted event while the variable is still in its
    // collection. The bracket stays open: its end would report a change of a variable that is
    // going away. The emptied list lives on until the variable has left its collection, so the
    // variable's deleted event still finds its Items.
    FItems->BeginUpdate();
    FItems->Clear();
  }
  TGCollectionItem::BeforeDestruction();
  FItems.reset();
}

TFuzzySets* TFuzzyVariable::CreateItems() { return New<TFuzzySets>(this, FSetClass); }

// ---- properties --------------------------------------------------------------------------------

void TFuzzyVariable::SetMaximum(TFzyFloat Value) {
  CheckNumber(Value, "Maximum");
  if (Value == FMaximum) return;
  FMaximum = Value;
  if (FMinimum > FMaximum) SetMinimum(FMaximum);
  Changed(false);
}

void TFuzzyVariable::SetMinimum(TFzyFloat Value) {
  CheckNumber(Value, "Minimum");
  if (Value == FMinimum) return;
  FMinimum = Value;
  if (FMinimum > FMaximum) SetMaximum(FMinimum);
  Changed(false);
}

void TFuzzyVariable::SetName(const std::string& Value) { SetText(FName, Value); }

void TFuzzyVariable::SetUnits(const std::string& Value) { SetText(FUnits, Value); }

void TFuzzyVariable::SetComment(const std::string& Value) { SetText(FComment, Value); }

void TFuzzyVariable::SetText(std::string& Field, const std::string& Value) {
  if (Value == Field) return;
  Field = Value;
  Changed(false);
}

void TFuzzyVariable::SetThreshold(TFzyFloat Value) {
  CheckNumber(Value, "Threshold");
  FThreshold = std::clamp(Value, 0.0, 1.0);
}

void TFuzzyVariable::SetItemIndex(int Value) {
  if (Value == FItemIndex) return;
  if (FItemIndex >= FItems->Count()) throw EFzyException(SListIndexError, {Value});
  FItemIndex = Value;
  Changed(false);
}

void TFuzzyVariable::SetItems(const TFuzzySets* Value) { FItems->Assign(Value); }

TFuzzyVariables* TFuzzyVariable::GetCollection() const {
  // Looked up once per collection: every change routed through the variable asks for it.
  TCollection* Current = Collection();
  if (Current != FCheckedCollection) {
    FCheckedCollection = Current;
    FVariables = dynamic_cast<TFuzzyVariables*>(Current);
  }
  return FVariables;
}

void TFuzzyVariable::SetCollection(TCollection* Value) {
  // Forget the lookup: the collection it was made for may be gone by the next one.
  FCheckedCollection = nullptr;
  FVariables = nullptr;
  TGCollectionItem::SetCollection(Value);
}

TCustomFuzzyLogic* TFuzzyVariable::GetFuzzy() const {
  const TFuzzyVariables* Variables = GetCollection();
  return Variables ? Variables->GetFuzzy() : nullptr;
}

const TFuzzyLogicContext* TFuzzyVariable::LogicContext() const { return GetFuzzy(); }

// ---- object ------------------------------------------------------------------------------------

void TFuzzyVariable::Assign(const TPersistent* Source) {
  const auto* Variable = dynamic_cast<const TFuzzyVariable*>(Source);
  if (!Variable) {
    TGCollectionItem::Assign(Source);
    return;
  }
  if (Variable == this) return;
  FName = Variable->FName;
  FMinimum = Variable->FMinimum;
  FMaximum = Variable->FMaximum;
  FThreshold = Variable->FThreshold;
  FUnits = Variable->FUnits;
  FComment = Variable->FComment;
  FItemIndex = Variable->FItemIndex;
  FItems->Assign(Variable->FItems.get());
}

void TFuzzyVariable::AssignTo(TPersistent* Dest) const {
  auto* Strings = dynamic_cast<TStrings*>(Dest);
  if (!Strings) {
    TGCollectionItem::AssignTo(Dest);
    return;
  }
  const TUpdateBracketOf<TStrings> Bracket(*Strings);
  Strings->Clear();
  for (TFuzzySet* Set : *FItems) Strings->AddObject(Set->Name(), Set);
}

std::string TFuzzyVariable::GetDisplayName() const {
  return FName.empty() ? TGCollectionItem::GetDisplayName() : FName;
}

std::string TFuzzyVariable::ToString() const {
  const TCustomFuzzyLogic* Logic = GetFuzzy();
  if (Logic && Logic->Parser()) return Logic->Parser()->PrettyPrint(this);
  return GetDisplayName();
}

// ---- change routing ----------------------------------------------------------------------------

void TFuzzyVariable::Notify(TFuzzySet* FuzzySet, TCollectionNotification Action) {
  if (TFuzzyVariables* Variables = GetCollection())
    Variables->NotifyFuzzySet(FuzzySet, Action);
  else
    Changed(false);
}

void TFuzzyVariable::Update(TFuzzySet* FuzzySet) {
  if (FItemIndex >= FItems->Count()) FItemIndex = FItems->Count() - 1;
  TFuzzyVariables* Variables = GetCollection();
  if (FuzzySet && Variables)
    Variables->UpdateFuzzySet(FuzzySet);
  else
    Changed(false);
}

// ---- rules -------------------------------------------------------------------------------------

TFzyFloat TFuzzyVariable::GetCorrelationStrength(TFuzzySetSpan Premises, TFuzzySetSpan Matchings) const {
  return LowestCorrelationStrength(Premises, Matchings);
}

TFuzzySet* TFuzzyVariable::AssertRule(TFzyFloat CorrelationStrength, const TFuzzySet* NewEvidence,
                                      const TFuzzySet* OldEvidence) {
  CheckNumber(CorrelationStrength, "CorrelationStrength");
  if (CorrelationStrength < FThreshold) return nullptr;
  RequireSet(NewEvidence, "NewEvidence");
  TFuzzySet* Consequent = NewEvidence->Clone();
  TFuzzySet* Result = nullptr;
  try {
    Consequent->Correlate(CorrelationStrength);
    if (OldEvidence) Result = OldEvidence->Infer(Consequent, false);
  } catch (...) {
    Consequent->Free();
    throw;
  }
  if (!OldEvidence) return Consequent;
  Consequent->Free();
  return Result;
}

TFuzzySet* TFuzzyVariable::AssertRule(TFuzzySetSpan Premises, TFuzzySetSpan Matchings,
                                      const TFuzzySet* NewEvidence, const TFuzzySet* OldEvidence) {
  return AssertRule(GetCorrelationStrength(Premises, Matchings), NewEvidence, OldEvidence);
}

TFuzzySet* TFuzzyVariable::AssertRule(const TFuzzySet* Premise, const TFuzzySet* NewEvidence,
                                      const TFuzzySet* Matching, const TFuzzySet* OldEvidence) {
  RequireSet(Premise, "Premise");
  return AssertRule(Premise->GetCorrelationStrength(Matching), NewEvidence, OldEvidence);
}

}  // namespace fuzzy
