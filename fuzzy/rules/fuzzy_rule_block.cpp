#include "fuzzy/rules/fuzzy_rule_block.h"

#include "fuzzy/rules/fuzzy_system.h"

namespace fuzzy {

TFuzzyRule& TFuzzyRuleBlock::Add(TFuzzyAntecedent Antecedent, std::vector<TFuzzyConclusion> Conclusions,
                                 TFzyFloat Weight) {
  // The rule is made first, so that a bad weight raises before the system takes the rule's
  // variables into its lists.
  TOwned<TFuzzyRule> Rule =
      MakeOwned<TFuzzyRule>(*this, std::move(Antecedent), std::move(Conclusions), Weight);
  FSystem->AcceptRule(Rule->Antecedent(), Rule->Conclusions());
  FRules.push_back(std::move(Rule));
  return *FRules.back();
}

TFuzzyRule& TFuzzyRuleBlock::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(SListIndexError, {Index});
  return *FRules[static_cast<std::size_t>(Index)];
}

}  // namespace fuzzy
