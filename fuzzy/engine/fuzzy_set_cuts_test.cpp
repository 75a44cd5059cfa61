#include <gtest/gtest.h>

#include <algorithm>

#include "fuzzy/engine/fuzzy_set.h"
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

}  // namespace
}  // namespace fuzzy
