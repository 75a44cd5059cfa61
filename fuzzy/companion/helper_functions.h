#pragma once
// Infix to postfix conversion, and the character classes of number texts.
//
//   IPtr<IInterfaceList> Postfix = PostFix(Infix, IsOperand, IsOpen, IsClose, InStack, Incoming);
//   // the items of "a or b" come back as "a b or"

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzzy/companion/aq_constants.h"
#include "fuzzy/runtime/interface_list.h"
#include "fuzzy/runtime/recycled_memory.h"

namespace fuzzy {

// A closing bracket with no opening bracket before it.
inline constexpr std::string_view SUnmatchedCloseParen = "Closing bracket without a matching opening bracket";
// An opening bracket that is never closed.
inline constexpr std::string_view SUnmatchedOpenParen = "Opening bracket without a matching closing bracket";
// PostFix called with an empty callback.
inline constexpr std::string_view SPostFixCallbackMissing = "PostFix needs all five callbacks";

using TPostFixTest = std::function<bool(const IPtr<IInterface>& Item)>;
using TPostFixPriority = std::function<int(const IPtr<IInterface>& Item)>;

// Returns a new list with the items of List in postfix order. Each item is, tested in this order,
// an opening bracket, a closing bracket, an operand or else an operator:
//  - an operand goes to the output at once;
//  - an opening bracket is stacked at once and leaves the stack only at its closing bracket;
//  - a closing bracket outputs the operators stacked since its opening bracket, then both
//    brackets are dropped (brackets never reach the output);
//  - an arriving operator first outputs the stacked operators, down to the nearest opening
//    bracket, whose in-stack priority is lower than OR EQUAL TO its own incoming priority, so that
//    equal priorities group from the left; then it is stacked;
//  - at the end the remaining operators are output, top first.
// The priorities of brackets are not consulted. Unbalanced brackets raise EAQException
// (SUnmatchedCloseParen, SUnmatchedOpenParen); so does an empty callback. A nil List gives an
// empty result.
IPtr<IInterfaceList> PostFix(const IPtr<IInterfaceList>& List, const TPostFixTest& IsOperand,
                             const TPostFixTest& IsOpenParen, const TPostFixTest& IsCloseParen,
                             const TPostFixPriority& InStackPriority,
                             const TPostFixPriority& IncomingPriority);

// PostFix's algorithm over items of any kind, for callers that know their items without an
// interface list: GetItem(I) gives item I of Count, the five tests are PostFix's, and Output takes
// each item in postfix order. PostFix itself runs on it.
template <typename TItem, typename TGetItem, typename TIsOperand, typename TIsOpenParen, typename TIsCloseParen,
          typename TInStackPriority, typename TIncomingPriority, typename TOutput>
void PostFixOrder(int Count, TGetItem&& GetItem, TIsOperand&& IsOperand, TIsOpenParen&& IsOpenParen,
                  TIsCloseParen&& IsCloseParen, TInStackPriority&& InStackPriority,
                  TIncomingPriority&& IncomingPriority, TOutput&& Output) {
  struct TStacked {
    TItem Item;
    bool IsOpenParen;
  };
  TRecycledVector<TStacked> Stack;
  Stack.reserve(static_cast<std::size_t>(std::max(Count, 0)));
  const auto OutputTop = [&] {
    Output(std::move(Stack.back().Item));
    Stack.pop_back();
  };
  for (int I = 0; I < Count; ++I) {
    TItem Item = GetItem(I);
    if (IsOpenParen(Item)) {
      Stack.push_back({std::move(Item), true});
    } else if (IsCloseParen(Item)) {
      while (!Stack.empty() && !Stack.back().IsOpenParen) OutputTop();
      if (Stack.empty()) throw EAQException(std::string(SUnmatchedCloseParen));
      Stack.pop_back();
    } else if (IsOperand(Item)) {
      Output(std::move(Item));
    } else {
      const int Incoming = IncomingPriority(Item);
      while (!Stack.empty() && !Stack.back().IsOpenParen && InStackPriority(Stack.back().Item) <= Incoming)
        OutputTop();
      Stack.push_back({std::move(Item), false});
    }
  }
  while (!Stack.empty()) {
    if (Stack.back().IsOpenParen) throw EAQException(std::string(SUnmatchedOpenParen));
    OutputTop();
  }
}

// True for the characters that can begin a number text: the digits, the signs and the decimal
// point. A token reader tries a word as a number only when its first character is one of these.
constexpr bool IsNumberChar(char C) { return (C >= '0' && C <= '9') || C == '+' || C == '-' || C == '.'; }

// True for the characters other than digits that can appear in a number text: the signs, the
// decimal point and the exponent letters. On its own such a character is never a number.
constexpr bool IsNumberSymbol(char C) { return C == '+' || C == '-' || C == '.' || C == 'e' || C == 'E'; }

}  // namespace fuzzy
