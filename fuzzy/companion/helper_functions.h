#pragma once
// Infix to postfix conversion, and the character classes of number texts.
//
//   IPtr<IInterfaceList> Postfix = PostFix(Infix, IsOperand, IsOpen, IsClose, InStack, Incoming);
//   // the items of "a or b" come back as "a b or"

#include <functional>
#include <string_view>

#include "fuzzy/runtime/interface_list.h"

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

// True for the characters that can begin a number text: the digits, the signs and the decimal
// point. A token reader tries a word as a number only when its first character is one of these.
constexpr bool IsNumberChar(char C) { return (C >= '0' && C <= '9') || C == '+' || C == '-' || C == '.'; }

// True for the characters other than digits that can appear in a number text: the signs, the
// decimal point and the exponent letters. On its own such a character is never a number.
constexpr bool IsNumberSymbol(char C) { return C == '+' || C == '-' || C == '.' || C == 'e' || C == 'E'; }

}  // namespace fuzzy
