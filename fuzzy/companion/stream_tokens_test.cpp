#include "fuzzy/companion/stream_tokens.h"

#include <gtest/gtest.h>

#include <string>

#include "fuzzy/runtime/exception.h"
#include "fuzzy/testing/live_instances.h"

namespace fuzzy {
namespace {

using testing::TLiveCounter;
using testing::TLiveToken;

IPtr<IBaseStreamToken> Token(int DataType, const std::string& Text, double Number = 0) {
  IPtr<IBaseStreamToken> Result(New<TBaseStreamToken>());
  Result->SetDataType(DataType);
  Result->SetText(Text);
  Result->SetNumber(Number);
  return Result;
}

IPtr<TBaseStreamTokenList> List() { return IPtr<TBaseStreamTokenList>(New<TBaseStreamTokenList>()); }

// A descendant token with an interface of its own, as a later layer builds one.
class IMarkedToken : public virtual IBaseStreamToken {
 public:
  static constexpr TGUID IID = TGUID::FromString("{6F1C2B8E-5A47-4D0B-9E3A-2C81D4F7B915}");
  virtual std::string Mark() const = 0;
  virtual void SetMark(const std::string& Value) = 0;

 protected:
  ~IMarkedToken() = default;
};

TLiveCounter MarkedCounter;

class TMarkedToken : public TBaseStreamToken, public virtual IMarkedToken {
 public:
  std::string Mark() const override { return FMark; }
  void SetMark(const std::string& Value) override { FMark = Value; }
  void Assign(const IPtr<IInterface>& Source) override {
    TBaseStreamToken::Assign(Source);
    if (const auto Marked = QueryIntf<IMarkedToken>(Source)) FMark = Marked->Mark();
  }
  bool Equals(const IPtr<IInterface>& Other) override {
    const auto Marked = QueryIntf<IMarkedToken>(Other);
    return Marked && Marked->Mark() == FMark && TBaseStreamToken::Equals(Other);
  }

 protected:
  bool GetInterface(const TGUID& IID, void** Obj) override {
    if (IID == IMarkedToken::IID) {
      *Obj = static_cast<IMarkedToken*>(this);
      return true;
    }
    return TBaseStreamToken::GetInterface(IID, Obj);
  }
  TBaseStreamToken* CreateInstance() const override { return New<TMarkedToken>(); }

 private:
  TLiveToken FLive{MarkedCounter};
  std::string FMark;
};

IPtr<IMarkedToken> Marked(const std::string& Text, const std::string& Mark) {
  IPtr<IMarkedToken> Result(New<TMarkedToken>());
  Result->SetDataType(bstAtom);
  Result->SetText(Text);
  Result->SetMark(Mark);
  return Result;
}

TEST(BaseStreamToken, TextFormsAndEquality) {
  EXPECT_EQ(Token(bstString, "deg C")->ToString(), "deg C");
  EXPECT_EQ(Token(bstInteger, "", -12)->ToString(), "-12");
  EXPECT_EQ(Token(bstFloat, "", 2.5)->ToString(), "2.5000");
  EXPECT_EQ(Token(bstFloat, "", -0.00001)->ToString(), "0.0000");
  EXPECT_EQ(Token(bstVariable, "x")->ToString(), "?x");
  EXPECT_EQ(Token('(', "(")->ToString(), "(");
  EXPECT_EQ(IPtr<IBaseStreamToken>(New<TBaseStreamToken>())->DataType(), bstNone);

  const auto Five = Token(bstInteger, "", 5);
  Five->SetLineNumber(3);
  Five->SetWhitespace("  ; note\n");
  Five->SetTag(7);
  EXPECT_TRUE(Five->Equals(Token(bstInteger, "", 5)));  // line, whitespace and tag do not count
  EXPECT_FALSE(Five->Equals(Token(bstFloat, "", 5)));
  EXPECT_FALSE(Token(bstAtom, "a")->Equals(Token(bstAtom, "A")));
  EXPECT_FALSE(Five->Equals(List()));

  const auto Target = Token(bstAtom, "x");
  Target->Assign(List());  // not a token: ignored
  EXPECT_EQ(Target->Text(), "x");
  Target->Assign(Five);
  EXPECT_TRUE(Target->Equals(Five));
  EXPECT_EQ(Target->Whitespace(), "  ; note\n");
  EXPECT_EQ(Target->Tag(), 7);
}

TEST(BaseStreamToken, DescendantsAddInterfacesAndCloneAsThemselves) {
  {
    const auto Original = Marked("warm", "red");
    Original->SetLineNumber(3);
    const auto AsBase = QueryIntf<IBaseStreamToken>(Original);
    ASSERT_TRUE(AsBase);
    EXPECT_EQ(IPtr<IInterface>(AsBase), IPtr<IInterface>(QueryIntf<ICloneable>(Original)));

    const auto Copy = QueryIntf<IMarkedToken>(Original->Clone());
    ASSERT_TRUE(Copy);
    EXPECT_EQ(Copy->Mark(), "red");
    EXPECT_EQ(Copy->LineNumber(), 3);
    EXPECT_TRUE(Copy->Equals(Original));
    Copy->SetMark("blue");
    EXPECT_FALSE(Copy->Equals(Original));
    EXPECT_EQ(MarkedCounter.Live(), 2);
  }
  EXPECT_EQ(MarkedCounter.Live(), 0);
}

TEST(BaseStreamTokenList, ElementsAndTextForm) {
  const auto Items = List();
  EXPECT_EQ(Items->Last(), nullptr);
  EXPECT_EQ(Items->FirstBaseStreamToken(), nullptr);

  const auto A = Token(bstAtom, "a"), B = Token(bstAtom, "b");
  Items->Add(A);
  Items->Insert(0, B);
  EXPECT_EQ(Items->Remove(B), 0);
  Items->Add(B);
  EXPECT_EQ(Items->IndexOf(B), 1);
  EXPECT_EQ(Items->LastBaseStreamToken(), B);
  EXPECT_THROW(Items->Get(2), EListError);
  Items->Append(Items);  // appending the list to itself doubles it once
  EXPECT_EQ(Items->ToString(), "(a b a b)");

  // A nested list is an element, not a token; nil stays nil.
  const auto Nested = List();
  Nested->Add(Token(bstAtom, "tri"));
  Nested->Add(Token(bstFloat, "", 2.5));
  Items->Put(0, Nested);
  Items->Add(nullptr);
  EXPECT_EQ(Items->ToString(), "((tri 2.5000) b a b nil)");
  EXPECT_EQ(Items->GetBaseStreamToken(4), nullptr);
  try {
    Items->GetBaseStreamToken(0);
    FAIL();
  } catch (const EConvertError& E) {
    EXPECT_STREQ(E.what(), "Interface not supported");
  }
}

TEST(BaseStreamTokenList, EqualsCloneAssignAndRelease) {
  {
    const auto Inner = List();
    Inner->Add(Marked("x", "1"));
    const auto Items = List();
    Items->Add(Marked("a", "1"));
    Items->Add(Inner);
    Items->SetTag(4);

    const auto Copy = QueryIntf<IBaseStreamTokenList>(Items->Clone());
    ASSERT_TRUE(Copy);
    EXPECT_EQ(MarkedCounter.Live(), 4);  // the tokens were cloned, the nested one too
    EXPECT_TRUE(Items->Equals(Copy));
    EXPECT_EQ(Copy->Tag(), 4);

    // Changing a token of the copy leaves the original alone and breaks equality.
    QueryIntf<IMarkedToken>(QueryIntf<IBaseStreamTokenList>(Copy->GetValue(1))->GetValue(0))->SetMark("2");
    EXPECT_EQ(QueryIntf<IMarkedToken>(Inner->Get(0))->Mark(), "1");
    EXPECT_FALSE(Items->Equals(Copy));
    EXPECT_FALSE(Items->Equals(Inner));

    // Assign shares the elements.
    const auto Target = List();
    Target->Add(Token(bstAtom, "old"));
    Target->Assign(Items);
    EXPECT_EQ(Target->Get(1), IPtr<IInterface>(Inner));
    Target->Assign(Target);
    EXPECT_EQ(Target->GetValueCount(), 2);
  }
  EXPECT_EQ(MarkedCounter.Live(), 0);
}

}  // namespace
}  // namespace fuzzy
