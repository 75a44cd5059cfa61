#pragma once
// The merge walk that combines two fuzzy sets, and the overlap test, written once over point
// "views" so that every kind of set (a set's own points, a set reached through an interface) runs
// the same algorithm without copying its points. For the engine and the interface model; not
// installed.
//
// A view answers for one set: Count(), X(i) and Y(i) for 0 <= i < Count(), SkipY(Index, Y, Dir)
// and GetMaxYValueOfX(Index, Step) as on the set's point list, and DegreeOfMembership(Value).

#include <algorithm>
#include <concepts>

#include "fuzzy/engine/fuzzy_math.h"
#include "fuzzy/engine/fuzzy_set.h"
#include "fuzzy/engine/internal/point_batch.h"
#include "fuzzy/runtime/update_bracket.h"

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
  bool IsFlat() const { return internal::TPointBatch::IsFlat(FValues); }
  int GetMaxYValueOfX(int Index, int Step) const { return FSet.GetMaxYValueOfX(Index, Step); }
  TFzyFloat DegreeOfMembership(TFzyFloat Value) const { return FSet.DegreeOfMembership(Value); }
  template <bool Wide>
  TFzyFloat DegreeOfMembership(TFzyFloat Value, int Hint) const {
    return FSet.DegreeOfMembershipNear<Wide>(Value, Hint);
  }
  bool IsModerate() const { return internal::TPointBatch::IsModerate(FValues); }

 private:
  const TFuzzySet& FSet;
  const TFuzzySetValues& FValues;
};

namespace merge_walk_detail {

// InterpolateY for X strictly between X1 and X2 and degrees that are not negative (those of a set):
// only the span X2 - X1 can pass the double range, and only when Wide.
template <bool Wide = true>
inline TFzyFloat DegreeInside(TFzyFloat X1, TFzyFloat Y1, TFzyFloat X2, TFzyFloat Y2, TFzyFloat X) {
  const TFzyFloat Span = X2 - X1;
  if (!Wide || std::isfinite(Span)) [[likely]]
    return (X - X1) / Span * (Y2 - Y1) + Y1;
  return TFuzzySet::InterpolateY(X1, Y1, X2, Y2, X);
}

}  // namespace merge_walk_detail

template <bool Wide>
inline TFzyFloat TFuzzySet::DegreeOfMembershipNear(TFzyFloat Value, int Hint) const {
  const int N = FValues->Count();
  if (N == 0) return 0;
  // Beyond either end the function is constant.
  const TFuzzySetValue* First = FValues->Point(0);
  if (Value < First->X()) return First->Y();
  const TFuzzySetValue* Last = FValues->Point(N - 1);
  if (Value > Last->X()) return Last->Y();
  // In an ascending list, Value strictly between points Hint - 1 and Hint lies on their segment.
  if (Hint >= 1 && Hint < N) {
    const TFuzzySetValue* Previous = FValues->Point(Hint - 1);
    const TFuzzySetValue* P = FValues->Point(Hint);
    if (Previous->X() < Value && Value < P->X() && internal::TPointBatch::IsAscending(*FValues))
      return merge_walk_detail::DegreeInside<Wide>(Previous->X(), Previous->Y(), P->X(), P->Y(), Value);
  }
  return DegreeOfMembershipByWalk(Value);
}

// Among the run of points of a view that share point Index's X (within the tolerance), walking
// from Index by Step, the index of the one whose Y is Better than all before it: the first one met
// on a tie.
template <typename TView, typename TBetter>
int FindYOfX(const TView& Points, int Index, int Step, TBetter Better) {
  const TFzyFloat X = Points.X(Index);
  int Best = Index;
  TFzyFloat BestY = Points.Y(Index);
  for (int J = Index + Step; J >= 0 && J < Points.Count(); J += Step) {
    if (!FloatEquals(Points.X(J), X)) break;
    const TFzyFloat Y = Points.Y(J);
    if (Better(Y, BestY)) {
      BestY = Y;
      Best = J;
    }
  }
  return Best;
}

namespace merge_walk_detail {

// Every point's Y lies within the tolerance of the first point's Y (a single point is flat); a set's
// own points know it from their last change.
template <typename TView>
bool IsFlat(const TView& Points) {
  if constexpr (requires { Points.IsFlat(); })
    return Points.IsFlat();
  else
    return Points.SkipY(0, Points.Y(0), 1) == -1;
}

// The degree of Points at Value, where the walk's cursor on Points is at Hint; views that cannot use
// the hint answer without it.
template <bool Wide, typename TView>
TFzyFloat DegreeNear(const TView& Points, TFzyFloat Value, int Hint) {
  if constexpr (requires { Points.template DegreeOfMembership<Wide>(Value, Hint); })
    return Points.template DegreeOfMembership<Wide>(Value, Hint);
  else
    return Points.DegreeOfMembership(Value);
}

// Every coordinate of the view is moderate (see TPointBatch::IsModerate); views that cannot tell
// are taken as wide.
template <typename TView>
bool IsModerate(const TView& Points) {
  if constexpr (requires { Points.IsModerate(); })
    return Points.IsModerate();
  else
    return false;
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
  using merge_walk_detail::DegreeNear;
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
  // The walk with the arithmetic that guards against differences past the double range (Wide), or,
  // for two sets of moderate coordinates only, without those guards.
  auto Walk = [&]<bool Wide>() {
  // A set not begun yet (or used up) stays at its first (last) degree: the other set's segment may
  // cross that level before its first point (after its last one), where the two current segments
  // do not meet. At is set to the crossing's X.
  auto CrossesLevel = [](const TCursor& From, const TCursor& To, TFzyFloat Level, bool Before, TFzyFloat Edge,
                         TFzyFloat& At) {
    if (!StrictlyBetween(From.Y, Level, To.Y)) return false;
    At = InterpolateXAt<Wide>(From.X, From.Y, To.X, To.Y, Level);
    return Before ? At < Edge : At > Edge;
  };
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
      X = InterpolateXAt<Wide>(PrevB.X, PrevB.Y, CurB.X, CurB.Y, CurA.Y);
      if (Callback(X, CurA.Y, X, CurA.Y)) return true;
    } else if (FlatB && StrictlyBetween(PrevA.Y, CurB.Y, CurA.Y)) {
      X = InterpolateXAt<Wide>(PrevA.X, PrevA.Y, CurA.X, CurA.Y, CurB.Y);
      if (Callback(X, CurB.Y, X, CurB.Y)) return true;
    } else if (SegmentsCross<Wide>(PrevA.X, PrevA.Y, CurA.X, CurA.Y, PrevB.X, PrevB.Y, CurB.X, CurB.Y, X, Y)) {
      if (Callback(X, Y, X, Y)) return true;
    } else if ((I == 0 || I >= CountA) && CrossesLevel(PrevB, CurB, CurA.Y, I == 0, CurA.X, X)) {
      if (Callback(X, CurA.Y, X, CurA.Y)) return true;
    } else if ((J == 0 || J >= CountB) && CrossesLevel(PrevA, CurA, CurB.Y, J == 0, CurB.X, X)) {
      if (Callback(X, CurB.Y, X, CurB.Y)) return true;
    }

    // Advance past the next breakpoint of either set, or of both when they share an X.
    if (I < CountA && J < CountB && FloatEquals(CurA.X, CurB.X)) {
      if (Callback(CurA.X, CurA.Y, CurB.X, CurB.Y)) return true;
      PrevA = CurA;
      PrevB = CurB;
      ++I;
      ++J;
    } else if (I < CountA && (J >= CountB || CurB.X > CurA.X)) {
      if (Callback(CurA.X, CurA.Y, CurA.X, DegreeNear<Wide>(B, CurA.X, J))) return true;
      PrevA = CurA;
      ++I;
    } else {
      if (Callback(CurB.X, DegreeNear<Wide>(A, CurB.X, I), CurB.X, CurB.Y)) return true;
      PrevB = CurB;
      ++J;
    }
  }
  return false;
  };
  if (merge_walk_detail::IsModerate(A) && merge_walk_detail::IsModerate(B))
    return Walk.template operator()<false>();
  return Walk.template operator()<true>();
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

template <typename TPointsA, typename TPointsB, typename TCallback>
bool TFuzzySet::IteratePoints(const TPointsA& A, const TPointsB& B, TCallback&& Callback) {
  if (A.Count() == 0 && B.Count() == 0) return true;
  return MergeWalk(A, B, Callback);
}

template <typename TPointsA, typename TPointsB>
TFzyFloat TFuzzySet::PointsCorrelationStrength(const TPointsA& A, const TPointsB& B) {
  TFzyFloat Max = 0;
  IteratePoints(A, B, [&Max](TFzyFloat, TFzyFloat Y1, TFzyFloat, TFzyFloat Y2) {
    Max = std::max(Max, std::min(Y1, Y2));
    return false;
  });
  return Max;
}

template <typename TPointsA, typename TPointsB>
bool TFuzzySet::PointsReachThreshold(const TPointsA& A, const TPointsB& B, TFzyFloat Threshold) {
  return IteratePoints(A, B, [Threshold](TFzyFloat, TFzyFloat Y1, TFzyFloat, TFzyFloat Y2) {
    return Threshold <= std::min(Y1, Y2);
  });
}

template <typename TFill>
void TFuzzySet::FillCombination(TFuzzySet& Result, const TDeferredText& OtherName,
                                const TDeferredText& OtherExpression, std::string_view OperatorKeyword,
                                TFill&& Fill) const {
  auto CombinedExpression = [&] {
    return TDeferredText::CombinedExpression(FExpression, FName, OperatorKeyword, OtherExpression, OtherName);
  };
  try {
    Result.SetDerivedName(TDeferredText::CombinedName(FName, OtherName, OperatorKeyword));
    TFuzzySetValues& Points = Result.Values();
    WithinUpdate(Points, [&] { Fill(Points); });
  } catch (...) {
    Result.FExpression = CombinedExpression();
    throw;
  }
  // Set after the update bracket closed: its change notification clears the expression.
  Result.FExpression = CombinedExpression();
}

class TFuzzySet::TWalkedPoints {
 public:
  explicit TWalkedPoints(std::size_t Room) : FPoints(Room) {}

  // Tracked as the appends would be, shortened as the appended points would be, then made.
  void AppendTo(TFuzzySetValues& Points) {
    Points.Reserve(static_cast<int>(FPoints.size()));
    internal::TPointBatch::Track(Points, FPoints);
    FPoints.erase(internal::RemoveLevelRuns(FPoints.begin(), FPoints.end(),
                                            [](const internal::TCoordinate& P) { return P.Y; }),
                  FPoints.end());
    internal::TPointBatch::AppendTracked(Points, FPoints);
  }

 private:
  template <TDegreeFunction& Degree, typename TPointsA, typename TPointsB>
  friend TWalkedPoints TFuzzySet::WalkBuiltIn(const TPointsA& A, const TPointsB& B);
  TRecycledVector<internal::TCoordinate> FPoints;
};

template <TFuzzySet::TDegreeFunction& Degree, typename TPointsA, typename TPointsB>
TFuzzySet::TWalkedPoints TFuzzySet::WalkBuiltIn(const TPointsA& A, const TPointsB& B) {
  // The walk visits each breakpoint of either set once and adds at most one crossing per step,
  // so the room made here suffices; it grows all the same should it not.
  TWalkedPoints Walked(static_cast<std::size_t>(2 * (A.Count() + B.Count()) + 1));
  auto& Points = Walked.FPoints;
  std::size_t Used = 0;
  MergeWalk(A, B, [&](TFzyFloat X1, TFzyFloat Y1, TFzyFloat, TFzyFloat Y2) {
    if (Used == Points.size()) [[unlikely]]
      Points.resize(2 * Used);
    Points[Used++] = {X1, Degree(Y1, Y2)};
    return false;
  });
  Points.resize(Used);
  for (const internal::TCoordinate& P : Points) {
    internal::CheckFinite(P.X, "X");
    internal::CheckFinite(P.Y, "Y");
  }
  return Walked;
}

template <typename TPointsA, typename TPointsB, typename TAppend>
void TFuzzySet::WalkByCallback(TFuzzySetValues& Points, const TPointsA& A, const TPointsB& B, TAppend&& Append) {
  // Every breakpoint of either set, and about one crossing per pair of breakpoints.
  Points.Reserve(2 * (A.Count() + B.Count()));
  const bool Stopped = MergeWalk(A, B, [&Points, &Append](TFzyFloat X1, TFzyFloat Y1, TFzyFloat X2, TFzyFloat Y2) {
    return Append(Points, X1, Y1, X2, Y2);
  });
  if (!Stopped) RemoveLevelRuns(Points);
}

template <typename TVisit>
decltype(auto) TFuzzySet::VisitIntersection(TFuzzyOperation Operation, TVisit&& Visit) {
  const auto& Keywords = FuzzyIntersectionKeywords;
  switch (Operation) {
    case foZadeh:
      return Visit.template operator()<MinDegree>(Keywords[foZadeh]);
    case foMean:
      return Visit.template operator()<MeanDegree>(Keywords[foMean]);
    case foMeanSqr:
      return Visit.template operator()<MeanSqrDegree>(Keywords[foMeanSqr]);
    case foMeanSqrt:
      return Visit.template operator()<MeanSqrtDegree>(Keywords[foMeanSqrt]);
    case foProduct:
      return Visit.template operator()<ProductDegree>(Keywords[foProduct]);
    case foBoundedSum:
      return Visit.template operator()<IntersectionBoundedSumDegree>(Keywords[foBoundedSum]);
    case foSum:
      break;
  }
  throw EFzyException(SInvalidFuzzyOperation, {GetEnumName(Operation)});
}

template <typename TVisit>
decltype(auto) TFuzzySet::VisitUnion(TFuzzyOperation Operation, TVisit&& Visit) {
  const auto& Keywords = FuzzyUnionKeywords;
  switch (Operation) {
    case foZadeh:
      return Visit.template operator()<MaxDegree>(Keywords[foZadeh]);
    case foMean:
      return Visit.template operator()<UnionMeanDegree>(Keywords[foMean]);
    case foMeanSqr:
      return Visit.template operator()<MeanSqrDegree>(Keywords[foMeanSqr]);
    case foMeanSqrt:
      return Visit.template operator()<MeanSqrtDegree>(Keywords[foMeanSqrt]);
    case foProduct:
      return Visit.template operator()<UnionProductDegree>(Keywords[foProduct]);
    case foBoundedSum:
      return Visit.template operator()<UnionBoundedSumDegree>(Keywords[foBoundedSum]);
    case foSum:
      return Visit.template operator()<SumDegree>(Keywords[foSum]);
  }
  throw EFzyException(SInvalidFuzzyOperation, {GetEnumName(Operation)});
}

}  // namespace fuzzy
