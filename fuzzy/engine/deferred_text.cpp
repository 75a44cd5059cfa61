#include "fuzzy/engine/deferred_text.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <thread>

#include "fuzzy/runtime/format.h"
#include "fuzzy/runtime/recycled_memory.h"

namespace fuzzy {

namespace {

// A recipe over recipes this deep writes its operands first, so that no first read recurses
// deeper than this however long a chain of derivations grows.
constexpr int MaxDepth = 32;

}  // namespace

class TDeferredText::TRecipe {
 public:
  enum class TKind : std::uint8_t { Plain, HedgedName, HedgedExpression, CombinedName, CombinedExpression, Number };

  // Recipes are small and short-lived, like the library's objects.
  static void* operator new(std::size_t Size) { return recycled_memory::Allocate(Size); }
  static void operator delete(void* Block, std::size_t Size) noexcept { recycled_memory::Release(Block, Size); }

  // A text already written.
  explicit TRecipe(std::string Text) : FKind(TKind::Plain), FState(Written), FText(std::move(Text)) {}
  TRecipe(TKind Kind, std::string_view Operation, const TDeferredText& Left, const TDeferredText& Right)
      : FKind(Kind), FOperation(Operation), FLeft(Left), FRight(Right) {
    const int Deepest = std::max(Left.Depth(), Right.Depth());
    if (Deepest < MaxDepth) {
      FDepth = Deepest + 1;
      return;
    }
    FLeft = TDeferredText(Left.Text());
    FRight = TDeferredText(Right.Text());
  }

  // 0 once the text is written: reading it recurses no further.
  int Depth() const { return FState.load(std::memory_order_acquire) == Written ? 0 : FDepth; }

  const std::string& Text() {
    // A recipe is shared by the copies of its text and by the recipes built on it, whose sets may
    // be read from different threads: one reader writes the text, and the others wait until it is
    // complete (writing takes a moment, so they yield rather than sleep).
    for (;;) {
      std::uint8_t State = FState.load(std::memory_order_acquire);
      if (State == Written) return FText;
      if (State == Unwritten && FState.compare_exchange_weak(State, Writing, std::memory_order_acquire)) {
        try {
          Write();
        } catch (...) {
          FState.store(Unwritten, std::memory_order_release);
          throw;
        }
        FState.store(Written, std::memory_order_release);
        return FText;
      }
      if (State == Writing) std::this_thread::yield();
    }
  }

  TKind FKind;
  bool FModifyY = false;
  TBaseFuzzyHedge FHedge = bfhAdd;
  TFzyFloat FValue = 0;

 private:
  void Write() {
    switch (FKind) {
      case TKind::Plain:
        break;
      case TKind::HedgedName:
        FText = CreateFuzzyName(FLeft.Text(), FHedge, FModifyY, FValue);
        break;
      case TKind::HedgedExpression:
        FText = CreateFuzzyName(FHedge, FModifyY, FLeft.Text());
        break;
      case TKind::CombinedName:
        FText = CreateFuzzyName(FLeft.Text(), FRight.Text(), FOperation);
        break;
      case TKind::CombinedExpression:
        FText = CombineFuzzyExpressions(FLeft.Text(), FOperation, FRight.Text());
        break;
      case TKind::Number:
        FText = FloatToStrF(FValue, 4);
        break;
    }
    // The operands are no longer needed: let them go with whatever they hold on to.
    FLeft = TDeferredText();
    FRight = TDeferredText();
  }

  friend class TDeferredText;
  // The texts that hold the recipe; a new recipe is held by the text it is made for.
  std::atomic<int> FReferences = 1;
  enum : std::uint8_t { Unwritten, Writing, Written };
  std::atomic<std::uint8_t> FState = Unwritten;
  int FDepth = 1;
  std::string FOperation;
  TDeferredText FLeft;
  TDeferredText FRight;
  std::string FText;
};

TDeferredText::TDeferredText(std::string Text) {
  if (!Text.empty()) FRecipe = new TRecipe(std::move(Text));
}

TDeferredText::TDeferredText(const TDeferredText& Other) : FRecipe(Other.FRecipe) {
  if (FRecipe) FRecipe->FReferences.fetch_add(1, std::memory_order_relaxed);
}

void TDeferredText::Release(TRecipe* Recipe) {
  if (Recipe->FReferences.fetch_sub(1, std::memory_order_acq_rel) == 1) delete Recipe;
}

const std::string& TDeferredText::Text() const {
  static const std::string EmptyText;
  return FRecipe ? FRecipe->Text() : EmptyText;
}

int TDeferredText::Depth() const { return FRecipe ? FRecipe->Depth() : 0; }

TDeferredText TDeferredText::HedgedName(const TDeferredText& Name, TBaseFuzzyHedge Hedge, bool ModifyY,
                                        TFzyFloat Value) {
  TDeferredText Text(new TRecipe(TRecipe::TKind::HedgedName, std::string_view(), Name, TDeferredText()));
  Text.FRecipe->FHedge = Hedge;
  Text.FRecipe->FModifyY = ModifyY;
  Text.FRecipe->FValue = Value;
  return Text;
}

TDeferredText TDeferredText::HedgedExpression(TBaseFuzzyHedge Hedge, bool ModifyY, const TDeferredText& Expression) {
  TDeferredText Text(new TRecipe(TRecipe::TKind::HedgedExpression, std::string_view(), Expression, TDeferredText()));
  Text.FRecipe->FHedge = Hedge;
  Text.FRecipe->FModifyY = ModifyY;
  return Text;
}

TDeferredText TDeferredText::CombinedName(const TDeferredText& Left, const TDeferredText& Right,
                                          std::string_view Operation) {
  return TDeferredText(new TRecipe(TRecipe::TKind::CombinedName, Operation, Left, Right));
}

TDeferredText TDeferredText::CombinedExpression(const TDeferredText& LeftExpression, const TDeferredText& LeftName,
                                                std::string_view Operation, const TDeferredText& RightExpression,
                                                const TDeferredText& RightName) {
  // Each side's ExpressionOperand, chosen without writing a text: a recipe is never empty.
  return TDeferredText(new TRecipe(TRecipe::TKind::CombinedExpression, Operation,
                                   LeftExpression.Empty() ? LeftName : LeftExpression,
                                   RightExpression.Empty() ? RightName : RightExpression));
}

TDeferredText TDeferredText::Number(TFzyFloat Value) {
  TDeferredText Text(new TRecipe(TRecipe::TKind::Number, std::string_view(), TDeferredText(), TDeferredText()));
  Text.FRecipe->FValue = Value;
  return Text;
}

}  // namespace fuzzy
