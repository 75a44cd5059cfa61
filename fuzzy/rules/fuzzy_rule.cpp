#include "fuzzy/rules/fuzzy_rule.h"

#include "fuzzy/language/fuzzy_words.h"
#include "fuzzy/rules/fuzzy_system.h"
#include "fuzzy/runtime/format.h"

namespace fuzzy {

namespace {

// Variables and terms are items of their collections; each tells the rule when it is freed.
TGCollectionItem* Watched(const TGCollectionItem* Item) { return const_cast<TGCollectionItem*>(Item); }

}  // namespace

TFuzzyRule::TFuzzyRule(TFuzzyRuleBlock& Block, TFuzzyAntecedent Antecedent,
                       std::vector<TFuzzyConclusion> Conclusions, TFzyFloat Weight)
    : TGCollectionItem(nullptr),
      FBlock(&Block),
      FAntecedent(std::move(Antecedent)),
      FConclusions(std::move(Conclusions)) {
  SetWeight(Weight);
}

void TFuzzyRule::AfterConstruction() {
  TGCollectionItem::AfterConstruction();
  for (const TFuzzyClause& Clause : FAntecedent.Clauses()) {
    FreeNotification(&Clause.Variable());
    if (!Clause.OwnsSet()) FreeNotification(Watched(&Clause.Set()));
  }
  for (const TFuzzyConclusion& Conclusion : FConclusions) {
    FreeNotification(Conclusion.Variable);
    FreeNotification(Watched(Conclusion.Term));
  }
}

void TFuzzyRule::Notification(TGCollectionItem* Item) {
  TGCollectionItem::Notification(Item);
  if (const auto* Variable = dynamic_cast<const TFuzzyVariable*>(Item))
    FBlock->System().VariableFreed(Variable);
  if (!FLostReference.empty()) return;
  // Written out while everything it names still exists: afterwards only the text is safe to read.
  FText = ToString();
  if (const auto* Variable = dynamic_cast<const TFuzzyVariable*>(Item))
    FLostReference = "variable \"" + Variable->Name() + "\"";
  else if (const auto* Set = dynamic_cast<const TFuzzySet*>(Item))
    FLostReference = "term \"" + Set->Name() + "\"";
}

void TFuzzyRule::SetWeight(TFzyFloat Value) {
  if (!(Value >= 0 && Value <= 1)) throw EFzyException(SInvalidRuleWeight, {FloatToStrF(Value, 4)});
  FWeight = Value;
}

std::string TFuzzyRule::ToString() const {
  if (!FText.empty()) return FText;
  std::string Result = "if " + FAntecedent.ToString() + " then ";
  for (std::size_t I = 0; I < FConclusions.size(); ++I) {
    if (I > 0) Result += " and ";
    Result += WordText(FConclusions[I].Variable->Name()) + " is " + WordText(FConclusions[I].Term->Name());
  }
  if (FWeight < 1) Result += " with " + FloatToStrF(FWeight, 4);
  return Result;
}

}  // namespace fuzzy
