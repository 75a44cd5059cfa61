#pragma once
// The numeric helpers every engine algorithm shares.

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

inline int Sign(TFzyFloat X) { return X > 0 ? 1 : (X < 0 ? -1 : 0); }

}  // namespace fuzzy
