#include "fuzzy/rules/fuzzy_evaluator.h"

#include <algorithm>
#include <cmath>

#include "fuzzy/rules/fuzzy_system.h"
#include "fuzzy/runtime/update_bracket.h"

namespace fuzzy {

namespace {

constexpr std::string_view SInputNotANumber = "Input \"%s\" is not a number";
constexpr std::string_view SEvaluationShape = "Invalid evaluation: expected %d inputs and %d outputs";
constexpr std::string_view SForeignWorkspace =
    "Invalid evaluation: the workspace was made for another evaluator";
constexpr std::string_view SBatchShape =
    "Invalid batch: %d values do not make rows of %d inputs and %d outputs";

// The room a new workspace makes for one accumulated set at most.
constexpr int UnionCapacityLimit = 4096;

// The points of a copy of Term made by its variable, as AssertRule's clone of it has them.
void ClonePoints(const TFuzzySet& Term, const TFuzzyVariable& Variable, std::vector<TFzyFloat>& X,
                 std::vector<TFzyFloat>& Y) {
  TOwned<TFuzzySet> Copy = MakeOwned<TFuzzySet>(nullptr);
  {
    TUpdateBracket Bracket(Copy->Values());
    for (const TFuzzySetValue* P : Term.Values())
      Copy->Values().Add()->SetValue(std::clamp(P->X(), Variable.Minimum(), Variable.Maximum()),
                                     std::max(P->Y(), 0.0));
  }
  for (const TFuzzySetValue* P : Copy->Values()) {
    X.push_back(P->X());
    Y.push_back(P->Y());
  }
}

template <typename T>
int IndexOf(std::span<T* const> List, const T* Item) {
  return static_cast<int>(std::find(List.begin(), List.end(), Item) - List.begin());
}

}  // namespace

TFuzzyEvaluator TFuzzySystem::Compile() const {
  CheckIntact();
  return TFuzzyEvaluator(*this);
}

// ---- compiling ---------------------------------------------------------------------------------

TFuzzyEvaluator::TFlatSet TFuzzyEvaluator::AddPoints(std::span<const TFzyFloat> X,
                                                     std::span<const TFzyFloat> Y) {
  const TFlatSet Set{static_cast<int>(FX.size()), static_cast<int>(X.size())};
  FX.insert(FX.end(), X.begin(), X.end());
  FY.insert(FY.end(), Y.begin(), Y.end());
  return Set;
}

TFuzzyEvaluator::TFuzzyEvaluator(const TFuzzySystem& System) {
  const TFuzzyLogic& Logic = System.Logic();
  for (const TFuzzyVariable* Input : System.Inputs())
    FInputs.push_back({Input->Name(), Input->Minimum(), Input->Maximum()});

  // Every output's terms are made once, in the order the rules first name them.
  std::vector<std::vector<const TFuzzySet*>> OutputTerms(System.Outputs().size());
  std::vector<std::vector<int>> OutputFirings(System.Outputs().size());
  std::vector<std::pair<int, const TFuzzySet*>> SlotKeys;
  std::vector<TFzyFloat> X, Y;

  for (int B = 0; B < System.RuleBlockCount(); ++B) {
    const TFuzzyRuleBlock& Block = System.RuleBlocks(B);
    for (int R = 0; R < Block.Count(); ++R) {
      const TFuzzyRule& Rule = Block.Items(R);
      const TFuzzyAntecedent& Antecedent = Rule.Antecedent();
      TRule Flat{static_cast<int>(FSteps.size()), static_cast<int>(Antecedent.Steps().size()), Rule.Weight(),
                 static_cast<int>(FConclusions.size()), static_cast<int>(Rule.Conclusions().size())};
      for (const TFuzzyAntecedent::TStep& Step : Antecedent.Steps()) {
        if (Step.Clause < 0) {
          FSteps.push_back({-1, Step.Connective.Degree()});
          continue;
        }
        const TFuzzyClause& Clause = Antecedent.Clauses()[static_cast<std::size_t>(Step.Clause)];
        const std::pair<int, const TFuzzySet*> Key{IndexOf(System.Inputs(), &Clause.Variable()),
                                                   &Clause.Set()};
        auto Found = std::find(SlotKeys.begin(), SlotKeys.end(), Key);
        if (Found == SlotKeys.end()) {
          X.clear();
          Y.clear();
          for (const TFuzzySetValue* P : Clause.Set().Values()) {
            X.push_back(P->X());
            Y.push_back(P->Y());
          }
          FSlots.push_back({Key.first, AddPoints(X, Y)});
          SlotKeys.push_back(Key);
          Found = SlotKeys.end() - 1;
        }
        FSteps.push_back({static_cast<int>(Found - SlotKeys.begin()), nullptr});
      }
      FDepth = std::max(FDepth, Antecedent.Depth());
      for (const TFuzzyConclusion& Conclusion : Rule.Conclusions()) {
        const int Output = IndexOf(System.Outputs(), static_cast<const TFuzzyVariable*>(Conclusion.Variable));
        auto& Terms = OutputTerms[static_cast<std::size_t>(Output)];
        auto Term = std::find(Terms.begin(), Terms.end(), Conclusion.Term);
        if (Term == Terms.end()) Term = Terms.insert(Terms.end(), Conclusion.Term);
        OutputFirings[static_cast<std::size_t>(Output)].push_back(static_cast<int>(FConclusions.size()));
        FConclusions.push_back({Output, static_cast<int>(Term - Terms.begin())});
      }
      FRules.push_back(Flat);
    }
  }

  for (std::size_t O = 0; O < System.Outputs().size(); ++O) {
    const TFuzzyVariable& Variable = *System.Outputs()[O];
    TOutput Output{Variable.Name(),
                   Variable.Minimum(),
                   Variable.Maximum(),
                   Variable.Threshold(),
                   System.DefaultValue(Variable.Name()),
                   Logic.CorrelationMethod(),
                   InferenceOperation(Logic.InferenceMethod()),
                   Logic.DefuzzificationMethod(),
                   static_cast<int>(FTerms.size()),
                   static_cast<int>(OutputTerms[O].size()),
                   static_cast<int>(FFirings.size()),
                   static_cast<int>(OutputFirings[O].size())};
    // The room an accumulated set may need: a union holds at most UnionCapacity points of its two
    // sets, and each correlated term at most twice the term's points. Under min-max each term
    // joins once, otherwise each conclusion.
    auto ClipOf = [&](const TFuzzySet* Term) { return 2 * Term->Values().Count(); };
    std::vector<int> Clips;
    if (Output.Inference == foZadeh)
      for (const TFuzzySet* Term : OutputTerms[O]) Clips.push_back(ClipOf(Term));
    else
      for (const int Firing : OutputFirings[O])
        Clips.push_back(ClipOf(
            OutputTerms[O][static_cast<std::size_t>(FConclusions[static_cast<std::size_t>(Firing)].Term)]));
    int Union = 0;
    for (std::size_t K = 0; K < Clips.size(); ++K)
      Union = std::min(K == 0 ? Clips[K] : flat::UnionCapacity(Union, Clips[K]), UnionCapacityLimit);
    FUnionCapacity = std::max(FUnionCapacity, Union);
    // The conclusions' terms become indexes into FTerms.
    for (const int Firing : OutputFirings[O]) {
      FConclusions[static_cast<std::size_t>(Firing)].Term += Output.FirstTerm;
      FFirings.push_back(Firing);
    }
    for (const TFuzzySet* Term : OutputTerms[O]) {
      X.clear();
      Y.clear();
      ClonePoints(*Term, Variable, X, Y);
      FTerms.push_back(AddPoints(X, Y));
      FClipCapacity = std::max(FClipCapacity, 2 * static_cast<int>(X.size()));
    }
    FOutputs.push_back(std::move(Output));
  }
}

int TFuzzyEvaluator::InputIndex(std::string_view Name) const {
  for (std::size_t I = 0; I < FInputs.size(); ++I)
    if (FInputs[I].Name == Name) return static_cast<int>(I);
  return -1;
}

int TFuzzyEvaluator::OutputIndex(std::string_view Name) const {
  for (std::size_t I = 0; I < FOutputs.size(); ++I)
    if (FOutputs[I].Name == Name) return static_cast<int>(I);
  return -1;
}

// ---- evaluating --------------------------------------------------------------------------------

TFuzzyWorkspace::TFuzzyWorkspace(const TFuzzyEvaluator& Evaluator)
    : FValues(Evaluator.FInputs.size()),
      FClamped(Evaluator.FInputs.size()),
      FDegrees(Evaluator.FSlots.size()),
      FStack(static_cast<std::size_t>(Evaluator.FDepth)),
      FStrengths(Evaluator.FConclusions.size()),
      FTermStrengths(Evaluator.FTerms.size()),
      FFired(Evaluator.FOutputs.size()) {
  // The three buffers take turns as correlated term, accumulated set and next union.
  const int Room = std::max(Evaluator.FClipCapacity, Evaluator.FUnionCapacity);
  FClip.Reserve(Room);
  FAccumulated.Reserve(Room);
  FNext.Reserve(Room);
}

void TFuzzyEvaluator::CheckShape(std::size_t Inputs, std::size_t Outputs,
                                 const TFuzzyWorkspace& Workspace) const {
  if (Inputs != FInputs.size() || Outputs != FOutputs.size())
    throw EFzyException(SEvaluationShape, {InputCount(), OutputCount()});
  if (Workspace.FDegrees.size() != FSlots.size() || Workspace.FStrengths.size() != FConclusions.size() ||
      Workspace.FTermStrengths.size() != FTerms.size() ||
      Workspace.FStack.size() < static_cast<std::size_t>(FDepth) ||
      Workspace.FValues.size() != FInputs.size() || Workspace.FFired.size() != FOutputs.size())
    throw EFzyException(SForeignWorkspace);
}

void TFuzzyEvaluator::Evaluate(std::span<const TFzyFloat> Inputs, std::span<TFzyFloat> Outputs,
                               TFuzzyWorkspace& Workspace) const {
  CheckShape(Inputs.size(), Outputs.size(), Workspace);
  EvaluateRow(Inputs.data(), Outputs.data(), Workspace);
}

void TFuzzyEvaluator::EvaluateBatch(std::span<const TFzyFloat> Rows, std::span<TFzyFloat> Results,
                                    TFuzzyWorkspace& Workspace) const {
  const std::size_t InputsPerRow = FInputs.size();
  const std::size_t OutputsPerRow = FOutputs.size();
  const std::size_t Count = InputsPerRow == 0 ? 0 : Rows.size() / InputsPerRow;
  if (Count * InputsPerRow != Rows.size() || Count * OutputsPerRow != Results.size())
    throw EFzyException(SBatchShape, {static_cast<int>(Rows.size()), InputCount(), OutputCount()});
  CheckShape(InputsPerRow, OutputsPerRow, Workspace);
  for (std::size_t Row = 0; Row < Count; ++Row)
    EvaluateRow(Rows.data() + Row * InputsPerRow, Results.data() + Row * OutputsPerRow, Workspace);
}

TFzyFloat TFuzzyEvaluator::RuleStrength(const TRule& Rule, TFuzzyWorkspace& Workspace) const {
  const TStep* Steps = FSteps.data() + Rule.FirstStep;
  const TFzyFloat* Degrees = Workspace.FDegrees.data();
  if (Rule.StepCount == 1) return Degrees[Steps[0].Slot];
  // The stack of conditions waiting for their connective, in the workspace's room.
  TFzyFloat* const Bottom = Workspace.FStack.data();
  TFzyFloat* Top = Bottom;
  for (int S = 0; S < Rule.StepCount; ++S) {
    const TStep& Step = Steps[S];
    if (!Step.Connective) {
      *Top++ = Degrees[Step.Slot];
    } else {
      --Top;
      Top[-1] = Step.Connective(Top[-1], *Top);
    }
  }
  return Bottom[0];
}

int TFuzzyEvaluator::Accumulate(const TOutput& Output, TFuzzyWorkspace& Workspace) const {
  flat::TPointBuffer& Accumulated = Workspace.FAccumulated;
  flat::TPointBuffer& Clip = Workspace.FClip;
  flat::TPointBuffer& Next = Workspace.FNext;
  auto Correlate = [&](int Term, TFzyFloat Strength) {
    const flat::TPointsView Points = View(FTerms[static_cast<std::size_t>(Term)]);
    if (Output.Correlation == fcmProduct)
      flat::CorrelateProduct(Points, Strength, Clip);
    else
      flat::CorrelateMinimum(Points, Strength, Clip);
  };
  int Unions = 0;
  auto Gather = [&] {
    if (Unions++ == 0) {
      Accumulated.Swap(Clip);
      return;
    }
    Next.Reserve(flat::UnionCapacity(Accumulated.Count(), Clip.Count()));
    flat::Union(Accumulated.View(), Clip.View(), Output.Inference, Next);
    Accumulated.Swap(Next);
  };

  const int* Firings = FFirings.data() + Output.FirstFiring;
  int Fired = 0;
  if (Output.Inference == foZadeh) {
    // The union of maxima is the union of each term's strongest conclusion.
    TFzyFloat* Strongest = Workspace.FTermStrengths.data();
    std::fill(Strongest + Output.FirstTerm, Strongest + Output.FirstTerm + Output.TermCount, -1.0);
    for (int K = 0; K < Output.FiringCount; ++K) {
      const TFzyFloat Strength = Workspace.FStrengths[static_cast<std::size_t>(Firings[K])];
      if (Strength < Output.Threshold) continue;
      ++Fired;
      TFzyFloat& Best = Strongest[FConclusions[static_cast<std::size_t>(Firings[K])].Term];
      Best = std::max(Best, Strength);
    }
    for (int T = Output.FirstTerm; T < Output.FirstTerm + Output.TermCount; ++T)
      if (Strongest[T] >= 0) {
        Correlate(T, Strongest[T]);
        Gather();
      }
    // Two conclusions of one term still make a union, with its level-run pass.
    if (Fired > 1 && Unions == 1) {
      flat::RemoveLevelRuns(Accumulated.View(), Next);
      Accumulated.Swap(Next);
    }
    return Fired;
  }
  for (int K = 0; K < Output.FiringCount; ++K) {
    const TFzyFloat Strength = Workspace.FStrengths[static_cast<std::size_t>(Firings[K])];
    if (Strength < Output.Threshold) continue;
    ++Fired;
    Correlate(FConclusions[static_cast<std::size_t>(Firings[K])].Term, Strength);
    Gather();
  }
  return Fired;
}

void TFuzzyEvaluator::EvaluateRow(const TFzyFloat* Inputs, TFzyFloat* Outputs,
                                  TFuzzyWorkspace& Workspace) const {
  for (std::size_t I = 0; I < FInputs.size(); ++I) {
    const TFzyFloat Given = Inputs[I];
    if (std::isnan(Given)) [[unlikely]]
      throw EFzyException(SInputNotANumber, {FInputs[I].Name});
    const TFzyFloat Value = std::clamp(Given, FInputs[I].Minimum, FInputs[I].Maximum);
    Workspace.FValues[I] = Value;
    Workspace.FClamped[I] = Value != Given;
  }
  for (std::size_t S = 0; S < FSlots.size(); ++S)
    Workspace.FDegrees[S] = flat::DegreeOfMembership(
        View(FSlots[S].Set), Workspace.FValues[static_cast<std::size_t>(FSlots[S].Input)]);
  for (const TRule& Rule : FRules) {
    const TFzyFloat Strength = RuleStrength(Rule, Workspace) * Rule.Weight;
    std::fill_n(Workspace.FStrengths.begin() + Rule.FirstConclusion, Rule.ConclusionCount, Strength);
  }
  for (std::size_t O = 0; O < FOutputs.size(); ++O) {
    const TOutput& Output = FOutputs[O];
    const int Fired = Accumulate(Output, Workspace);
    Workspace.FFired[O] = Fired > 0;
    if (Fired == 0)
      Outputs[O] = Output.Default;
    else if (Output.Defuzzification == dmCenterOfGravity)
      Outputs[O] = flat::CenterOfGravity(Workspace.FAccumulated.View(), Output.Minimum, Output.Maximum);
    else
      Outputs[O] = flat::MeanOfMaxima(Workspace.FAccumulated.View());
  }
}

}  // namespace fuzzy
