#include "fuzzy/rules/flat_sets.h"

#include <algorithm>
#include <cmath>

#include "fuzzy/engine/fuzzy_math.h"
#include "fuzzy/engine/fuzzy_set.h"

namespace fuzzy::flat {

namespace {

// The highest degree among the points that share point Index's X within the tolerance, walking
// from Index by Step: the value at a step or spike.
TFzyFloat HighestAt(TPointsView P, int Index, int Step) {
  TFzyFloat Top = P.Y[Index];
  for (int J = Index + Step; J >= 0 && J < P.Count && FloatEquals(P.X[J], P.X[Index]); J += Step)
    Top = std::max(Top, P.Y[J]);
  return Top;
}

// The degree of P at X, a place the walk visits before P's point Next: on the segment into Next
// (the first or last degree beyond the ends), or, where X is the place of the points just visited,
// the highest of them.
TFzyFloat DegreeBefore(TPointsView P, int Next, TFzyFloat X) {
  if (Next > 0 && P.X[Next - 1] == X) {
    TFzyFloat Top = P.Y[Next - 1];
    for (int J = Next - 2; J >= 0 && P.X[J] == X; --J) Top = std::max(Top, P.Y[J]);
    return Top;
  }
  if (Next == 0) return P.Y[0];
  if (Next == P.Count) return P.Y[Next - 1];
  return TFuzzySet::InterpolateY(P.X[Next - 1], P.Y[Next - 1], P.X[Next], P.Y[Next], X);
}

// The degree P continues with just after X, a place the walk has visited before P's point Next.
TFzyFloat DegreeAfter(TPointsView P, int Next, TFzyFloat X, TFzyFloat DegreeAtX) {
  return Next > 0 && P.X[Next - 1] == X ? P.Y[Next - 1] : DegreeAtX;
}

// Writes the points of a union as they come and applies the level-run pass on the way: a point in
// the middle of a run of equal degrees replaces the run's last kept point. A point equal to the one
// before it is dropped at once; it would only lengthen a run.
class TUnionWriter {
 public:
  explicit TUnionWriter(TPointBuffer& Result) : FResult(Result) { FResult.Clear(); }
  void Push(TFzyFloat X, TFzyFloat Y) {
    const int N = FResult.Count();
    if (N > 0 && FResult.Y(N - 1) == Y) {
      if (FResult.X(N - 1) == X) return;
      if (++FRun > 1) {
        FResult.SetX(N - 1, X);
        return;
      }
    } else if (N > 0) {
      FRun = 0;
    }
    FResult.Push(X, Y);
  }
  // A trailing run keeps its first point.
  void Finish() {
    const int N = FResult.Count();
    if (N > 1 && FResult.Y(N - 2) == FResult.Y(N - 1)) FResult.Pop();
  }

 private:
  TPointBuffer& FResult;
  // The run starts counted as one, so that a leading run shrinks to its last point.
  int FRun = 1;
};

template <typename TDegree>
void UnionWith(TPointsView A, TPointsView B, TDegree Degree, TPointBuffer& Result) {
  TUnionWriter Writer(Result);
  if (A.Count == 0 || B.Count == 0) {
    // A missing set counts as equal to the other one everywhere.
    const TPointsView& Only = A.Count > 0 ? A : B;
    for (int I = 0; I < Only.Count; ++I) Writer.Push(Only.X[I], Degree(Only.Y[I], Only.Y[I]));
    Writer.Finish();
    return;
  }
  int I = 0;
  int J = 0;
  bool Started = false;
  // The last place visited, and the degrees with which A and B leave it.
  TFzyFloat Last = 0, AfterA = 0, AfterB = 0;
  while (I < A.Count || J < B.Count) {
    // The next breakpoint, and both sets' degrees there.
    TFzyFloat X, YA, YB;
    int StepA = 0, StepB = 0;
    if (I < A.Count && J < B.Count && A.X[I] == B.X[J]) {
      X = A.X[I];
      YA = A.Y[I];
      YB = B.Y[J];
      StepA = StepB = 1;
    } else if (I < A.Count && (J >= B.Count || B.X[J] > A.X[I])) {
      X = A.X[I];
      YA = A.Y[I];
      YB = DegreeBefore(B, J, X);
      StepA = 1;
    } else {
      X = B.X[J];
      YA = DegreeBefore(A, I, X);
      YB = B.Y[J];
      StepB = 1;
    }
    // Between the last place and this one both sets are straight: they cross there when their
    // difference changes sign.
    if (Started && X > Last) {
      const TFzyFloat D0 = AfterA - AfterB;
      const TFzyFloat D1 = YA - YB;
      if ((D0 < 0 && D1 > 0) || (D0 > 0 && D1 < 0)) {
        const TFzyFloat T = D0 / (D0 - D1);
        const TFzyFloat Y = AfterB == YB ? YB : (AfterA == YA ? YA : AfterA + T * (YA - AfterA));
        Writer.Push(Last + T * (X - Last), Degree(Y, Y));
      }
    }
    Writer.Push(X, Degree(YA, YB));
    I += StepA;
    J += StepB;
    Last = X;
    AfterA = StepA ? YA : DegreeAfter(A, I, X, YA);
    AfterB = StepB ? YB : DegreeAfter(B, J, X, YB);
    Started = true;
  }
  Writer.Finish();
}

}  // namespace

// ---- level runs ------------------------------------------------------------------------------

void RemoveLevelRuns(TPointsView Points, TPointBuffer& Result) {
  Result.Reserve(Points.Count);
  TUnionWriter Writer(Result);
  for (int I = 0; I < Points.Count; ++I) Writer.Push(Points.X[I], Points.Y[I]);
  Writer.Finish();
}

// ---- membership and correlation ----------------------------------------------------------------

TFzyFloat DegreeOfMembership(TPointsView P, TFzyFloat Value) {
  const int N = P.Count;
  if (N == 0) return 0;
  if (Value < P.X[0]) return P.Y[0];
  if (Value > P.X[N - 1]) return P.Y[N - 1];
  if (Value == P.X[0]) return HighestAt(P, 0, 1);
  if (Value == P.X[N - 1]) return HighestAt(P, N - 1, -1);
  for (int I = 1; I < N; ++I) {
    if (P.X[I] == Value) return HighestAt(P, I, 1);
    if (P.X[I] > Value) return TFuzzySet::InterpolateY(P.X[I - 1], P.Y[I - 1], P.X[I], P.Y[I], Value);
  }
  return 0;
}

void CorrelateMinimum(TPointsView Term, TFzyFloat Strength, TPointBuffer& Result) {
  // Each segment adds at most its crossing of the level.
  Result.Reserve(2 * Term.Count);
  Result.Clear();
  const TFzyFloat C = Strength;
  for (int I = 0; I < Term.Count; ++I) {
    if (I > 0) {
      const TFzyFloat Y1 = Term.Y[I - 1];
      const TFzyFloat Y2 = Term.Y[I];
      if ((Y1 < C && C < Y2) || (Y1 > C && C > Y2))
        Result.PushDistinct(TFuzzySet::InterpolateX(Term.X[I - 1], Y1, Term.X[I], Y2, C), C);
    }
    Result.PushDistinct(Term.X[I], Term.Y[I] > C ? C : Term.Y[I]);
  }
}

void CorrelateProduct(TPointsView Term, TFzyFloat Strength, TPointBuffer& Result) {
  Result.Reserve(Term.Count);
  Result.Clear();
  for (int I = 0; I < Term.Count; ++I) Result.PushDistinct(Term.X[I], std::max(0.0, Term.Y[I] * Strength));
}

// ---- union -------------------------------------------------------------------------------------

namespace {

// First ends at degree 0 where Second begins at degree 0, or before it, with no other point of
// either on that place: First's points have Second's degree 0 and Second's have First's 0, and
// nowhere between do they cross.
bool Precedes(TPointsView First, TPointsView Second) {
  const int Last = First.Count - 1;
  if (First.Y[Last] != 0 || Second.Y[0] != 0 || First.X[Last] > Second.X[0]) return false;
  return First.X[Last] < Second.X[0] || ((Last == 0 || First.X[Last - 1] < First.X[Last]) &&
                                         (Second.Count == 1 || Second.X[1] > Second.X[0]));
}

// The walk's union under the maximum of two sets of which First precedes Second: First's points
// followed by Second's.
void Concatenate(TPointsView First, TPointsView Second, TPointBuffer& Result) {
  TUnionWriter Writer(Result);
  for (int I = 0; I < First.Count; ++I) Writer.Push(First.X[I], First.Y[I]);
  for (int I = 0; I < Second.Count; ++I) Writer.Push(Second.X[I], Second.Y[I]);
  Writer.Finish();
}

}  // namespace

void Union(TPointsView A, TPointsView B, TFuzzyOperation Operation, TPointBuffer& Result) {
  // Conclusions of neighbouring terms often only touch: nothing to walk.
  if (Operation == foZadeh && A.Count > 0 && B.Count > 0) {
    if (Precedes(A, B)) return Concatenate(A, B, Result);
    if (Precedes(B, A)) return Concatenate(B, A, Result);
  }
  auto With = [&](auto Degree) { UnionWith(A, B, Degree, Result); };
  switch (Operation) {
    case foZadeh:
      return With([](TFzyFloat Y1, TFzyFloat Y2) { return MaxDegree(Y1, Y2); });
    case foMean:
      return With([](TFzyFloat Y1, TFzyFloat Y2) { return UnionMeanDegree(Y1, Y2); });
    case foMeanSqr:
      return With([](TFzyFloat Y1, TFzyFloat Y2) { return MeanSqrDegree(Y1, Y2); });
    case foMeanSqrt:
      return With([](TFzyFloat Y1, TFzyFloat Y2) { return MeanSqrtDegree(Y1, Y2); });
    case foProduct:
      return With([](TFzyFloat Y1, TFzyFloat Y2) { return UnionProductDegree(Y1, Y2); });
    case foBoundedSum:
      return With([](TFzyFloat Y1, TFzyFloat Y2) { return UnionBoundedSumDegree(Y1, Y2); });
    case foSum:
      return With([](TFzyFloat Y1, TFzyFloat Y2) { return SumDegree(Y1, Y2); });
  }
  With(UnionDegreeFunction(Operation));  // raises for a value outside the enumeration
}

// ---- defuzzification ---------------------------------------------------------------------------

TFzyFloat CenterOfGravity(TPointsView P, TFzyFloat XMinimum, TFzyFloat XMaximum) {
  const int N = P.Count;
  if (N == 0) return 0;
  if (N == 1 || P.X[0] == P.X[N - 1]) return (XMaximum - XMinimum) * 0.5 + XMinimum;
  TFzyFloat Moment = 0;
  TFzyFloat Area = 0;
  auto AddPart = [&](TFzyFloat PartArea, TFzyFloat Centroid) {
    Area += PartArea;
    Moment += PartArea * Centroid;
  };
  if (P.Y[0] > 0 && P.X[0] != XMinimum) AddPart(P.Y[0] * (P.X[0] - XMinimum), (P.X[0] + XMinimum) * 0.5);
  for (int I = 1; I < N; ++I) {
    const TFzyFloat X1 = P.X[I - 1];
    const TFzyFloat Dx = P.X[I] - X1;
    const TFzyFloat Y1 = P.Y[I - 1];
    const TFzyFloat Y2 = P.Y[I];
    if (Dx == 0 || (Y1 == 0 && Y2 == 0)) continue;
    if (Y1 == Y2)
      AddPart(Dx * Y1, X1 + Dx / 2);
    else if (Y1 == 0)
      AddPart(Y2 * Dx / 2, X1 + TWO_THIRDS * Dx);
    else if (Y2 == 0)
      AddPart(Y1 * Dx / 2, X1 + ONE_THIRD * Dx);
    else
      AddPart(Dx * (Y1 + Y2) / 2, X1 + TWO_THIRDS * Dx * (Y1 / 2 + Y2) / (Y1 + Y2));
  }
  if (P.Y[N - 1] > 0 && P.X[N - 1] != XMaximum)
    AddPart(P.Y[N - 1] * (XMaximum - P.X[N - 1]), (P.X[N - 1] + XMaximum) * 0.5);
  return Area == 0 ? 0 : Moment / Area;
}

TFzyFloat MeanOfMaxima(TPointsView P) {
  if (P.Count == 0) return 0;
  TFzyFloat Sum = P.X[0];
  TFzyFloat Top = P.Y[0];
  int K = 1;
  for (int I = 1; I < P.Count; ++I) {
    if (Top - FuzzyTolerance < P.Y[I] && P.Y[I] < Top + FuzzyTolerance) {
      ++K;
      Sum += P.X[I];
    } else if (P.Y[I] > Top) {
      Sum = P.X[I];
      Top = P.Y[I];
      K = 1;
    }
  }
  return Sum / K;
}

}  // namespace fuzzy::flat
