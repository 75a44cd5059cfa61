#pragma once
// The merge walk that combines two fuzzy sets, and the overlap test, written once over point
// "views" so that every kind of set (a set's own points, a set reached through an interface) runs
// the same algorithm without copying its points.
//
// A view answers for one set: Count(), X(i) and Y(i) for 0 <= i < Count(), SkipY(Index, Y, Dir)
// and GetMaxYValueOfX(Index, Step) as on the set's point list, and DegreeOfMembership(Value).

#include <concepts>

#include "fuzzy/engine/fuzzy_math.h"
#include "fuzzy/engine/fuzzy_set.h"

namespace fuzzy {

template <typename T>
concept FuzzyPointsView = requires(const T& Points, int Index, TFzyFloat Value) {
  { Points.Count() } -> std::convertible_to<int>;
  { Points.X(Index) } -> std::convertible_to<TFzyFloat>;
  { Points.Y(Index) } -> std::convertible_to<TFzyFloat>;
  { Points.SkipY(Index, Value, Index) } -> std::convertible_to<int>;
  { Points.GetMaxYValueOfX(Index, Index) } -> std::convertible_to<int>;
  { Points.DegreeOfMembership(Value) } -> std::convertible_to<TFzyFloat>;
};

// A set's own points, read without index checks or virtual calls.
class TFuzzySet::TPoints {
 public:
  explicit TPoints(const TFuzzySet& Set) : FSet(Set), FValues(*Set.FValues) {}

  int Count() const { return FValues.Count(); }
  TFzyFloat X(int Index) const { return FValues.Point(Index)->X(); }
  TFzyFloat Y(int Index) const { return FValues.Point(Index)->Y(); }
  int SkipY(int Index, TFzyFloat Y, int Dir) const { return FValues.SkipY(Index, Y, Dir); }
  int GetMaxYValueOfX(int Index, int Step) const { return FSet.GetMaxYValueOfX(Index, Step); }
  TFzyFloat DegreeOfMembership(TFzyFloat Value) const { return FSet.DegreeOfMembership(Value); }

 private:
  const TFuzzySet& FSet;
  const TFuzzySetValues& FValues;
};

namespace merge_walk_detail {

// Every point's Y lies within the tolerance of the first point's Y (a single point is flat).
template <typename TView>
bool IsFlat(const TView& Points) {
  return Points.SkipY(0, Points.Y(0), 1) == -1;
}

inline bool StrictlyBetween(TFzyFloat Low, TFzyFloat Value, TFzyFloat High) {
  return (Low < Value && Value < High) || (Low > Value && Value > High);
}

}  // namespace merge_walk_detail

// Callback(X1, Y1, X2, Y2) receives each visited place with A's degree (Y1) and B's (Y2); X1 and
// X2 differ only where two breakpoints within the tolerance are matched. A true result stops the
// walk at once. When one set has no points, each point of the other is passed as (X, Y, X, Y).
template <typename TPointsA, typename TPointsB, typename TCallback>
bool TFuzzySet::MergeWalk(const TPointsA& A, const TPointsB& B, TCallback&& Callback) {
  static_assert(FuzzyPointsView<TPointsA> && FuzzyPointsView<TPointsB>);
  using merge_walk_detail::IsFlat;
  using merge_walk_detail::StrictlyBetween;

  const int CountA = A.Count();
  const int CountB = B.Count();
  if (CountA == 0 || CountB == 0) {
    auto PassThrough = [&Callback](const auto& Points, int Count) {
      for (int I = 0; I < Count; ++I)
        if (Callback(Points.X(I), Points.Y(I), Points.X(I), Points.Y(I))) return true;
      return false;
    };
    return CountA > 0 ? PassThrough(A, CountA) : PassThrough(B, CountB);
  }

  struct TCursor {
    TFzyFloat X, Y;
  };
  const bool FlatA = IsFlat(A);
  const bool FlatB = IsFlat(B);
  int I = 0;
  int J = 0;
  // A cursor whose list is used up keeps its last point, so its segment shrinks to that point.
  TCursor PrevA{A.X(0), A.Y(0)};
  TCursor PrevB{B.X(0), B.Y(0)};
  TCursor CurA = PrevA;
  TCursor CurB = PrevB;
  while (I < CountA || J < CountB) {
    if (I < CountA) CurA = {A.X(I), A.Y(I)};
    if (J < CountB) CurB = {B.X(J), B.Y(J)};

    // At most one crossing of the two current segments per step.
    TFzyFloat X = 0;
    TFzyFloat Y = 0;
    if (FlatA && StrictlyBetween(PrevB.Y, CurA.Y, CurB.Y)) {
      X = InterpolateX(PrevB.X, PrevB.Y, CurB.X, CurB.Y, CurA.Y);
      if (Callback(X, CurA.Y, X, CurA.Y)) return true;
    } else if (FlatB && StrictlyBetween(PrevA.Y, CurB.Y, CurA.Y)) {
      X = InterpolateX(PrevA.X, PrevA.Y, CurA.X, CurA.Y, CurB.Y);
      if (Callback(X, CurB.Y, X, CurB.Y)) return true;
    } else if (LineSegmentIntersects(PrevA.X, PrevA.Y, CurA.X, CurA.Y, PrevB.X, PrevB.Y, CurB.X, CurB.Y, X,
                                     Y)) {
      if (Callback(X, Y, X, Y)) return true;
    }

    // Advance past the next breakpoint of either set, or of both when they share an X.
    if (I < CountA && J < CountB && FloatEquals(CurA.X, CurB.X)) {
      if (Callback(CurA.X, CurA.Y, CurB.X, CurB.Y)) return true;
      PrevA = CurA;
      PrevB = CurB;
      ++I;
      ++J;
    } else if (I < CountA && (J >= CountB || CurB.X > CurA.X)) {
      if (Callback(CurA.X, CurA.Y, CurA.X, B.DegreeOfMembership(CurA.X))) return true;
      PrevA = CurA;
      ++I;
    } else {
      if (Callback(CurB.X, A.DegreeOfMembership(CurB.X), CurB.X, CurB.Y)) return true;
      PrevB = CurB;
      ++J;
    }
  }
  return false;
}

template <typename TPointsA, typename TPointsB>
bool TFuzzySet::PointsIntersect(const TPointsA& A, const TPointsB& B) {
  static_assert(FuzzyPointsView<TPointsA> && FuzzyPointsView<TPointsB>);
  using merge_walk_detail::IsFlat;

  const int CountA = A.Count();
  const int CountB = B.Count();
  if (CountA == 0 || CountB == 0) return false;
  const long double T = FuzzyTolerance;
  const TFzyFloat FirstXA = A.X(0), FirstYA = A.Y(0), LastXA = A.X(CountA - 1), LastYA = A.Y(CountA - 1);
  const TFzyFloat FirstXB = B.X(0), FirstYB = B.Y(0), LastXB = B.X(CountB - 1), LastYB = B.Y(CountB - 1);

  if (IsFlat(A) && FirstYA < T && !(IsFlat(B) && FirstYB < T)) return false;
  // One set ends at zero before the other begins at zero.
  if ((LastXA < FirstXB - T && LastYA < T && FirstYB < T) ||
      (LastXB < FirstXA - T && LastYB < T && FirstYA < T))
    return false;
  // The sets touch end to start: they overlap when either is above zero there.
  auto TopAtLast = [](const auto& Points, int Count) {
    return Points.Y(Points.GetMaxYValueOfX(Count - 1, -1));
  };
  auto TopAtFirst = [](const auto& Points) { return Points.Y(Points.GetMaxYValueOfX(0, 1)); };
  if (FloatEquals(LastXA, FirstXB) && (TopAtLast(A, CountA) > T || TopAtFirst(B) > T)) return true;
  if (FloatEquals(LastXB, FirstXA) && (TopAtLast(B, CountB) > T || TopAtFirst(A) > T)) return true;
  return LastXA > FirstXB + T && FirstXA < LastXB - T;
}

// ---- cursor routines for hosts that walk two point lists step by step ------------------------
// The cursors are free-standing points (made with New<TFuzzySetValue>(nullptr)).

// Previous takes Current's place; Current moves to Values[Index + 1], or, past the end, keeps its Y
// and takes DefaultX as X.
void NextPoint(TFuzzySetValue& Current, TFuzzySetValue& Previous, int& Index, const TFuzzySetValues& Values,
               TFzyFloat DefaultX);
// Appends a copy of Current to FuzzySet when A >= B (Flag) or A < B (not Flag); then NextPoint;
// then, when A = B, OtherPrevious takes Previous's place.
void AddAndIncrement(TFuzzySet& FuzzySet, TFuzzySetValue& Current, TFuzzySetValue& Previous,
                     TFuzzySetValue& OtherPrevious, int& Index, TFzyFloat A, TFzyFloat B,
                     const TFuzzySetValues& Values, TFzyFloat DefaultX, bool Flag);
// AddAndIncrement on the first cursor pair, then NextPoint on the second.
void Add1AndIncrement2(TFuzzySet& FuzzySet, TFuzzySetValue& Current1, TFuzzySetValue& Current2,
                       TFuzzySetValue& Previous1, TFuzzySetValue& Previous2, int& Index1, int& Index2,
                       TFzyFloat A, TFzyFloat B, const TFuzzySetValues& Values1,
                       const TFuzzySetValues& Values2, TFzyFloat DefaultX, bool Flag);

}  // namespace fuzzy
