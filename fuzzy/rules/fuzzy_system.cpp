#include "fuzzy/rules/fuzzy_system.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "fuzzy/language/fuzzy_words.h"

namespace fuzzy {

namespace {

constexpr std::string_view SRuleWithoutConclusion = "Invalid rule: it concludes nothing";
constexpr std::string_view SForeignVariable = "Invalid rule: variable \"%s\" is not part of the system";
constexpr std::string_view SNotAConclusionTerm = "Invalid rule conclusion: \"%s\" is not a term of \"%s\"";
constexpr std::string_view SInputAndOutput = "Invalid rule: \"%s\" would be both an input and an output";
constexpr std::string_view SRuleLostReference = "Rule \"%s\" of block \"%s\" names a freed %s";
constexpr std::string_view SInputCount = "Expected %d input values, got %d";
constexpr std::string_view SInputNotANumber = "Input \"%s\" is not a number";
constexpr std::string_view SUnknownInput = "Unknown input: \"%s\"";
constexpr std::string_view SMissingInput = "Missing input value for \"%s\"";

template <typename T>
int IndexIn(const std::vector<T*>& List, const T* Item) {
  const auto Found = std::find(List.begin(), List.end(), Item);
  return Found == List.end() ? -1 : static_cast<int>(Found - List.begin());
}

TFuzzyPoints PointsOf(const TFuzzySet& Set) {
  TFuzzyPoints Points;
  Points.reserve(static_cast<std::size_t>(Set.Values().Count()));
  for (const TFuzzySetValue* P : Set.Values()) Points.push_back({P->X(), P->Y()});
  return Points;
}

TFuzzyOutputSource SourceOf(const TFuzzyVariable& Output) {
  const TCustomFuzzyLogic* Logic = Output.Fuzzy();
  return Logic && Logic->DefuzzificationMethod() != dmCenterOfGravity ? fosMeanOfMaxima : fosCenterOfGravity;
}

}  // namespace

TFuzzySystem::TFuzzySystem(TOwned<TFuzzyLogic> Logic)
    : FLogic(Logic ? std::move(Logic) : MakeOwned<TFuzzyLogic>(nullptr)) {}

// ---- rule blocks -------------------------------------------------------------------------------

TFuzzyRuleBlock& TFuzzySystem::AddRuleBlock(const std::string& Name) {
  FBlocks.push_back(MakeOwned<TFuzzyRuleBlock>(*this, Name));
  return *FBlocks.back();
}

TFuzzyRuleBlock& TFuzzySystem::RuleBlocks(int Index) const {
  if (Index < 0 || Index >= RuleBlockCount()) throw EListError(SListIndexError, {Index});
  return *FBlocks[static_cast<std::size_t>(Index)];
}

TFuzzyRuleBlock* TFuzzySystem::FindRuleBlock(const std::string& Name) const {
  for (const TOwned<TFuzzyRuleBlock>& Block : FBlocks)
    if (Block->Name() == Name) return Block.get();
  return nullptr;
}

void TFuzzySystem::AcceptRule(const TFuzzyAntecedent& Antecedent,
                              std::span<const TFuzzyConclusion> Conclusions) {
  if (Conclusions.empty()) throw EFzyException(SRuleWithoutConclusion);
  auto RequireMember = [this](const TFuzzyVariable* Variable) {
    if (!Variable || Variable->Fuzzy() != FLogic.get())
      throw EFzyException(SForeignVariable, {Variable ? Variable->Name() : std::string()});
  };
  for (const TFuzzyClause& Clause : Antecedent.Clauses()) {
    RequireMember(&Clause.Variable());
    if (IndexIn(FOutputs, &Clause.Variable()) >= 0)
      throw EFzyException(SInputAndOutput, {Clause.Variable().Name()});
  }
  for (const TFuzzyConclusion& Conclusion : Conclusions) {
    RequireMember(Conclusion.Variable);
    if (!Conclusion.Term || Conclusion.Term->Collection() != &Conclusion.Variable->Items())
      throw EFzyException(SNotAConclusionTerm, {Conclusion.Term ? Conclusion.Term->Name() : std::string(),
                                                Conclusion.Variable->Name()});
    const bool InAntecedent =
        std::any_of(Antecedent.Clauses().begin(), Antecedent.Clauses().end(),
                    [&](const TFuzzyClause& C) { return &C.Variable() == Conclusion.Variable; });
    if (InAntecedent || IndexIn(FInputs, Conclusion.Variable) >= 0)
      throw EFzyException(SInputAndOutput, {Conclusion.Variable->Name()});
  }
  // Only now, with nothing left to refuse, the lists take the new variables.
  for (const TFuzzyClause& Clause : Antecedent.Clauses())
    if (IndexIn(FInputs, &Clause.Variable()) < 0) FInputs.push_back(&Clause.Variable());
  for (const TFuzzyConclusion& Conclusion : Conclusions)
    if (IndexIn(FOutputs, Conclusion.Variable) < 0) FOutputs.push_back(Conclusion.Variable);
}

void TFuzzySystem::VariableFreed(const TFuzzyVariable* Variable) {
  std::erase(FInputs, Variable);
  std::erase(FOutputs, Variable);
}

void TFuzzySystem::CheckIntact() const {
  for (const TOwned<TFuzzyRuleBlock>& Block : FBlocks)
    for (int I = 0; I < Block->Count(); ++I) {
      const TFuzzyRule& Rule = Block->Items(I);
      if (!Rule.LostReference().empty())
        throw EFzyException(SRuleLostReference, {Rule.ToString(), Block->Name(), Rule.LostReference()});
    }
}

// ---- inputs and defaults -----------------------------------------------------------------------

int TFuzzySystem::InputIndex(const std::string& Name) const {
  for (std::size_t I = 0; I < FInputs.size(); ++I)
    if (FInputs[I]->Name() == Name) return static_cast<int>(I);
  return -1;
}

TFzyFloat TFuzzySystem::DefaultValue(const std::string& Output) const {
  for (const auto& [Name, Value] : FDefaults)
    if (Name == Output) return Value;
  return std::numeric_limits<TFzyFloat>::quiet_NaN();
}

void TFuzzySystem::SetDefaultValue(const std::string& Output, TFzyFloat Value) {
  for (auto& [Name, Stored] : FDefaults)
    if (Name == Output) {
      Stored = Value;
      return;
    }
  FDefaults.emplace_back(Output, Value);
}

std::vector<TFzyFloat> TFuzzySystem::ValuesInOrder(const TFuzzyNamedValues& InputValues) const {
  std::vector<TFzyFloat> Values(FInputs.size(), std::numeric_limits<TFzyFloat>::quiet_NaN());
  std::vector<bool> Given(FInputs.size(), false);
  for (const auto& [Name, Value] : InputValues) {
    const int Index = InputIndex(Name);
    if (Index < 0) throw EFzyException(SUnknownInput, {Name});
    Values[static_cast<std::size_t>(Index)] = Value;
    Given[static_cast<std::size_t>(Index)] = true;
  }
  for (std::size_t I = 0; I < FInputs.size(); ++I)
    if (!Given[I]) throw EFzyException(SMissingInput, {FInputs[I]->Name()});
  return Values;
}

// ---- the cycle ---------------------------------------------------------------------------------

TFuzzyInference TFuzzySystem::Run(std::span<const TFzyFloat> InputValues) {
  return Cycle(InputValues, nullptr);
}

TFuzzyInference TFuzzySystem::Run(const TFuzzyNamedValues& InputValues) {
  return Run(ValuesInOrder(InputValues));
}

TFuzzyExplanation TFuzzySystem::Explain(std::span<const TFzyFloat> InputValues) {
  TFuzzyExplanation Explanation;
  Explanation.Result = Cycle(InputValues, &Explanation);
  return Explanation;
}

TFuzzyExplanation TFuzzySystem::Explain(const TFuzzyNamedValues& InputValues) {
  return Explain(ValuesInOrder(InputValues));
}

TFuzzyInference TFuzzySystem::Cycle(std::span<const TFzyFloat> InputValues, TFuzzyExplanation* Explanation) {
  CheckIntact();
  if (InputValues.size() != FInputs.size())
    throw EFzyException(SInputCount,
                        {static_cast<int>(FInputs.size()), static_cast<int>(InputValues.size())});

  TFuzzyInference Result;
  Result.Inputs.reserve(FInputs.size());
  Result.Outputs.reserve(FOutputs.size());
  for (std::size_t I = 0; I < FInputs.size(); ++I) {
    const TFuzzyVariable& Input = *FInputs[I];
    const TFzyFloat Given = InputValues[I];
    if (std::isnan(Given)) throw EFzyException(SInputNotANumber, {Input.Name()});
    Result.Inputs.push_back({Input.Name(), Given, std::clamp(Given, Input.Minimum(), Input.Maximum())});
    if (Explanation) Explanation->Inputs.push_back({Result.Inputs.back(), {}});
  }
  auto ValueOf = [&](const TFuzzyVariable& Input) {
    return Result.Inputs[static_cast<std::size_t>(IndexIn(FInputs, &Input))].Value;
  };

  // One accumulated set per output; each lives in its output variable until it is replaced or
  // the cycle ends.
  TRecycledVector<TOwned<TFuzzySet>> Accumulated(FOutputs.size());
  TRecycledVector<TFzyFloat> Degrees;
  for (const TOwned<TFuzzyRuleBlock>& Block : FBlocks)
    for (int R = 0; R < Block->Count(); ++R) {
      const TFuzzyRule& Rule = Block->Items(R);
      const auto Clauses = Rule.Antecedent().Clauses();
      Degrees.clear();
      for (const TFuzzyClause& Clause : Clauses)
        Degrees.push_back(Clause.Set().DegreeOfMembership(ValueOf(Clause.Variable())));
      const TFzyFloat Strength = Rule.Antecedent().Strength(Degrees);
      const TFzyFloat FiringStrength = Strength * Rule.Weight();

      TFuzzyRuleExplanation* Explained = nullptr;
      if (Explanation) {
        Explained = &Explanation->Rules.emplace_back(TFuzzyRuleExplanation{
            Block->Name(), R + 1, Rule.ToString(), {}, Strength, Rule.Weight(), FiringStrength, {}});
        for (std::size_t C = 0; C < Clauses.size(); ++C) {
          const TFuzzyClause& Clause = Clauses[C];
          Explained->Clauses.push_back({Clause.Variable().Name(), Clause.Text(), Degrees[C]});
          auto& InputDegrees =
              Explanation->Inputs[static_cast<std::size_t>(IndexIn(FInputs, &Clause.Variable()))].Degrees;
          const bool Known = std::any_of(InputDegrees.begin(), InputDegrees.end(),
                                         [&](const TFuzzyTermDegree& D) { return D.Term == Clause.Text(); });
          if (!Known) InputDegrees.push_back({Clause.Text(), Degrees[C]});
        }
      }

      for (const TFuzzyConclusion& Conclusion : Rule.Conclusions()) {
        TOwned<TFuzzySet>& Output =
            Accumulated[static_cast<std::size_t>(IndexIn(FOutputs, Conclusion.Variable))];
        if (Explained) {
          // The conclusion alone, as AssertRule makes it before it joins the accumulated set: a
          // set of the output variable, freed again at the end of this step.
          const TOwned<TFuzzySet> Alone(Conclusion.Variable->AssertRule(FiringStrength, Conclusion.Term, nullptr));
          Explained->Conclusions.push_back({Conclusion.Variable->Name(),
                                            WordText(Conclusion.Term->Name()), Alone != nullptr,
                                            Alone ? PointsOf(*Alone) : TFuzzyPoints{}});
        }
        if (TFuzzySet* Fired = Conclusion.Variable->AssertRule(FiringStrength, Conclusion.Term, Output.get()))
          Output.reset(Fired);
      }
    }

  for (std::size_t O = 0; O < FOutputs.size(); ++O) {
    const TFuzzyVariable& Output = *FOutputs[O];
    TFuzzyOutputReport Report{Output.Name(), DefaultValue(Output.Name()), fosNoRuleFired};
    if (const TFuzzySet* Set = Accumulated[O].get()) {
      Report.Value = Set->Defuzzify();
      Report.Source = SourceOf(Output);
    }
    Result.Outputs.push_back(Report);
    if (Explanation)
      Explanation->Outputs.push_back({Report, Accumulated[O] ? PointsOf(*Accumulated[O]) : TFuzzyPoints{}});
  }
  return Result;
}

}  // namespace fuzzy
