#pragma once
// The degree that a combination of two fuzzy sets gives a place where the first set has degree Y1
// and the second Y2: one function per flavour of intersection and of union. The set operations,
// the connectives of rules and the compiled rule evaluator all combine degrees through these.

#include <algorithm>
#include <cmath>

#include "fuzzy/runtime/enum_names.h"
#include "fuzzy/vocabulary/fuzzy_consts.h"

namespace fuzzy {

inline TFzyFloat MinDegree(TFzyFloat Y1, TFzyFloat Y2) { return std::min(Y1, Y2); }
inline TFzyFloat MaxDegree(TFzyFloat Y1, TFzyFloat Y2) { return std::max(Y1, Y2); }
inline TFzyFloat MeanDegree(TFzyFloat Y1, TFzyFloat Y2) { return (Y1 + Y2) / 2; }
inline TFzyFloat MeanSqrDegree(TFzyFloat Y1, TFzyFloat Y2) {
  const TFzyFloat Mean = (Y1 + Y2) / 2;
  return Mean * Mean;
}
inline TFzyFloat MeanSqrtDegree(TFzyFloat Y1, TFzyFloat Y2) { return std::sqrt((Y1 + Y2) / 2); }
inline TFzyFloat UnionMeanDegree(TFzyFloat Y1, TFzyFloat Y2) {
  return (2 * std::min(Y1, Y2) + 4 * std::max(Y1, Y2)) / 6;
}
inline TFzyFloat ProductDegree(TFzyFloat Y1, TFzyFloat Y2) { return Y1 * Y2; }
inline TFzyFloat UnionProductDegree(TFzyFloat Y1, TFzyFloat Y2) { return (Y1 + Y2) - Y1 * Y2; }
inline TFzyFloat IntersectionBoundedSumDegree(TFzyFloat Y1, TFzyFloat Y2) {
  return std::max(0.0, Y1 + Y2 - 1);
}
inline TFzyFloat UnionBoundedSumDegree(TFzyFloat Y1, TFzyFloat Y2) { return std::min(1.0, Y1 + Y2); }
inline TFzyFloat SumDegree(TFzyFloat Y1, TFzyFloat Y2) { return Y1 + Y2; }

using TFuzzyDegreeFunction = TFzyFloat (*)(TFzyFloat Y1, TFzyFloat Y2);

// The degree function of an intersection of kind Operation. foSum, or a value outside the
// enumeration, raises EFzyException (SInvalidFuzzyOperation).
inline TFuzzyDegreeFunction IntersectionDegreeFunction(TFuzzyOperation Operation) {
  switch (Operation) {
    case foZadeh:
      return &MinDegree;
    case foMean:
      return &MeanDegree;
    case foMeanSqr:
      return &MeanSqrDegree;
    case foMeanSqrt:
      return &MeanSqrtDegree;
    case foProduct:
      return &ProductDegree;
    case foBoundedSum:
      return &IntersectionBoundedSumDegree;
    case foSum:
      break;
  }
  throw EFzyException(SInvalidFuzzyOperation, {GetEnumName(Operation)});
}

// The degree function of a union of kind Operation; a value outside the enumeration raises
// EFzyException (SInvalidFuzzyOperation).
inline TFuzzyDegreeFunction UnionDegreeFunction(TFuzzyOperation Operation) {
  switch (Operation) {
    case foZadeh:
      return &MaxDegree;
    case foMean:
      return &UnionMeanDegree;
    case foMeanSqr:
      return &MeanSqrDegree;
    case foMeanSqrt:
      return &MeanSqrtDegree;
    case foProduct:
      return &UnionProductDegree;
    case foBoundedSum:
      return &UnionBoundedSumDegree;
    case foSum:
      return &SumDegree;
  }
  throw EFzyException(SInvalidFuzzyOperation, {GetEnumName(Operation)});
}

// The operation under which an inference method unites (or, unconditionally, intersects) the
// evidence of rules.
inline TFuzzyOperation InferenceOperation(TFuzzyInferenceMethod InferenceMethod) {
  switch (InferenceMethod) {
    case fimMinMax:
      return foZadeh;
    case fimAdditive:
      return foSum;
    case fimMean:
      return foMean;
    case fimProduct:
      return foProduct;
    case fimBoundedSum:
      return foBoundedSum;
  }
  return foZadeh;
}

}  // namespace fuzzy
