#pragma once
// Refusal of numbers that would break the model's rules: a NaN passes every clamp and comparison
// unchanged, and an infinite range bound or rule strength turns areas and degrees into infinities.
//
//   CheckNumber(Value, "Threshold");   // NaN raises "Invalid Threshold value: NAN"
//   CheckFinite(Value, "Maximum");     // NaN or an infinity raises "Invalid Maximum value: INF"

#include <cmath>

#include "fuzzy/engine/fuzzy_set_values.h"

namespace fuzzy {

// Raises EFzyException (SInvalidPointValue) naming Property when Value is NaN.
inline void CheckNumber(TFzyFloat Value, const char* Property) {
  if (std::isnan(Value)) throw EFzyException(SInvalidPointValue, {Property, FloatToStrF(Value, 4)});
}

// The same for NaN and for both infinities.
inline void CheckFinite(TFzyFloat Value, const char* Property) {
  if (!std::isfinite(Value)) throw EFzyException(SInvalidPointValue, {Property, FloatToStrF(Value, 4)});
}

}  // namespace fuzzy
