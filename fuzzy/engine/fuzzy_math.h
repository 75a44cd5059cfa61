#pragma once
// The numeric helpers every engine algorithm shares.
//
// The tolerance is held in extended precision and the comparisons are defined in it. Most
// comparisons are far from the tolerance either way; those are decided in double arithmetic,
// which gives the same answer there, and only the rest pay for extended precision.

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "fuzzy/vocabulary/fuzzy_consts.h"

namespace fuzzy {

// The absolute tolerance of approximate comparisons, held in extended precision.
inline constexpr long double FuzzyTolerance = 0.0001L;

namespace fuzzy_math_detail {

// The smallest double above FuzzyTolerance (which no double equals): for a double D,
// D < FuzzyTolerance exactly when D < ToleranceAbove.
inline constexpr double ToleranceAbove = [] {
  const double Nearest = static_cast<double>(FuzzyTolerance);
  return Nearest > FuzzyTolerance ? Nearest : std::bit_cast<double>(std::bit_cast<std::uint64_t>(Nearest) + 1);
}();
static_assert(ToleranceAbove > FuzzyTolerance);

// Distances below Near are within the tolerance, distances above Far outside it, whatever the
// rounding of the double subtraction; in between, extended precision decides.
inline constexpr double Near = 0.9e-4;
inline constexpr double Far = 1.1e-4;
// Beyond this magnitude extended precision rounds the tolerance itself coarsely: no shortcut.
inline constexpr double Coarse = 1e13;

// A lies within the tolerance of B, in extended precision.
inline bool ExtendedEquals(TFzyFloat A, TFzyFloat B) {
  const long double LA = A;
  const long double LB = B;
  return LB - FuzzyTolerance <= LA && LA <= LB + FuzzyTolerance;
}

}  // namespace fuzzy_math_detail

// True when A lies within the tolerance of B, both bounds inclusive; false when either is NaN.
inline bool FloatEquals(TFzyFloat A, TFzyFloat B) {
  using namespace fuzzy_math_detail;
  const double Distance = std::fabs(A - B);
  if (Distance < Near) return true;
  if (Distance > Far && std::fabs(A) < Coarse && std::fabs(B) < Coarse) return false;
  return ExtendedEquals(A, B);
}

// X lies within the X span of the segment from X1 to X2, give or take the tolerance.
inline bool WithinSpan(TFzyFloat X, TFzyFloat X1, TFzyFloat X2) {
  const TFzyFloat Low = std::min(X1, X2);
  const TFzyFloat High = std::max(X1, X2);
  if (Low <= X && X <= High) return true;
  return FloatEquals(X, X < Low ? Low : High);
}

// |D| lies strictly within the tolerance.
inline bool WithinTolerance(TFzyFloat D) { return std::fabs(D) < fuzzy_math_detail::ToleranceAbove; }

// Both coordinate differences lie strictly within the tolerance.
inline bool IsSinglePoint(TFzyFloat DX, TFzyFloat DY) { return WithinTolerance(DY) && WithinTolerance(DX); }

inline int Sign(TFzyFloat X) { return X > 0 ? 1 : (X < 0 ? -1 : 0); }

}  // namespace fuzzy
