#pragma once
// A named group of rules of a system, such as the rules of one "defrules" list. The block owns its
// rules; the system owns its blocks.

#include <string>
#include <vector>

#include "fuzzy/rules/fuzzy_rule.h"

namespace fuzzy {

class TFuzzySystem;

class TFuzzyRuleBlock : public TObject {
 public:
  std::string ClassName() const override { return "TFuzzyRuleBlock"; }

  const std::string& Name() const { return FName; }
  TFuzzySystem& System() const { return *FSystem; }

  // A new last rule. Raises EFzyException, adding nothing, when the rule names a variable outside
  // the system's logic component, a conclusion term of another variable, no conclusion at all, a
  // variable that would be both an input and an output of the system, or a weight outside [0, 1].
  TFuzzyRule& Add(TFuzzyAntecedent Antecedent, std::vector<TFuzzyConclusion> Conclusions,
                  TFzyFloat Weight = 1);

  int Count() const { return static_cast<int>(FRules.size()); }
  // The rule at Index; EListError for a bad index.
  TFuzzyRule& Items(int Index) const;

 protected:
  TFuzzyRuleBlock(TFuzzySystem& System, std::string Name) : FSystem(&System), FName(std::move(Name)) {}
  ~TFuzzyRuleBlock() override = default;
  template <typename T, typename... Args>
  friend T* New(Args&&...);

 private:
  TFuzzySystem* FSystem;
  std::string FName;
  std::vector<TOwned<TFuzzyRule>> FRules;
};

}  // namespace fuzzy
