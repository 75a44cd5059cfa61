#pragma once
// The condition of a rule: clauses "variable is set" combined into a tree by connectives of any
// flavour ("and", "or", "and-product", "or-sum", ...). Negation and hedges are part of a clause's
// set ("service is not poor", "food is very good"): the set is a term of the variable, or a set
// computed from an expression over its terms that the clause then owns.
//
// An antecedent is a value: build the leaves with Is, join them with Combine, and hand the result
// to a rule block, which keeps it.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fuzzy/engine/fuzzy_degrees.h"
#include "fuzzy/model/fuzzy_variable.h"

namespace fuzzy {

// An intersection ("and...") or a union ("or...") of two conditions under the flavour Operation;
// IsFuzzyKeyword gives both parts for a keyword.
struct TFuzzyConnective {
  bool IsUnion = false;
  TFuzzyOperation Operation = foZadeh;

  // The keyword that names the connective, such as "and" or "or-product".
  std::string_view Keyword() const {
    return IsUnion ? FuzzyUnionKeywords[Operation] : FuzzyIntersectionKeywords[Operation];
  }
  // Raises EFzyException (SInvalidFuzzyOperation) for an intersection of kind foSum.
  TFuzzyDegreeFunction Degree() const {
    return IsUnion ? UnionDegreeFunction(Operation) : IntersectionDegreeFunction(Operation);
  }
  friend bool operator==(const TFuzzyConnective&, const TFuzzyConnective&) = default;
};

inline constexpr TFuzzyConnective FuzzyAnd{false, foZadeh};
inline constexpr TFuzzyConnective FuzzyOr{true, foZadeh};

// "Variable is Set".
class TFuzzyClause {
 public:
  TFuzzyVariable& Variable() const { return *FVariable; }
  const TFuzzySet& Set() const { return *FSet; }
  // The set as the rule writes it: the expression's text, or the term's name as a word that reads
  // back to it (WordText: in double quotes when it holds a space or a delimiter).
  const std::string& Text() const { return FText; }
  // The set was computed for this clause (and belongs to it) rather than being a term.
  bool OwnsSet() const { return FOwnedSet != nullptr; }

 private:
  friend class TFuzzyAntecedent;
  TFuzzyClause(TFuzzyVariable& Variable, const TFuzzySet& Set, TOwned<TFuzzySet> OwnedSet, std::string Text)
      : FVariable(&Variable), FSet(&Set), FOwnedSet(std::move(OwnedSet)), FText(std::move(Text)) {}

  TFuzzyVariable* FVariable;
  const TFuzzySet* FSet;
  TOwned<TFuzzySet> FOwnedSet;
  std::string FText;
};

class TFuzzyAntecedent {
 public:
  // "Variable is Term". Raises EFzyException when Term is not one of Variable's sets.
  static TFuzzyAntecedent Is(TFuzzyVariable& Variable, const TFuzzySet& Term);
  // "Variable is Text", where Set is the set that Text describes (an expression's result). The
  // clause takes Set over: a set that is in a collection (a variable's result) leaves it first.
  // Raises EFzyException for a missing set or an empty text.
  static TFuzzyAntecedent Is(TFuzzyVariable& Variable, TFuzzySet* Set, std::string Text);
  // "Left Connective Right". Raises EFzyException (SInvalidFuzzyOperation) for an intersection of
  // kind foSum, which has no degree function.
  static TFuzzyAntecedent Combine(TFuzzyAntecedent Left, TFuzzyConnective Connective, TFuzzyAntecedent Right);

  // One step of the condition in postfix order: the degree of a clause (Clause >= 0), or the
  // connective of the two conditions before it (Clause < 0).
  struct TStep {
    int Clause;
    TFuzzyConnective Connective;
  };

  // The clauses in the order the condition writes them.
  std::span<const TFuzzyClause> Clauses() const { return FClauses; }
  std::span<const TStep> Steps() const { return FSteps; }
  // The longest run of conditions waiting for their connective while the steps are evaluated.
  int Depth() const { return FDepth; }

  // The strength of the condition when clause I has the degree Degrees[I].
  TFzyFloat Strength(std::span<const TFzyFloat> Degrees) const;
  // The condition as written, "service is poor or food is rancid": a combined operand is put in
  // brackets unless it is the left operand of the same connective.
  std::string ToString() const;

 private:
  TFuzzyAntecedent() = default;

  std::vector<TFuzzyClause> FClauses;
  std::vector<TStep> FSteps;
  int FDepth = 1;
};

}  // namespace fuzzy
