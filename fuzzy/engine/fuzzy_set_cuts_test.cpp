#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "fuzzy/engine/fuzzy_set.h"
#include "fuzzy/runtime/update_bracket.h"
#include "fuzzy/testing/counting_set.h"
#include "fuzzy/testing/points.h"
#include "fuzzy/testing/test_variable.h"

namespace fuzzy {
namespace {

using testing::FreeSet;
using testing::MakeVariable;
using testing::SamePoints;

TEST(FuzzySetCuts, AlphaCutoff) {
  auto Warm = FreeSet({{0, 0}, {1, 1}, {2, 0}}, "warm");
  TOwned<TFuzzySet> Cut = Adopt(Warm->AlphaCutoff(0.5, false));
  EXPECT_TRUE(SamePoints(Cut->Values(), {{0, 0}, {0.5, 0}, {0.5, 0.5}, {1, 1}, {1.5, 0.5}, {1.5, 0}}));
  EXPECT_EQ(Cut->Name(), "warm");
  EXPECT_TRUE(Cut->Expression().empty());

  auto Rising = FreeSet({{0, 0.5}, {1, 1}});
  EXPECT_TRUE(SamePoints(Adopt(Rising->AlphaCutoff(0.5, true))->Values(), {{0, 0}, {0, 0.5}, {1, 1}}));

  EXPECT_TRUE(SamePoints(Adopt(Warm->AlphaCutoff(1, true))->Values(), {{0, 0}}));
  EXPECT_TRUE(SamePoints(Adopt(Warm->AlphaCutoff(0, true))->Values(), testing::PointsOf(Warm->Values())));
  EXPECT_TRUE(SamePoints(Adopt(Warm->AlphaCutoff(-3, false))->Values(),
                         testing::PointsOf(Adopt(Warm->AlphaCutoff(0, false))->Values())));

  // The cut opens at the first point's X when that point lies outside it.
  auto Far = FreeSet({{4, 0}, {5, 1}, {6, 0}});
  EXPECT_TRUE(SamePoints(Adopt(Far->AlphaCutoff(0.5, false))->Values(),
                         {{4, 0}, {4.5, 0}, {4.5, 0.5}, {5, 1}, {5.5, 0.5}, {5.5, 0}}));
}

TEST(FuzzySetCuts, Cutoff) {
  auto Warm = FreeSet({{0, 0}, {1, 1}, {2, 0}}, "warm");
  TOwned<TFuzzySet> Below = Adopt(Warm->Cutoff(0.5, false));
  EXPECT_TRUE(SamePoints(Below->Values(), {{0, 0}, {0.5, 0.5}, {1.5, 0.5}, {2, 0}}));
  EXPECT_EQ(Below->Name(), "warm and 0.5000");
  EXPECT_TRUE(Below->Expression().empty());

  TOwned<TFuzzySet> Above = Adopt(Warm->Cutoff(0.5, true));
  EXPECT_TRUE(SamePoints(Above->Values(), {{0.5, 0.5}, {1, 1}, {1.5, 0.5}}));
  EXPECT_EQ(Above->Name(), "warm or 0.5000");
  EXPECT_DOUBLE_EQ(Above->DegreeOfMembership(0), 0.5);
  EXPECT_DOUBLE_EQ(Above->DegreeOfMembership(2), 0.5);

  Warm->SetExpression("warm");
  TOwned<TFuzzySet> Whole = Adopt(Warm->Cutoff(1.5, false));
  EXPECT_EQ(Whole->Name(), "warm and 1.5000");
  EXPECT_EQ(Whole->Expression(), "warm and 1.0000");
  EXPECT_TRUE(SamePoints(Whole->Values(), testing::PointsOf(Warm->Values())));
  EXPECT_TRUE(SamePoints(Adopt(Warm->Cutoff(0, false))->Values(), {{0, 0}}));
  EXPECT_TRUE(SamePoints(Adopt(Warm->Cutoff(1, true))->Values(), {{0, 1}}));
}

TEST(FuzzySetCuts, EmptySetsRaiseBeforeAnythingIsCreated) {
  auto Variable = MakeVariable(0, 10);
  TFuzzySet* Empty = Variable->Add("none");
  try {
    Empty->AlphaCutoff(0.5, false);
    FAIL();
  } catch (const EFzyException& E) {
    EXPECT_STREQ(E.what(), "Invalid operation: \"Alpha Cutoff\".  Fuzzy set is empty");
  }
  try {
    Empty->Cutoff(0.5, true);
    FAIL();
  } catch (const EFzyException& E) {
    EXPECT_STREQ(E.what(), "Invalid operation: \"Cutoff\".  Fuzzy set is empty");
  }
  EXPECT_EQ(Variable->Items().Count(), 1);
  // The copying and single-point cases read no point and still work.
  TFuzzySet* Copy = Empty->AlphaCutoff(0, true);
  EXPECT_EQ(Copy->Collection(), &Variable->Items());
  EXPECT_EQ(Copy->Values().Count(), 0);
}

TEST(FuzzySetCuts, Defuzzification) {
  auto Variable = MakeVariable(0, 10);
  TFuzzySet* Peak = Variable->Add("peak");
  testing::AddPoints(Peak->Values(), {{2, 0}, {4, 1}, {6, 0}});
  EXPECT_DOUBLE_EQ(Peak->CenterOfGravity(), 4);
  TFuzzySet* Single = Variable->Add("single");
  Single->Values().Add(3, 0.7);
  EXPECT_DOUBLE_EQ(Single->CenterOfGravity(), 5);
  TFuzzySet* Plateau = Variable->Add("plateau");
  testing::AddPoints(Plateau->Values(), {{2, 1}, {4, 1}});
  EXPECT_DOUBLE_EQ(Plateau->CenterOfGravity(), 5);  // shoulders of areas 2 and 6 on both sides
  TFuzzySet* Trapezoid = Variable->Add("trapezoid");
  testing::AddPoints(Trapezoid->Values(), {{0, 0}, {2, 0.5}, {4, 1}, {10, 0}});
  // Exact centroid of the polygon: moments of a triangle, a trapezoid and a triangle.
  const double Area = 0.5 + 1.5 + 3.0;
  const double Moment =
      0.5 * (4.0 / 3) + (2 * (0.5 + 1) / 2) * (2 + 2 * (0.5 + 2 * 1.0) / (3 * 1.5)) + 3.0 * 6;
  EXPECT_NEAR(Trapezoid->CenterOfGravity(), Moment / Area, 1e-12);

  EXPECT_EQ(FreeSet()->CenterOfGravity(), 0);
  EXPECT_EQ(FreeSet({{3, 0.7}})->CenterOfGravity(), 0);  // no variable: the middle of the widest range

  EXPECT_DOUBLE_EQ(FreeSet({{0, 0}, {1, 1}, {2, 1}, {3, 0}})->MeanOfMaxima(), 1.5);
  EXPECT_DOUBLE_EQ(FreeSet({{0, 0.99995}, {1, 1}, {2, 0}})->MeanOfMaxima(), 0.5);
  EXPECT_EQ(FreeSet()->MeanOfMaxima(), 0);

  testing::TTestLogic Logic;
  Variable->Logic = &Logic;
  EXPECT_DOUBLE_EQ(Plateau->Defuzzify(), 5);
  Logic.Defuzzification = dmMeanOfMaxima;
  EXPECT_DOUBLE_EQ(Plateau->Defuzzify(), 3);

  EXPECT_TRUE(FreeSet({{0, 1}, {5, 1}})->IsUndecidable());
  EXPECT_TRUE(FreeSet({{0, 0}})->IsUndecidable());
  EXPECT_TRUE(FreeSet()->IsUndecidable());
  EXPECT_FALSE(FreeSet({{0, 0.5}, {5, 0.5}})->IsUndecidable());
  EXPECT_FALSE(FreeSet({{0, 1}, {5, 0}})->IsUndecidable());
}

TEST(FuzzySetCuts, InferenceAndCorrelation) {
  auto Old = FreeSet({{0, 0}, {1, 0.8}, {2, 0}}, "old");
  auto New = FreeSet({{0, 0}, {1, 0.8}, {2, 0}}, "new");
  TOwned<TFuzzySet> Sum = Adopt(Old->Infer(New.get(), fimAdditive, false));
  EXPECT_EQ(Sum->Name(), "old or-sum new");
  EXPECT_DOUBLE_EQ(Sum->DegreeOfMembership(1), 1.6);
  EXPECT_EQ(Adopt(Old->Infer(New.get(), fimMean, true))->Name(), "old and-mean new");
  EXPECT_EQ(Adopt(Old->Infer(New.get(), false))->Name(), "old or new");
  try {
    Old->Infer(New.get(), fimAdditive, true);
    FAIL();
  } catch (const EFzyException& E) {
    EXPECT_STREQ(E.what(), "Invalid fuzzy operation: \"foSum:");
  }

  auto Clipped = FreeSet({{0, 0.4}, {1, 1}}, "warm");
  EXPECT_EQ(Clipped->Correlate(0.5), Clipped.get());
  EXPECT_TRUE(SamePoints(Clipped->Values(), {{0, 0.4}, {1.0 / 6, 0.5}, {1, 0.5}}));
  // Minimum correlation clips: a triangle becomes a trapezoid, degrees below the strength stay.
  auto Average = FreeSet({{10, 0}, {15, 1}, {20, 0}}, "average");
  Average->Correlate(0.6, fcmMinimum);
  EXPECT_TRUE(SamePoints(Average->Values(), {{10, 0}, {13, 0.6}, {15, 0.6}, {17, 0.6}, {20, 0}}));
  EXPECT_DOUBLE_EQ(Average->DegreeOfMembership(12), 0.4);
  // Every segment of a zigzag crosses the level: the clipped set is the minimum everywhere.
  testing::TPoints Zigzag;
  for (int I = 0; I <= 40; ++I) Zigzag.emplace_back(I, I % 2 ? 0.9 : 0.1 * (I % 3));
  auto Original = FreeSet(Zigzag, "zigzag");
  auto Clip = FreeSet(Zigzag, "zigzag");
  Clip->Correlate(0.5, fcmMinimum);
  EXPECT_EQ(Clip->Values().Count(), 41 + 40);
  for (double X = 0; X <= 40; X += 0.125)
    ASSERT_NEAR(Clip->DegreeOfMembership(X), std::min(Original->DegreeOfMembership(X), 0.5), 1e-12) << X;
  EXPECT_EQ(Clipped->Name(), "warm > 0.5000");
  auto Scaled = FreeSet({{0, 0.4}, {1, 1}}, "warm");
  Scaled->Correlate(0.5, fcmProduct);
  EXPECT_TRUE(SamePoints(Scaled->Values(), {{0, 0.2}, {1, 0.5}}));

  auto Variable = MakeVariable(0, 10);
  testing::TTestLogic Logic;
  Logic.Correlation = fcmProduct;
  Logic.Inference = fimBoundedSum;
  Variable->Logic = &Logic;
  TFuzzySet* InVariable = Variable->Add("tip");
  testing::AddPoints(InVariable->Values(), {{0, 0.4}, {1, 1}});
  InVariable->Correlate(0.5);
  EXPECT_TRUE(SamePoints(InVariable->Values(), {{0, 0.2}, {1, 0.5}}));
  EXPECT_EQ(InVariable->Infer(InVariable, false)->Name(), "[tip * 0.5000] or-boundedsum [tip * 0.5000]");
}

TEST(FuzzySetCuts, CorrelationStrengthAndEquality) {
  auto Left = FreeSet({{0, 0}, {1, 1}, {2, 0}});
  auto Right = FreeSet({{1, 0}, {2, 1}, {3, 0}});
  EXPECT_DOUBLE_EQ(Left->GetCorrelationStrength(Right.get()), 0.5);
  EXPECT_DOUBLE_EQ(Left->FuzzyEquals(Right.get()), 0.5);
  EXPECT_DOUBLE_EQ(Left->GetCorrelationStrength(FreeSet().get()), 1);
  EXPECT_EQ(FreeSet()->GetCorrelationStrength(FreeSet().get()), 0);

  auto Variable = MakeVariable(0, 10);
  TFuzzySet* A = Variable->Add("a");
  testing::AddPoints(A->Values(), {{0, 0}, {1, 1}, {2, 0}});
  Variable->Thresh = 0.5;
  EXPECT_TRUE(A->Equals(Right.get()));
  Variable->Thresh = 0.6;
  EXPECT_FALSE(A->Equals(Right.get()));
  EXPECT_TRUE(FreeSet()->Equals(FreeSet().get()));
  // Free-standing sets compare against the default threshold 0.01.
  EXPECT_TRUE(Left->Equals(Right.get()));
  EXPECT_FALSE(Left->Equals(FreeSet({{5, 0}, {6, 1}}).get()));
}

// Minimum correlation is the smaller of the set and the strength at every X, also at vertical edges
// (steps and spikes, several points on one X, built inside a bracket so that none merges).
TEST(FuzzySetCuts, MinimumCorrelationIsTheMinimumAtEveryXEdgesIncluded) {
  auto Spike = FreeSet();
  {
    TUpdateBracket Bracket(Spike->Values());
    testing::AddPoints(Spike->Values(), {{9, 0}, {9, 0.25}, {9, 1}, {9, 0.25}, {9, 0}});
  }
  Spike->Correlate(0.75, fcmMinimum);
  EXPECT_EQ(Spike->DegreeOfMembership(9), 0.75);
  EXPECT_EQ(Spike->DegreeOfMembership(10), 0);
  EXPECT_EQ(Spike->DegreeOfMembership(8), 0);

  std::mt19937 Random(23);
  for (int Round = 0; Round < 500; ++Round) {
    testing::TPoints Points;
    for (double X = 0; X <= 5; X += 0.5)
      for (int K = static_cast<int>(Random() % 4); K > 0; --K) Points.emplace_back(X, (Random() % 5) / 4.0);
    if (Points.empty()) continue;
    auto Original = FreeSet();
    {
      TUpdateBracket Bracket(Original->Values());
      testing::AddPoints(Original->Values(), Points);
    }
    TOwned<TFuzzySet> Clipped = Adopt(Original->Clone());
    const double Strength = (1 + Random() % 9) / 10.0;
    Clipped->Correlate(Strength, fcmMinimum);
    for (double X = -0.5; X <= 5.5; X += 0.125)
      ASSERT_NEAR(Clipped->DegreeOfMembership(X), std::min(Original->DegreeOfMembership(X), Strength), 1e-12)
          << "round " << Round << " at " << X << " of " << Original->ValuesToString() << " clipped at " << Strength
          << ": " << Clipped->ValuesToString();
  }
  // A strength that is not a number changes nothing.
  auto Warm = testing::CountingSet({{0, 0}, {1, 1}, {2, 0}}, "warm");
  EXPECT_THROW(Warm->Correlate(std::nan(""), fcmMinimum), EFzyException);
  EXPECT_THROW(Warm->Correlate(std::numeric_limits<double>::infinity(), fcmProduct), EFzyException);
  EXPECT_TRUE(SamePoints(Warm->Values(), {{0, 0}, {1, 1}, {2, 0}}));
  EXPECT_EQ(Warm->Name(), "warm");
  EXPECT_EQ(Warm->Changes, 0);
}

// The cuts that read no point give their result for an empty set, as their header says.
TEST(FuzzySetCuts, CutsOfAnEmptySetThatReadNoPoint) {
  auto Empty = FreeSet({}, "e");
  EXPECT_TRUE(SamePoints(Adopt(Empty->Cutoff(1.5, true))->Values(), {{0, 1}}));
  EXPECT_TRUE(SamePoints(Adopt(Empty->Cutoff(-1, false))->Values(), {{0, 0}}));
  EXPECT_TRUE(SamePoints(Adopt(Empty->Cutoff(0, true))->Values(), {}));
  EXPECT_TRUE(SamePoints(Adopt(Empty->AlphaCutoff(1, true))->Values(), {{0, 0}}));
  EXPECT_THROW(Empty->Cutoff(0.5, true), EFzyException);
}

// Coordinates near the ends of the double range: results are finite, never NaN. The centre of
// gravity of a triangle over [0, 1e308] lies where it lies at any scale.
TEST(FuzzySetCuts, HugeCoordinatesGiveFiniteResults) {
  auto Variable = MakeVariable(0, 1e308);
  TFuzzySet* Triangle = Variable->Add("t");
  Triangle->CreateTriangleFunctionValues(1e307, 5e307, 9e307);
  EXPECT_NEAR(Triangle->CenterOfGravity() / 1e307, 5, 1e-12);
  TFuzzySet* Plateau = Variable->Add("p");
  testing::AddPoints(Plateau->Values(), {{2e307, 1}, {4e307, 1}});
  EXPECT_NEAR(Plateau->CenterOfGravity() / 1e307, 5, 1e-12);  // shoulders over the whole range
  EXPECT_NEAR(Plateau->MeanOfMaxima() / 1e307, 3, 1e-12);
  auto Largest = MakeVariable(0, 1.7e308);
  TFuzzySet* Far = Largest->Add("far");
  testing::AddPoints(Far->Values(), {{1.5e308, 1}, {1.7e308, 1}});
  EXPECT_NEAR(Far->MeanOfMaxima() / 1e308, 1.6, 1e-12);
  // Areas too small for the products: the centre is found all the same.
  auto Tiny = MakeVariable(0, 4e-200);
  TFuzzySet* Small = Tiny->Add("s");
  testing::AddPoints(Small->Values(), {{1e-200, 0}, {2e-200, 1e-200}, {3e-200, 0}});
  EXPECT_NEAR(Small->CenterOfGravity() / 1e-200, 2, 1e-12);

  // Random sets spread over the widest range: every operation gives finite points and numbers.
  auto Wide = MakeVariable(-1.7e308, 1.7e308);
  std::mt19937 Random(29);
  auto RandomSet = [&](const char* Name) {
    TFuzzySet* Set = Wide->Add(Name);
    for (int I = static_cast<int>(2 + Random() % 5); I > 0; --I)
      Set->Values().Add((static_cast<double>(Random() % 35) - 17) * 1e307, (Random() % 5) / 4.0);
    return Set;
  };
  auto CheckFinite = [](const TFuzzySet* Set) {
    for (const auto& [X, Y] : testing::PointsOf(Set->Values())) ASSERT_TRUE(std::isfinite(X) && std::isfinite(Y));
    ASSERT_TRUE(std::isfinite(Set->CenterOfGravity()));
    ASSERT_TRUE(std::isfinite(Set->MeanOfMaxima()));
  };
  for (int Round = 0; Round < 200; ++Round) {
    TFuzzySet* A = RandomSet("a");
    TFuzzySet* B = RandomSet("b");
    for (TFuzzyOperation Operation : {foZadeh, foMean, foProduct, foBoundedSum}) {
      CheckFinite(A->Union(B, Operation));
      CheckFinite(A->Intersection(B, Operation));
    }
    CheckFinite(A->AlphaCutoff(0.5, false));
    CheckFinite(A->Cutoff(0.5, true));
    EXPECT_TRUE(std::isfinite(A->GetCorrelationStrength(B)));
    for (TFuzzyHedge Hedge : {fhVery, fhAbout, fhPositively, fhNot})
      CheckFinite(A->Clone()->Hedge(Hedge));
    TFuzzySet* Clipped = A->Clone();
    CheckFinite(Clipped->Correlate(0.5, fcmMinimum));
    Wide->Items().Clear();
  }
}

}  // namespace
}  // namespace fuzzy
