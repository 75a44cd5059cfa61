#include "fuzzy/engine/fuzzy_set_values.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <random>
#include <vector>

#include "fuzzy/engine/fuzzy_math.h"
#include "fuzzy/engine/internal/point_batch.h"
#include "fuzzy/runtime/update_bracket.h"
#include "fuzzy/testing/points.h"

namespace fuzzy {
namespace {

using internal::TPointBatch;
using testing::AddPoints;
using testing::SamePoints;

// A fuzzy set stand-in with a settable X range that counts the list's notifications.
class TRangedSet : public TFuzzySetValuesOwner {
 public:
  TFzyFloat Minimum = -2147483647.0;
  TFzyFloat Maximum = 2147483647.0;
  bool HasRange = false;
  int PointChanges = 0;
  int ListChanges = 0;

  TFuzzySetValues& Values() { return *FValues; }

  TFzyFloat GetXRange(int Index) const override {
    if (!HasRange) return TFuzzySetValuesOwner::GetXRange(Index);
    return Index == 0 ? Maximum : Minimum;
  }
  void UpdateFuzzySetValue(TFuzzySetValue*) override { ++PointChanges; }
  void UpdateFuzzySetValues() override { ++ListChanges; }

  void AfterConstruction() override {
    TFuzzySetValuesOwner::AfterConstruction();
    FValues = New<TFuzzySetValues>(this);
  }
  void BeforeDestruction() override {
    FValues->Free();
    TFuzzySetValuesOwner::BeforeDestruction();
  }

  TRangedSet() : TFuzzySetValuesOwner(nullptr) {}

 private:
  TFuzzySetValues* FValues = nullptr;
};

TOwned<TRangedSet> RangedSet(TFzyFloat Minimum, TFzyFloat Maximum) {
  TOwned<TRangedSet> Set = MakeOwned<TRangedSet>();
  Set->HasRange = true;
  Set->Minimum = Minimum;
  Set->Maximum = Maximum;
  return Set;
}

// A point list class of its own: every write takes the general notification path.
class TDerivedValues : public TFuzzySetValues {
 public:
  explicit TDerivedValues(TFuzzySetValuesOwner* Owner) : TFuzzySetValues(Owner) {}
  void UpdateValue(TFuzzySetValue* Value, TXYUpdateTypes Types) override {
    TFuzzySetValues::UpdateValue(Value, Types);
  }
};

// An owner over [0, 10] whose list is of the library's class or of the derived one.
class TListOwner : public TFuzzySetValuesOwner {
 public:
  explicit TListOwner(bool Derived) : TFuzzySetValuesOwner(nullptr), FDerived(Derived) {}
  TFuzzySetValues& Values() { return *FValues; }
  TFzyFloat GetXRange(int Index) const override { return Index == 0 ? 10 : 0; }
  void AfterConstruction() override {
    TFuzzySetValuesOwner::AfterConstruction();
    FValues = FDerived ? New<TDerivedValues>(this) : New<TFuzzySetValues>(this);
  }
  void BeforeDestruction() override {
    FValues->Free();
    TFuzzySetValuesOwner::BeforeDestruction();
  }

 private:
  bool FDerived;
  TFuzzySetValues* FValues = nullptr;
};

TOwned<TFuzzySetValues> FreeList() { return MakeOwned<TFuzzySetValues>(nullptr); }

TEST(FloatEquals, ToleranceIsInclusiveAndNaNNeverEqual) {
  EXPECT_TRUE(FloatEquals(1.0, 1.00005));
  EXPECT_TRUE(FloatEquals(1.0, 1.0001));
  EXPECT_FALSE(FloatEquals(1.0, 1.0002));
  EXPECT_FALSE(FloatEquals(std::nan(""), std::nan("")));
  EXPECT_EQ(Sign(-0.5), -1);
  EXPECT_EQ(Sign(0.0), 0);
  EXPECT_EQ(Sign(3.0), 1);
}

// The double shortcuts must agree with the extended-precision rule everywhere, above all at
// distances near the tolerance and at magnitudes where extended precision rounds coarsely.
TEST(FloatEquals, ShortcutsAgreeWithExtendedPrecision) {
  const double Infinity = std::numeric_limits<double>::infinity();
  const double Magnitudes[] = {0, 1e-5, 0.3, 1, 7.25, 1000, 123456.789, 1e9, 1e12, 9.99e12, 1e13, 3e14, 1e15, 1e17};
  int Checked = 0;
  for (double Base : Magnitudes)
    for (double Sign : {1.0, -1.0}) {
      const double A = Base * Sign;
      for (int Step = -300; Step <= 300; ++Step) {
        // Distances from 0 to 3 tolerances, densest around one tolerance.
        const double Distance = 1e-4 + Step * 1e-4 / 100 + (Step % 7) * 1e-9;
        for (double B : {A + Distance, A - Distance, std::nextafter(A + Distance, Infinity),
                         std::nextafter(A - Distance, -Infinity)}) {
          ASSERT_EQ(FloatEquals(A, B), fuzzy_math_detail::ExtendedEquals(A, B)) << A << " " << B;
          const long double Low = A, High = A + 1;
          ASSERT_EQ(WithinSpan(B, A + 1, A), Low - FuzzyTolerance <= B && B <= High + FuzzyTolerance)
              << A << " " << B;
          ++Checked;
        }
      }
    }
  EXPECT_GT(Checked, 10000);
  for (double Special : {Infinity, -Infinity, std::nan("")})
    for (double Other : {0.0, 1.0, Infinity, -Infinity, std::nan("")})
      EXPECT_EQ(FloatEquals(Special, Other), fuzzy_math_detail::ExtendedEquals(Special, Other)) << Special << Other;
  // IsSinglePoint compares strictly against the extended tolerance.
  const double Below = std::nextafter(static_cast<double>(FuzzyTolerance), 0.0);
  EXPECT_EQ(IsSinglePoint(0, Below), Below < FuzzyTolerance);
  EXPECT_EQ(IsSinglePoint(0, 1e-4), 1e-4 < FuzzyTolerance);
  EXPECT_EQ(IsSinglePoint(-1e-4, 0), 1e-4 < FuzzyTolerance);
  EXPECT_FALSE(IsSinglePoint(0, 1.0001e-4));
}

// The library's own appends inside an update bracket write with notification off; points, order
// and duplicate flags and the clean-up at the end must be those of the public writes (Add(X, Y), and
// Add() then SetValue), which a derived list sees through its UpdateValue.
TEST(FuzzySetValues, BatchAppendsMatchThePublicWrites) {
  std::mt19937 Random(11);
  const TFzyFloat Places[] = {-1, 0, 0, 1, 2, 2, 2.00005, 3, 5, 7.5, 10, 10, 12};
  const TFzyFloat Degrees[] = {-0.5, 0, 0, 0.25, 0.5, 1, 1};
  for (int Round = 0; Round < 300; ++Round) {
    auto Batch = MakeOwned<TListOwner>(false);
    auto Public = MakeOwned<TListOwner>(true);
    Batch->Values().BeginUpdate();
    Public->Values().BeginUpdate();
    const int Count = 1 + static_cast<int>(Random() % 9);
    for (int I = 0; I < Count; ++I) {
      const TFzyFloat X = Places[Random() % std::size(Places)];
      const TFzyFloat Y = Degrees[Random() % std::size(Degrees)];
      if (Random() % 2) {
        TPointBatch::Append(Batch->Values(), X, Y);
        Public->Values().Add(X, Y);
      } else {
        TPointBatch::AppendCopy(Batch->Values(), X, Y);
        Public->Values().Add()->SetValue(X, Y);
      }
      ASSERT_EQ(testing::PointsOf(Batch->Values()), testing::PointsOf(Public->Values()));
      ASSERT_EQ(Batch->Values().Sorted(), Public->Values().Sorted()) << Round << " " << I;
      ASSERT_EQ(Batch->Values().DuplicatesRemoved(), Public->Values().DuplicatesRemoved()) << Round << " " << I;
    }
    Batch->Values().EndUpdate();
    Public->Values().EndUpdate();
    ASSERT_EQ(testing::PointsOf(Batch->Values()), testing::PointsOf(Public->Values())) << Round;
  }
  // A value that is not finite is refused before the point is made.
  auto Batch = MakeOwned<TListOwner>(false);
  TUpdateBracket Bracket(Batch->Values());
  EXPECT_THROW(TPointBatch::Append(Batch->Values(), std::nan(""), 1), EFzyException);
  EXPECT_THROW(TPointBatch::AppendCopy(Batch->Values(), 1, HUGE_VAL), EFzyException);
  EXPECT_EQ(Batch->Values().Count(), 0);
}

// Replacing the points reuses the old point objects; the points, flags and clean-up must be those
// of clearing and adding.
TEST(FuzzySetValues, ReplacingMatchesClearingAndAdding) {
  std::mt19937 Random(5);
  const TFzyFloat Places[] = {-1, 0, 1, 2, 2, 3, 5, 10, 12};
  const TFzyFloat Degrees[] = {-0.5, 0, 0.5, 1};
  auto RandomPoints = [&](int Count) {
    std::vector<internal::TCoordinate> Points;
    for (int I = 0; I < Count; ++I)
      Points.push_back({Places[Random() % std::size(Places)], Degrees[Random() % std::size(Degrees)]});
    return Points;
  };
  for (int Round = 0; Round < 300; ++Round) {
    auto Batch = MakeOwned<TListOwner>(false);
    auto Public = MakeOwned<TListOwner>(true);
    // Old points written inside a bracket may leave the order and duplicate flags dirty.
    const auto Old = RandomPoints(static_cast<int>(Random() % 6));
    const auto New = RandomPoints(static_cast<int>(Random() % 6));
    for (TListOwner* Owner : {Batch.get(), Public.get()}) {
      Owner->Values().BeginUpdate();
      for (const auto& P : Old) Owner->Values().Add(P.X, P.Y);
    }
    TPointBatch::Replace(Batch->Values(), New);
    Public->Values().Clear();
    for (const auto& P : New) Public->Values().Add(P.X, P.Y);
    ASSERT_EQ(testing::PointsOf(Batch->Values()), testing::PointsOf(Public->Values())) << Round;
    ASSERT_EQ(Batch->Values().Sorted(), Public->Values().Sorted()) << Round;
    ASSERT_EQ(Batch->Values().DuplicatesRemoved(), Public->Values().DuplicatesRemoved()) << Round;
    Batch->Values().EndUpdate();
    Public->Values().EndUpdate();
    ASSERT_EQ(testing::PointsOf(Batch->Values()), testing::PointsOf(Public->Values())) << Round;
  }
}

// Inserting many points at once places and writes each as Insert and SetValue one after another
// would, the positions counted in the list as it was; a bad position or coordinate changes nothing.
TEST(FuzzySetValues, InsertPointsAtOnce) {
  std::mt19937 Random(9);
  for (int Round = 0; Round < 200; ++Round) {
    auto Batch = MakeOwned<TListOwner>(false);
    auto Public = MakeOwned<TListOwner>(true);
    for (TListOwner* Owner : {Batch.get(), Public.get()}) AddPoints(Owner->Values(), {{1, 0}, {3, 1}, {5, 0}});
    std::vector<internal::TInsertion> Points;
    int Before = 0;
    for (int I = static_cast<int>(Random() % 5); I > 0; --I) {
      Before = std::min(3, Before + static_cast<int>(Random() % 2));
      Points.push_back({Before, static_cast<TFzyFloat>(Random() % 13) / 2 - 0.5, (Random() % 3) / 2.0});
    }
    TUpdateBracket BatchBracket(Batch->Values());
    TUpdateBracket PublicBracket(Public->Values());
    TPointBatch::Insert(Batch->Values(), Points);
    int Shift = 0;
    for (const auto& P : Points) Public->Values().Insert(P.Before + Shift++)->SetValue(P.X, P.Y);
    ASSERT_EQ(testing::PointsOf(Batch->Values()), testing::PointsOf(Public->Values())) << Round;
    ASSERT_EQ(Batch->Values().Sorted(), Public->Values().Sorted()) << Round;
    ASSERT_EQ(Batch->Values().DuplicatesRemoved(), Public->Values().DuplicatesRemoved()) << Round;
    for (int I = 0; I < Batch->Values().Count(); ++I) ASSERT_EQ(Batch->Values().Point(I)->Index(), I);
  }
  auto Batch = MakeOwned<TListOwner>(false);
  AddPoints(Batch->Values(), {{1, 0}, {3, 1}, {5, 0}});
  TUpdateBracket Bracket(Batch->Values());
  const std::vector<internal::TInsertion> Backwards{{2, 4, 0.5}, {1, 2, 0.5}};
  EXPECT_THROW(TPointBatch::Insert(Batch->Values(), Backwards), EListError);
  const std::vector<internal::TInsertion> PastTheEnd{{7, 9, 0.5}};
  EXPECT_THROW(TPointBatch::Insert(Batch->Values(), PastTheEnd), EListError);
  const std::vector<internal::TInsertion> NotANumber{{0, 0.5, 0.2}, {1, std::nan(""), 0.5}};
  EXPECT_THROW(TPointBatch::Insert(Batch->Values(), NotANumber), EFzyException);
  EXPECT_TRUE(SamePoints(Batch->Values(), {{1, 0}, {3, 1}, {5, 0}}));
}

TEST(FuzzySetValue, NewPointsAndWrites) {
  auto Values = FreeList();
  Values->Add(10, 0.5);
  TFuzzySetValue* Appended = Values->Add();
  EXPECT_EQ(Appended->X(), 11);
  EXPECT_EQ(Appended->Y(), 0);

  Appended->SetY(-0.5);
  EXPECT_EQ(Appended->Y(), 0);
  Appended->SetY(1.7);
  EXPECT_EQ(Appended->Y(), 1.7);
  Appended->SetX(150);
  EXPECT_EQ(Appended->X(), 150);  // no owning set: no range
  Appended->SetValue(5, -1);
  EXPECT_EQ(Appended->Y(), -1);  // no owning set: stored as given
}

TEST(FuzzySetValue, WritesInsideASetAreHeldInItsRange) {
  auto Set = RangedSet(0, 100);
  TFuzzySetValue* P = Set->Values().Add(50, 0.5);
  P->SetX(150);
  EXPECT_EQ(P->X(), 100);
  P->SetX(-3);
  EXPECT_EQ(P->X(), 0);
  P->SetValue(5, -1);
  EXPECT_EQ(P->Y(), 0);

  // A fresh point whose X equals the value written is still clamped.
  auto Narrow = RangedSet(2, 8);
  TFuzzySetValue* First = Narrow->Values().Add(0, 0.5);
  EXPECT_EQ(First->X(), 2);
  TFuzzySetValue* Second = Narrow->Values().Add();
  Second->SetX(0);
  EXPECT_TRUE(SamePoints(Narrow->Values(), {{2, 0.5}, {2, 0}}));
  Narrow->Values().Add(20, 1);
  EXPECT_EQ(Narrow->Values()[2]->X(), 8);

  // Without a variable the set clamps only to the widest range.
  auto Unbounded = MakeOwned<TRangedSet>();
  EXPECT_EQ(Unbounded->Values().Add(3e12, 1)->X(), 2147483647.0);
  EXPECT_THROW(Unbounded->GetXRange(2), EFzyException);
  try {
    Unbounded->GetXRange(2);
  } catch (const EFzyException& E) {
    EXPECT_STREQ(E.what(), "Invalid index argument to GetXRange.  Index = 2");
  }
}

// A value that is not a finite number, or an index outside the list, is refused before anything
// changes: the points, the flags and the owner's notifications stay as they were.
TEST(FuzzySetValue, RefusedWritesChangeNothing) {
  auto Set = RangedSet(0, 10);
  AddPoints(Set->Values(), {{0, 1}, {1, 0}});
  TFuzzySetValue* P = Set->Values()[0];
  const double NaN = std::numeric_limits<double>::quiet_NaN();
  const double Infinity = std::numeric_limits<double>::infinity();
  Set->PointChanges = Set->ListChanges = 0;
  auto Expect = [](auto&& Write, const char* Message) {
    try {
      Write();
      ADD_FAILURE() << "no exception for " << Message;
    } catch (const EFzyException& E) {
      EXPECT_STREQ(E.what(), Message);
    }
  };
  Expect([&] { P->SetX(NaN); }, "Invalid X value: NAN");
  Expect([&] { P->SetX(Infinity); }, "Invalid X value: INF");
  Expect([&] { P->SetY(-Infinity); }, "Invalid Y value: -INF");
  Expect([&] { P->SetValue(2, NaN); }, "Invalid Y value: NAN");
  Expect([&] { Set->Values().Add(Infinity, 0.5); }, "Invalid X value: INF");
  Expect([&] { Set->Values().Add(0.5, NaN); }, "Invalid Y value: NAN");
  EXPECT_THROW(Set->Values().Insert(3), EListError);
  EXPECT_THROW(Set->Values().Insert(-1), EListError);
  EXPECT_TRUE(SamePoints(Set->Values(), {{0, 1}, {1, 0}}));
  EXPECT_TRUE(Set->Values().Sorted());
  EXPECT_EQ(Set->PointChanges + Set->ListChanges, 0);
  // A free point refuses them too.
  auto Free = FreeList();
  EXPECT_THROW(Free->Add()->SetValue(Infinity, 0), EFzyException);
  EXPECT_TRUE(SamePoints(*Free, {{0, 0}}));
}

// Inside an update bracket Add(X, Y) tracks its two writes as SetX and SetY do: a point whose Y
// equals the new point's 0 writes no Y, so an equal neighbour is not merged.
TEST(FuzzySetValues, AddInsideABracketWritesXThenY) {
  auto Values = FreeList();
  Values->BeginUpdate();
  AddPoints(*Values, {{0, 0}, {5, 0}, {5, 0}, {10, 1}});
  Values->EndUpdate();
  EXPECT_TRUE(SamePoints(*Values, {{0, 0}, {5, 0}, {5, 0}, {10, 1}}));
  // A Y written does compare with the neighbour.
  auto Written = FreeList();
  Written->BeginUpdate();
  AddPoints(*Written, {{0, 0}, {5, 0.5}, {5, 0.5}, {10, 1}});
  Written->EndUpdate();
  EXPECT_TRUE(SamePoints(*Written, {{0, 0}, {5, 0.5}, {10, 1}}));
}

TEST(FuzzySetValues, AStepBuiltPointByPointKeepsAllItsPoints) {
  auto Values = FreeList();
  AddPoints(*Values, {{0, 0}, {5, 0}, {5, 1}, {10, 1}});
  EXPECT_TRUE(SamePoints(*Values, {{0, 0}, {5, 0}, {5, 1}, {10, 1}}));

  auto Batched = FreeList();
  Batched->BeginUpdate();
  AddPoints(*Batched, {{0, 0}, {5, 0}, {5, 1}, {10, 1}});
  Batched->EndUpdate();
  EXPECT_TRUE(SamePoints(*Batched, testing::PointsOf(*Values)));
}

TEST(FuzzySetValues, SortKeepsTheOrderOfEqualX) {
  auto Values = FreeList();
  Values->BeginUpdate();
  AddPoints(*Values, {{2, 0}, {1, 0}, {1, 1}, {0, 0}});
  EXPECT_FALSE(Values->Sorted());
  Values->EndUpdate();
  EXPECT_TRUE(Values->Sorted());
  EXPECT_TRUE(SamePoints(*Values, {{0, 0}, {1, 0}, {1, 1}, {2, 0}}));

  // Moving a point past its neighbour re-sorts at once.
  Values->Items(0)->SetX(3);
  EXPECT_TRUE(SamePoints(*Values, {{1, 0}, {1, 1}, {2, 0}, {3, 0}}));
}

TEST(FuzzySetValues, AtMostThreePointsShareOneX) {
  auto Values = FreeList();
  AddPoints(*Values, {{0, 0}, {1, 0}, {1, 1}, {1, 0.5}, {2, 0.2}});
  Values->Items(4)->SetX(1);
  EXPECT_TRUE(SamePoints(*Values, {{0, 0}, {1, 0}, {1, 0.2}, {1, 0.5}}));

  // Had the moved point become a duplicate, the two merge.
  auto Merging = FreeList();
  AddPoints(*Merging, {{0, 0}, {1, 0}, {1, 1}, {1, 0.5}, {2, 0}});
  TFuzzySetValue* Moved = Merging->Items(4);
  Moved->SetX(1);
  EXPECT_TRUE(SamePoints(*Merging, {{0, 0}, {1, 0}, {1, 0.5}}));
  EXPECT_EQ(Moved->Collection(), Merging.get());

  // A fourth point on one X replaces the middle one of the three already there.
  auto Spike = FreeList();
  AddPoints(*Spike, {{1, 0}, {1, 1}, {1, 0.5}, {1, 0.7}});
  EXPECT_TRUE(SamePoints(*Spike, {{1, 0}, {1, 0.7}, {1, 0.5}}));
}

TEST(FuzzySetValues, TheChangedPointSurvivesTheCleanUp) {
  // Setting the last point onto the first makes the two equal: the first goes, the changed stays.
  auto Values = FreeList();
  AddPoints(*Values, {{0, 0}, {1, 0.5}, {2, 0}});
  TFuzzySetValue* Last = Values->Items(2);
  Last->SetX(0);
  EXPECT_TRUE(SamePoints(*Values, {{0, 0}, {1, 0.5}}));
  EXPECT_EQ(Values->Items(0), Last);

  // The changed point sits just before the third other point of its X: another one goes.
  auto Run = FreeList();
  Run->BeginUpdate();
  AddPoints(*Run, {{1, 0}, {1, 0.2}, {1, 0.4}, {1, 0.6}});
  Run->EndUpdate();
  ASSERT_EQ(Run->Count(), 4);
  TFuzzySetValue* Middle = Run->Items(2);
  Middle->SetX(1.00005);
  EXPECT_TRUE(SamePoints(*Run, {{1, 0}, {1.00005, 0.4}, {1, 0.6}}));
  EXPECT_EQ(Run->Items(1), Middle);

  // A point whose Y now equals its predecessor's merges into it and stays itself.
  auto Twins = FreeList();
  AddPoints(*Twins, {{0, 0}, {0, 1}, {3, 1}});
  TFuzzySetValue* Upper = Twins->Items(1);
  Upper->SetY(0);
  EXPECT_TRUE(SamePoints(*Twins, {{0, 0}, {3, 1}}));
  EXPECT_EQ(Twins->Items(0), Upper);
}

TEST(FuzzySetValues, RemoveDuplicatesDropsEveryFifthOfARun) {
  auto Values = FreeList();
  Values->BeginUpdate();
  AddPoints(*Values, {{1, 0}, {1, 0.1}, {1, 0.1}, {1, 0.2}, {1, 0.3}, {1, 0.4}, {1, 0.5}});
  Values->EndUpdate();
  // The twin (1, 0.1) merges first; of the six distinct points left the fifth goes.
  EXPECT_TRUE(SamePoints(*Values, {{1, 0}, {1, 0.1}, {1, 0.2}, {1, 0.3}, {1, 0.5}}));
}

TEST(FuzzySetValues, NotificationsReachTheOwner) {
  auto Set = RangedSet(0, 10);
  TFuzzySetValues& Values = Set->Values();
  Values.Add(1, 0.5);
  EXPECT_EQ(Set->ListChanges, 1);   // the point joined the list
  EXPECT_EQ(Set->PointChanges, 1);  // its coordinates were written
  Values.Items(0)->SetY(0.5);       // unchanged: nothing
  EXPECT_EQ(Set->PointChanges, 1);

  Set->ListChanges = Set->PointChanges = 0;
  Values.BeginUpdate();
  AddPoints(Values, {{3, 1}, {2, 0}, {4, 0}});
  Values.Items(0)->SetY(1);
  EXPECT_EQ(Set->ListChanges + Set->PointChanges, 0);
  Values.EndUpdate();
  EXPECT_EQ(Set->ListChanges, 1);
  EXPECT_EQ(Set->PointChanges, 0);
  EXPECT_TRUE(SamePoints(Values, {{1, 1}, {2, 0}, {3, 1}, {4, 0}}));

  Set->ListChanges = 0;
  Values.Delete(0);
  EXPECT_EQ(Set->ListChanges, 1);
  EXPECT_THROW(Values.Delete(7), EListError);
}

TEST(FuzzySetValues, SkipAndCount) {
  auto Values = FreeList();
  AddPoints(*Values, {{0, 0}, {1, 0}, {1, 1}, {1.00005, 0.5}, {2, 1}});
  EXPECT_EQ(Values->GetXCount(1), 2);
  EXPECT_EQ(Values->SkipX(0, 1, 1), 4);
  EXPECT_EQ(Values->SkipX(4, 1, -1), 0);
  EXPECT_EQ(Values->SkipX(3, 2, 0), -1);  // Dir 0 counts as +1 and runs off the end
  EXPECT_EQ(Values->SkipX(1, 1, -1), 0);
  EXPECT_EQ(Values->SkipY(1, 1, 1), 3);
  EXPECT_EQ(Values->SkipY(0, 0, 1), 2);
  EXPECT_EQ(Values->SkipY(4, 1, -1), 3);
}

TEST(FuzzySetValues, AppendClampsItsRangeAndCopiesItself) {
  auto Source = FreeList();
  AddPoints(*Source, {{0, 0}, {1, 1}, {2, 0.5}});
  auto Values = FreeList();
  Values->Append(Source.get(), -4, 2);
  EXPECT_TRUE(SamePoints(*Values, {{0, 0}, {1, 1}}));
  Values->Append(Source.get(), 9, 5);  // past the end: only the last point
  EXPECT_TRUE(SamePoints(*Values, {{0, 0}, {1, 1}, {2, 0.5}}));
  auto Empty = FreeList();
  Values->Append(Empty.get(), 0, 3);
  Values->Append(Values.get());  // duplicates of itself merge away
  EXPECT_TRUE(SamePoints(*Values, {{0, 0}, {1, 1}, {2, 0.5}}));

  auto Copy = FreeList();
  Copy->Assign(Source.get());
  EXPECT_TRUE(SamePoints(*Copy, testing::PointsOf(*Source)));
  Copy->SetItem(0, Source->Items(1));
  EXPECT_TRUE(SamePoints(*Copy, {{1, 1}, {2, 0.5}}));
}

TEST(FuzzySetValues, ExpandSpreadsPointsOverSegments) {
  auto Line = FreeList();
  AddPoints(*Line, {{0, 0}, {4, 1}});
  Line->Expand(5);
  EXPECT_TRUE(SamePoints(*Line, {{0, 0}, {1, 0.25}, {2, 0.5}, {3, 0.75}, {4, 1}}));

  auto Edge = FreeList();
  AddPoints(*Edge, {{0, 0}, {0, 1}, {2, 1}});
  Edge->Expand(5);
  EXPECT_TRUE(SamePoints(*Edge, {{0, 0}, {0, 1}, {2.0 / 3, 1}, {4.0 / 3, 1}, {2, 1}}));

  auto Triangle = FreeList();
  AddPoints(*Triangle, {{0, 0}, {1, 1}, {2, 0}});
  Triangle->Expand(6);  // three missing over two segments: two, then one
  EXPECT_TRUE(
      SamePoints(*Triangle, {{0, 0}, {1.0 / 3, 1.0 / 3}, {2.0 / 3, 2.0 / 3}, {1, 1}, {1.5, 0.5}, {2, 0}}));
  Triangle->Expand(3);  // not more than now: nothing
  EXPECT_EQ(Triangle->Count(), 6);
}

TEST(FuzzySetValues, ExpandSimpleSpreadsPointsEvenlyAndSurvivesDegenerateLists) {
  auto Values = FreeList();
  AddPoints(*Values, {{0, 0}, {1, 1}, {4, 0}});
  Values->ExpandSimple(6);
  EXPECT_TRUE(SamePoints(*Values, {{0, 0}, {1, 1}, {2, 2.0 / 3}, {3, 1.0 / 3}, {4, 0}}));
  // x = 1 fell on the existing point (1, 1): the new point went after it and merged with nothing.

  auto Single = FreeList();
  Single->Add(1, 0.5);
  Single->ExpandSimple(4);
  EXPECT_TRUE(SamePoints(*Single, {{1, 0.5}}));

  auto Vertical = FreeList();
  AddPoints(*Vertical, {{1, 0}, {1, 1}});
  Vertical->ExpandSimple(4);  // no X span to spread over: nothing
  EXPECT_TRUE(SamePoints(*Vertical, {{1, 0}, {1, 1}}));
}

TEST(FuzzySetValues, Statistics) {
  auto Values = FreeList();
  const char* Operations[] = {"Get Average Y Value", "Get Maximum Y Value", "Get Minimum Y Value",
                              "Get Statistics Values"};
  int Raised = 0;
  auto Expect = [&](auto&& Call, const char* Operation) {
    try {
      Call();
    } catch (const EFzyException& E) {
      EXPECT_EQ(std::string(E.what()),
                std::string("Invalid operation: \"") + Operation + "\".  Fuzzy set is empty");
      ++Raised;
    }
  };
  TFzyFloat Avg, Max, Min;
  Expect([&] { Values->GetAvgValue(); }, Operations[0]);
  Expect([&] { Values->GetMaxValue(); }, Operations[1]);
  Expect([&] { Values->GetMinValue(); }, Operations[2]);
  Expect([&] { Values->GetStatValues(Avg, Max, Min); }, Operations[3]);
  EXPECT_EQ(Raised, 4);

  Values->Add(3, 0.4);
  Values->GetStatValues(Avg, Max, Min);
  EXPECT_DOUBLE_EQ(Avg, 0.4);
  EXPECT_DOUBLE_EQ(Max, 0.4);
  EXPECT_DOUBLE_EQ(Min, 0.4);
  Values->Items(0)->SetY(1.5);
  Values->GetStatValues(Avg, Max, Min);
  EXPECT_DOUBLE_EQ(Max, 1.5);
  EXPECT_DOUBLE_EQ(Min, 1.0);

  auto Scan = FreeList();
  AddPoints(*Scan, {{0, 0.5}, {1, 1.0}, {2, 1.5}, {3, 0.2}});
  EXPECT_DOUBLE_EQ(Scan->GetMaxValue(), 1.0);  // stops at the first 1.0
  EXPECT_DOUBLE_EQ(Scan->GetMinValue(), 0.2);
  EXPECT_DOUBLE_EQ(Scan->GetAvgValue(), 0.8);
  Scan->Add()->SetValue(4, -1);  // a free list keeps a negative Y
  Scan->Items(1)->SetY(0);
  EXPECT_DOUBLE_EQ(Scan->GetMinValue(), 0.0);  // stops at the first 0.0
}

// The sort and the duplicate removal take n log n and n; they must leave the points where the
// literal rules leave them: for each place, every later point more than the tolerance below the
// point there moves to it; then twins merge and every fifth point of a run of one X goes. Points
// cluster within the tolerance, so that the rules' order matters. Each list is cleaned at the end
// of a bracket (a last point far below makes sure it is sorted), then one point is moved outside a
// bracket (the case where only that point is out of place).
TEST(FuzzySetValues, CleanUpMatchesTheLiteralRules) {
  using TPoint = std::pair<double, double>;
  auto LiteralSort = [](std::vector<TPoint> P) {
    for (std::size_t I = 0; I < P.size(); ++I)
      for (std::size_t J = I + 1; J < P.size(); ++J)
        if (P[J].first + FuzzyTolerance < P[I].first) std::rotate(P.begin() + I, P.begin() + J, P.begin() + J + 1);
    return P;
  };
  auto LiteralRemoveDuplicates = [](std::vector<TPoint> P) {
    std::size_t I = 1;
    int Run = 0;
    while (I < P.size()) {
      const bool SameX = FloatEquals(P[I].first, P[I - 1].first);
      if (SameX && FloatEquals(P[I].second, P[I - 1].second)) {
        P.erase(P.begin() + I);
      } else if (SameX) {
        if (++Run == 4) {
          P.erase(P.begin() + I);
          Run = 0;
        } else {
          ++I;
        }
      } else {
        Run = 0;
        ++I;
      }
    }
    return P;
  };
  std::mt19937 Random(17);
  for (int Round = 0; Round < 2000; ++Round) {
    const int Count = 1 + static_cast<int>(Random() % 14);
    std::vector<TPoint> Points;
    for (int I = 0; I < Count; ++I)
      Points.emplace_back(static_cast<double>(Random() % 6) + static_cast<double>(Random() % 5) * 0.00004,
                          static_cast<double>(Random() % 3) / 2);
    if (Round % 2 == 0) {
      // One point out of place in an otherwise sorted list.
      Points = LiteralSort(Points);
      Points[Random() % Points.size()].first = static_cast<double>(Random() % 6);
    }
    Points.emplace_back(-1, 0.25);
    auto Values = FreeList();
    Values->BeginUpdate();
    for (const auto& [X, Y] : Points) Values->Add()->SetValue(X, Y);
    Values->EndUpdate();
    std::vector<TPoint> Expected = LiteralRemoveDuplicates(LiteralSort(Points));
    ASSERT_EQ(testing::PointsOf(*Values), Expected) << "round " << Round << ": " << testing::Describe(Points);

    // One point moved outside a bracket, to an X near others: the literal placement of a written
    // point (order tracked against its neighbours; when out of order the sort, whose closing
    // clean-up removes duplicates sparing the point; then the point goes after the others of its
    // X, the middle one of three going; then its run merges).
    const std::size_t K = Random() % Expected.size();
    const double X = static_cast<double>(Random() % 6) + static_cast<double>(Random() % 5) * 0.00004;
    if (X == Expected[K].first) continue;  // the X it holds: nothing is written
    std::vector<TPoint> P = Expected;
    std::vector<int> Id(P.size());
    for (std::size_t I = 0; I < Id.size(); ++I) Id[I] = static_cast<int>(I);
    const int Moved = Id[K];
    P[K].first = X;
    auto At = [&] { return static_cast<std::size_t>(std::find(Id.begin(), Id.end(), Moved) - Id.begin()); };
    auto Erase = [&](std::size_t I) {
      P.erase(P.begin() + static_cast<std::ptrdiff_t>(I));
      Id.erase(Id.begin() + static_cast<std::ptrdiff_t>(I));
    };
    auto Move = [&](std::size_t From, std::size_t To) {
      auto Shift = [&](auto& V) {
        auto Item = V[From];
        V.erase(V.begin() + static_cast<std::ptrdiff_t>(From));
        V.insert(V.begin() + static_cast<std::ptrdiff_t>(To), Item);
      };
      Shift(P);
      Shift(Id);
    };
    auto InOrder = [&](double Near, double Value) { return Near <= Value || FloatEquals(Value, Near); };
    const bool Sorted = (K == 0 || InOrder(P[K - 1].first, X)) && (K + 1 == P.size() || InOrder(X, P[K + 1].first));
    if (!Sorted) {
      for (std::size_t I = 0; I < P.size(); ++I)
        for (std::size_t J = I + 1; J < P.size(); ++J)
          if (P[J].first + FuzzyTolerance < P[I].first) Move(J, I);
      std::size_t I = 1;
      int Run = 0;
      auto RemoveTwin = [&](std::size_t I) { Erase(Id[I] == Moved ? I - 1 : I); };
      while (I < P.size()) {
        const bool SameX = FloatEquals(P[I].first, P[I - 1].first);
        if (SameX && FloatEquals(P[I].second, P[I - 1].second)) {
          RemoveTwin(I);
        } else if (SameX && ++Run == 4) {
          RemoveTwin(I);
          Run = 0;
        } else {
          if (!SameX) Run = 0;
          ++I;
        }
      }
    }
    if (P.size() >= 2) {
      std::size_t Position = At();
      int Others = 0;
      for (std::size_t I = 0; I < P.size(); ++I) {
        if (P[I].first > static_cast<long double>(X) + FuzzyTolerance) break;
        if (Id[I] != Moved && FloatEquals(X, P[I].first) && ++Others == 3) break;
        Position = I;
      }
      if (Others == 3) {
        if (Id[Position] == Moved) --Position;
        Erase(Position);
      }
      Position = std::min(Position, P.size() - 1);
      if (At() != Position) Move(At(), Position);
      std::size_t Start = At();
      while (Start > 0 && FloatEquals(X, P[Start - 1].first)) --Start;
      Start = Start > 0 ? Start - 1 : 0;
      std::size_t J = Start + 1;
      while (J < P.size() && FloatEquals(X, P[J].first)) {
        if (FloatEquals(P[J].first, P[J - 1].first) && FloatEquals(P[J].second, P[J - 1].second))
          Erase(Id[J - 1] == Moved ? J : J - 1);
        else
          ++J;
      }
      if (J - Start - 1 > 3) {
        if (At() > 0)
          Erase(At() - 1);
        else if (P.size() > 1)
          Erase(1);
      }
    }
    Values->Point(static_cast<int>(K))->SetX(X);
    ASSERT_EQ(testing::PointsOf(*Values), P) << "round " << Round << ", moved " << K << " to " << X << " in "
                                             << testing::Describe(Expected);
  }
}

// A resampling after the range moved away from the points: the new points take the clamped X,
// degrees between their neighbours', and are sorted in at the end.
TEST(FuzzySetValues, ResamplingKeepsDegreesAndOrder) {
  for (bool Simple : {false, true}) {
    auto Set = RangedSet(0, 1);
    AddPoints(Set->Values(), {{0, 0}, {1, 1}});
    Set->Minimum = Set->Maximum = 75;
    if (Simple)
      Set->Values().ExpandSimple(7);
    else
      Set->Values().Expand(7);
    const auto Points = testing::PointsOf(Set->Values());
    EXPECT_TRUE(SamePoints(Set->Values(), {{0, 0}, {1, 1}, {75, 1}})) << Simple;
    for (std::size_t I = 1; I < Points.size(); ++I) EXPECT_LE(Points[I - 1].first, Points[I].first);
  }
  // Segments far wider than the double range still give finite points.
  auto Wide = MakeOwned<TRangedSet>();
  Wide->HasRange = true;
  Wide->Minimum = -1e308;
  Wide->Maximum = 1e308;
  AddPoints(Wide->Values(), {{-1e308, 0}, {1e308, 1}});
  Wide->Values().Expand(5);
  EXPECT_TRUE(SamePoints(Wide->Values(), {{-1e308, 0}, {-5e307, 0.25}, {0, 0.5}, {5e307, 0.75}, {1e308, 1}}, 1e293));
}

TEST(FuzzySetValues, ResamplingRefusesMoreThanTheLimitBeforeAnythingChanges) {
  auto Set = RangedSet(0, 10);
  AddPoints(Set->Values(), {{0, 0}, {10, 1}});
  Set->PointChanges = Set->ListChanges = 0;
  for (bool Simple : {false, true}) {
    try {
      Simple ? Set->Values().ExpandSimple(MaxPointCount + 1) : Set->Values().Expand(MaxPointCount + 1);
      ADD_FAILURE();
    } catch (const EFzyException& E) {
      EXPECT_STREQ(E.what(), "Invalid point count 1000001.  At most 1000000 points are allowed");
    }
  }
  EXPECT_TRUE(SamePoints(Set->Values(), {{0, 0}, {10, 1}}));
  EXPECT_EQ(Set->PointChanges + Set->ListChanges, 0);
}

}  // namespace
}  // namespace fuzzy
