#include "fuzzy/rules/flat_sets.h"

#include <algorithm>
#include <cmath>

#include "fuzzy/engine/fuzzy_math.h"

namespace fuzzy::flat {

namespace {

TFzyFloat InterpolateY(TFzyFloat X1, TFzyFloat Y1, TFzyFloat X2, TFzyFloat Y2, TFzyFloat XValue) {
  if (X2 == X1) return Y2;
  return (XValue - X1) / (X2 - X1) * (Y2 - Y1) + Y1;
}

TFzyFloat InterpolateX(TFzyFloat X1, TFzyFloat Y1, TFzyFloat X2, TFzyFloat Y2, TFzyFloat YValue) {
  if (Y2 == Y1) return X2;
  return (YValue - Y1) / (Y2 - Y1) * (X2 - X1) + X1;
}

// The highest degree among the points that share point Index's X within the tolerance, walking
// from Index by Step: the value at a step or spike.
TFzyFloat HighestAt(TPointsView P, int Index, int Step) {
  TFzyFloat Top = P.Y[Index];
  for (int J = Index + Step; J >= 0 && J < P.Count && FloatEquals(P.X[J], P.X[Index]); J += Step)
    Top = std::max(Top, P.Y[J]);
  return Top;
}

// A set's line on the open interval that the walk crosses next, where Next is the set's next
// point to visit: its first degree before its first point, its last beyond its last point, the
// segment into point Next otherwise.
struct TLine {
  TFzyFloat X1, Y1, X2, Y2;
  bool Flat() const { return Y1 == Y2; }
  TFzyFloat At(TFzyFloat X) const { return Flat() ? Y1 : InterpolateY(X1, Y1, X2, Y2, X); }
};

TLine LineBefore(TPointsView P, int Next) {
  if (Next == 0) return {P.X[0], P.Y[0], P.X[0], P.Y[0]};
  if (Next == P.Count) return {P.X[Next - 1], P.Y[Next - 1], P.X[Next - 1], P.Y[Next - 1]};
  return {P.X[Next - 1], P.Y[Next - 1], P.X[Next], P.Y[Next]};
}

// The degree of P at X, a place the walk visits before P's point Next: on the line into Next, or,
// where X is the place of the points just visited, the highest of them.
TFzyFloat DegreeBefore(TPointsView P, int Next, TFzyFloat X) {
  if (Next > 0 && P.X[Next - 1] == X) {
    TFzyFloat Top = P.Y[Next - 1];
    for (int J = Next - 2; J >= 0 && P.X[J] == X; --J) Top = std::max(Top, P.Y[J]);
    return Top;
  }
  return LineBefore(P, Next).At(X);
}

template <typename TDegree>
void UnionWith(TPointsView A, TPointsView B, TDegree Degree, TPointBuffer& Result) {
  Result.Clear();
  if (A.Count == 0 || B.Count == 0) {
    // A missing set counts as equal to the other one everywhere.
    const TPointsView& Only = A.Count > 0 ? A : B;
    for (int I = 0; I < Only.Count; ++I) Result.Push(Only.X[I], Degree(Only.Y[I], Only.Y[I]));
  } else {
    int I = 0;
    int J = 0;
    TFzyFloat Last = 0;
    while (I < A.Count || J < B.Count) {
      const TFzyFloat Next = I < A.Count && J < B.Count ? std::min(A.X[I], B.X[J]) : (I < A.Count ? A.X[I] : B.X[J]);
      // Between the last place and the next breakpoint both sets are straight: they cross there
      // when their difference changes sign.
      if (Result.Count() > 0 && Next > Last) {
        const TLine LA = LineBefore(A, I);
        const TLine LB = LineBefore(B, J);
        const TFzyFloat D0 = LA.At(Last) - LB.At(Last);
        const TFzyFloat D1 = LA.At(Next) - LB.At(Next);
        if ((D0 < 0 && D1 > 0) || (D0 > 0 && D1 < 0)) {
          const TFzyFloat T = D0 / (D0 - D1);
          const TFzyFloat X = Last + T * (Next - Last);
          const TFzyFloat Y = LB.Flat() ? LB.Y1 : (LA.Flat() ? LA.Y1 : LA.At(X));
          Result.Push(X, Degree(Y, Y));
        }
      }
      if (I < A.Count && J < B.Count && A.X[I] == B.X[J]) {
        Result.Push(A.X[I], Degree(A.Y[I], B.Y[J]));
        ++I;
        ++J;
      } else if (I < A.Count && (J >= B.Count || B.X[J] > A.X[I])) {
        Result.Push(A.X[I], Degree(A.Y[I], DegreeBefore(B, J, A.X[I])));
        ++I;
      } else {
        Result.Push(B.X[J], Degree(DegreeBefore(A, I, B.X[J]), B.Y[J]));
        ++J;
      }
      Last = Next;
    }
  }
  Result.RemoveLevelRuns();
  Result.RemoveDuplicates();
}

}  // namespace

// ---- buffer ------------------------------------------------------------------------------------

void TPointBuffer::Assign(TPointsView Points) {
  Reserve(Points.Count);
  std::copy(Points.X, Points.X + Points.Count, FX.begin());
  std::copy(Points.Y, Points.Y + Points.Count, FY.begin());
  FCount = Points.Count;
}

void TPointBuffer::RemoveLevelRuns() {
  if (FCount == 0) return;
  // Each point either follows the kept ones or, in the middle of a run, replaces the last of them.
  int Kept = 1;
  int Run = 1;
  for (int I = 1; I < FCount; ++I) {
    const std::size_t To = static_cast<std::size_t>(Kept);
    if (FY[To - 1] == FY[static_cast<std::size_t>(I)] && ++Run > 1) {
      FX[To - 1] = FX[static_cast<std::size_t>(I)];
    } else {
      if (FY[To - 1] != FY[static_cast<std::size_t>(I)]) Run = 0;
      FX[To] = FX[static_cast<std::size_t>(I)];
      FY[To] = FY[static_cast<std::size_t>(I)];
      ++Kept;
    }
  }
  if (Kept > 1 && FY[static_cast<std::size_t>(Kept - 2)] == FY[static_cast<std::size_t>(Kept - 1)]) --Kept;
  FCount = Kept;
}

void TPointBuffer::RemoveDuplicates() {
  if (FCount == 0) return;
  int Kept = 1;
  for (int I = 1; I < FCount; ++I) {
    const std::size_t From = static_cast<std::size_t>(I);
    const std::size_t Previous = static_cast<std::size_t>(Kept - 1);
    if (FX[From] == FX[Previous] && FY[From] == FY[Previous]) continue;
    FX[Previous + 1] = FX[From];
    FY[Previous + 1] = FY[From];
    ++Kept;
  }
  FCount = Kept;
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
    if (P.X[I] > Value) return InterpolateY(P.X[I - 1], P.Y[I - 1], P.X[I], P.Y[I], Value);
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
      if ((Y1 < C && C < Y2) || (Y1 > C && C > Y2)) Result.Push(InterpolateX(Term.X[I - 1], Y1, Term.X[I], Y2, C), C);
    }
    Result.Push(Term.X[I], Term.Y[I] > C ? C : Term.Y[I]);
  }
  Result.RemoveDuplicates();
}

void CorrelateProduct(TPointsView Term, TFzyFloat Strength, TPointBuffer& Result) {
  Result.Reserve(Term.Count);
  Result.Clear();
  for (int I = 0; I < Term.Count; ++I) Result.Push(Term.X[I], std::max(0.0, Term.Y[I] * Strength));
  Result.RemoveDuplicates();
}

// ---- union -------------------------------------------------------------------------------------

void Union(TPointsView A, TPointsView B, TFuzzyOperation Operation, TPointBuffer& Result) {
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
