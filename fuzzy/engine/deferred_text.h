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
// from whichever thread, in one pass over its recipes: a chain of n derivations costs O(n) to make
// and its text O(its length) to write, without recursion however long the chain grows.
//
//   TDeferredText Name(std::string("warm"));
//   TDeferredText Cut = TDeferredText::HedgedName(Name, bfhCutGreater, true, 0.5);  // nothing written
//   Cut.Text();                                                                      // "warm > 0.5000"

#include <string>
#include <string_view>
#include <utility>

#include "fuzzy/vocabulary/fuzzy_consts.h"

namespace fuzzy {

class TDeferredText {
 public:
  TDeferredText() = default;
  TDeferredText(std::string Text);
  TDeferredText(const TDeferredText& Other);
  TDeferredText(TDeferredText&& Other) noexcept : FRecipe(std::exchange(Other.FRecipe, nullptr)) {}
  TDeferredText& operator=(TDeferredText Other) noexcept {
    std::swap(FRecipe, Other.FRecipe);
    return *this;
  }
  ~TDeferredText() {
    if (FRecipe) Release(FRecipe);
  }

  const std::string& Text() const;
  // Becomes the plain text Text; a plain text that no other text shares is overwritten in place.
  void Assign(std::string_view Text);
  // Every recipe writes a text that is not empty, so this never puts a text together.
  bool Empty() const { return !FRecipe; }
  // The text is there to read without putting it together (a plain text, or a recipe read before).
  bool IsWritten() const;

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
  explicit TDeferredText(TRecipe* Recipe) : FRecipe(Recipe) {}
  // Drops one reference to Recipe, and the recipe with the last one.
  static void Release(TRecipe* Recipe);

  // Null for the empty text, otherwise one of the references the recipe counts. A plain text is a
  // recipe already written, so copies share it.
  TRecipe* FRecipe = nullptr;
};

}  // namespace fuzzy
