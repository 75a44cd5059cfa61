#include "fuzzy/engine/deferred_text.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "fuzzy/runtime/format.h"
#include "fuzzy/runtime/recycled_memory.h"

namespace fuzzy {

namespace {

bool IsBlank(char C) { return static_cast<unsigned char>(C) <= ' '; }

// What the naming rules ask of a text, known without the text itself, so that a derived text can
// be written in one pass over its recipe tree however deep it is. "Trimmed" is the text without its
// leading and trailing blanks (characters up to the space).
struct TShape {
  bool HasChars = false;       // the text is not empty
  bool Blank = true;           // every character is a blank (also for the empty text)
  bool LeadBlank = false;      // the first character is a blank
  bool TrailBlank = false;     // the last character is a blank
  bool Space = false;          // a space anywhere
  bool LeadSpace = false;      // a space among the leading blanks
  bool TrailSpace = false;     // a space among the trailing blanks
  bool SpaceInside = false;    // a space in the trimmed text
  int TrimmedLength = 0;       // the trimmed text's length, counted up to 3
  char First = 0;              // the trimmed text's first and last characters
  char Last = 0;
  // Brackets of the trimmed text: "[" minus "]" over the whole of it, and the lowest running count
  // over its proper prefixes that are not empty (NoPrefix when it has none).
  int Net = 0;
  int MinProper = INT_MAX;
};

constexpr int NoPrefix = INT_MAX;

TShape ShapeOf(std::string_view Text) {
  TShape S;
  if (Text.empty()) return S;
  S.HasChars = true;
  S.LeadBlank = IsBlank(Text.front());
  S.TrailBlank = IsBlank(Text.back());
  std::size_t Begin = 0;
  std::size_t End = Text.size();
  while (Begin < End && IsBlank(Text[Begin])) S.LeadSpace |= Text[Begin++] == ' ';
  while (End > Begin && IsBlank(Text[End - 1])) S.TrailSpace |= Text[--End] == ' ';
  S.Space = S.LeadSpace || S.TrailSpace;
  if (Begin == End) return S;
  S.Blank = false;
  S.First = Text[Begin];
  S.Last = Text[End - 1];
  S.TrimmedLength = static_cast<int>(std::min<std::size_t>(End - Begin, 3));
  int Count = 0;
  for (std::size_t I = Begin; I < End; ++I) {
    const char C = Text[I];
    S.SpaceInside |= C == ' ';
    if (I > Begin) S.MinProper = std::min(S.MinProper, Count);
    Count += C == '[' ? 1 : (C == ']' ? -1 : 0);
  }
  S.Net = Count;
  S.Space |= S.SpaceInside;
  return S;
}

// The shape of A followed by B.
TShape Concatenated(const TShape& A, const TShape& B) {
  if (!A.HasChars) return B;
  if (!B.HasChars) return A;
  TShape S;
  S.HasChars = true;
  S.LeadBlank = A.LeadBlank;
  S.TrailBlank = B.TrailBlank;
  S.Space = A.Space || B.Space;
  if (A.Blank && B.Blank) {
    S.LeadSpace = S.TrailSpace = S.Space;
    return S;
  }
  if (A.Blank) {
    S = B;
    S.LeadBlank = true;
    S.LeadSpace = A.Space || B.LeadSpace;
    S.Space = A.Space || B.Space;
    return S;
  }
  if (B.Blank) {
    S = A;
    S.TrailBlank = true;
    S.TrailSpace = A.TrailSpace || B.Space;
    S.Space = A.Space || B.Space;
    return S;
  }
  S.Blank = false;
  S.LeadSpace = A.LeadSpace;
  S.TrailSpace = B.TrailSpace;
  S.SpaceInside = A.SpaceInside || B.SpaceInside || A.TrailSpace || B.LeadSpace;
  S.TrimmedLength = std::min(3, A.TrimmedLength + B.TrimmedLength + (A.TrailBlank || B.LeadBlank ? 1 : 0));
  S.First = A.First;
  S.Last = B.Last;
  S.Net = A.Net + B.Net;
  S.MinProper = std::min(A.MinProper, A.Net);
  if (B.MinProper != NoPrefix) S.MinProper = std::min(S.MinProper, A.Net + B.MinProper);
  return S;
}

TShape Concatenated(std::initializer_list<TShape> Parts) {
  TShape S;
  for (const TShape& Part : Parts) S = Concatenated(S, Part);
  return S;
}

const TShape& OpenShape() {
  static const TShape Shape = ShapeOf(LeftFuzzyParentheses);
  return Shape;
}
const TShape& CloseShape() {
  static const TShape Shape = ShapeOf(RightFuzzyParentheses);
  return Shape;
}
const TShape& SpaceShape() {
  static const TShape Shape = ShapeOf(" ");
  return Shape;
}

// A name as an operand of a derived name: enclosed in brackets when it holds a space.
bool QuotesName(const TShape& Name) { return Name.Space; }
// An expression as an operand (FormatFuzzyExpression): trimmed when it holds no space or is wholly
// enclosed in brackets already, else enclosed (untrimmed).
bool TrimsExpression(const TShape& Expression) {
  if (!Expression.SpaceInside) return true;
  return Expression.TrimmedLength > 2 && Expression.First == '[' && Expression.Last == ']' &&
         Expression.MinProper >= 1;
}

TShape Enclosed(const TShape& Text) { return Concatenated({OpenShape(), Text, CloseShape()}); }

TShape Trimmed(TShape Text) {
  if (Text.Blank) return TShape();
  Text.LeadBlank = Text.TrailBlank = Text.LeadSpace = Text.TrailSpace = false;
  Text.Space = Text.SpaceInside;
  return Text;
}

// One writer at a time puts derived texts together: the recipes it reads are not let go under it.
std::mutex& WritingLock() {
  static std::mutex Lock;
  return Lock;
}

}  // namespace

class TDeferredText::TRecipe {
 public:
  enum class TKind : std::uint8_t { Plain, HedgedName, HedgedExpression, CombinedName, CombinedExpression, Number };

  // Recipes are small and short-lived, like the library's objects.
  static void* operator new(std::size_t Size) { return recycled_memory::Allocate(Size); }
  static void operator delete(void* Block, std::size_t Size) noexcept { recycled_memory::Release(Block, Size); }

  // A text already written.
  explicit TRecipe(std::string Text) : FKind(TKind::Plain), FWritten(true), FText(std::move(Text)) {}
  TRecipe(TKind Kind, std::string_view Operation, const TDeferredText& Left, const TDeferredText& Right)
      : FKind(Kind), FOperation(Operation), FLeft(Left), FRight(Right) {}

  const std::string& Text() {
    if (FWritten.load(std::memory_order_acquire)) return FText;
    const std::lock_guard<std::mutex> Guard(WritingLock());
    if (!FWritten.load(std::memory_order_relaxed)) {
      FText = Write(this);
      // The operands are no longer needed: let them go with whatever they hold on to.
      FLeft = TDeferredText();
      FRight = TDeferredText();
      FWritten.store(true, std::memory_order_release);
    }
    return FText;
  }

  TKind FKind;
  bool FModifyY = false;
  TBaseFuzzyHedge FHedge = bfhAdd;
  TFzyFloat FValue = 0;

 private:
  friend class TDeferredText;

  bool Written() const { return FWritten.load(std::memory_order_relaxed); }
  std::string_view HedgeText() const { return BaseHedgeNames[FHedge]; }
  std::string_view HedgeSuffix() const { return FModifyY ? " " : "X "; }
  bool FormatsOperands() const { return FKind == TKind::CombinedExpression; }

  // The shape of each unwritten recipe of Root's tree, from the leaves up, without recursion.
  using TShapes = std::unordered_map<const TRecipe*, TShape>;
  static TShapes ShapesOf(const TRecipe* Root) {
    TShapes Shapes;
    std::vector<std::pair<const TRecipe*, bool>> Stack{{Root, false}};
    while (!Stack.empty()) {
      auto [Recipe, OperandsDone] = Stack.back();
      Stack.pop_back();
      if (Shapes.count(Recipe)) continue;
      if (Recipe->Written()) {
        Shapes.emplace(Recipe, ShapeOf(Recipe->FText));
        continue;
      }
      if (!OperandsDone) {
        Stack.push_back({Recipe, true});
        for (const TRecipe* Operand : {Recipe->FLeft.FRecipe, Recipe->FRight.FRecipe})
          if (Operand && !Shapes.count(Operand)) Stack.push_back({Operand, false});
        continue;
      }
      Shapes.emplace(Recipe, Recipe->ShapeFrom(Shapes));
    }
    return Shapes;
  }

  // This recipe's shape, its operands' shapes known.
  TShape ShapeFrom(const TShapes& Shapes) const {
    auto Of = [&Shapes](const TDeferredText& Operand) {
      return Operand.FRecipe ? Shapes.at(Operand.FRecipe) : TShape();
    };
    auto AsOperand = [this](const TShape& Operand) {
      if (FormatsOperands()) return TrimsExpression(Operand) ? Trimmed(Operand) : Enclosed(Operand);
      return QuotesName(Operand) ? Enclosed(Operand) : Operand;
    };
    switch (FKind) {
      case TKind::Plain:
        break;
      case TKind::HedgedName:
        return Concatenated({AsOperand(Of(FLeft)), SpaceShape(), ShapeOf(HedgeText()), ShapeOf(HedgeSuffix()),
                             ShapeOf(FloatToStrF(FValue, 4))});
      case TKind::HedgedExpression:
        return Concatenated({ShapeOf(HedgeText()), ShapeOf(HedgeSuffix()), AsOperand(Of(FLeft))});
      case TKind::CombinedName:
      case TKind::CombinedExpression:
        return Concatenated({AsOperand(Of(FLeft)), SpaceShape(), ShapeOf(FOperation), SpaceShape(),
                             AsOperand(Of(FRight))});
      case TKind::Number:
        return ShapeOf(FloatToStrF(FValue, 4));
    }
    return ShapeOf(FText);
  }

  // The pieces a recipe's text is made of, in order.
  enum class TPiece : std::uint8_t { Left, Right, Space, Operation, Hedge, Number, End };
  static const TPiece* PiecesOf(TKind Kind) {
    using enum TPiece;
    static constexpr TPiece HedgedName[] = {Left, Space, Hedge, Number, End};
    static constexpr TPiece HedgedExpression[] = {Hedge, Left, End};
    static constexpr TPiece Combined[] = {Left, Space, Operation, Space, Right, End};
    static constexpr TPiece JustNumber[] = {Number, End};
    switch (Kind) {
      case TKind::HedgedName:
        return HedgedName;
      case TKind::HedgedExpression:
        return HedgedExpression;
      case TKind::CombinedName:
      case TKind::CombinedExpression:
        return Combined;
      case TKind::Plain:
      case TKind::Number:
        break;
    }
    return JustNumber;
  }

  // Root's text, written in one pass over its tree with a stack of its own instead of recursion.
  static std::string Write(const TRecipe* Root) {
    const TShapes Shapes = ShapesOf(Root);
    std::string Out;
    struct TFrame {
      const TRecipe* Recipe;
      const TPiece* Next;
      std::size_t Start;  // where the recipe's text begins in Out
      bool Trim;          // the text stands trimmed (an expression operand)
      bool Close;         // the text stands in brackets
    };
    std::vector<TFrame> Stack{{Root, PiecesOf(Root->FKind), 0, false, false}};
    // Writes an operand's text, or puts it on the stack to be written.
    auto Operand = [&](const TRecipe& Parent, const TDeferredText& Text) {
      const TRecipe* Recipe = Text.FRecipe;
      const TShape Shape = Recipe ? Shapes.at(Recipe) : TShape();
      const bool Trim = Parent.FormatsOperands() && TrimsExpression(Shape);
      const bool Enclose = Parent.FormatsOperands() ? !Trim : QuotesName(Shape);
      if (Enclose) Out += LeftFuzzyParentheses;
      if (!Recipe || Recipe->Written()) {
        const std::string_view Written = Recipe ? std::string_view(Recipe->FText) : std::string_view();
        Out += Trim ? TrimView(Written) : Written;
        if (Enclose) Out += RightFuzzyParentheses;
        return;
      }
      Stack.push_back({Recipe, PiecesOf(Recipe->FKind), Out.size(), Trim, Enclose});
    };
    while (!Stack.empty()) {
      TFrame& Frame = Stack.back();
      const TRecipe& Recipe = *Frame.Recipe;
      const TPiece Piece = *Frame.Next++;
      switch (Piece) {
        case TPiece::Left:
          Operand(Recipe, Recipe.FLeft);
          break;
        case TPiece::Right:
          Operand(Recipe, Recipe.FRight);
          break;
        case TPiece::Space:
          Out += ' ';
          break;
        case TPiece::Operation:
          Out += Recipe.FOperation;
          break;
        case TPiece::Hedge:
          Out += Recipe.HedgeText();
          Out += Recipe.HedgeSuffix();
          break;
        case TPiece::Number:
          Out += FloatToStrF(Recipe.FValue, 4);
          break;
        case TPiece::End: {
          const TFrame Done = Frame;
          Stack.pop_back();
          if (Done.Trim) {
            std::size_t Begin = Done.Start;
            while (Begin < Out.size() && IsBlank(Out[Begin])) ++Begin;
            Out.erase(Done.Start, Begin - Done.Start);
            while (Out.size() > Done.Start && IsBlank(Out.back())) Out.pop_back();
          }
          if (Done.Close) Out += RightFuzzyParentheses;
          break;
        }
      }
    }
    return Out;
  }

  // The texts that hold the recipe; a new recipe is held by the text it is made for.
  std::atomic<int> FReferences = 1;
  std::atomic<bool> FWritten = false;
  // The next recipe of a release's list of recipes to free.
  TRecipe* FNextDying = nullptr;
  std::string FOperation;
  TDeferredText FLeft;
  TDeferredText FRight;
  std::string FText;
};

TDeferredText::TDeferredText(std::string Text) {
  if (!Text.empty()) FRecipe = new TRecipe(std::move(Text));
}

void TDeferredText::Assign(std::string_view Text) {
  if (!Text.empty() && FRecipe && FRecipe->FKind == TRecipe::TKind::Plain &&
      FRecipe->FReferences.load(std::memory_order_acquire) == 1) {
    FRecipe->FText.assign(Text);
    return;
  }
  *this = TDeferredText(std::string(Text));
}

TDeferredText::TDeferredText(const TDeferredText& Other) : FRecipe(Other.FRecipe) {
  if (FRecipe) FRecipe->FReferences.fetch_add(1, std::memory_order_relaxed);
}

void TDeferredText::Release(TRecipe* Recipe) {
  // The recipes that the last reference lets go are freed from a list, not by recursion: a chain
  // of derivations may be any number of links long.
  TRecipe* Dying = nullptr;
  auto Drop = [&Dying](TRecipe* Candidate) {
    if (Candidate && Candidate->FReferences.fetch_sub(1, std::memory_order_acq_rel) == 1) {
      Candidate->FNextDying = Dying;
      Dying = Candidate;
    }
  };
  Drop(Recipe);
  while (TRecipe* Next = Dying) {
    Dying = Next->FNextDying;
    Drop(std::exchange(Next->FLeft.FRecipe, nullptr));
    Drop(std::exchange(Next->FRight.FRecipe, nullptr));
    delete Next;
  }
}

bool TDeferredText::IsWritten() const { return !FRecipe || FRecipe->FWritten.load(std::memory_order_acquire); }

const std::string& TDeferredText::Text() const {
  static const std::string EmptyText;
  return FRecipe ? FRecipe->Text() : EmptyText;
}

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
