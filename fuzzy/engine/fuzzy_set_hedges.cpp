#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "fuzzy/engine/fuzzy_set.h"
#include "fuzzy/engine/internal/point_batch.h"
#include "fuzzy/runtime/update_bracket.h"

namespace fuzzy {

namespace {

// Raised by the "/" operator with 0: the degrees or X values would become infinite or undefined.
constexpr std::string_view SHedgeDivisionByZero = "Invalid hedge operation: division by zero";

// The point count the hedges resample the set to before they reshape it.
constexpr int HedgePointCount = 7;
// The number of points an approximation is sampled at, over the whole X range.
constexpr int ApproximationPointCount = 50;
// The distance scale of an approximation when the set or the range has no width to measure by.
constexpr TFzyFloat DefaultApproximationScale = 0.2;

using internal::TPointBatch;

// Writes Change(point's Y) to every point's Y inside one update bracket of the list.
template <typename F>
void ChangeEachY(TFuzzySetValues& Values, F Change) {
  TUpdateBracket Bracket(Values);
  for (int I = 0; I < Values.Count(); ++I) TPointBatch::WriteY(Values, I, Change(Values.Point(I)->Y()));
}

// One coordinate V after the arithmetic operator with Value. The power touches only degrees
// strictly between 0 and 1, or only positive X values, so it never takes the root of a negative.
TFzyFloat ApplyOperator(TBaseFuzzyHedge ModifyType, TFzyFloat V, TFzyFloat Value, bool ModifyY) {
  switch (ModifyType) {
    case bfhAdd:
      return V + Value;
    case bfhSubtract:
      return V - Value;
    case bfhMultiply:
      return V * Value;
    case bfhDivide:
      return V / Value;
    case bfhPower: {
      const bool InDomain = ModifyY ? (V > 0 && V < 1) : V > 0;
      return InDomain ? std::pow(V, Value) : V;
    }
    case bfhCutLess:
      return V < Value ? Value : V;
    case bfgCutLessEq:
      return V <= Value ? Value : V;
    case bfhCutGreater:
      return V > Value ? Value : V;
    case bfhCutGreaterEq:
      return V >= Value ? Value : V;
  }
  return V;
}

// "not": every degree becomes its complement.
void Complement(TFuzzySetValues& Values) {
  ChangeEachY(Values, [](TFzyFloat Y) { return 1 - Y; });
}

// The peak for "above" (FromLeft) and "below": the highest degree met first from that side, where
// a later equal degree takes over and a degree of exactly 1 ends the search.
int FindPeak(const TFuzzySetValues& Values, bool FromLeft) {
  const int N = Values.Count();
  int Peak = FromLeft ? 0 : N - 1;
  TFzyFloat Highest = 0;
  for (int Step = 0; Step < N; ++Step) {
    const int I = FromLeft ? Step : N - 1 - Step;
    const TFzyFloat Y = Values.Point(I)->Y();
    if (Y >= Highest) {
      Highest = Y;
      Peak = I;
    }
    if (Y == 1) break;
  }
  return Peak;
}

// "above" (FromLeft) and "below": nothing up to the peak from that side, the complement beyond it.
// An empty set too goes through the bracket, whose closing notification clears the expression.
void BeyondPeak(TFuzzySetValues& Values, bool FromLeft) {
  TUpdateBracket Bracket(Values);
  if (Values.Count() == 0) return;
  const int Peak = FindPeak(Values, FromLeft);
  for (int I = 0; I < Values.Count(); ++I) {
    const bool UpToPeak = FromLeft ? I <= Peak : I >= Peak;
    TPointBatch::WriteY(Values, I, UpToPeak ? 0 : 1 - Values.Point(I)->Y());
  }
}

// A free-standing working copy of Set whose point list stays in update mode until it is freed, so
// that the hedges applied to it neither clean up nor notify anyone.
TOwned<TFuzzySet> WorkingCopy(const TFuzzySet& Set) {
  TOwned<TFuzzySet> Copy = MakeOwned<TFuzzySet>(nullptr);
  Copy->Values().BeginUpdate();
  Copy->Assign(&Set);
  return Copy;
}

// "slightly": positively(normalize(plus S and not very S)). The working sets stand outside the
// set's collection, so the variable never sees them; the collection still reports the change once.
void Slightly(TFuzzySet& Set) {
  // Normalizing the empty intersection of an empty set would raise after the collection's bracket
  // reported a change: raised first.
  if (Set.Values().Count() == 0) throw EFzyException(SFuzzySetEmpty, {"Get Maximum Y Value"});
  std::optional<TUpdateBracket> CollectionBracket;
  if (TCollection* Owner = Set.Collection()) CollectionBracket.emplace(*Owner);
  // Declared after the bracket, so they are freed before it closes.
  TOwned<TFuzzySet> NotVery = WorkingCopy(Set);
  NotVery->Hedge(fhVery)->Hedge(fhNot);
  TOwned<TFuzzySet> Plus = WorkingCopy(Set);
  Plus->Hedge(fhPlus);
  TOwned<TFuzzySet> Both = Adopt(Plus->Intersection(NotVery.get()));
  Both->Hedge(fhNormalize)->Hedge(fhPositively);
  Set.SetValues(&Both->Values());
}

}  // namespace

TFuzzySet* TFuzzySet::Hedge(TFuzzyHedge HedgeType) {
  // A value outside the enumeration names no hedge.
  if (HedgeType > fhGenerally) throw EListError(SListIndexError, {static_cast<int>(HedgeType)});
  const std::string NewName = CreateFuzzyName(HedgeType, FName.Text());
  const TFzyFloat Modifier = HedgeModifiers[HedgeType];
  switch (HedgeType) {
    case fhNot:
      Complement(*FValues);
      break;
    case fhSomewhat:
    case fhMoreOrLess:
    case fhGreatly:
    case fhPlus:
    case fhVery:
    case fhExtremely:
      Intensify(HedgePointCount, Modifier);
      break;
    case fhAbove:
      BeyondPeak(*FValues, true);
      break;
    case fhBelow:
      BeyondPeak(*FValues, false);
      break;
    case fhSlightly:
      Slightly(*this);
      break;
    case fhNormalize:
      Normalize();
      break;
    case fhAbout:
    case fhVicinity:
    case fhClose:
    case fhNear:
    case fhNeighboring:
      FuzzyApproximation(HedgePointCount, Modifier);
      break;
    case fhPositively:
    case fhAbsolutely:
    case fhDefinitely:
    case fhGenerally:
      FuzzyContrast(HedgePointCount, Modifier);
      break;
  }
  SetName(NewName);
  FExpression = FExpression.Empty() ? FormatFuzzyExpression(FName.Text())
                                    : CreateFuzzyName(HedgeType, FormatFuzzyExpression(FExpression.Text()));
  return this;
}

TFuzzySet* TFuzzySet::Hedge(TBaseFuzzyHedge ModifyType, TFzyFloat Value, bool ModifyY) {
  // A value outside the enumeration names no operator.
  if (ModifyType > bfhCutGreaterEq) throw EListError(SListIndexError, {static_cast<int>(ModifyType)});
  // Checked before any point changes: a non-finite operand could turn a coordinate into NaN.
  if (!std::isfinite(Value)) throw EFzyException(SInvalidPointValue, {"hedge", FloatToStrF(Value, 4)});
  if (ModifyType == bfhDivide && Value == 0) throw EFzyException(SHedgeDivisionByZero);
  auto Changed = [&](int I) {
    const TFuzzySetValue* P = FValues->Point(I);
    return ApplyOperator(ModifyType, ModifyY ? P->Y() : P->X(), Value, ModifyY);
  };
  // Every new coordinate of an arithmetic operator is worked out first, so that one beyond the double
  // range is refused before any is written; the cuts only move a coordinate to Value.
  if (ModifyType <= bfhPower)
    for (int I = 0; I < FValues->Count(); ++I) internal::CheckFinite(Changed(I), ModifyY ? "Y" : "X");
  WithinUpdate(*FValues, [&] {
    for (int I = 0; I < FValues->Count(); ++I) {
      if (ModifyY)
        TPointBatch::WriteY(*FValues, I, Changed(I));
      else
        TPointBatch::WriteX(*FValues, I, Changed(I));
    }
  });
  SetDerivedName(TDeferredText::HedgedName(FName, ModifyType, ModifyY, Value));
  FExpression = TDeferredText::HedgedExpression(ModifyType, ModifyY, FExpression);
  return this;
}

TFuzzySet* TFuzzySet::Normalize() {
  const TFzyFloat Max = FValues->GetMaxValue();
  if (Max == 0) return this;
  // Dividing (rather than multiplying by 1/Max) keeps the peak exactly 1 and cannot overflow.
  ChangeEachY(*FValues, [Max](TFzyFloat Y) { return Y / Max; });
  return this;
}

void TFuzzySet::Intensify(int Count, TFzyFloat Exponent) {
  TUpdateBracket Bracket(*FValues);
  FValues->Expand(Count);
  Hedge(bfhPower, Exponent, true);
}

void TFuzzySet::FuzzyContrast(int Count, TFzyFloat Exponent) {
  TUpdateBracket Bracket(*FValues);
  FValues->Expand(Count);
  for (int I = 0; I < FValues->Count(); ++I) {
    const TFzyFloat Degree = FValues->Point(I)->Y();
    if (Exponent < 1 && Degree <= 0) continue;
    // A degree above 1 counts as 1: a root of 1 - Y would otherwise be taken of a negative number.
    const TFzyFloat Y = std::min<TFzyFloat>(Degree, 1);
    if (Y < 0.5)
      TPointBatch::WriteY(*FValues, I, std::min<TFzyFloat>(Exponent * std::pow(Y, Exponent), 1));
    else
      TPointBatch::WriteY(*FValues, I, std::max<TFzyFloat>(1 - Exponent * std::pow(1 - Y, Exponent), 0));
  }
}

void TFuzzySet::FuzzyApproximation(int Count, TFzyFloat Exponent) {
  // Nothing to spread: an empty set stays empty.
  if (FValues->Count() == 0) return;
  TUpdateBracket Bracket(*FValues);
  FValues->Expand(Count);
  const TFzyFloat Minimum = XMinimum();
  const TFzyFloat Maximum = XMaximum();
  const TFzyFloat FirstX = FValues->Point(0)->X();
  const TFzyFloat LastX = FValues->Point(FValues->Count() - 1)->X();
  const TFzyFloat Scale = LastX == FirstX || !(Maximum > Minimum)
                              ? DefaultApproximationScale
                              : RatioOfDifferences(LastX, FirstX, Maximum, Minimum);

  // The samples stand outside the set so that their X values are not clamped.
  TOwned<TFuzzySetValues> Samples = MakeOwned<TFuzzySetValues>(nullptr);
  Samples->Add(Minimum, 0);
  Samples->Add(Maximum, 0);
  Samples->Expand(ApproximationPointCount);
  {
    // Samples closer than the tolerance must not merge while they are walked.
    TUpdateBracket SamplesBracket(*Samples);
    for (const TFuzzySetValue* Centre : *FValues) {
      if (Centre->Y() <= 0) continue;
      for (int I = 0; I < Samples->Count(); ++I) {
        const TFuzzySetValue* Sample = Samples->Point(I);
        // Halved and doubled again (which changes no bit), so that a distance across more than the
        // double range stays a number.
        const TFzyFloat Distance = std::fabs(Sample->X() / 2 - Centre->X() / 2) * Scale * 2;
        const TFzyFloat Bell = Centre->Y() / (1 + std::pow(Distance, Exponent));
        if (Bell > Sample->Y()) TPointBatch::WriteY(*Samples, I, Bell);
      }
    }
  }
  FValues->Assign(Samples.get());
  Normalize();
}

}  // namespace fuzzy
