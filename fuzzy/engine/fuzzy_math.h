#pragma once
// The numeric helpers every engine algorithm shares.

#include <algorithm>
#include <cmath>

#include "fuzzy/vocabulary/fuzzy_consts.h"

namespace fuzzy {

// The absolute tolerance of approximate comparisons, held in extended precision.
inline constexpr long double FuzzyTolerance = 0.0001L;

// True when A lies within the tolerance of B, both bounds inclusive; false when either is NaN.
inline bool FloatEquals(TFzyFloat A, TFzyFloat B) {
  const long double LA = A;
  const long double LB = B;
  return LB - FuzzyTolerance <= LA && LA <= LB + FuzzyTolerance;
}

// X lies within the X span of the segment from X1 to X2, give or take the tolerance.
inline bool WithinSpan(TFzyFloat X, TFzyFloat X1, TFzyFloat X2) {
  const long double Low = std::min(X1, X2);
  const long double High = std::max(X1, X2);
  return Low - FuzzyTolerance <= X && X <= High + FuzzyTolerance;
}

// Both coordinate differences lie strictly within the tolerance.
inline bool IsSinglePoint(TFzyFloat DX, TFzyFloat DY) {
  return std::fabs(DY) < FuzzyTolerance && std::fabs(DX) < FuzzyTolerance;
}

inline int Sign(TFzyFloat X) { return X > 0 ? 1 : (X < 0 ? -1 : 0); }

}  // namespace fuzzy
