#pragma once
// One rule: "if ANTECEDENT then VARIABLE is TERM [and VARIABLE is TERM ...] [with WEIGHT]".
//
// A rule belongs to a rule block, which makes it (TFuzzyRuleBlock::Add) and frees it. It refers to
// the variables and terms it names without owning them, and hears when one of them is freed: the
// rule then reports the lost reference, and running or compiling its system raises instead of
// reading freed memory.

#include <span>
#include <string>
#include <vector>

#include "fuzzy/rules/fuzzy_antecedent.h"

namespace fuzzy {

class TFuzzyRuleBlock;

// A weight outside [0, 1]; formatted with the weight ("%.4f").
inline constexpr std::string_view SInvalidRuleWeight = "Invalid rule weight: %s (expected 0 to 1)";

// "Variable is Term" in a rule's consequent.
struct TFuzzyConclusion {
  TFuzzyVariable* Variable;
  const TFuzzySet* Term;
};

class TFuzzyRule : public TGCollectionItem {
 public:
  std::string ClassName() const override { return "TFuzzyRule"; }

  TFuzzyRuleBlock& Block() const { return *FBlock; }
  const TFuzzyAntecedent& Antecedent() const { return FAntecedent; }
  std::span<const TFuzzyConclusion> Conclusions() const { return FConclusions; }
  // Scales the strength of the antecedent; in [0, 1], 1 unless the rule says otherwise.
  TFzyFloat Weight() const { return FWeight; }
  // Raises EFzyException for a weight outside [0, 1] (NaN included).
  void SetWeight(TFzyFloat Value);
  // The rule's text as its source wrote it; empty for a rule built in code.
  const std::string& Text() const { return FText; }
  void SetText(std::string Value) { FText = std::move(Value); }
  // The text, or for a rule without one the rule written out: "if service is poor then tip is
  // cheap", with " with 0.5000" for a weight below 1.
  std::string ToString() const override;

  // What the rule lost when a variable or term it names was freed; empty while it has everything.
  // A rule that lost one keeps its text from the moment of the loss.
  const std::string& LostReference() const { return FLostReference; }

  void AfterConstruction() override;

 protected:
  TFuzzyRule(TFuzzyRuleBlock& Block, TFuzzyAntecedent Antecedent, std::vector<TFuzzyConclusion> Conclusions,
             TFzyFloat Weight);
  ~TFuzzyRule() override = default;
  template <typename T, typename... Args>
  friend T* New(Args&&...);

  void Notification(TGCollectionItem* Item) override;

 private:
  TFuzzyRuleBlock* FBlock;
  TFuzzyAntecedent FAntecedent;
  std::vector<TFuzzyConclusion> FConclusions;
  TFzyFloat FWeight = 1;
  std::string FText;
  std::string FLostReference;
};

}  // namespace fuzzy
