#include "fuzzy/imodel/fuzzy_stream_tokens.h"

#include <gtest/gtest.h>

#include "fuzzy/imodel/ifuzzy_set.h"
#include "fuzzy/imodel/ifuzzy_variable.h"
#include "fuzzy/runtime/strings.h"

namespace fuzzy {
namespace {

IPtr<IFuzzyStreamToken> NewToken(int DataType = fstNone, const std::string& Text = "") {
  IPtr<IFuzzyStreamToken> Token(New<TFuzzyStreamToken>());
  Token->SetDataType(DataType);
  Token->SetText(Text);
  return Token;
}

IPtr<IFuzzyStreamTokenList> NewList(std::initializer_list<IPtr<IFuzzyStreamToken>> Tokens) {
  IPtr<IFuzzyStreamTokenList> List(New<TFuzzyStreamTokenList>());
  for (const auto& Token : Tokens) List->Add(Token);
  return List;
}

TEST(FuzzyStreamToken, SettersMakeTheKindOfTheirValue) {
  const IPtr<IFuzzyStreamToken> Token = NewToken(fstAtom, "a");
  EXPECT_EQ(NewToken()->DataType(), fstNone);
  const IPtr<IFuzzyStreamTokenList> List = NewList({NewToken(fstAtom, "tri"), NewToken(fstAtom, "x")});
  Token->SetList(List);
  EXPECT_EQ(Token->DataType(), fstList);
  EXPECT_EQ(Token->List(), List);
  EXPECT_FALSE(Token->FuzzySetIntf());
  EXPECT_EQ(Token->ToString(), "(tri x)");
  Token->SetList(nullptr);
  EXPECT_EQ(Token->DataType(), fstNone);

  const IPtr<IFuzzyVariable> Variable = TIFuzzyVariable::Create("v");
  const IPtr<IFuzzySet> Set = Variable->Add("warm");
  Token->SetFuzzySetIntf(Set);
  EXPECT_EQ(Token->DataType(), fstIFuzzySet);
  EXPECT_EQ(Token->FuzzySetIntf(), Set);
  EXPECT_FALSE(Token->List());
  Token->SetIntfValue(IPtr<IInterface>(List));
  EXPECT_EQ(Token->DataType(), fstInterface);
  EXPECT_EQ(Token->ToString(), "<interface>");
  EXPECT_EQ(Token->List(), List);

  // An object value is neither owned nor taken for a set when it is none.
  auto& Fuzzy = dynamic_cast<TFuzzyStreamToken&>(*Token);
  TOwned<TFuzzySet> ClassSet = MakeOwned<TFuzzySet>(nullptr);
  ClassSet->SetExpression("very warm");
  TOwned<TFuzzySet> Other = MakeOwned<TFuzzySet>(nullptr);
  Fuzzy.SetFuzzySet(ClassSet.get());
  EXPECT_EQ(Token->DataType(), fstFuzzySet);
  EXPECT_EQ(Token->ToString(), "very warm");
  Fuzzy.SetObjValue(Other.get());
  EXPECT_EQ(Token->DataType(), fstObject);
  EXPECT_EQ(Token->ToString(), "<object>");
  EXPECT_EQ(Fuzzy.FuzzySet(), Other.get());
  TOwned<TStringList> NoSet = MakeOwned<TStringList>();
  Fuzzy.SetObjValue(NoSet.get());
  EXPECT_EQ(Fuzzy.FuzzySet(), nullptr);
  EXPECT_EQ(Token->ObjValue(), NoSet.get());
}

TEST(FuzzyStreamToken, ClonesAndComparesWithTheirValues) {
  const IPtr<IFuzzyStreamTokenList> List = NewList({NewToken(fstAtom, "a")});
  const IPtr<IFuzzyStreamToken> Token = NewToken();
  Token->SetList(List);
  Token->SetLineNumber(4);
  const auto Copy = QueryIntf<IFuzzyStreamToken>(Token->Clone());
  ASSERT_TRUE(Copy);
  EXPECT_EQ(Copy->List(), List);
  EXPECT_EQ(Copy->LineNumber(), 4);
  EXPECT_TRUE(Copy->Equals(IPtr<IInterface>(Token)));
  Copy->SetList(NewList({NewToken(fstAtom, "a")}));
  EXPECT_FALSE(Copy->Equals(IPtr<IInterface>(Token)));
}

TEST(FuzzyStreamTokenList, HandsOutItsElementsAsFuzzyTokens) {
  const IPtr<IFuzzyStreamToken> A = NewToken(fstAtom, "a");
  const IPtr<IFuzzyStreamToken> B = NewToken(fstAtom, "b");
  const IPtr<IFuzzyStreamTokenList> List = NewList({A, B});
  EXPECT_EQ(List->First(), A);
  EXPECT_EQ(List->Last(), B);
  EXPECT_EQ(List->Get(1), B);
  EXPECT_EQ(List->IndexOf(B), 1);
  List->Remove(A);
  EXPECT_EQ(List->GetValueCount(), 1);
  List->Insert(0, A);
  List->Append(NewList({NewToken(fstAtom, "c")}));
  EXPECT_EQ(List->ToString(), "(a b c)");
  EXPECT_TRUE(List->Equals(NewList({NewToken(fstAtom, "a"), NewToken(fstAtom, "b"), NewToken(fstAtom, "c")})));
  // A clone keeps its class.
  EXPECT_TRUE(QueryIntf<IFuzzyStreamTokenList>(List->Clone()));
  List->Clear();
  EXPECT_FALSE(List->First());
  // An element that is no token cannot be handed out as one.
  auto& Base = dynamic_cast<TBaseStreamTokenList&>(*List);
  Base.Add(IPtr<IInterface>(NewList({})));
  EXPECT_THROW(List->Get(0), EConvertError);
}

}  // namespace
}  // namespace fuzzy
