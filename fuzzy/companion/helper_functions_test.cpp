#include "fuzzy/companion/helper_functions.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "fuzzy/companion/aq_constants.h"
#include "fuzzy/companion/stream_tokens.h"

namespace fuzzy {
namespace {

// The expression evaluator's classification and priorities, over atoms.
const std::set<std::string> Hedges = {"very", "somewhat", "not"};
const std::set<std::string> Operators = {"and", "or", "^", "+"};

std::string TextOf(const IPtr<IInterface>& Item) { return QueryIntf<IBaseStreamToken>(Item)->Text(); }
bool IsOpenParen(const IPtr<IInterface>& Item) { return TextOf(Item) == "["; }
bool IsCloseParen(const IPtr<IInterface>& Item) { return TextOf(Item) == "]"; }
bool IsOperand(const IPtr<IInterface>& Item) {
  const std::string Text = TextOf(Item);
  return !Operators.count(Text) && !Hedges.count(Text) && Text != "[" && Text != "]";
}
int InStackPriority(const IPtr<IInterface>& Item) {
  const std::string Text = TextOf(Item);
  return Text == "[" ? 4 : Operators.count(Text) ? 3 : Hedges.count(Text) ? 2 : 1;
}
int IncomingPriority(const IPtr<IInterface>& Item) {
  const std::string Text = TextOf(Item);
  return Text == "[" ? 0 : Operators.count(Text) ? 3 : 1;
}

IPtr<IInterfaceList> Infix(const std::string& Expression) {
  IPtr<IInterfaceList> Result(New<TInterfaceList>());
  std::istringstream Words(Expression);
  for (std::string Word; Words >> Word;) {
    IPtr<IBaseStreamToken> Item(New<TBaseStreamToken>());
    Item->SetDataType(bstAtom);
    Item->SetText(Word);
    Result->Add(Item);
  }
  return Result;
}

std::string Postfix(const IPtr<IInterfaceList>& List) {
  const auto Output = PostFix(List, IsOperand, IsOpenParen, IsCloseParen, InStackPriority, IncomingPriority);
  std::string Text;
  for (int I = 0; I < Output->Count(); ++I) {
    if (I > 0) Text += ' ';
    Text += TextOf(Output->Get(I));
  }
  return Text;
}

std::string Postfix(const std::string& Expression) { return Postfix(Infix(Expression)); }

std::string PostfixError(const std::string& Expression) {
  try {
    Postfix(Expression);
  } catch (const EAQException& E) {
    return E.what();
  }
  return "no exception";
}

TEST(PostFix, OrdersByPriorityAndBrackets) {
  EXPECT_EQ(Postfix("very somewhat warm"), "warm somewhat very");  // hedges apply from the right
  EXPECT_EQ(Postfix("a and b or c"), "a b and c or");              // equal priorities from the left
  EXPECT_EQ(Postfix("very warm and cold"), "warm very cold and");  // hedges bind tighter
  EXPECT_EQ(Postfix("warm and very cold"), "warm cold very and");
  EXPECT_EQ(Postfix("not very warm or cold"), "warm very not cold or");
  EXPECT_EQ(Postfix("warm ^ 2"), "warm 2 ^");
  EXPECT_EQ(Postfix("[ warm or cold ] and hot"), "warm cold or hot and");
  EXPECT_EQ(Postfix("a and [ b or c ]"), "a b c or and");
  EXPECT_EQ(Postfix("very [ a or [ b and c ] ]"), "a b c and or very");
  EXPECT_EQ(Postfix("[ [ hot ] ]"), "hot");
  EXPECT_EQ(Postfix("[ ]"), "");
  EXPECT_EQ(Postfix(""), "");
  EXPECT_EQ(Postfix(IPtr<IInterfaceList>()), "");

  // The output shares the items; the input stays as it was.
  const auto Input = Infix("very warm");
  const auto Output = PostFix(Input, IsOperand, IsOpenParen, IsCloseParen, InStackPriority, IncomingPriority);
  EXPECT_EQ(Input->Count(), 2);
  EXPECT_EQ(Output->Get(0), Input->Get(1));
}

TEST(PostFix, UnbalancedBracketsAndMissingCallbacksRaise) {
  EXPECT_EQ(PostfixError("]"), "Closing bracket without a matching opening bracket");
  EXPECT_EQ(PostfixError("a or b ] and c"), "Closing bracket without a matching opening bracket");
  EXPECT_EQ(PostfixError("[ a or b"), "Opening bracket without a matching closing bracket");
  EXPECT_EQ(PostfixError("[ [ a ]"), "Opening bracket without a matching closing bracket");
  EXPECT_THROW(PostFix(Infix("a"), nullptr, IsOpenParen, IsCloseParen, InStackPriority, IncomingPriority),
               EAQException);
}

TEST(NumberCharacters, Classes) {
  for (char C : std::string("0123456789+-.")) EXPECT_TRUE(IsNumberChar(C)) << C;
  for (char C : std::string("eEax?( ")) EXPECT_FALSE(IsNumberChar(C)) << C;
  for (char C : std::string("+-.eE")) EXPECT_TRUE(IsNumberSymbol(C)) << C;
  for (char C : std::string("05ax?( ")) EXPECT_FALSE(IsNumberSymbol(C)) << C;
}

}  // namespace
}  // namespace fuzzy
