#include "fuzzy/rules/fuzzy_antecedent.h"

#include <algorithm>

#include "fuzzy/language/fuzzy_words.h"
#include "fuzzy/runtime/recycled_memory.h"

namespace fuzzy {

namespace {

constexpr std::string_view SNotATerm = "Invalid rule clause: \"%s\" is not a term of \"%s\"";
constexpr std::string_view SMissingClauseSet = "Invalid rule clause: \"%s\" has no set";
constexpr std::string_view SEmptyClauseText = "Invalid rule clause: the set of \"%s\" has no text";

}  // namespace

TFuzzyAntecedent TFuzzyAntecedent::Is(TFuzzyVariable& Variable, const TFuzzySet& Term) {
  if (Term.Collection() != &Variable.Items()) throw EFzyException(SNotATerm, {Term.Name(), Variable.Name()});
  TFuzzyAntecedent Result;
  Result.FClauses.push_back(TFuzzyClause(Variable, Term, nullptr, WordText(Term.Name())));
  Result.FSteps.push_back({0, {}});
  return Result;
}

TFuzzyAntecedent TFuzzyAntecedent::Is(TFuzzyVariable& Variable, TFuzzySet* Set, std::string Text) {
  if (!Set) throw EFzyException(SMissingClauseSet, {Variable.Name()});
  if (Text.empty()) throw EFzyException(SEmptyClauseText, {Variable.Name()});
  // A set left in a variable would be freed with it, behind the clause's back.
  if (Set->Collection()) Set->SetCollection(nullptr);
  TOwned<TFuzzySet> Owned = Adopt(Set);
  TFuzzyAntecedent Result;
  Result.FClauses.push_back(TFuzzyClause(Variable, *Set, std::move(Owned), std::move(Text)));
  Result.FSteps.push_back({0, {}});
  return Result;
}

TFuzzyAntecedent TFuzzyAntecedent::Combine(TFuzzyAntecedent Left, TFuzzyConnective Connective,
                                           TFuzzyAntecedent Right) {
  Connective.Degree();  // raises for a connective without a degree function
  TFuzzyAntecedent Result = std::move(Left);
  const int Offset = static_cast<int>(Result.FClauses.size());
  for (TFuzzyClause& Clause : Right.FClauses) Result.FClauses.push_back(std::move(Clause));
  for (TStep Step : Right.FSteps) {
    if (Step.Clause >= 0) Step.Clause += Offset;
    Result.FSteps.push_back(Step);
  }
  Result.FSteps.push_back({-1, Connective});
  // The left operand's value waits on the stack while the right operand is evaluated.
  Result.FDepth = std::max(Result.FDepth, Right.FDepth + 1);
  return Result;
}

TFzyFloat TFuzzyAntecedent::Strength(std::span<const TFzyFloat> Degrees) const {
  TRecycledVector<TFzyFloat> Stack;
  Stack.reserve(static_cast<std::size_t>(FDepth));
  for (const TStep& Step : FSteps) {
    if (Step.Clause >= 0) {
      Stack.push_back(Degrees[static_cast<std::size_t>(Step.Clause)]);
      continue;
    }
    const TFzyFloat Right = Stack.back();
    Stack.pop_back();
    Stack.back() = Step.Connective.Degree()(Stack.back(), Right);
  }
  return Stack.back();
}

std::string TFuzzyAntecedent::ToString() const {
  struct TPart {
    std::string Text;
    bool Combined;
    TFuzzyConnective Connective;
  };
  std::vector<TPart> Stack;
  for (const TStep& Step : FSteps) {
    if (Step.Clause >= 0) {
      const TFuzzyClause& Clause = FClauses[static_cast<std::size_t>(Step.Clause)];
      Stack.push_back({WordText(Clause.Variable().Name()) + " is " + Clause.Text(), false, {}});
      continue;
    }
    TPart Right = std::move(Stack.back());
    Stack.pop_back();
    TPart& Left = Stack.back();
    auto Enclose = [](const TPart& Part, bool Needed) {
      return Needed ? std::string(LeftFuzzyParentheses) + Part.Text + std::string(RightFuzzyParentheses)
                    : Part.Text;
    };
    Left.Text = Enclose(Left, Left.Combined && Left.Connective != Step.Connective) + " " +
                std::string(Step.Connective.Keyword()) + " " + Enclose(Right, Right.Combined);
    Left.Combined = true;
    Left.Connective = Step.Connective;
  }
  return Stack.back().Text;
}

}  // namespace fuzzy
