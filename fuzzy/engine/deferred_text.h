#pragma once
// The name or the expression of a fuzzy set: a text, or the recipe that puts it together from
// other texts when it is first read.
//
// Hedges, combinations and crisp values give a set texts derived from its operands' texts. Most
// such sets (the consequents and accumulations of a rule cycle) are freed without anyone reading
// them, so the recipe keeps its operands (sharing them, so they outlive the operand sets) and the
// text is written only on the first read. The result is the text the eager functions named on each
// recipe would have written at the time.
//
// A text is written once, on its first read, whichever of the sets sharing it is read first and
// from whichever thread.

#include <memory>
#include <string>
#include <string_view>

#include "fuzzy/vocabulary/fuzzy_consts.h"

namespace fuzzy {

class TDeferredText {
 public:
  TDeferredText() = default;
  TDeferredText(std::string Text);

  const std::string& Text() const;
  // Every recipe writes a text that is not empty, so this never puts a text together.
  bool Empty() const { return !FRecipe; }

  // CreateFuzzyName(Name, Hedge, ModifyY, Value); Hedge must lie in its enumeration.
  static TDeferredText HedgedName(const TDeferredText& Name, TBaseFuzzyHedge Hedge, bool ModifyY, TFzyFloat Value);
  // CreateFuzzyName(Hedge, ModifyY, Expression); Hedge must lie in its enumeration.
  static TDeferredText HedgedExpression(TBaseFuzzyHedge Hedge, bool ModifyY, const TDeferredText& Expression);
  // CreateFuzzyName(Left, Right, Operation).
  static TDeferredText CombinedName(const TDeferredText& Left, const TDeferredText& Right,
                                    std::string_view Operation);
  // CombineFuzzyExpressions of the two sides' ExpressionOperand.
  static TDeferredText CombinedExpression(const TDeferredText& LeftExpression, const TDeferredText& LeftName,
                                          std::string_view Operation, const TDeferredText& RightExpression,
                                          const TDeferredText& RightName);
  // FloatToStrF(Value, 4).
  static TDeferredText Number(TFzyFloat Value);

 private:
  class TRecipe;
  explicit TDeferredText(std::shared_ptr<TRecipe> Recipe) : FRecipe(std::move(Recipe)) {}
  // A recipe in recycled memory.
  template <typename... TArgs>
  static std::shared_ptr<TRecipe> MakeRecipe(TArgs&&... Args);
  // How many recipes deep the text is: 0 for a plain text.
  int Depth() const;

  // Null for the empty text. A plain text is a recipe already written, so copies share it.
  std::shared_ptr<TRecipe> FRecipe;
};

}  // namespace fuzzy
