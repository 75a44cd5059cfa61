#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "fuzzy/engine/fuzzy_set.h"
#include "fuzzy/testing/counting_set.h"
#include "fuzzy/testing/points.h"
#include "fuzzy/testing/test_variable.h"

namespace fuzzy {
namespace {

using testing::AddPoints;
using testing::FreeSet;
using testing::MakeVariable;
using testing::PointsOf;
using testing::SamePoints;
using testing::TPoints;

const TPoints Triangle = {{0, 0}, {5, 1}, {10, 0}};

// A free-standing set of Points after the hedge.
TOwned<TFuzzySet> Hedged(const TPoints& Points, TFuzzyHedge Hedge) {
  auto Set = FreeSet(Points, "t");
  Set->Hedge(Hedge);
  return Set;
}

TOwned<TFuzzySet> Hedged(const TPoints& Points, TBaseFuzzyHedge Op, TFzyFloat Value, bool ModifyY) {
  auto Set = FreeSet(Points, "t");
  Set->Hedge(Op, Value, ModifyY);
  return Set;
}

std::string MessageOf(const std::function<void()>& Action) {
  try {
    Action();
  } catch (const Exception& E) {
    return E.what();
  }
  return "(no exception)";
}

TEST(FuzzySetHedges, NotAboveBelowAndTheirNames) {
  auto Warm = FreeSet(Triangle, "warm");
  EXPECT_EQ(Warm->Hedge(fhNot), Warm.get());
  EXPECT_TRUE(SamePoints(Warm->Values(), {{0, 1}, {5, 0}, {10, 1}}));
  EXPECT_EQ(Warm->Name(), "not warm");
  EXPECT_EQ(Warm->Expression(), "[not warm]");

  EXPECT_TRUE(SamePoints(Hedged(Triangle, fhAbove)->Values(), {{0, 0}, {5, 0}, {10, 1}}));
  EXPECT_TRUE(SamePoints(Hedged(Triangle, fhBelow)->Values(), {{0, 1}, {5, 0}, {10, 0}}));
  // Equal maxima below 1: "above" takes the last of them, "below" the first.
  const TPoints TwoPeaks = {{0, 0}, {2, 0.5}, {4, 0.2}, {6, 0.5}, {8, 0.25}};
  EXPECT_TRUE(SamePoints(Hedged(TwoPeaks, fhAbove)->Values(), {{0, 0}, {2, 0}, {4, 0}, {6, 0}, {8, 0.75}}));
  EXPECT_TRUE(SamePoints(Hedged(TwoPeaks, fhBelow)->Values(), {{0, 1}, {2, 0}, {4, 0}, {6, 0}, {8, 0}}));
}

TEST(FuzzySetHedges, IntensifyResamplesThenRaisesTheDegrees) {
  auto Warm = FreeSet({{0, 0}, {6, 1}}, "warm");
  Warm->Hedge(fhVery);
  EXPECT_TRUE(
      SamePoints(Warm->Values(),
                 {{0, 0}, {1, 1 / 36.0}, {2, 4 / 36.0}, {3, 0.25}, {4, 16 / 36.0}, {5, 25 / 36.0}, {6, 1}}));
  EXPECT_EQ(Warm->Name(), "very warm");
  EXPECT_EQ(Warm->Expression(), "[very warm]");
  Warm->Hedge(bfhMultiply, 0.5, true);
  EXPECT_EQ(Warm->Name(), "[very warm] * 0.5000");

  auto Room = FreeSet({{0, 0}, {6, 1}}, "room temp");
  Room->Hedge(fhSomewhat);
  EXPECT_NEAR(Room->DegreeOfMembership(3), std::cbrt(0.5), 1e-12);
  EXPECT_EQ(Room->Expression(), "[somewhat [room temp]]");
}

TEST(FuzzySetHedges, ContrastNeverTakesTheRootOfANegative) {
  const TPoints Ramp = {{0, 0}, {1, 0.1}, {2, 0.25}, {3, 0.5}, {4, 0.75}, {5, 0.9}, {6, 1}};
  auto Sharp = FreeSet(Ramp, "t");
  Sharp->Hedge(fhPositively);
  EXPECT_TRUE(SamePoints(Sharp->Values(),
                         {{0, 0}, {1, 0.02}, {2, 0.125}, {3, 0.5}, {4, 0.875}, {5, 0.98}, {6, 1}}, 1e-12));
  auto Soft = FreeSet(Ramp, "t");
  Soft->Hedge(fhGenerally);
  EXPECT_TRUE(SamePoints(
      Soft->Values(), {{0, 0}, {1, 0.1581}, {2, 0.25}, {3, 0.6464}, {4, 0.75}, {5, 0.8419}, {6, 1}}, 1e-4));

  // A degree above 1 counts as 1 for either exponent.
  for (TFuzzyHedge Contrast : {fhGenerally, fhPositively}) {
    auto High = FreeSet({{0, 1.5}, {1, 0.2}}, "t");
    ASSERT_NO_THROW(High->Hedge(Contrast));
    EXPECT_EQ(High->Values()[0]->Y(), 1);
  }
}

TEST(FuzzySetHedges, ArithmeticOperators) {
  auto Add = FreeSet({{0, 0.9}, {1, 0.1}}, "warm");
  Add->SetExpression("warm");
  Add->Hedge(bfhAdd, 0.3, true);
  EXPECT_TRUE(SamePoints(Add->Values(), {{0, 1.2}, {1, 0.4}}, 1e-12));
  EXPECT_EQ(Add->Name(), "warm + 0.3000");
  // The change of the points cleared the expression before the operator wrote its own.
  EXPECT_EQ(Add->Expression(), "+ ");

  EXPECT_TRUE(
      SamePoints(Hedged({{0, 0.9}, {1, 0.1}}, bfhSubtract, 0.3, true)->Values(), {{0, 0.9 - 0.3}, {1, 0}}));
  EXPECT_TRUE(SamePoints(Hedged({{0, 0}, {1, 0.5}, {2, 1}, {3, 1.5}}, bfhPower, 2, true)->Values(),
                         {{0, 0}, {1, 0.25}, {2, 1}, {3, 1.5}}));
  EXPECT_TRUE(SamePoints(Hedged(Triangle, bfhCutGreater, 0.6, true)->Values(), {{0, 0}, {5, 0.6}, {10, 0}}));
  EXPECT_TRUE(SamePoints(Hedged(Triangle, bfhCutLess, 0.2, true)->Values(), {{0, 0.2}, {5, 1}, {10, 0.2}}));
  EXPECT_TRUE(SamePoints(Hedged(Triangle, bfhDivide, 4, true)->Values(), {{0, 0}, {5, 0.25}, {10, 0}}));
  // Only positive X values are raised, so a negative X never meets a root.
  EXPECT_TRUE(SamePoints(Hedged({{-2, 0}, {0, 1}, {3, 0}}, bfhPower, 0.5, false)->Values(),
                         {{-2, 0}, {0, 1}, {std::sqrt(3.0), 0}}));
  // A negative factor reverses the order; the list is sorted once afterwards.
  EXPECT_TRUE(SamePoints(Hedged({{-2, 0}, {0, 1}, {3, 0.5}}, bfhMultiply, -1, false)->Values(),
                         {{-3, 0.5}, {0, 1}, {2, 0}}));
  EXPECT_TRUE(SamePoints(Hedged(Triangle, bfhCutGreaterEq, 5, false)->Values(), {{0, 0}, {5, 1}, {5, 0}}));

  auto Owner = MakeVariable(0, 100);
  TFuzzySet* Warm = Owner->Add("warm");
  AddPoints(Warm->Values(), {{90, 0}, {98, 1}});
  Warm->Hedge(bfhAdd, 5, false);
  EXPECT_TRUE(SamePoints(Warm->Values(), {{95, 0}, {100, 1}}));
  EXPECT_EQ(Warm->Name(), "warm +X 5.0000");
  EXPECT_EQ(Warm->Expression(), "+X ");
}

// A hedge that raises leaves the points, the name, the expression as they were and reports no
// change: the operand, a result beyond the double range, a value outside the enumeration, an
// empty set to normalize.
TEST(FuzzySetHedges, RefusedHedgesChangeNothing) {
  const double Infinity = std::numeric_limits<double>::infinity();
  const TPoints High = {{0, 0}, {5, 10}, {6, 0.5}, {10, 0}};
  for (bool ModifyY : {true, false}) {
    auto Warm = testing::CountingSet(High, "warm");
    Warm->SetExpression("w");
    EXPECT_EQ(MessageOf([&] { Warm->Hedge(bfhDivide, 0, ModifyY); }),
              "Invalid hedge operation: division by zero");
    EXPECT_EQ(MessageOf([&] { Warm->Hedge(bfhAdd, std::nan(""), ModifyY); }), "Invalid hedge value: NAN");
    EXPECT_EQ(MessageOf([&] { Warm->Hedge(bfhMultiply, Infinity, ModifyY); }), "Invalid hedge value: INF");
    EXPECT_THROW(Warm->Hedge(static_cast<TBaseFuzzyHedge>(9), 1, ModifyY), EListError);
    if (ModifyY) {
      // 10 * 1e308 and 0.5 ^ -2000 pass the double range.
      EXPECT_EQ(MessageOf([&] { Warm->Hedge(bfhMultiply, 1e308, true); }), "Invalid Y value: INF");
      EXPECT_EQ(MessageOf([&] { Warm->Hedge(bfhPower, -2000, true); }), "Invalid Y value: INF");
      EXPECT_THROW(Warm->Hedge(static_cast<TFuzzyHedge>(40)), EListError);
    }
    EXPECT_TRUE(SamePoints(Warm->Values(), High));
    EXPECT_EQ(Warm->Name(), "warm");
    EXPECT_EQ(Warm->Expression(), "w");
    EXPECT_EQ(Warm->Changes, 0);
  }
  for (TFuzzyHedge Hedge : {fhNormalize, fhSlightly}) {
    auto Empty = testing::CountingSet({}, "none");
    EXPECT_EQ(MessageOf([&] { Empty->Hedge(Hedge); }),
              "Invalid operation: \"Get Maximum Y Value\".  Fuzzy set is empty");
    EXPECT_EQ(Empty->Name(), "none");
    EXPECT_EQ(Empty->Changes, 0);
  }
}

// "above" and "below" of an empty set go through the update bracket like every hedge: its closing
// notification clears the old expression before the hedge writes the new one.
TEST(FuzzySetHedges, AboveAndBelowOfAnEmptySetRewriteTheExpression) {
  for (TFuzzyHedge Hedge : {fhAbove, fhBelow, fhNot}) {
    auto Empty = FreeSet({}, "a");
    Empty->SetExpression("warm");
    Empty->Hedge(Hedge);
    std::string Expected = "[";
    Expected.append(HedgeNames[Hedge]).append(" a]");
    EXPECT_EQ(Empty->Expression(), Expected);
  }
}

// Resampling hedges after the variable's range moved away from the points: no degree above what
// the segment allows, no point out of order.
TEST(FuzzySetHedges, ResamplingAfterARangeChangeKeepsDegreesAndOrder) {
  auto Variable = MakeVariable(0, 1);
  for (TFuzzyHedge Hedge : {fhVery, fhSomewhat, fhPositively, fhGenerally}) {
    TFuzzySet* Set = Variable->Add("s");
    AddPoints(Set->Values(), {{0, 0}, {1, 1}});
    Variable->SetRange(75, 75);
    Set->Hedge(Hedge);
    const TPoints Points = PointsOf(Set->Values());
    for (std::size_t I = 0; I < Points.size(); ++I) {
      EXPECT_LE(Points[I].second, 1) << HedgeNames[Hedge];
      if (I > 0) {
        EXPECT_LE(Points[I - 1].first, Points[I].first) << HedgeNames[Hedge];
      }
    }
    Variable->SetRange(0, 1);
  }
}

TEST(FuzzySetHedges, Normalize) {
  auto Half = FreeSet({{0, 0}, {5, 0.5}, {10, 0}}, "half");
  EXPECT_EQ(Half->Normalize(), Half.get());
  EXPECT_TRUE(SamePoints(Half->Values(), {{0, 0}, {5, 1}, {10, 0}}));

  // An all-zero set does not change, so its expression survives and the hedge wraps it.
  auto Zero = FreeSet({{0, 0}, {5, 0}}, "zero");
  Zero->SetExpression("low or high");
  Zero->Hedge(fhNormalize);
  EXPECT_TRUE(SamePoints(Zero->Values(), {{0, 0}, {5, 0}}));
  EXPECT_EQ(Zero->Expression(), "normalize [[low or high]]");

  auto Empty = FreeSet({}, "empty");
  const std::string Message = "Invalid operation: \"Get Maximum Y Value\".  Fuzzy set is empty";
  EXPECT_EQ(MessageOf([&] { Empty->Hedge(fhNormalize); }), Message);
  EXPECT_EQ(MessageOf([&] { Empty->Hedge(fhSlightly); }), Message);
  EXPECT_EQ(Empty->Name(), "empty");
}

TEST(FuzzySetHedges, ApproximationSamplesBellsOverTheRange) {
  auto Owner = MakeVariable(0, 100);
  TFuzzySet* About = Owner->Add("fifty");
  AddPoints(About->Values(), {{40, 0}, {50, 1}, {60, 0}});
  About->Hedge(fhAbout);
  EXPECT_EQ(About->Expression(), "[about fifty]");
  const TPoints Points = PointsOf(About->Values());
  ASSERT_EQ(Points.size(), 50u);
  for (std::size_t I = 0; I < Points.size(); ++I) EXPECT_NEAR(Points[I].first, I * 100.0 / 49, 1e-9);
  // The samples nearest the peak at 50 share the top; the scale is the set's span over the range.
  EXPECT_EQ(About->Values().GetMaxValue(), 1);
  EXPECT_NEAR(About->DegreeOfMembership(50), 1, 1e-12);
  const double NearestToPeak = 0.2 * 50.0 / 49;
  EXPECT_NEAR(Points[0].second, (1 + NearestToPeak * NearestToPeak) / 101, 1e-6);

  TFuzzySet* Vicinity = Owner->Add("fifty too");
  AddPoints(Vicinity->Values(), {{40, 0}, {50, 1}, {60, 0}});
  Vicinity->Hedge(fhVicinity);
  EXPECT_LT(Vicinity->DegreeOfMembership(30), About->DegreeOfMembership(30));

  // A range of one value gives the fixed scale instead of a division by zero.
  auto Point = MakeVariable(0, 10);
  TFuzzySet* Five = Point->Add("five");
  AddPoints(Five->Values(), {{2, 0}, {5, 1}, {8, 0}});
  Point->SetRange(5, 5);
  Five->Hedge(fhAbout);
  EXPECT_TRUE(SamePoints(Five->Values(), {{5, 1}}));

  auto Empty = FreeSet({}, "none");
  Empty->Hedge(fhClose);
  EXPECT_EQ(Empty->Values().Count(), 0);
  EXPECT_EQ(Empty->Name(), "close none");
}

TEST(FuzzySetHedges, SlightlyIsTheNormalizedMiddleGround) {
  auto Owner = MakeVariable(0, 10);
  TFuzzySet* Warm = Owner->Add("warm");
  AddPoints(Warm->Values(), Triangle);
  Owner->Items().Events.clear();
  EXPECT_EQ(Warm->Hedge(fhSlightly), Warm);
  EXPECT_EQ(Warm->Name(), "slightly warm");
  EXPECT_EQ(Warm->Expression(), "[slightly warm]");
  // The working sets never joined the variable.
  EXPECT_TRUE(Owner->Items().Events.empty());

  // plus S meets not very S at X = 3.2194 with degree 0.5785, which becomes the peak; fully warm
  // and not warm at all are not slightly warm.
  for (double X : {0.0, 5.0, 10.0}) EXPECT_EQ(Warm->DegreeOfMembership(X), 0);
  EXPECT_EQ(Warm->Values().GetMaxValue(), 1);
  EXPECT_NEAR(Warm->DegreeOfMembership(3.2194), 1, 1e-3);
  EXPECT_NEAR(Warm->DegreeOfMembership(6.7806), 1, 1e-3);
  EXPECT_NEAR(Warm->DegreeOfMembership(5.0 / 3), 0.3835, 1e-3);
}

}  // namespace
}  // namespace fuzzy
