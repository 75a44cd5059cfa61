// The built-in membership functions of the parser base, reached through definition texts and
// called directly.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "fuzzy/testing/linked_parser.h"

namespace fuzzy {
namespace {

using testing::PointsOf;
using testing::SamePoints;
using testing::SamePointsAs;
using testing::TClassModel;
using testing::TInterfaceModel;

// The points of the term that Body gives on the range [-10, 10], in both models (which must agree).
testing::TPoints PointsOfBody(const std::string& Body, int NumFunctionValues = 7) {
  const std::string Text = "(deffuzzy v (range -10 10) (values (term t " + Body + ")))";
  TClassModel Class;
  Class.Logic->SetNumFunctionValues(NumFunctionValues);
  Class.Read(Text);
  const testing::TPoints Points = testing::PointsOf(Class.Logic->Items().Items(0)->Items().Items(0)->Values());
  TInterfaceModel Interface;
  Interface.Logic->SetNumFunctionValues(NumFunctionValues);
  Interface.Read(Text);
  EXPECT_TRUE(SamePointsAs(PointsOf(*Interface.Logic->Items().Get("v")->GetFuzzySet(0)), Points)) << Body;
  return Points;
}

TEST(BuiltInFunctions, MakeTheirShapes) {
  EXPECT_TRUE(SamePointsAs(PointsOfBody("(tri 0 5 10)"), {{0, 0}, {5, 1}, {10, 0}}));
  const testing::TPoints Pi = PointsOfBody("(pi 2 5)");
  EXPECT_EQ(Pi.front().first, 3);
  EXPECT_NEAR(Pi.back().first, 7, 1e-12);
  EXPECT_EQ(Pi[3], std::make_pair(5.0, 1.0));
  EXPECT_EQ(PointsOfBody("(pi 0 10 5)"), PointsOfBody("(pi 5 5)"));
  const testing::TPoints S = PointsOfBody("(s 0 10)");
  ASSERT_EQ(S.size(), 7u);
  EXPECT_EQ(S.front(), std::make_pair(0.0, 0.0));
  EXPECT_EQ(S.back(), std::make_pair(10.0, 1.0));
  const testing::TPoints Z = PointsOfBody("(z 0 10)");
  EXPECT_EQ(Z.front(), std::make_pair(0.0, 1.0));
  EXPECT_EQ(Z.back(), std::make_pair(10.0, 0.0));
  // beta: 1 / (1 + W ((x - C) / I)^2) at points spread evenly over [C - R, C + R].
  const testing::TPoints Beta = PointsOfBody("(beta 2 0 1)");
  ASSERT_EQ(Beta.size(), 7u);
  EXPECT_EQ(Beta.front().first, -2);
  EXPECT_NEAR(Beta[3].first, 0, 1e-12);
  EXPECT_EQ(Beta[3].second, 1);
  const testing::TPoints Weighted = PointsOfBody("(beta 2 0 1 3)");
  for (std::size_t I = 0; I < Beta.size(); ++I) {
    const double X = Beta[I].first;
    EXPECT_NEAR(Beta[I].second, 1 / (1 + X * X), 1e-12);
    EXPECT_NEAR(Weighted[I].second, 1 / (1 + 3 * X * X), 1e-12);
  }
  // The curves take the logic component's point count.
  EXPECT_EQ(PointsOfBody("(s 0 10)", 11).size(), 11u);
}

TEST(BuiltInFunctions, RememberTheInflectionPoint) {
  TClassModel Model;
  Model.Read("(deffuzzy v (range 0 10) (values (term s (s 0 10)) (term z (z 2 8))))");
  EXPECT_EQ(Model.Logic->Items().Items(0)->Items().Items(0)->InflectionPoint(), 10);
  EXPECT_EQ(Model.Logic->Items().Items(0)->Items().Items(1)->InflectionPoint(), 8);
  EXPECT_EQ(Model.Logic->Items().Items(0)->Items().Items(1)->SetType(), fstDeclineCurve);
}

TEST(BuiltInFunctions, CheckTypesBeforeCounts) {
  const std::string Echo = " in CalcFuzzyFunction at line 1: \"( deffuzzy v ( values ( term t ";
  const auto ErrorOf = [](const std::string& Body) {
    TInterfaceModel Model;
    const std::string Message = Model.ErrorOf("(deffuzzy v (values (term t " + Body + ")))");
    TClassModel Class;
    EXPECT_EQ(Class.ErrorOf("(deffuzzy v (values (term t " + Body + ")))"), Message);
    return Message;
  };
  EXPECT_EQ(ErrorOf("(tri 1 x)"),
            "Parsing Error, Data Types of arguments for function, tri, incorrect.  Expected numeric" + Echo +
                "( tri 1 x \"");
  EXPECT_EQ(ErrorOf("(pi \"2\" 5)"),
            "Parsing Error, Data Types of arguments for function, pi, incorrect.  Expected numeric" + Echo +
                "( pi 2 5 \"");
  EXPECT_EQ(ErrorOf("(s 1 2 3)"),
            "Parsing Error, Number of arguments for function, s, incorrect.  Expected \"\"Left Right "
            "Inflection_Point\"\"" +
                Echo + "( s 1 2 3 \"");
  EXPECT_EQ(ErrorOf("(beta 1 2)"),
            "Parsing Error, Number of arguments for function, beta, incorrect.  Expected \"\"Range Center "
            "Inflection_Point\" or \"Range Center Inflection_Point Weight\"\"" +
                Echo + "( beta 1 2 \"");
  EXPECT_EQ(ErrorOf("(pi 1)"),
            "Parsing Error, Number of arguments for function, pi, incorrect.  Expected \"\"Left Right Center\" or "
            "\"Range Center\"\"" +
                Echo + "( pi 1 \"");
  EXPECT_EQ(ErrorOf("(PI 1 2)"), "Parsing Error, Unknown function name: \"PI\"" + Echo + "( PI 1 2 \"");
  // A nested list is no number either.
  EXPECT_NE(ErrorOf("(tri 1 2 (3))").find("Expected numeric"), std::string::npos);
  // Errors of the shapes pass through unchanged; the new set stays.
  TClassModel Model;
  try {
    Model.Parser->Parse("(deffuzzy v (values (term t (pi 10 0 5))))", nullptr);
    FAIL();
  } catch (const EFzyParseException&) {
    FAIL();
  } catch (const EFzyException& E) {
    EXPECT_EQ(E.Message(), "Invalid range arguments.  Left (10.0000) is greater than right (0.0000)");
  }
  EXPECT_EQ(Model.Logic->Items().Items(0)->Items().Count(), 1);
}

TEST(BuiltInFunctions, AreOfferedToTheHostFirst) {
  TClassModel Class;
  std::vector<std::string> Calls;
  Class.Parser->SetOnCalcFuzzyFunction([&Calls](TObject*, const std::string& Name,
                                                const IPtr<IFuzzyStreamTokenList>& List, TFuzzySet*& Result,
                                                bool& Handled) {
    Calls.push_back(Name + " " + List->ToString());
    if (Name == "gauss" || Name == "tri") {
      Result->Values().Add(List->Get(0)->Number(), 1);
      Handled = true;
    }
  });
  Class.Read("(deffuzzy v (range 0 10) (values (term a (gauss 4)) (term b (tri 1 2 3)) (term c (s 1 9))))");
  EXPECT_EQ(Calls, (std::vector<std::string>{"gauss (4)", "tri (1 2 3)", "s (1 9)"}));
  const TFuzzySets& Sets = Class.Logic->Items().Items(0)->Items();
  EXPECT_TRUE(SamePoints(Sets.Items(0)->Values(), {{4, 1}}));
  EXPECT_TRUE(SamePoints(Sets.Items(1)->Values(), {{1, 1}}));
  EXPECT_EQ(Sets.Items(2)->Values().Count(), 7);

  TInterfaceModel Interface;
  IPtr<IFuzzySet> Replacement;
  Interface.Parser->SetOnCalcFuzzyIntfFunction([&](TObject*, const std::string& Name,
                                                   const IPtr<IFuzzyStreamTokenList>&, IPtr<IFuzzySet>& Result,
                                                   bool& Handled) {
    if (Name != "flat") return;
    Result->Add(0, 0.5);
    Handled = true;
  });
  Interface.Read("(deffuzzy v (values (term f (flat)) (term t (tri 0 0.5 1))))");
  const IPtr<IFuzzyVariable> V = Interface.Logic->Items().Get("v");
  EXPECT_TRUE(SamePointsAs(PointsOf(*V->GetFuzzySetByName("f")), {{0, 0.5}}));
  EXPECT_EQ(V->GetFuzzySetByName("t")->SetType(), fstTriangle);
}

TEST(BuiltInFunctions, AreCalledDirectlyOnSetsOfEitherModel) {
  auto Parser = MakeOwned<TAQFuzzyLogicParser>(nullptr);
  IPtr<IFuzzyStreamTokenList> Arguments(New<TFuzzyStreamTokenList>());
  for (const double Number : {1.0, 2.0, 3.0}) {
    IPtr<IFuzzyStreamToken> Token(New<TFuzzyStreamToken>());
    Token->SetDataType(fstFloat);
    Token->SetNumber(Number);
    Arguments->Add(Token);
  }
  TOwned<TFuzzySet> Set = MakeOwned<TFuzzySet>(nullptr);
  EXPECT_EQ(Parser->CalcFuzzyFunction(Set.get(), "tri", Arguments), Set.get());
  EXPECT_TRUE(SamePoints(Set->Values(), {{1, 0}, {2, 1}, {3, 0}}));
  const IPtr<IFuzzySet> ISet = TIFuzzySet::Create(nullptr, "b");
  Parser->CalcFuzzyFunction(ISet, "beta", Arguments);
  EXPECT_EQ(ISet->GetCount(), 7);
  // Without a reading, an error has no position.
  try {
    Parser->CalcFuzzyFunction(ISet, "z", Arguments);
    FAIL();
  } catch (const EFzyParseException& E) {
    EXPECT_EQ(E.LineNumber(), 0);
    EXPECT_EQ(E.Message(), "Parsing Error, Number of arguments for function, z, incorrect.  Expected "
                           "\"\"Left Right Inflection_Point\"\" in CalcFuzzyFunction at line 0: \"\"");
  }
}

}  // namespace
}  // namespace fuzzy
