// Pairwise combination of fuzzy sets: the general operator, union and intersection with their
// built-in operator functions, the comparison walk, the overlap test and the line routines.

#include <algorithm>
#include <cmath>

#include "fuzzy/engine/fuzzy_math.h"
#include "fuzzy/engine/fuzzy_set.h"
#include "fuzzy/engine/internal/merge_walk.h"
#include "fuzzy/engine/internal/point_batch.h"
#include "fuzzy/runtime/update_bracket.h"

namespace fuzzy {

namespace {

void RequireSet(const TFuzzySet* FuzzySet, std::string_view Operation) {
  if (!FuzzySet) throw EFzyException(SMissingArgument, {Operation, "Fuzzy set"});
}

template <typename TFunction>
void RequireFunction(const TFunction& Function, std::string_view Operation) {
  if (!Function) throw EFzyException(SMissingArgument, {Operation, "Operator function"});
}

bool AppendPoint(TFuzzySetValues& FuzzySet, TFzyFloat X, TFzyFloat Y) {
  FuzzySet.Add(X, Y);
  return false;
}

}  // namespace

// ---- the general operator ----------------------------------------------------------------------

template <typename TFill>
TFuzzySet* TFuzzySet::CombineInto(const TFuzzySet* FuzzySet, std::string_view OperatorKeyword,
                                  TFill&& Fill) const {
  RequireSet(FuzzySet, "Operator");
  TFuzzySet* Result = CreateResult();
  try {
    FillCombination(*Result, FuzzySet->FName, FuzzySet->FExpression, OperatorKeyword, Fill);
  } catch (...) {
    // A result in this set's collection belongs to it and stays; a free-standing one would be lost.
    if (!Result->Collection()) Result->Free();
    throw;
  }
  return Result;
}

TFuzzySet* TFuzzySet::Operator(const TFuzzySet* FuzzySet, const std::string& OperatorKeyword,
                               const TFuzzyOperator& FuzzyOperator) const {
  RequireFunction(FuzzyOperator, "Operator");
  return CombineInto(FuzzySet, OperatorKeyword, [&](TFuzzySetValues& Points) {
    WalkByCallback(Points, TPoints(*this), TPoints(*FuzzySet), FuzzyOperator);
  });
}

void TFuzzySet::RemoveLevelRuns(TFuzzySetValues& Values) { internal::TPointBatch::RemoveLevelRuns(Values); }

bool TFuzzySet::Iterate(const TFuzzySet* FuzzySet, const TFuzzyComparison& FuzzyOperator) const {
  RequireSet(FuzzySet, "Iterate");
  RequireFunction(FuzzyOperator, "Iterate");
  return IteratePoints(TPoints(*this), TPoints(*FuzzySet), FuzzyOperator);
}

// ---- union and intersection --------------------------------------------------------------------

template <TFuzzySet::TDegreeFunction& Degree>
TFuzzySet* TFuzzySet::CombineBuiltIn(const TFuzzySet* FuzzySet, std::string_view OperatorKeyword) const {
  RequireSet(FuzzySet, "Operator");
  TWalkedPoints Walked = WalkBuiltIn<Degree>(TPoints(*this), TPoints(*FuzzySet));
  return CombineInto(FuzzySet, OperatorKeyword, [&](TFuzzySetValues& Points) { Walked.AppendTo(Points); });
}

TFuzzySet* TFuzzySet::Intersection(const TFuzzySet* FuzzySet) const {
  return CombineBuiltIn<MinDegree>(FuzzySet, FuzzyIntersectionKeywords[foZadeh]);
}

TFuzzySet* TFuzzySet::Union(const TFuzzySet* FuzzySet) const {
  return CombineBuiltIn<MaxDegree>(FuzzySet, FuzzyUnionKeywords[foZadeh]);
}

TFuzzySet* TFuzzySet::Intersection(const TFuzzySet* FuzzySet, TFuzzyOperation IntersectionType) const {
  return VisitIntersection(IntersectionType, [&]<TDegreeFunction & Degree>(std::string_view Keyword) {
    return CombineBuiltIn<Degree>(FuzzySet, Keyword);
  });
}

TFuzzySet* TFuzzySet::Union(const TFuzzySet* FuzzySet, TFuzzyOperation UnionType) const {
  return VisitUnion(UnionType, [&]<TDegreeFunction & Degree>(std::string_view Keyword) {
    return CombineBuiltIn<Degree>(FuzzySet, Keyword);
  });
}

TFuzzySet::TWalkedPoints TFuzzySet::WalkIntersection(const TFuzzySet& FuzzySet, TFuzzyOperation Operation) const {
  return VisitIntersection(Operation, [&]<TDegreeFunction & Degree>(std::string_view) {
    return WalkBuiltIn<Degree>(TPoints(*this), TPoints(FuzzySet));
  });
}

TFuzzySet::TWalkedPoints TFuzzySet::WalkUnion(const TFuzzySet& FuzzySet, TFuzzyOperation Operation) const {
  return VisitUnion(Operation, [&]<TDegreeFunction & Degree>(std::string_view) {
    return WalkBuiltIn<Degree>(TPoints(*this), TPoints(FuzzySet));
  });
}


#define FUZZY_BUILT_IN_OPERATOR(Operator, Degree)                                                        \
  bool TFuzzySet::Operator(TFuzzySetValues& FuzzySet, TFzyFloat X1, TFzyFloat Y1, TFzyFloat, TFzyFloat Y2) { \
    return AppendPoint(FuzzySet, X1, Degree(Y1, Y2));                                                    \
  }
FUZZY_BUILT_IN_OPERATOR(FuzzyOperatorMin, MinDegree)
FUZZY_BUILT_IN_OPERATOR(FuzzyOperatorMax, MaxDegree)
FUZZY_BUILT_IN_OPERATOR(FuzzyOperatorMean, MeanDegree)
FUZZY_BUILT_IN_OPERATOR(FuzzyOperatorMeanSqr, MeanSqrDegree)
FUZZY_BUILT_IN_OPERATOR(FuzzyOperatorMeanSqrt, MeanSqrtDegree)
FUZZY_BUILT_IN_OPERATOR(FuzzyOperatorUnionMean, UnionMeanDegree)
FUZZY_BUILT_IN_OPERATOR(FuzzyOperatorIntersectionProduct, ProductDegree)
FUZZY_BUILT_IN_OPERATOR(FuzzyOperatorUnionProduct, UnionProductDegree)
FUZZY_BUILT_IN_OPERATOR(FuzzyOperatorIntersectionBoundedSum, IntersectionBoundedSumDegree)
FUZZY_BUILT_IN_OPERATOR(FuzzyOperatorUnionBoundedSum, UnionBoundedSumDegree)
FUZZY_BUILT_IN_OPERATOR(FuzzyOperatorUnionSum, SumDegree)
#undef FUZZY_BUILT_IN_OPERATOR

// ---- overlap and line routines -----------------------------------------------------------------

bool TFuzzySet::Intersects(const TFuzzySet* FuzzySet) const {
  RequireSet(FuzzySet, "Intersects");
  return PointsIntersect(TPoints(*this), TPoints(*FuzzySet));
}

bool TFuzzySet::LineSegmentIntersectsScaled(TFzyFloat X1, TFzyFloat Y1, TFzyFloat X2, TFzyFloat Y2, TFzyFloat X3,
                                            TFzyFloat Y3, TFzyFloat X4, TFzyFloat Y4, TFzyFloat& X, TFzyFloat& Y) {
  auto Largest = [](std::initializer_list<TFzyFloat> Values) {
    TFzyFloat Result = 0;
    for (TFzyFloat V : Values) Result = std::max(Result, std::fabs(V));
    return Result;
  };
  const TFzyFloat SX = ScaleToUnit(Largest({X1, X2, X3, X4}));
  const TFzyFloat SY = ScaleToUnit(Largest({Y1, Y2, Y3, Y4}));
  // Not finite at unit scale: the coordinates are not finite themselves.
  if (!std::isfinite(SX * X1 + SX * X2 + SX * X3 + SX * X4 + SY * Y1 + SY * Y2 + SY * Y3 + SY * Y4)) return false;
  if (!LineSegmentIntersects(X1 * SX, Y1 * SY, X2 * SX, Y2 * SY, X3 * SX, Y3 * SY, X4 * SX, Y4 * SY, X, Y))
    return false;
  X /= SX;
  Y /= SY;
  return std::isfinite(X) && std::isfinite(Y);
}

TOwned<TFuzzySetValue> TFuzzySet::LineSegmentIntersects(const TFuzzySetValue& P1, const TFuzzySetValue& P2,
                                                        const TFuzzySetValue& P3, const TFuzzySetValue& P4) {
  TFzyFloat X = 0;
  TFzyFloat Y = 0;
  if (!LineSegmentIntersects(P1.X(), P1.Y(), P2.X(), P2.Y(), P3.X(), P3.Y(), P4.X(), P4.Y(), X, Y))
    return nullptr;
  TOwned<TFuzzySetValue> Crossing = Adopt(New<TFuzzySetValue>(nullptr));
  Crossing->SetValue(X, Y);
  return Crossing;
}

TFzyFloat TFuzzySet::GetSlope(const TFuzzySetValue& P1, const TFuzzySetValue& P2) {
  const TFzyFloat Rise = P2.Y() - P1.Y();
  if (FloatEquals(P2.X(), P1.X())) return Sign(Rise);
  return Rise / (P2.X() - P1.X());
}

// ---- cursor routines ---------------------------------------------------------------------------

void NextPoint(TFuzzySetValue& Current, TFuzzySetValue& Previous, int& Index, const TFuzzySetValues& Values,
               TFzyFloat DefaultX) {
  Previous.Assign(&Current);
  ++Index;
  if (Index < Values.Count())
    Current.Assign(Values.Items(Index));
  else
    Current.SetX(DefaultX);
}

void AddAndIncrement(TFuzzySet& FuzzySet, TFuzzySetValue& Current, TFuzzySetValue& Previous,
                     TFuzzySetValue& OtherPrevious, int& Index, TFzyFloat A, TFzyFloat B,
                     const TFuzzySetValues& Values, TFzyFloat DefaultX, bool Flag) {
  if (Flag ? A >= B : A < B) FuzzySet.Values().Add()->Assign(&Current);
  NextPoint(Current, Previous, Index, Values, DefaultX);
  if (A == B) OtherPrevious.Assign(&Previous);
}

void Add1AndIncrement2(TFuzzySet& FuzzySet, TFuzzySetValue& Current1, TFuzzySetValue& Current2,
                       TFuzzySetValue& Previous1, TFuzzySetValue& Previous2, int& Index1, int& Index2,
                       TFzyFloat A, TFzyFloat B, const TFuzzySetValues& Values1,
                       const TFuzzySetValues& Values2, TFzyFloat DefaultX, bool Flag) {
  AddAndIncrement(FuzzySet, Current1, Previous1, Previous2, Index1, A, B, Values1, DefaultX, Flag);
  NextPoint(Current2, Previous2, Index2, Values2, DefaultX);
}

}  // namespace fuzzy
