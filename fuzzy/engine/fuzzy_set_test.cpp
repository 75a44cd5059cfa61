#include "fuzzy/engine/fuzzy_set.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "fuzzy/engine/internal/point_batch.h"
#include "fuzzy/testing/counting_set.h"
#include "fuzzy/testing/points.h"
#include "fuzzy/testing/test_variable.h"

namespace fuzzy {
namespace {

using testing::FreeSet;
using testing::MakeVariable;
using testing::SamePoints;

TEST(FuzzySet, DegreeOfMembership) {
  EXPECT_EQ(FreeSet()->DegreeOfMembership(3), 0);
  auto Single = FreeSet({{5, 0.7}});
  for (double X : {-100.0, 5.0, 1e9}) EXPECT_DOUBLE_EQ(Single->DegreeOfMembership(X), 0.7);

  auto Step = FreeSet({{0, 0}, {5, 0}, {5, 1}, {10, 1}});
  EXPECT_EQ(Step->DegreeOfMembership(5), 1);
  EXPECT_EQ(Step->DegreeOfMembership(2.5), 0);
  EXPECT_EQ(Step->DegreeOfMembership(7), 1);
  EXPECT_EQ(Step->DegreeOfMembership(-3), 0);
  EXPECT_EQ(Step->DegreeOfMembership(12), 1);

  EXPECT_DOUBLE_EQ(FreeSet({{0, 0}, {10, 1}})->DegreeOfMembership(2.5), 0.25);

  // At a vertical edge on either end the highest point of that X counts.
  auto Edges = FreeSet({{0, 0.2}, {0, 0.9}, {4, 0.5}, {8, 0.1}, {8, 0.6}, {8, 0.3}});
  EXPECT_DOUBLE_EQ(Edges->DegreeOfMembership(0), 0.9);
  EXPECT_DOUBLE_EQ(Edges->DegreeOfMembership(8), 0.6);
  EXPECT_DOUBLE_EQ(Edges->DegreeOfMembership(2), 0.7);
}

TEST(FuzzySet, DegreeOfMembershipOfLongListsMatchesTheLinearWalk) {
  // Long ascending lists are searched by halves; the answer must be the walk's, edges included.
  auto Long = FreeSet();
  testing::TPoints Points;
  for (int I = 0; I < 60; ++I) Points.emplace_back(I, (I % 7) / 6.0);
  Points.insert(Points.begin() + 31, {30, 1.0});  // a vertical edge at 30
  testing::AddPoints(Long->Values(), Points);
  ASSERT_TRUE(internal::TPointBatch::IsAscending(Long->Values()));
  auto Linear = [&](double V) {
    const auto& P = testing::PointsOf(Long->Values());
    for (std::size_t I = 1; I < P.size(); ++I) {
      if (P[I].first == V)
        return std::max(P[I].second, I + 1 < P.size() && P[I + 1].first == V ? P[I + 1].second : 0);
      if (P[I].first > V)
        return P[I - 1].second +
               (V - P[I - 1].first) / (P[I].first - P[I - 1].first) * (P[I].second - P[I - 1].second);
    }
    return 0.0;
  };
  for (double V = 0.25; V < 59; V += 0.5) EXPECT_DOUBLE_EQ(Long->DegreeOfMembership(V), Linear(V)) << V;
  EXPECT_DOUBLE_EQ(Long->DegreeOfMembership(30), 1.0);
  EXPECT_DOUBLE_EQ(Long->DegreeOfMembership(31), Linear(31));

  // Points out of exact order (within the tolerance) fall back to the walk.
  Long->Values().BeginUpdate();
  Long->Values().Add(45.00005, 0.9);
  Long->Values().Add(45, 0.2);
  Long->Values().EndUpdate();
  EXPECT_FALSE(internal::TPointBatch::IsAscending(Long->Values()));
  EXPECT_NEAR(Long->DegreeOfMembership(45.00002), 0.5 + 0.4 * 0.4,
              1e-9);  // between (45, 0.5) and (45.00005, 0.9)
}

TEST(FuzzySet, ShapeGenerators) {
  auto Set = FreeSet();
  Set->CreateTriangleFunctionValues(4, 9, 6);
  EXPECT_TRUE(SamePoints(Set->Values(), {{4, 0}, {6, 1}, {6, 0}}));
  EXPECT_EQ(Set->SetType(), fstTriangle);

  Set = FreeSet();
  Set->CreateCurveValues(5, 0, 4, 2, true);
  EXPECT_TRUE(SamePoints(Set->Values(), {{0, 0}, {1, 0.125}, {2, 0.5}, {3, 0.875}, {4, 1}}));
  EXPECT_EQ(Set->SetType(), fstGrowthCurve);
  EXPECT_EQ(Set->InflectionPoint(), 2);
  Set = FreeSet();
  Set->CreateCurveValues(5, 0, 4, 2, false);
  EXPECT_TRUE(SamePoints(Set->Values(), {{0, 1}, {1, 0.875}, {2, 0.5}, {3, 0.125}, {4, 0}}));
  EXPECT_EQ(Set->SetType(), fstDeclineCurve);

  try {
    Set->CreateCurveValues(7, 5, 1, 3, true);
    FAIL();
  } catch (const EFzyException& E) {
    EXPECT_STREQ(E.what(), "Invalid range arguments.  Left (5.0000) is greater than right (1.0000)");
  }
  EXPECT_EQ(Set->Values().Count(), 5);
  EXPECT_THROW(Set->CreatePIFunctionValues(7, 3, 1, 2), EFzyException);
  EXPECT_EQ(Set->Values().Count(), 5);

  Set = FreeSet();
  Set->CreatePIFunctionValues(7, 0, 10, 5);
  EXPECT_TRUE(SamePoints(
      Set->Values(),
      {{0, 0}, {1.6667, 0.2222}, {3.3333, 0.7778}, {5, 1}, {6.6667, 0.7778}, {8.3333, 0.2222}, {10, 0}},
      5e-5));
  EXPECT_EQ(Set->SetType(), fstPICurve);
  EXPECT_DOUBLE_EQ(Set->InflectionPoint(), 7.5);
  Set = FreeSet();
  Set->CreatePIFunctionValues(6, 5, 5);  // even: no point at the centre
  EXPECT_EQ(Set->Values().Count(), 6);
  EXPECT_LT(Set->DegreeOfMembership(5), 1);

  Set = FreeSet();
  Set->CreateBetaCurveFunctionValues(5, 2, 0, 1);
  EXPECT_TRUE(SamePoints(Set->Values(), {{-2, 0.2}, {-1, 0.5}, {0, 1}, {1, 0.5}, {2, 0.2}}));
  EXPECT_EQ(Set->SetType(), fstBetaCurve);
  Set = FreeSet();
  Set->CreateBetaCurveFunctionValues(5, 2, 0, 0);  // no width: a spike at the centre
  EXPECT_TRUE(SamePoints(Set->Values(), {{-2, 0}, {-1, 0}, {0, 1}, {1, 0}, {2, 0}}));

  Set = FreeSet({{0, 1}});
  Set->CreateCrispValue(2.5);
  EXPECT_TRUE(SamePoints(Set->Values(), {{2.5, 0}, {2.5, 1}, {2.5, 0}}));
  EXPECT_EQ(Set->Expression(), "2.5000");
  EXPECT_EQ(Set->SetType(), fstUserDefined);
}

// A generator that raises leaves the set as it was: points, type, expression, and no change
// reported (an update bracket opened and closed would report one).
TEST(FuzzySet, ShapeGeneratorsRefuseBeforeAnythingChanges) {
  const double NaN = std::numeric_limits<double>::quiet_NaN();
  const double Infinity = std::numeric_limits<double>::infinity();
  auto Set = testing::CountingSet({{0, 0}, {1, 1}, {2, 0}});
  Set->SetExpression("x");
  const struct {
    std::function<void()> Call;
    const char* Message;
  } Cases[] = {
      {[&] { Set->CreateTriangleFunctionValues(NaN, 5, 10); }, "Invalid X value: NAN"},
      {[&] { Set->CreateTriangleFunctionValues(0, Infinity, 10); }, "Invalid X value: INF"},
      {[&] { Set->CreateCurveValues(7, 0, Infinity, 1, true); }, "Invalid X value: INF"},
      {[&] { Set->CreateCurveValues(7, 0, 4, NaN, true); }, "Invalid InflectionPoint value: NAN"},
      {[&] { Set->CreateCurveValues(7, 5, 1, 3, true); },
       "Invalid range arguments.  Left (5.0000) is greater than right (1.0000)"},
      {[&] { Set->CreatePIFunctionValues(MaxPointCount + 1, 0, 10, 5); },
       "Invalid point count 1000001.  At most 1000000 points are allowed"},
      {[&] { Set->CreatePIFunctionValues(7, 0, 10, NaN); }, "Invalid X value: NAN"},
      // A negative weight sends the degree one inflection point away to infinity.
      {[&] { Set->CreateBetaCurveFunctionValues(3, 1, 0, 1, -1); }, "Invalid Y value: INF"},
      {[&] { Set->CreateBetaCurveFunctionValues(std::numeric_limits<int>::max(), 1, 0, 1); },
       "Invalid point count 2147483647.  At most 1000000 points are allowed"},
      {[&] { Set->CreateCrispValue(-Infinity); }, "Invalid X value: -INF"},
  };
  for (const auto& Case : Cases) {
    try {
      Case.Call();
      ADD_FAILURE() << "no exception for " << Case.Message;
    } catch (const EFzyException& E) {
      EXPECT_STREQ(E.what(), Case.Message);
    }
    EXPECT_TRUE(SamePoints(Set->Values(), {{0, 0}, {1, 1}, {2, 0}})) << Case.Message;
    EXPECT_EQ(Set->Expression(), "x") << Case.Message;
    EXPECT_EQ(Set->Changes, 0) << Case.Message;
  }
  EXPECT_THROW(Set->SetSetType(static_cast<TFuzzySetType>(9)), EListError);
  EXPECT_EQ(Set->Changes, 0);
}

TEST(FuzzySet, PICurvesCountFewerThanThreePointsAsThree) {
  auto Three = FreeSet();
  Three->CreatePIFunctionValues(3, -2, 9, 7);
  EXPECT_TRUE(SamePoints(Three->Values(), {{-2, 0}, {7, 1}, {8, 0.5}, {9, 0}}));
  for (int Num : {1, 0, -2}) {
    auto Set = FreeSet();
    Set->CreatePIFunctionValues(Num, -2, 9, 7);
    EXPECT_TRUE(SamePoints(Set->Values(), testing::PointsOf(Three->Values()))) << Num;
  }
}

// Shapes over a range wider than the double range have finite points, worked out at half scale.
TEST(FuzzySet, ShapesOverTheWidestRangesAreFinite) {
  auto Variable = MakeVariable(-1.7e308, 1.7e308);
  for (TFuzzySetType Type : {fstTriangle, fstDeclineCurve, fstPICurve, fstBetaCurve, fstGrowthCurve}) {
    TFuzzySet* Set = Variable->Add("s");
    Set->SetSetType(Type);
    ASSERT_GE(Set->Values().Count(), 3) << Type;
    for (const auto& [X, Y] : testing::PointsOf(Set->Values()))
      EXPECT_TRUE(std::isfinite(X) && std::isfinite(Y) && Y >= 0 && Y <= 1) << Type << ": " << X << " " << Y;
    EXPECT_TRUE(std::isfinite(Set->CenterOfGravity())) << Type;
  }
  TFuzzySet* Triangle = Variable->Add("t");
  Triangle->SetSetType(fstTriangle);
  EXPECT_NEAR(Triangle->Values()[1]->X(), 0, 1e292);
  EXPECT_NEAR(Triangle->Values()[2]->X(), 1.7e308 / 3 * 2, 1e294);
}

TEST(FuzzySet, SetTypeRegeneratesOverTheVariableRange) {
  auto Variable = MakeVariable(100, 200);
  TFuzzySet* Set = Variable->Add("mid");
  Set->SetSetType(fstTriangle);
  EXPECT_TRUE(SamePoints(Set->Values(), {{116.6667, 0}, {150, 1}, {183.3333, 0}}, 5e-5));
  EXPECT_EQ(Set->SetType(), fstUserDefined);

  testing::TTestLogic Logic;
  Logic.Num = 5;
  Variable->Logic = &Logic;
  Set->SetSetType(fstGrowthCurve);
  EXPECT_EQ(Set->Values().Count(), 5);
  EXPECT_DOUBLE_EQ(Set->Values()[0]->X(), 100 + 100 * ONE_THIRD);
  Set->SetSetType(fstBetaCurve);
  EXPECT_EQ(Set->Values().Count(), 5);
  EXPECT_DOUBLE_EQ(Set->DegreeOfMembership(150), 1);

  // Points written into a set of a variable stay inside its range.
  Set->Values().Add(500, 0.5);
  EXPECT_EQ(Set->Values()[Set->Values().Count() - 1]->X(), 200);
  try {
    Set->GetXRange(2);
    FAIL();
  } catch (const EFzyException& E) {
    EXPECT_STREQ(E.what(), "Invalid index argument to GetXRange.  Index = 2");
  }
}

TEST(FuzzySet, NamesAndCopies) {
  auto Set = FreeSet({{0, 0}, {50, 1}, {100, 0}}, "warm");
  for (const char* Reserved : {"and-mean", "<=X", "somewhat", "or"}) {
    EXPECT_THROW(Set->SetName(Reserved), EFzyException) << Reserved;
    EXPECT_EQ(Set->Name(), "warm");
  }
  try {
    Set->SetName("very");
  } catch (const EFzyException& E) {
    EXPECT_STREQ(E.what(), "Invalid fuzzy set name, \"very\" is a reserved word");
  }
  for (const char* Accepted : {"And", "zadeh", "__Empty", "warm"}) EXPECT_NO_THROW(Set->SetName(Accepted));

  EXPECT_EQ(Set->ToString(), "(warm (0.0000 0.0000) (50.0000 1.0000) (100.0000 0.0000) )");
  EXPECT_EQ(Set->GetValuesToString(), "((0.0000 0.0000) (50.0000 1.0000) (100.0000 0.0000) )");
  EXPECT_EQ(FreeSet()->GetValuesToString(), "()");
  EXPECT_EQ(FreeSet({}, "room temp")->ToString(), "(room temp )");
  EXPECT_EQ(FreeSet()->GetDisplayName(), "TFuzzySet");
  EXPECT_DOUBLE_EQ(Set->GetCompatibilityIndex(), 1.0 / 3);
  EXPECT_EQ(FreeSet()->GetCompatibilityIndex(), 0);

  Set->CreateCurveValues(3, 0, 10, 4, true);
  Set->SetExpression("warm");
  Set->SetComment("note");
  Set->SetTag(7);
  Set->SetDefined(true);
  auto Copy = FreeSet();
  Copy->Assign(Set.get());
  EXPECT_EQ(Copy->Name(), "warm");
  EXPECT_EQ(Copy->SetType(), fstGrowthCurve);
  EXPECT_EQ(Copy->Expression(), "warm");
  EXPECT_EQ(Copy->InflectionPoint(), 4);
  EXPECT_TRUE(Copy->Comment().empty());
  EXPECT_EQ(Copy->Tag(), 0);
  EXPECT_FALSE(Copy->Defined());
  EXPECT_TRUE(SamePoints(Copy->Values(), testing::PointsOf(Set->Values())));

  // A change of a point makes the set user-defined and forgets its expression.
  Copy->Values()[1]->SetY(0.4);
  EXPECT_EQ(Copy->SetType(), fstUserDefined);
  EXPECT_TRUE(Copy->Expression().empty());

  // A free-standing clone belongs to the caller.
  TOwned<TFuzzySet> Clone = Adopt(Set->Clone());
  EXPECT_EQ(Clone->Collection(), nullptr);
  EXPECT_EQ(Clone->ClassName(), "TFuzzySet");
  EXPECT_EQ(Clone->Expression(), "warm");
}

TEST(FuzzySet, SetsOfAVariable) {
  auto Variable = MakeVariable(0, 10);
  testing::TTestLogic Logic;
  Logic.Designing = true;
  Variable->Logic = &Logic;
  TFuzzySet* Low = Variable->Add("low");
  EXPECT_TRUE(Low->Defined());
  EXPECT_EQ(Low->Variable(), Variable.get());
  Low->Values().Add(1, 1);

  TFuzzySet* Copy = Low->Clone();
  EXPECT_EQ(Copy->Collection(), &Variable->Items());
  EXPECT_EQ(Variable->Items().Count(), 2);

  EXPECT_EQ(Low->ToString(), "(low (1.0000 1.0000) )");
  Logic.HasParser = true;
  EXPECT_EQ(Low->ToString(), "printed low");

  // A set moved into another variable answers with that variable's range at once, also inside
  // the added notification.
  auto Wide = MakeVariable(0, 100);
  Copy->SetCollection(&Wide->Items());
  EXPECT_EQ(Copy->XMaximum(), 100);
  EXPECT_EQ(Wide->Items().Events.back(), "added 100");
  EXPECT_EQ(Variable->Items().Count(), 1);
  Copy->SetCollection(&Variable->Items());
  EXPECT_EQ(Copy->XMaximum(), 10);

  Copy->Free();
  EXPECT_EQ(Variable->Items().Count(), 1);
  EXPECT_EQ(Variable->Items().Events.back(), "extracting low");
  Low->SetCollection(nullptr);
  EXPECT_EQ(Low->Variable(), nullptr);
  EXPECT_EQ(Low->XMaximum(), 2147483647.0);
  Low->Free();
}

}  // namespace
}  // namespace fuzzy
