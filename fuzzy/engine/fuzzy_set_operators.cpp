// Pairwise combination of fuzzy sets: the general operator, union and intersection with their
// built-in operator functions, the comparison walk, the overlap test and the line routines.

#include <algorithm>
#include <cmath>

#include "fuzzy/engine/fuzzy_math.h"
#include "fuzzy/engine/fuzzy_set.h"
#include "fuzzy/engine/merge_walk.h"
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
  FuzzySet.AppendSetXY(X, Y);
  return false;
}

}  // namespace

// ---- the general operator ----------------------------------------------------------------------

template <typename TAppend>
TFuzzySet* TFuzzySet::Combine(const TFuzzySet* FuzzySet, std::string_view OperatorKeyword,
                              TAppend&& Append) const {
  RequireSet(FuzzySet, "Operator");
  auto CombinedExpression = [&] {
    return Concat({ExpressionOperand(FExpression, FName), " ", OperatorKeyword, " ",
                   ExpressionOperand(FuzzySet->FExpression, FuzzySet->FName)});
  };
  TFuzzySet* Result = CreateResult();
  try {
    Result->SetName(CreateFuzzyName(FName, FuzzySet->FName, OperatorKeyword));
    TFuzzySetValues& Points = Result->Values();
    // Every breakpoint of either set, and about one crossing per pair of breakpoints.
    Points.Reserve(2 * (FValues->Count() + FuzzySet->FValues->Count()));
    TUpdateBracket Bracket(Points);
    const bool Stopped =
        MergeWalk(TPoints(*this), TPoints(*FuzzySet),
                  [&Points, &Append](TFzyFloat X1, TFzyFloat Y1, TFzyFloat X2, TFzyFloat Y2) {
                    return Append(Points, X1, Y1, X2, Y2);
                  });
    if (!Stopped) RemoveLevelRuns(Points);
  } catch (...) {
    // A result in this set's collection belongs to it and stays; a free-standing one would be lost.
    if (!Result->Collection()) {
      Result->Free();
      throw;
    }
    Result->FExpression = CombinedExpression();
    throw;
  }
  // Set after the update bracket closed: its change notification clears the expression.
  Result->FExpression = CombinedExpression();
  return Result;
}

template <TFuzzySet::TFuzzyOperatorFunction& Function>
TFuzzySet* TFuzzySet::Combine(const TFuzzySet* FuzzySet, std::string_view OperatorKeyword) const {
  return Combine(FuzzySet, OperatorKeyword,
                 [](TFuzzySetValues& Points, TFzyFloat X1, TFzyFloat Y1, TFzyFloat X2, TFzyFloat Y2) {
                   return Function(Points, X1, Y1, X2, Y2);
                 });
}

TFuzzySet* TFuzzySet::Operator(const TFuzzySet* FuzzySet, const std::string& OperatorKeyword,
                               const TFuzzyOperator& FuzzyOperator) const {
  RequireFunction(FuzzyOperator, "Operator");
  return Combine(FuzzySet, OperatorKeyword, FuzzyOperator);
}

std::string TFuzzySet::ExpressionOperand(const std::string& Expression, const std::string& Name) {
  return FormatFuzzyExpression(Expression.empty() ? Name : Expression);
}

void TFuzzySet::RemoveLevelRuns(TFuzzySetValues& Values) {
  int Run = 1;
  for (int I = 1; I < Values.Count();) {
    if (FloatEquals(Values.Point(I - 1)->Y(), Values.Point(I)->Y())) {
      ++Run;
      if (Run <= 1)
        ++I;
      else
        Values.Delete(I - 1);
    } else {
      ++I;
      Run = 0;
    }
  }
  const int N = Values.Count();
  if (N > 1 && FloatEquals(Values.Point(N - 2)->Y(), Values.Point(N - 1)->Y())) Values.Delete(N - 1);
}

bool TFuzzySet::Iterate(const TFuzzySet* FuzzySet, const TFuzzyComparison& FuzzyOperator) const {
  RequireSet(FuzzySet, "Iterate");
  RequireFunction(FuzzyOperator, "Iterate");
  return IteratePoints(TPoints(*this), TPoints(*FuzzySet), FuzzyOperator);
}

// ---- union and intersection --------------------------------------------------------------------

TFuzzySet* TFuzzySet::Intersection(const TFuzzySet* FuzzySet) const {
  return Combine<FuzzyOperatorMin>(FuzzySet, FuzzyIntersectionKeywords[foZadeh]);
}

TFuzzySet* TFuzzySet::Union(const TFuzzySet* FuzzySet) const {
  return Combine<FuzzyOperatorMax>(FuzzySet, FuzzyUnionKeywords[foZadeh]);
}

TFuzzySet* TFuzzySet::Intersection(const TFuzzySet* FuzzySet, TFuzzyOperation IntersectionType) const {
  return VisitIntersection(IntersectionType,
                           [&]<TFuzzyOperatorFunction & Function>(std::string_view Keyword) {
                             return Combine<Function>(FuzzySet, Keyword);
                           });
}

TFuzzySet* TFuzzySet::Union(const TFuzzySet* FuzzySet, TFuzzyOperation UnionType) const {
  return VisitUnion(UnionType, [&]<TFuzzyOperatorFunction & Function>(std::string_view Keyword) {
    return Combine<Function>(FuzzySet, Keyword);
  });
}

bool TFuzzySet::FuzzyOperatorMin(TFuzzySetValues& FuzzySet, TFzyFloat X1, TFzyFloat Y1, TFzyFloat,
                                 TFzyFloat Y2) {
  return AppendPoint(FuzzySet, X1, std::min(Y1, Y2));
}

bool TFuzzySet::FuzzyOperatorMax(TFuzzySetValues& FuzzySet, TFzyFloat X1, TFzyFloat Y1, TFzyFloat,
                                 TFzyFloat Y2) {
  return AppendPoint(FuzzySet, X1, std::max(Y1, Y2));
}

bool TFuzzySet::FuzzyOperatorMean(TFuzzySetValues& FuzzySet, TFzyFloat X1, TFzyFloat Y1, TFzyFloat,
                                  TFzyFloat Y2) {
  return AppendPoint(FuzzySet, X1, (Y1 + Y2) / 2);
}

bool TFuzzySet::FuzzyOperatorMeanSqr(TFuzzySetValues& FuzzySet, TFzyFloat X1, TFzyFloat Y1, TFzyFloat,
                                     TFzyFloat Y2) {
  const TFzyFloat Mean = (Y1 + Y2) / 2;
  return AppendPoint(FuzzySet, X1, Mean * Mean);
}

bool TFuzzySet::FuzzyOperatorMeanSqrt(TFuzzySetValues& FuzzySet, TFzyFloat X1, TFzyFloat Y1, TFzyFloat,
                                      TFzyFloat Y2) {
  return AppendPoint(FuzzySet, X1, std::sqrt((Y1 + Y2) / 2));
}

bool TFuzzySet::FuzzyOperatorUnionMean(TFuzzySetValues& FuzzySet, TFzyFloat X1, TFzyFloat Y1, TFzyFloat,
                                       TFzyFloat Y2) {
  return AppendPoint(FuzzySet, X1, (2 * std::min(Y1, Y2) + 4 * std::max(Y1, Y2)) / 6);
}

bool TFuzzySet::FuzzyOperatorIntersectionProduct(TFuzzySetValues& FuzzySet, TFzyFloat X1, TFzyFloat Y1,
                                                 TFzyFloat, TFzyFloat Y2) {
  return AppendPoint(FuzzySet, X1, Y1 * Y2);
}

bool TFuzzySet::FuzzyOperatorUnionProduct(TFuzzySetValues& FuzzySet, TFzyFloat X1, TFzyFloat Y1, TFzyFloat,
                                          TFzyFloat Y2) {
  return AppendPoint(FuzzySet, X1, (Y1 + Y2) - Y1 * Y2);
}

bool TFuzzySet::FuzzyOperatorIntersectionBoundedSum(TFuzzySetValues& FuzzySet, TFzyFloat X1, TFzyFloat Y1,
                                                    TFzyFloat, TFzyFloat Y2) {
  return AppendPoint(FuzzySet, X1, std::max(0.0, Y1 + Y2 - 1));
}

bool TFuzzySet::FuzzyOperatorUnionBoundedSum(TFuzzySetValues& FuzzySet, TFzyFloat X1, TFzyFloat Y1, TFzyFloat,
                                             TFzyFloat Y2) {
  return AppendPoint(FuzzySet, X1, std::min(1.0, Y1 + Y2));
}

bool TFuzzySet::FuzzyOperatorUnionSum(TFuzzySetValues& FuzzySet, TFzyFloat X1, TFzyFloat Y1, TFzyFloat,
                                      TFzyFloat Y2) {
  return AppendPoint(FuzzySet, X1, Y1 + Y2);
}

// ---- overlap and line routines -----------------------------------------------------------------

bool TFuzzySet::Intersects(const TFuzzySet* FuzzySet) const {
  RequireSet(FuzzySet, "Intersects");
  return PointsIntersect(TPoints(*this), TPoints(*FuzzySet));
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
