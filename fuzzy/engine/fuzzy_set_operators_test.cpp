#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <stdexcept>
#include <tuple>
#include <utility>
#include <vector>

#include "fuzzy/engine/fuzzy_set.h"
#include "fuzzy/testing/live_instances.h"
#include "fuzzy/testing/points.h"
#include "fuzzy/testing/test_variable.h"

namespace fuzzy {
namespace {

using testing::AddPoints;
using testing::FreeSet;
using testing::MakeVariable;
using testing::SamePoints;

// A set class that counts its live instances and opens the line routines to the tests.
class TCountedSet : public TFuzzySet {
 public:
  static inline testing::TLiveCounter Counter;
  TFuzzySetClass ClassType() const override { return &CreateFuzzySet<TCountedSet>; }
  using TFuzzySet::GetSlope;
  using TFuzzySet::LineSegmentIntersects;
  explicit TCountedSet(TCollection* Collection) : TFuzzySet(Collection) {}

 private:
  testing::TLiveToken FToken{Counter};
};

TOwned<TCountedSet> CountedSet(const testing::TPoints& Points, const std::string& Name = {}) {
  TOwned<TCountedSet> Set = MakeOwned<TCountedSet>(nullptr);
  Set->SetName(Name);
  AddPoints(Set->Values(), Points);
  return Set;
}

using TCall = std::tuple<double, double, double, double>;

std::vector<TCall> WalkCalls(const TFuzzySet& A, const TFuzzySet& B) {
  std::vector<TCall> Calls;
  A.Iterate(&B, [&Calls](TFzyFloat X1, TFzyFloat Y1, TFzyFloat X2, TFzyFloat Y2) {
    Calls.emplace_back(X1, Y1, X2, Y2);
    return false;
  });
  return Calls;
}

TEST(FuzzySetOperators, CrossingTrianglesWithLevelRunsRemoved) {
  auto A = FreeSet({{0, 0}, {1, 1}, {2, 0}});
  auto B = FreeSet({{1, 0}, {2, 1}, {3, 0}});
  auto Min = Adopt(A->Intersection(B.get()));
  EXPECT_TRUE(SamePoints(Min->Values(), {{1, 0}, {1.5, 0.5}, {2, 0}}));
  EXPECT_EQ(Min->Collection(), nullptr);
  auto Max = Adopt(A->Union(B.get()));
  EXPECT_TRUE(SamePoints(Max->Values(), {{0, 0}, {1, 1}, {1.5, 0.5}, {2, 1}, {3, 0}}));

  // Every breakpoint and the crossing, in ascending X, with both degrees.
  const std::vector<TCall> Expected = {{0, 0, 0, 0},         {0, 0, 0, 0}, {1, 1, 1, 0},
                                       {1.5, 0.5, 1.5, 0.5}, {2, 0, 2, 1}, {3, 0, 3, 0}};
  EXPECT_EQ(WalkCalls(*A, *B), Expected);
}

TEST(FuzzySetOperators, OperationTableValuesAndKeywords) {
  auto A = FreeSet({{0, 0.2}}, "a");
  auto B = FreeSet({{0, 0.6}}, "b");
  struct TCase {
    TFuzzyOperation Operation;
    double Intersection;
    double Union;
  };
  const TCase Cases[] = {{foZadeh, 0.2, 0.6},     {foMean, 0.4, (0.4 + 2.4) / 6},
                         {foMeanSqr, 0.16, 0.16}, {foMeanSqrt, std::sqrt(0.4), std::sqrt(0.4)},
                         {foProduct, 0.12, 0.68}, {foBoundedSum, 0, 0.8}};
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(GetEnumName(Case.Operation));
    auto And = Adopt(A->Intersection(B.get(), Case.Operation));
    EXPECT_TRUE(SamePoints(And->Values(), {{0, Case.Intersection}}));
    EXPECT_EQ(And->Name(), "a " + std::string(FuzzyIntersectionKeywords[Case.Operation]) + " b");
    auto Or = Adopt(A->Union(B.get(), Case.Operation));
    EXPECT_TRUE(SamePoints(Or->Values(), {{0, Case.Union}}));
    EXPECT_EQ(Or->Name(), "a " + std::string(FuzzyUnionKeywords[Case.Operation]) + " b");
  }

  // The sum is not bounded by 1; the bounded sum is.
  auto P = FreeSet({{0, 0}, {1, 0.8}, {2, 0}});
  auto Q = FreeSet({{0, 0}, {1, 0.8}, {2, 0}});
  EXPECT_TRUE(SamePoints(Adopt(P->Union(Q.get(), foSum))->Values(), {{0, 0}, {1, 1.6}, {2, 0}}));
  EXPECT_TRUE(SamePoints(Adopt(P->Union(Q.get(), foBoundedSum))->Values(), {{0, 0}, {1, 1}, {2, 0}}));
}

TEST(FuzzySetOperators, InvalidOperationsRaiseBeforeAnythingIsCreated) {
  auto Variable = MakeVariable(0, 10);
  TFuzzySet* A = Variable->Add("a");
  AddPoints(A->Values(), {{0, 0}, {1, 1}});
  try {
    A->Intersection(A, foSum);
    FAIL();
  } catch (const EFzyException& E) {
    EXPECT_STREQ(E.what(), "Invalid fuzzy operation: \"foSum:");
  }
  const auto Outside = static_cast<TFuzzyOperation>(9);
  EXPECT_THROW(A->Intersection(A, Outside), EFzyException);
  try {
    A->Union(A, Outside);
    FAIL();
  } catch (const EFzyException& E) {
    EXPECT_STREQ(E.what(), "Invalid fuzzy operation: \"9:");
  }
  try {
    A->Union(nullptr);
    FAIL();
  } catch (const EFzyException& E) {
    EXPECT_STREQ(E.what(), "Invalid operation: \"Operator\".  Fuzzy set not assigned");
  }
  EXPECT_THROW(A->Operator(A, "with", TFuzzyOperator()), EFzyException);
  EXPECT_THROW(A->Iterate(A, TFuzzyComparison()), EFzyException);
  EXPECT_THROW(A->Intersects(nullptr), EFzyException);
  EXPECT_EQ(Variable->Items().Count(), 1);
}

TEST(FuzzySetOperators, EmptySetsCountAsEqualToTheOther) {
  auto A = FreeSet({{0, 0.5}, {1, 1}, {2, 0.2}});
  auto Empty = FreeSet();
  const testing::TPoints Copy = {{0, 0.5}, {1, 1}, {2, 0.2}};
  EXPECT_TRUE(SamePoints(Adopt(A->Intersection(Empty.get()))->Values(), Copy));
  EXPECT_TRUE(SamePoints(Adopt(A->Union(Empty.get()))->Values(), Copy));
  EXPECT_TRUE(SamePoints(Adopt(Empty->Union(A.get()))->Values(), Copy));
  EXPECT_TRUE(
      SamePoints(Adopt(A->Intersection(Empty.get(), foProduct))->Values(), {{0, 0.25}, {1, 1}, {2, 0.04}}));
  EXPECT_TRUE(SamePoints(Adopt(Empty->Union(A.get(), foSum))->Values(), {{0, 1}, {1, 2}, {2, 0.4}}));

  auto Both = Adopt(Empty->Union(Empty.get()));
  EXPECT_EQ(Both->Values().Count(), 0);
  int Calls = 0;
  EXPECT_TRUE(Empty->Iterate(Empty.get(), [&Calls](TFzyFloat, TFzyFloat, TFzyFloat, TFzyFloat) {
    ++Calls;
    return false;
  }));
  EXPECT_EQ(Calls, 0);
  EXPECT_FALSE(A->Iterate(Empty.get(), [](TFzyFloat, TFzyFloat, TFzyFloat, TFzyFloat) { return false; }));
}

TEST(FuzzySetOperators, BreakpointsWithinToleranceAreMatched) {
  auto A = FreeSet({{0, 0}, {1, 1}});
  auto B = FreeSet({{0.00005, 0}, {1.00005, 1}});
  const std::vector<TCall> Expected = {{0, 0, 0, 0}, {0, 0, 0.00005, 0}, {1, 1, 1.00005, 1}};
  EXPECT_EQ(WalkCalls(*A, *B), Expected);
  // The operator functions place the point at the first set's X.
  EXPECT_TRUE(SamePoints(Adopt(A->Union(B.get()))->Values(), {{0, 0}, {1, 1}}));
  EXPECT_TRUE(SamePoints(Adopt(B->Union(A.get()))->Values(), {{0.00005, 0}, {1.00005, 1}}));
}

TEST(FuzzySetOperators, FlatSetIsCrossedOutsideItsSpan) {
  auto Flat = FreeSet({{0, 0.4}});
  auto Rising = FreeSet({{1, 0}, {2, 1}});
  const std::vector<TCall> Expected = {{0, 0.4, 0, 0}, {1, 0.4, 1, 0}, {1.4, 0.4, 1.4, 0.4}, {2, 0.4, 2, 1}};
  const std::vector<TCall> Calls = WalkCalls(*Flat, *Rising);
  ASSERT_EQ(Calls.size(), Expected.size());
  for (std::size_t I = 0; I < Calls.size(); ++I) {
    EXPECT_NEAR(std::get<0>(Calls[I]), std::get<0>(Expected[I]), 1e-9);
    EXPECT_NEAR(std::get<1>(Calls[I]), std::get<1>(Expected[I]), 1e-9);
    EXPECT_NEAR(std::get<3>(Calls[I]), std::get<3>(Expected[I]), 1e-9);
  }
  EXPECT_TRUE(SamePoints(Adopt(Flat->Intersection(Rising.get()))->Values(), {{1, 0}, {1.4, 0.4}}));
}

TEST(FuzzySetOperators, ExhaustedSetReportsNoCrossingOutsideTheOtherSegment) {
  // Once B is used up its cursor is the point (1, 1), which lies on the extension of A's last
  // segment beyond X = 3 .. 2; it is no crossing there.
  auto A = FreeSet({{0, 1}, {2, 0.5}, {3, 0}});
  auto B = FreeSet({{0, 0}, {1, 1}});
  auto Min = Adopt(A->Intersection(B.get()));
  EXPECT_TRUE(SamePoints(Min->Values(), {{0, 0}, {0.8, 0.8}, {1, 0.75}, {2, 0.5}, {3, 0}}));
  for (const TFuzzySetValue* P : Min->Values())
    EXPECT_NEAR(P->Y(), std::min(A->DegreeOfMembership(P->X()), B->DegreeOfMembership(P->X())), 1e-9);

  TFzyFloat X = -1;
  TFzyFloat Y = -1;
  EXPECT_FALSE(TCountedSet::LineSegmentIntersects(2, 0.5, 3, 0, 1, 1, 1, 1, X, Y));
  EXPECT_FALSE(TCountedSet::LineSegmentIntersects(1, 1, 1, 1, 2, 0.5, 3, 0, X, Y));
  // Within the span the point is still found, from either side.
  ASSERT_TRUE(TCountedSet::LineSegmentIntersects(0, 1, 2, 0, 1, 0.5, 1, 0.5, X, Y));
  EXPECT_EQ(X, 1);
  EXPECT_EQ(Y, 0.5);
  ASSERT_TRUE(TCountedSet::LineSegmentIntersects(1, 0.5, 1, 0.5, 0, 1, 2, 0, X, Y));
  EXPECT_EQ(X, 1);
  EXPECT_EQ(Y, 0.5);
  // Two single points with the same Y still meet at the smaller X.
  ASSERT_TRUE(TCountedSet::LineSegmentIntersects(0, 0.5, 0, 0.5, 5, 0.5, 5, 0.5, X, Y));
  EXPECT_EQ(X, 0);
}

TEST(FuzzySetOperators, LineRoutines) {
  TFzyFloat X = 0;
  TFzyFloat Y = 0;
  // Collinear overlapping segments: the second end point with the smaller X.
  ASSERT_TRUE(TCountedSet::LineSegmentIntersects(0, 0, 2, 2, 1, 1, 3, 3, X, Y));
  EXPECT_EQ(X, 2);
  EXPECT_EQ(Y, 2);
  ASSERT_TRUE(TCountedSet::LineSegmentIntersects(1, 1, 3, 3, 0, 0, 2, 2, X, Y));
  EXPECT_EQ(X, 2);
  EXPECT_EQ(Y, 2);
  EXPECT_FALSE(TCountedSet::LineSegmentIntersects(0, 0, 1, 1, 0, 1, 1, 2, X, Y));    // parallel
  EXPECT_FALSE(TCountedSet::LineSegmentIntersects(0, 0, 1, 1, 3, 0, 2, 1, X, Y));    // beyond segment 1
  EXPECT_FALSE(TCountedSet::LineSegmentIntersects(0, 0, 4, 4, 0, 3, 1, 2.5, X, Y));  // beyond segment 2

  std::vector<TOwned<TFuzzySetValue>> V;
  for (const auto& [PX, PY] : testing::TPoints{{0, 0}, {0, 1}, {2, 1}, {2, 0}}) {
    V.push_back(MakeOwned<TFuzzySetValue>(nullptr));
    V.back()->SetValue(PX, PY);
  }
  auto Crossing = TCountedSet::LineSegmentIntersects(*V[0], *V[2], *V[1], *V[3]);
  ASSERT_TRUE(Crossing);
  EXPECT_EQ(Crossing->Collection(), nullptr);
  EXPECT_NEAR(Crossing->X(), 1, 1e-9);
  EXPECT_NEAR(Crossing->Y(), 0.5, 1e-9);
  EXPECT_FALSE(TCountedSet::LineSegmentIntersects(*V[0], *V[1], *V[2], *V[3]));  // two verticals

  EXPECT_EQ(TCountedSet::GetSlope(*V[0], *V[2]), 0.5);
  EXPECT_EQ(TCountedSet::GetSlope(*V[0], *V[1]), 1);
  EXPECT_EQ(TCountedSet::GetSlope(*V[1], *V[0]), -1);
  EXPECT_EQ(TCountedSet::GetSlope(*V[0], *V[0]), 0);
}

TEST(FuzzySetOperators, StoppedWalkKeepsPointsWithoutPostPass) {
  auto A = FreeSet({{0, 0}, {1, 1}, {2, 0}});
  auto B = FreeSet({{1, 0}, {2, 1}, {3, 0}});
  int Calls = 0;
  auto First = Adopt(A->Operator(
      B.get(), "with", [&Calls](TFuzzySetValues& Points, TFzyFloat X1, TFzyFloat, TFzyFloat, TFzyFloat) {
        Points.Add(X1, 0.5);
        return ++Calls == 1;
      }));
  EXPECT_TRUE(SamePoints(First->Values(), {{0, 0.5}}));

  // Stopped at the third call: the level run at 0.5 is not shrunk to its last point.
  Calls = 0;
  auto Third = Adopt(A->Operator(
      B.get(), "with", [&Calls](TFuzzySetValues& Points, TFzyFloat X1, TFzyFloat, TFzyFloat, TFzyFloat) {
        Points.Add(X1, 0.5);
        return ++Calls == 3;
      }));
  EXPECT_TRUE(SamePoints(Third->Values(), {{0, 0.5}, {1, 0.5}}));
  EXPECT_EQ(Third->Values().UpdateCount(), 0);

  Calls = 0;
  EXPECT_TRUE(
      A->Iterate(B.get(), [&Calls](TFzyFloat, TFzyFloat, TFzyFloat, TFzyFloat) { return ++Calls == 1; }));
  EXPECT_EQ(Calls, 1);
}

TEST(FuzzySetOperators, NamesExpressionsAndMembership) {
  auto Variable = MakeVariable(0, 10);
  TFuzzySet* Low = Variable->Add("low");
  TFuzzySet* Medium = Variable->Add("medium");
  TFuzzySet* High = Variable->Add("high");
  AddPoints(Low->Values(), {{0, 1}, {5, 0}});
  AddPoints(Medium->Values(), {{2, 0}, {5, 1}, {8, 0}});
  AddPoints(High->Values(), {{5, 0}, {10, 1}});

  TFuzzySet* Both = Low->Intersection(High);
  EXPECT_EQ(Both->Collection(), &Variable->Items());
  EXPECT_EQ(Variable->Items().Count(), 4);
  EXPECT_EQ(Both->Name(), "low and high");
  EXPECT_EQ(Both->Expression(), "low and high");
  TFuzzySet* Again = Both->Union(Medium);
  EXPECT_EQ(Variable->Items().Count(), 5);
  EXPECT_EQ(Again->Name(), "[low and high] or medium");
  EXPECT_EQ(Again->Expression(), "[low and high] or medium");

  // The expression is preferred to the name; names with spaces are enclosed.
  auto Warm = FreeSet({{0, 0}, {1, 1}}, "very warm");
  auto Cold = FreeSet({{0, 1}, {1, 0}}, "cold");
  auto Sum = Adopt(Warm->Union(Cold.get(), foSum));
  EXPECT_EQ(Sum->Name(), "[very warm] or-sum cold");
  EXPECT_EQ(Sum->Expression(), "[very warm] or-sum cold");
  Cold->SetExpression("not hot");
  auto Mean = Adopt(Cold->Intersection(Warm.get(), foMean));
  EXPECT_EQ(Mean->Name(), "cold and-mean [very warm]");
  EXPECT_EQ(Mean->Expression(), "[not hot] and-mean [very warm]");
}

TEST(FuzzySetOperators, ResultsKeepTheClassAndSurviveRaisingCallbacks) {
  const int LiveBefore = TCountedSet::Counter.Live();
  {
    auto A = CountedSet({{0, 0}, {1, 1}}, "a");
    auto B = CountedSet({{0, 1}, {1, 0}}, "b");
    auto Result = Adopt(A->Union(B.get(), foProduct));
    EXPECT_NE(dynamic_cast<TCountedSet*>(Result.get()), nullptr);

    // A free-standing result is freed when the callback raises.
    auto Raising = [](TFuzzySetValues& Points, TFzyFloat X1, TFzyFloat, TFzyFloat, TFzyFloat) -> bool {
      Points.Add(X1, 0.5);
      throw std::runtime_error("stop");
    };
    const int Live = TCountedSet::Counter.Live();
    EXPECT_THROW(A->Operator(B.get(), "with", Raising), std::runtime_error);
    EXPECT_EQ(TCountedSet::Counter.Live(), Live);

    // One in a collection stays there, out of update mode, with its expression.
    auto Variable = MakeVariable(0, 10);
    TFuzzySet* Low = Variable->Add("low");
    AddPoints(Low->Values(), {{0, 1}, {5, 0}});
    EXPECT_THROW(Low->Operator(Low, "with", Raising), std::runtime_error);
    ASSERT_EQ(Variable->Items().Count(), 2);
    const TFuzzySet* Kept = Variable->Items().Items(1);
    EXPECT_EQ(Kept->Name(), "low with low");
    EXPECT_EQ(Kept->Expression(), "low with low");
    EXPECT_EQ(Kept->Values().UpdateCount(), 0);
    EXPECT_TRUE(SamePoints(Kept->Values(), {{0, 0.5}}));
  }
  EXPECT_EQ(TCountedSet::Counter.Live(), LiveBefore);
}

TEST(FuzzySetOperators, Intersects) {
  auto Rising = FreeSet({{0, 0}, {2, 1}});
  EXPECT_FALSE(Rising->Intersects(FreeSet().get()));
  EXPECT_FALSE(FreeSet({{0, 0}, {5, 0}})->Intersects(Rising.get()));  // all zero
  EXPECT_TRUE(Rising->Intersects(FreeSet({{1, 1}, {3, 0}}).get()));   // spans overlap
  // One set ends where the other begins (within the tolerance): decided by the tops there.
  EXPECT_TRUE(Rising->Intersects(FreeSet({{2.00005, 0}, {4, 1}}).get()));
  EXPECT_FALSE(FreeSet({{0, 1}, {2, 0}})->Intersects(FreeSet({{2, 0}, {4, 1}}).get()));
  // A vertical edge at the meeting X: the highest point there counts.
  EXPECT_TRUE(FreeSet({{0, 1}, {2, 0}, {2, 0.5}})->Intersects(FreeSet({{2, 0}, {4, 1}}).get()));
  EXPECT_FALSE(FreeSet({{0, 1}, {1, 0}})->Intersects(FreeSet({{3, 0}, {4, 1}}).get()));  // gap at zero
}

TEST(FuzzySetOperators, CursorRoutines) {
  auto List = FreeSet({{1, 0.1}, {2, 0.2}});
  const TFuzzySetValues& Values = List->Values();
  auto Current = MakeOwned<TFuzzySetValue>(nullptr);
  auto Previous = MakeOwned<TFuzzySetValue>(nullptr);
  auto Other = MakeOwned<TFuzzySetValue>(nullptr);
  Current->SetValue(5, 0.5);
  int Index = -1;
  NextPoint(*Current, *Previous, Index, Values, 9);
  EXPECT_EQ(Index, 0);
  EXPECT_EQ(Previous->X(), 5);
  EXPECT_EQ(Current->X(), 1);
  EXPECT_EQ(Current->Y(), 0.1);

  auto Target = FreeSet();
  AddAndIncrement(*Target, *Current, *Previous, *Other, Index, 0.3, 0.3, Values, 9, true);
  EXPECT_TRUE(SamePoints(Target->Values(), {{1, 0.1}}));
  EXPECT_EQ(Index, 1);
  EXPECT_EQ(Other->X(), 1);  // A = B: the other cursor's previous point follows
  AddAndIncrement(*Target, *Current, *Previous, *Other, Index, 0.3, 0.4, Values, 9, true);
  EXPECT_EQ(Target->Values().Count(), 1);  // A < B with the flag: nothing appended
  EXPECT_EQ(Index, 2);
  EXPECT_EQ(Current->X(), 9);  // past the end: the default X, the last Y
  EXPECT_EQ(Current->Y(), 0.2);
  EXPECT_EQ(Other->X(), 1);

  auto Current2 = MakeOwned<TFuzzySetValue>(nullptr);
  auto Previous2 = MakeOwned<TFuzzySetValue>(nullptr);
  int Index1 = -1;
  int Index2 = 0;
  Add1AndIncrement2(*Target, *Current, *Current2, *Previous, *Previous2, Index1, Index2, 0.1, 0.2, Values,
                    Values, 9, false);
  EXPECT_TRUE(SamePoints(Target->Values(), {{1, 0.1}, {9, 0.2}}));
  EXPECT_EQ(Index1, 0);
  EXPECT_EQ(Index2, 1);
  EXPECT_EQ(Current2->X(), 2);
  Index1 = -5;
  EXPECT_THROW(NextPoint(*Current, *Previous, Index1, Values, 9), EListError);
}

// The built-in operations gather the walk's points before making any; the result must be the one
// of appending each point through the list, as a callback of Operator does, level runs removed
// and the list cleaned up alike. Random steps, spikes, flat runs and points outside the range of
// the variable (clamped on the way in) exercise the order and duplicate tracking.
TEST(FuzzySetOperators, BuiltInOperationsMatchAppendingEachPoint) {
  std::mt19937 Random(3);
  const TFzyFloat Places[] = {0, 1, 2, 2, 3, 4, 5, 5, 6, 8, 9, 10};
  const TFzyFloat Degrees[] = {0, 0, 0.25, 0.5, 0.5, 1, 1};
  auto Variable = MakeVariable(2, 8);
  auto RandomPoints = [&] {
    testing::TPoints Points;
    const int Count = 1 + static_cast<int>(Random() % 7);
    for (int I = 0; I < Count; ++I)
      Points.emplace_back(Places[Random() % std::size(Places)], Degrees[Random() % std::size(Degrees)]);
    std::sort(Points.begin(), Points.end(), [](const auto& A, const auto& B) { return A.first < B.first; });
    return Points;
  };
  auto AppendEach = [](TFzyFloat (*Degree)(TFzyFloat, TFzyFloat)) {
    return [Degree](TFuzzySetValues& Points, TFzyFloat X1, TFzyFloat Y1, TFzyFloat, TFzyFloat Y2) {
      Points.Add(X1, Degree(Y1, Y2));
      return false;
    };
  };
  using TDegree = TFzyFloat (*)(TFzyFloat, TFzyFloat);
  const TDegree Max = [](TFzyFloat A, TFzyFloat B) { return std::max(A, B); };
  const TDegree Min = [](TFzyFloat A, TFzyFloat B) { return std::min(A, B); };
  const TDegree UnionMean = [](TFzyFloat A, TFzyFloat B) {
    return (2 * std::min(A, B) + 4 * std::max(A, B)) / 6;
  };
  for (int Round = 0; Round < 400; ++Round) {
    auto Free = FreeSet(RandomPoints(), "free");
    TFuzzySet* InVariable = Variable->Add("bound");
    AddPoints(InVariable->Values(), RandomPoints());
    for (auto [Left, Right] : {std::pair<const TFuzzySet*, const TFuzzySet*>{InVariable, Free.get()},
                               {Free.get(), InVariable}}) {
      const struct {
        TFuzzySet* BuiltIn;
        TDegree Degree;
      } Cases[] = {{Left->Union(Right), Max},
                   {Left->Intersection(Right), Min},
                   {Left->Union(Right, foMean), UnionMean}};
      for (const auto& Case : Cases) {
        TFuzzySet* General = Left->Operator(Right, "op", AppendEach(Case.Degree));
        EXPECT_EQ(testing::PointsOf(Case.BuiltIn->Values()), testing::PointsOf(General->Values()))
            << Round << ": " << Left->ValuesToString() << " with " << Right->ValuesToString();
        for (TFuzzySet* Result : {Case.BuiltIn, General})
          if (!Result->Collection()) Result->Free();
      }
    }
    Variable->Items().Clear();
  }
}

// Degrees whose sum passes the double range are refused before the result is made: the variable
// gains no set.
TEST(FuzzySetOperators, ADegreeBeyondTheDoubleRangeIsRefusedBeforeTheResultIsMade) {
  auto Variable = MakeVariable(0, 10);
  TFuzzySet* Huge = Variable->Add("huge");
  AddPoints(Huge->Values(), {{0, 0}, {5, 1e308}, {10, 0}});
  try {
    Huge->Union(Huge, foSum);
    FAIL();
  } catch (const EFzyException& E) {
    EXPECT_STREQ(E.what(), "Invalid Y value: INF");
  }
  EXPECT_EQ(Variable->Items().Count(), 1);
  EXPECT_DOUBLE_EQ(Adopt(FreeSet({{0, 0}, {5, 1e308}})->Union(Huge, foZadeh))->DegreeOfMembership(5), 1e308);
}

// A set stays at its first degree before its first point and at its last after its last one; the
// other set's segments that cross those levels there are crossings of the union and intersection.
TEST(FuzzySetOperators, CrossingsWithTheConstantContinuationsBeyondTheEndsAreFound) {
  auto Variable = MakeVariable(0, 10);
  struct TCase {
    testing::TPoints A, B;
  };
  for (const TCase& Case : {TCase{{{5, 0.5}, {6, 0}}, {{0, 0}, {3, 1}, {6, 0}}},
                            TCase{{{0, 0}, {1, 0.5}}, {{2, 0}, {4, 1}, {6, 0}}}}) {
    TFuzzySet* A = Variable->Add("a");
    TFuzzySet* B = Variable->Add("b");
    AddPoints(A->Values(), Case.A);
    AddPoints(B->Values(), Case.B);
    TFuzzySet* Either = A->Union(B);
    TFuzzySet* Both = B->Intersection(A);
    for (TFzyFloat X = 0; X <= 10; X += 0.125) {
      const TFzyFloat DA = A->DegreeOfMembership(X), DB = B->DegreeOfMembership(X);
      EXPECT_NEAR(Either->DegreeOfMembership(X), std::max(DA, DB), 1e-12) << X;
      EXPECT_NEAR(Both->DegreeOfMembership(X), std::min(DA, DB), 1e-12) << X;
    }
    for (TFuzzySet* Set : {A, B, Either, Both}) Set->Free();
  }
}

}  // namespace
}  // namespace fuzzy
