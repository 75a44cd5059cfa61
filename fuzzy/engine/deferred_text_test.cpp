#include <gtest/gtest.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

#include "fuzzy/engine/deferred_text.h"
#include "fuzzy/engine/fuzzy_set.h"
#include "fuzzy/runtime/format.h"
#include "fuzzy/testing/test_variable.h"

namespace fuzzy {
namespace {

using testing::FreeSet;

const testing::TPoints Triangle = {{0, 0}, {5, 1}, {10, 0}};

TEST(DeferredText, RecipesWriteWhatTheEagerFunctionsWrite) {
  const TDeferredText Warm(std::string("warm"));
  const TDeferredText RoomTemp(std::string("room temp"));
  EXPECT_TRUE(TDeferredText().Empty());
  EXPECT_EQ(TDeferredText().Text(), "");
  EXPECT_TRUE(TDeferredText(std::string()).Empty());
  EXPECT_FALSE(Warm.Empty());

  EXPECT_EQ(TDeferredText::HedgedName(RoomTemp, bfhMultiply, false, 0.5).Text(),
            CreateFuzzyName("room temp", bfhMultiply, false, 0.5));
  EXPECT_EQ(TDeferredText::HedgedName(Warm, bfhAdd, true, 2).Text(), "warm + 2.0000");
  EXPECT_EQ(TDeferredText::HedgedExpression(bfhCutGreater, true, RoomTemp).Text(),
            CreateFuzzyName(bfhCutGreater, true, "room temp"));
  EXPECT_EQ(TDeferredText::CombinedName(Warm, RoomTemp, "or").Text(), "warm or [room temp]");
  EXPECT_EQ(TDeferredText::Number(0.1234567).Text(), FloatToStrF(0.1234567, 4));

  // Each side of a combined expression is its expression, or its name when it has none.
  const TDeferredText None;
  EXPECT_EQ(TDeferredText::CombinedExpression(None, Warm, "and", RoomTemp, Warm).Text(), "warm and [room temp]");
  EXPECT_FALSE(TDeferredText::CombinedExpression(None, None, "and", None, None).Empty());
}

TEST(DeferredText, ARecipeOutlivesItsOperandsAndCopiesShareTheText) {
  TDeferredText Name(std::string("a b"));
  TDeferredText Derived = TDeferredText::HedgedName(Name, bfhSubtract, true, 0.25);
  Name = TDeferredText(std::string("changed"));
  const TDeferredText Copy = Derived;
  Derived = TDeferredText();
  EXPECT_EQ(Copy.Text(), "[a b] - 0.2500");
  EXPECT_EQ(&Copy.Text(), &Copy.Text());
}

TEST(DeferredText, LongChainsWriteTheEagerChainsText) {
  // Every hedge derives from the name before (the recipes write their operands every few dozen
  // links); the text read at the end is the eager chain's.
  TDeferredText Name(std::string("t"));
  std::string Eager = "t";
  for (int I = 0; I < 1000; ++I) {
    Name = TDeferredText::HedgedName(Name, bfhAdd, I % 2 == 0, I);
    Eager = CreateFuzzyName(Eager, bfhAdd, I % 2 == 0, I);
  }
  EXPECT_EQ(Name.Text(), Eager);
}

// Random recipes over names made of blanks, brackets and letters, read in random order, write what
// the eager naming functions write: the quoting and bracketing decisions are taken without the text.
TEST(DeferredText, RandomRecipesOverAwkwardNamesWriteTheEagerTexts) {
  std::mt19937 Random(7);
  const std::string Alphabet = "ab[] \t";
  auto RandomText = [&] {
    std::string Text;
    for (int I = static_cast<int>(Random() % 6); I > 0; --I) Text += Alphabet[Random() % Alphabet.size()];
    return Text;
  };
  struct TPair {
    TDeferredText Deferred;
    std::string Eager;
  };
  std::vector<TPair> Pool;
  for (int I = 0; I < 8; ++I) {
    const std::string Text = RandomText();
    Pool.push_back({TDeferredText(Text), Text});
  }
  const std::string_view Operations[] = {"or", "and-product"};
  for (int Step = 0; Step < 4000; ++Step) {
    const TPair& A = Pool[Random() % Pool.size()];
    const TPair& B = Pool[Random() % Pool.size()];
    const auto Hedge = static_cast<TBaseFuzzyHedge>(Random() % 9);
    const bool ModifyY = Random() % 2 == 0;
    const std::string_view Operation = Operations[Random() % 2];
    TPair Made;
    switch (Random() % 6) {
      case 0:
        Made = {TDeferredText::HedgedName(A.Deferred, Hedge, ModifyY, Step * 0.25),
                CreateFuzzyName(A.Eager, Hedge, ModifyY, Step * 0.25)};
        break;
      case 1:
        Made = {TDeferredText::HedgedExpression(Hedge, ModifyY, A.Deferred), CreateFuzzyName(Hedge, ModifyY, A.Eager)};
        break;
      case 2:
        Made = {TDeferredText::CombinedName(A.Deferred, B.Deferred, Operation),
                CreateFuzzyName(A.Eager, B.Eager, Operation)};
        break;
      case 3: {
        const TPair& C = Pool[Random() % Pool.size()];
        Made = {TDeferredText::CombinedExpression(A.Deferred, B.Deferred, Operation, C.Deferred, A.Deferred),
                CombineFuzzyExpressions(ExpressionOperand(A.Eager, B.Eager), Operation,
                                        ExpressionOperand(C.Eager, A.Eager))};
        break;
      }
      case 4:
        Made = {TDeferredText::Number(Step - 2000.5), FloatToStrF(Step - 2000.5, 4)};
        break;
      default: {
        const std::string Text = RandomText();
        Made = {TDeferredText(Text), Text};
      }
    }
    // Texts grow with every derivation: keep them short by replacing at random.
    if (Made.Eager.size() < 400) Pool[Random() % Pool.size()] = Made;
    if (Random() % 5 == 0) {
      const TPair& Read = Pool[Random() % Pool.size()];
      ASSERT_EQ(Read.Deferred.Text(), Read.Eager) << "step " << Step;
    }
  }
  for (const TPair& Pair : Pool) EXPECT_EQ(Pair.Deferred.Text(), Pair.Eager);
}

// A chain of 200,000 derivations is made, read once and freed without deep recursion.
TEST(DeferredText, AVeryLongChainIsWrittenAndFreedWithoutRecursion) {
  constexpr int Links = 200000;
  TDeferredText Name(std::string("t"));
  for (int I = 0; I < Links; ++I) Name = TDeferredText::HedgedName(Name, bfhAdd, true, 1);
  const std::string Expected = std::string(Links - 1, '[') + "t + 1.0000" + [] {
    std::string Tail;
    for (int I = 1; I < Links; ++I) Tail += "] + 1.0000";
    return Tail;
  }();
  EXPECT_EQ(Name.Text(), Expected);
  TDeferredText Unread(std::string("u"));
  for (int I = 0; I < Links; ++I) Unread = TDeferredText::CombinedName(Unread, Name, "or");
}

// The texts of derived sets, read after the sets they came from are gone.
TEST(DeferredText, DerivedSetsKeepTheirTextsWhenTheirOperandsAreFreed) {
  auto Left = FreeSet(Triangle, "warm");
  auto Right = FreeSet(Triangle, "very hot");
  Left->Hedge(bfhCutGreater, 0.5, true);
  Right->CreateCrispValue(3);
  TOwned<TFuzzySet> Union = Adopt(Left->Union(Right.get()));
  TOwned<TFuzzySet> Copy = Adopt(Union->Clone());
  Left.reset();
  Right.reset();
  Union.reset();
  EXPECT_EQ(Copy->Name(), CreateFuzzyName(CreateFuzzyName("warm", bfhCutGreater, true, 0.5), "very hot", "or"));
  EXPECT_EQ(Copy->Expression(), CombineFuzzyExpressions(CreateFuzzyName(bfhCutGreater, true, ""), "or", "3.0000"));
}

// Copies share the recipe; the first reads, from several threads at once, all see the whole text.
TEST(DeferredText, SharedTextsReadFromSeveralThreadsAtOnce) {
  auto Left = FreeSet(Triangle, "warm");
  auto Right = FreeSet(Triangle, "hot");
  Left->Hedge(bfhMultiply, 0.5, true);
  TOwned<TFuzzySet> Union = Adopt(Left->Union(Right.get()));
  std::vector<TOwned<TFuzzySet>> Copies;
  for (int I = 0; I < 4; ++I) Copies.push_back(Adopt(Union->Clone()));
  std::vector<std::string> Read(Copies.size());
  {
    std::vector<std::jthread> Readers;
    for (std::size_t I = 0; I < Copies.size(); ++I)
      Readers.emplace_back([&, I] { Read[I] = Copies[I]->Name() + " / " + Copies[I]->Expression(); });
  }
  for (const std::string& Text : Read) EXPECT_EQ(Text, "[warm * 0.5000] or hot / * or hot");
}

// A set class of a host that renames: derived names reach it through SetName.
class TRenamedSet : public TFuzzySet {
 public:
  TFuzzySetClass ClassType() const override { return &CreateFuzzySet<TRenamedSet>; }
  void SetName(const std::string& Value) override {
    Names.push_back(Value);
    TFuzzySet::SetName(Value);
  }
  std::vector<std::string> Names;

 protected:
  using TFuzzySet::TFuzzySet;
  template <typename T, typename... Args>
  friend T* New(Args&&...);
};

TEST(DeferredText, ADescendantThatRenamesSeesEveryDerivedName) {
  TOwned<TRenamedSet> Set = MakeOwned<TRenamedSet>(nullptr);
  Set->CreateTriangleFunctionValues(0, 5, 10);
  Set->SetName("warm");
  Set->Hedge(bfhMultiply, 0.5, true);
  TOwned<TFuzzySet> Union = Adopt(Set->Union(Set.get()));
  ASSERT_EQ(Set->Names.size(), 2u);
  EXPECT_EQ(Set->Names[1], "warm * 0.5000");
  auto* Result = dynamic_cast<TRenamedSet*>(Union.get());
  ASSERT_NE(Result, nullptr);
  EXPECT_EQ(Result->Names, std::vector<std::string>{"[warm * 0.5000] or [warm * 0.5000]"});
}

}  // namespace
}  // namespace fuzzy
