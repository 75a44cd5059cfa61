#pragma once
// The numeric helpers every engine algorithm shares: the tolerance of approximate comparisons, and
// arithmetic that stays finite where a difference of two finite coordinates would pass the double
// range.
//
//   FloatEquals(1.0, 1.00005);      // true: within the tolerance 0.0001
//   Fraction(5, 0, 20);             // 0.25: where 5 lies between 0 and 20
//   Lerp(-1e308, 1e308, 0.25);      // -5e307, although 1e308 - -1e308 is not a double
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

namespace fuzzy_math_detail {

// The fallbacks of the helpers below for differences and sums past the double range: out of line,
// so that the common case stays small enough to inline into the walks.
[[gnu::cold, gnu::noinline]] inline TFzyFloat HalvedRatio(TFzyFloat A, TFzyFloat B, TFzyFloat C, TFzyFloat D) {
  return (A / 2 - B / 2) / (C / 2 - D / 2);
}
[[gnu::cold, gnu::noinline]] inline TFzyFloat WideLerp(TFzyFloat A, TFzyFloat B, TFzyFloat T) {
  return A * (1 - T) + B * T;
}
[[gnu::cold, gnu::noinline]] inline TFzyFloat WideStep(TFzyFloat A, TFzyFloat B, TFzyFloat Parts) {
  return B / Parts - A / Parts;
}

}  // namespace fuzzy_math_detail

// (A - B) / (C - D), also when a difference exceeds the double range (halving every operand first
// changes no bit of the quotient).
inline TFzyFloat RatioOfDifferences(TFzyFloat A, TFzyFloat B, TFzyFloat C, TFzyFloat D) {
  const TFzyFloat Part = A - B;
  const TFzyFloat Whole = C - D;
  if (std::isfinite(Part + Whole)) [[likely]]
    return Part / Whole;
  return fuzzy_math_detail::HalvedRatio(A, B, C, D);
}

// Where V lies between A (0) and B (1): (V - A) / (B - A).
inline TFzyFloat Fraction(TFzyFloat V, TFzyFloat A, TFzyFloat B) { return RatioOfDifferences(V, A, B, A); }

// The place a fraction T of the way from A to B: T * (B - A) + A, also when B - A exceeds the
// double range.
inline TFzyFloat Lerp(TFzyFloat A, TFzyFloat B, TFzyFloat T) {
  const TFzyFloat Whole = B - A;
  if (std::isfinite(Whole)) [[likely]]
    return T * Whole + A;
  return fuzzy_math_detail::WideLerp(A, B, T);
}

// (B - A) / Parts, also when B - A exceeds the double range.
inline TFzyFloat StepBetween(TFzyFloat A, TFzyFloat B, TFzyFloat Parts) {
  const TFzyFloat Whole = B - A;
  if (std::isfinite(Whole)) [[likely]]
    return Whole / Parts;
  return fuzzy_math_detail::WideStep(A, B, Parts);
}

// (A + B) / 2, also when the sum exceeds the double range.
inline TFzyFloat Midpoint(TFzyFloat A, TFzyFloat B) {
  const TFzyFloat Sum = A + B;
  if (std::isfinite(Sum)) [[likely]]
    return Sum / 2;
  return A / 2 + B / 2;
}

// The power of two that brings Magnitude (finite, not negative) to at most 1, or 1 for 0: scaling by
// it changes no bit of a result that neither overflows nor underflows.
inline TFzyFloat ScaleToUnit(TFzyFloat Magnitude) {
  return Magnitude > 0 ? std::ldexp(1.0, -(std::ilogb(Magnitude) + 1)) : 1;
}

}  // namespace fuzzy
