#pragma once
// Refusal of NaN for the model's numeric properties (ranges, thresholds): a NaN would pass every
// clamp and comparison unchanged and silently break the range and threshold rules.

#include <cmath>

#include "fuzzy/engine/fuzzy_set_values.h"

namespace fuzzy {

// Raises EFzyException (SInvalidPointValue) naming Property when Value is NaN.
inline void CheckNumber(TFzyFloat Value, const char* Property) {
  if (std::isnan(Value)) throw EFzyException(SInvalidPointValue, {Property, FloatToStrF(Value, 4)});
}

}  // namespace fuzzy
