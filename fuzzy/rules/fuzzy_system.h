#pragma once
// A fuzzy system: a logic component with its linguistic variables, plus blocks of rules over them.
// A variable named in a rule's antecedent is an input of the system, one named in a consequent an
// output; both lists keep the order in which the rules first name them.
//
// Run fires every rule for crisp input values through the library's own operations: each clause's
// degree is the DegreeOfMembership of the input in the clause's set, the connectives combine the
// degrees by their flavour, the weight scales the strength, and each conclusion fires with the
// output variable's AssertRule into one accumulated set per output (so the variable's threshold and
// the component's correlation and inference methods apply), which the component's
// DefuzzificationMethod turns into the crisp value. An output that no rule fired gets the system's
// default for it, NaN unless one is set; an input outside its variable's range is held within it.
// The sets a cycle makes live in the output variables while it runs, as every AssertRule's do, and
// are freed before it returns.
//
// Compile makes a TFuzzyEvaluator: the same cycle on flat copies of the sets, shared by threads.

#include <span>
#include <string>
#include <utility>
#include <vector>

#include "fuzzy/model/fuzzy_logic.h"
#include "fuzzy/rules/fuzzy_inference.h"
#include "fuzzy/rules/fuzzy_rule_block.h"

namespace fuzzy {

class TFuzzyEvaluator;

// Input values by variable name.
using TFuzzyNamedValues = std::vector<std::pair<std::string, TFzyFloat>>;

class TFuzzySystem : public TObject {
 public:
  std::string ClassName() const override { return "TFuzzySystem"; }

  TFuzzyLogic& Logic() const { return *FLogic; }

  // A new last rule block.
  TFuzzyRuleBlock& AddRuleBlock(const std::string& Name);
  int RuleBlockCount() const { return static_cast<int>(FBlocks.size()); }
  // The block at Index; EListError for a bad index.
  TFuzzyRuleBlock& RuleBlocks(int Index) const;
  // The block named Name, or nullptr.
  TFuzzyRuleBlock* FindRuleBlock(const std::string& Name) const;

  std::span<TFuzzyVariable* const> Inputs() const { return FInputs; }
  std::span<TFuzzyVariable* const> Outputs() const { return FOutputs; }
  // The position of the input named Name, or -1.
  int InputIndex(const std::string& Name) const;

  // The crisp value an output gets when no rule fires; NaN unless set.
  TFzyFloat DefaultValue(const std::string& Output) const;
  void SetDefaultValue(const std::string& Output, TFzyFloat Value);

  // One cycle for the input values in the order of Inputs(). Raises EFzyException for a wrong
  // number of values, a NaN value, or a rule that lost a variable or term it names.
  TFuzzyInference Run(std::span<const TFzyFloat> InputValues);
  // The same with the values by name; raises EFzyException for an unknown or a missing input.
  TFuzzyInference Run(const TFuzzyNamedValues& InputValues);
  // One cycle with every degree, strength and set along the way.
  TFuzzyExplanation Explain(std::span<const TFzyFloat> InputValues);
  TFuzzyExplanation Explain(const TFuzzyNamedValues& InputValues);

  // Raises EFzyException for a rule that lost a variable or term it names (see TFuzzyRule).
  void CheckIntact() const;

  // The evaluator of the system as it is now; later changes of the system do not reach it.
  // Raises like Run for a rule that lost what it names.
  TFuzzyEvaluator Compile() const;

 protected:
  // A system over Logic, or over a new logic component with the library's defaults.
  explicit TFuzzySystem(TOwned<TFuzzyLogic> Logic = nullptr);
  ~TFuzzySystem() override = default;
  template <typename T, typename... Args>
  friend T* New(Args&&...);

 private:
  friend class TFuzzyRuleBlock;
  friend class TFuzzyRule;
  // A variable that rules name is being freed: it leaves the input and output lists.
  void VariableFreed(const TFuzzyVariable* Variable);
  // Raises unless the rule fits the system (see TFuzzyRuleBlock::Add); then takes its variables
  // into the input and output lists.
  void AcceptRule(const TFuzzyAntecedent& Antecedent, std::span<const TFuzzyConclusion> Conclusions);
  std::vector<TFzyFloat> ValuesInOrder(const TFuzzyNamedValues& InputValues) const;
  // Run, and with Explanation also the explanation.
  TFuzzyInference Cycle(std::span<const TFzyFloat> InputValues, TFuzzyExplanation* Explanation);

  TOwned<TFuzzyLogic> FLogic;
  std::vector<TOwned<TFuzzyRuleBlock>> FBlocks;
  std::vector<TFuzzyVariable*> FInputs;
  std::vector<TFuzzyVariable*> FOutputs;
  std::vector<std::pair<std::string, TFzyFloat>> FDefaults;
};

}  // namespace fuzzy
