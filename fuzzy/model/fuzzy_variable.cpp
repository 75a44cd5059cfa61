#include "fuzzy/model/fuzzy_variable.h"

#include <algorithm>

#include "fuzzy/model/custom_fuzzy_logic_parser.h"
#include "fuzzy/model/fuzzy_logic.h"
#include "fuzzy/model/internal/rule_firing.h"
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

void TFuzzyVariable::SetName(const std::string& Value) { SetText(FName, Value); }

void TFuzzyVariable::SetUnits(const std::string& Value) { SetText(FUnits, Value); }

void TFuzzyVariable::SetComment(const std::string& Value) { SetText(FComment, Value); }

void TFuzzyVariable::SetText(std::string& Field, const std::string& Value) {
  if (Value == Field) return;
  Field = Value;
  Changed(false);
}

void TFuzzyVariable::SetItemIndex(int Value) {
  if (Value == FItemIndex) return;
  if (FItemIndex >= FItems->Count()) throw EFzyException(SListIndexError, {Value});
  FItemIndex = Value;
  Changed(false);
}

void TFuzzyVariable::SetItems(const TFuzzySets* Value) { FItems->Assign(Value); }

TFuzzyVariables* TFuzzyVariable::GetCollection() const {
  // Every change routed through the variable asks for it: looked up when the variable joins, and
  // only read here, so concurrent readers never write.
  TCollection* Current = Collection();
  return Current == FCheckedCollection ? FVariables : dynamic_cast<TFuzzyVariables*>(Current);
}

void TFuzzyVariable::SetCollection(TCollection* Value) {
  TGCollectionItem::SetCollection(Value);
  FCheckedCollection = Collection();
  FVariables = dynamic_cast<TFuzzyVariables*>(FCheckedCollection);
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
  CopyRange(*Variable, true);
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

namespace {

// The class model's sets for FireRule: the copy joins the conclusion's variable (or stands alone
// when the conclusion does), so freeing it when it is not the result is right in both cases.
struct TClassRules {
  using THeld = TOwned<TFuzzySet>;
  static THeld Clone(const TFuzzySet* Set) { return THeld(Set->Clone()); }
  // By the method of the logic component of the copy's variable.
  static void Correlate(THeld& Set, TFzyFloat Strength) { Set->Correlate(Strength); }
  // The union under the inference method of the logic component of OldEvidence's variable.
  static THeld Infer(const TFuzzySet* OldEvidence, const THeld& Set) {
    return THeld(OldEvidence->Infer(Set.get(), false));
  }
};

}  // namespace

TFuzzySet* TFuzzyVariable::AssertRule(TFzyFloat CorrelationStrength, const TFuzzySet* NewEvidence,
                                      const TFuzzySet* OldEvidence) {
  return FireRule<TClassRules>(Threshold(), CorrelationStrength, NewEvidence, OldEvidence).release();
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
