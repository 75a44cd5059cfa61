#include "fuzzy/engine/fuzzy_set.h"

#include "fuzzy/engine/fuzzy_math.h"
#include "fuzzy/engine/internal/merge_walk.h"
#include "fuzzy/engine/internal/point_batch.h"
#include "fuzzy/runtime/update_bracket.h"

#include <algorithm>
#include <typeinfo>
#include <utility>

namespace fuzzy {

// ---- construction and destruction --------------------------------------------------------------

void TFuzzySet::AfterConstruction() {
  // The point list exists before the set joins its collection, so that the collection's added
  // notification meets a complete set.
  FValues = CreateValues();
  TFuzzySetValuesOwner::AfterConstruction();
  if (const TFuzzyLogicContext* Logic = LogicContext()) FDefined = Logic->IsDesigning();
}

void TFuzzySet::BeforeDestruction() {
  // Leaves the collection (its extracting notification sees the whole set), then frees the points.
  TFuzzySetValuesOwner::BeforeDestruction();
  FreeObject(std::exchange(FValues, nullptr));
}

TFuzzySetValues* TFuzzySet::CreateValues() { return New<TFuzzySetValues>(this); }

namespace {

const TFuzzyVariableContext* VariableOf(const TCollection* Collection) {
  return Collection ? dynamic_cast<const TFuzzyVariableContext*>(Collection->Owner()) : nullptr;
}

}  // namespace

void TFuzzySet::SetCollection(TCollection* Value) {
  // Forget the variable: the collection it was found through may be gone by the next lookup.
  FVariableCollection = nullptr;
  FVariable = nullptr;
  TFuzzySetValuesOwner::SetCollection(Value);
  // The set list of a variable told the set its variable when it joined (JoinedVariable).
  if (Collection() != FVariableCollection) {
    FVariableCollection = Collection();
    FVariable = VariableOf(Collection());
  }
}

const TFuzzyVariableContext* TFuzzySet::Variable() const {
  // Current in every notification of a move: the set's collection is set before it is announced.
  const TCollection* Current = Collection();
  return Current == FVariableCollection ? FVariable : VariableOf(Current);
}

void TFuzzySet::JoinedVariable(const TFuzzyVariableContext* Variable) {
  FVariableCollection = Collection();
  FVariable = Variable;
}

TFuzzySet* TFuzzySet::CreateResult() const { return ClassType()(Collection()); }

const TFuzzyLogicContext* TFuzzySet::LogicContext() const {
  const TFuzzyVariableContext* Owner = Variable();
  return Owner ? Owner->LogicContext() : nullptr;
}

int TFuzzySet::NumFunctionValues() const {
  const TFuzzyLogicContext* Logic = LogicContext();
  return Logic ? Logic->NumFunctionValues() : 7;
}

// ---- properties and copies ---------------------------------------------------------------------

void TFuzzySet::SetName(const std::string& Value) {
  // A derived name not written yet counts as another name: writing it only to compare would cost
  // more than the change notice it could spare (a hedge renames a set its own steps renamed).
  if (FName.IsWritten() && Value == FName.Text()) return;
  if (IsReservedFuzzyWord(Value)) throw EFzyException(SInvalidFuzzySetName, {Value});
  FName.Assign(Value);
  Changed(false);
}

bool TFuzzySet::DefersDerivedNames() const { return typeid(*this) == typeid(TFuzzySet); }

void TFuzzySet::SetDerivedName(TDeferredText Name) {
  if (!DefersDerivedNames()) {
    SetName(Name.Text());
    return;
  }
  FName = std::move(Name);
  Changed(false);
}

void TFuzzySet::SetComment(const std::string& Value) {
  if (Value == FComment) return;
  FComment = Value;
  Changed(false);
}

void TFuzzySet::SetValues(const TFuzzySetValues* Value) { FValues->Assign(Value); }

void TFuzzySet::Assign(const TPersistent* Source) {
  if (const auto* Set = CastTo<TFuzzySet>(Source))
    AssignSet(*Set);
  else
    TFuzzySetValuesOwner::Assign(Source);
}

void TFuzzySet::AssignSet(const TFuzzySet& Source) {
  const TFuzzySet* Set = &Source;
  if (Set == this) return;
  FName = Set->FName;
  SetValues(Set->FValues);
  FSetType = Set->FSetType;
  FInflectionPoint = Set->FInflectionPoint;
  FExpression = Set->FExpression;
  Changed(false);
}

TFuzzySet* TFuzzySet::Clone() const {
  TFuzzySet* Copy = CreateResult();
  try {
    Copy->Assign(this);
  } catch (...) {
    Copy->Free();
    throw;
  }
  return Copy;
}

std::string TFuzzySet::GetDisplayName() const {
  return FName.Empty() ? TFuzzySetValuesOwner::GetDisplayName() : FName.Text();
}

TFzyFloat TFuzzySet::GetCompatibilityIndex() const {
  return FValues->Count() == 0 ? 0 : FValues->GetAvgValue();
}

void TFuzzySet::UpdateFuzzySetValue(TFuzzySetValue*) {
  Changed(false);
  FSetType = fstUserDefined;
  FExpression = TDeferredText();
}

void TFuzzySet::UpdateFuzzySetValues() {
  Changed(false);
  FSetType = fstUserDefined;
  FExpression = TDeferredText();
}

TFzyFloat TFuzzySet::GetXRange(int Index) const {
  const TFuzzyVariableContext* Owner = Variable();
  if (!Owner) return TFuzzySetValuesOwner::GetXRange(Index);
  switch (Index) {
    case 0:
      return Owner->Maximum();
    case 1:
      return Owner->Minimum();
    default:
      throw EFzyException(SInvalidXRangeIndex, {Index});
  }
}

// ---- text forms --------------------------------------------------------------------------------

std::string TFuzzySet::GetValuesToString() const {
  std::string Text = "(";
  for (const TFuzzySetValue* P : *FValues) {
    Text += '(';
    Text += FloatToStrF(P->X(), 4);
    Text += ' ';
    Text += FloatToStrF(P->Y(), 4);
    Text += ") ";
  }
  Text += ')';
  return Text;
}

std::string TFuzzySet::ToString() const {
  if (const TFuzzyLogicContext* Logic = LogicContext()) {
    std::string Text;
    if (Logic->PrettyPrintSet(*this, Text)) return Text;
  }
  return "(" + FName.Text() + " " + GetValuesToString().substr(1);
}

// ---- membership --------------------------------------------------------------------------------

int TFuzzySet::GetMaxYValueOfX(int Index, int Step) const {
  FValues->Items(Index);  // raises EListError for a bad index
  return FindYOfX(TPoints(*this), Index, Step, [](TFzyFloat Y, TFzyFloat Top) { return Y > Top; });
}

int TFuzzySet::GetMinYValueOfX(int Index, int Step) const {
  FValues->Items(Index);  // raises EListError for a bad index
  return FindYOfX(TPoints(*this), Index, Step, [](TFzyFloat Y, TFzyFloat Bottom) { return Y < Bottom; });
}

TFzyFloat TFuzzySet::DegreeOfMembership(TFzyFloat Value) const {
  // The common case, strictly between the ends and between two breakpoints, answered from the first
  // point at or past Value (as the walk finds it, whatever the order), for a set read repeatedly
  // from its contiguous coordinates: by halves in a long list whose X never falls. Everything else
  // takes the walk over the points.
  if (const auto* C = internal::TPointBatch::RepeatedCoordinates(*FValues)) {
    // A current copy holds as many points as the list; the list's count is read without waiting
    // for the copy.
    const std::size_t N = FValues->RawItems().size();
    const TFzyFloat* X = C->X();
    if (N >= 2 && Value > X[0] && Value < X[N - 1]) {
      std::size_t I = 1;
      if (N > 16 && C->Ascending)
        I = static_cast<std::size_t>(std::lower_bound(X + 1, X + N, Value) - X);
      else
        while (X[I] < Value) ++I;
      const TFzyFloat* Y = X + N;
      if (X[I] != Value)
        return C->Moderate ? merge_walk_detail::DegreeInside<false>(X[I - 1], Y[I - 1], X[I], Y[I], Value)
                           : merge_walk_detail::DegreeInside(X[I - 1], Y[I - 1], X[I], Y[I], Value);
    }
  }
  return DegreeOfMembershipByWalk(Value);
}

TFzyFloat TFuzzySet::DegreeOfMembershipByWalk(TFzyFloat Value) const {
  const int N = FValues->Count();
  if (N == 0) return 0;
  const TFuzzySetValue* First = FValues->Point(0);
  const TFuzzySetValue* Last = FValues->Point(N - 1);
  if (Value < First->X()) return First->Y();
  if (Value > Last->X()) return Last->Y();
  if (Value == First->X()) return FValues->Point(GetMaxYValueOfX(0, 1))->Y();
  if (Value == Last->X()) return FValues->Point(GetMaxYValueOfX(N - 1, -1))->Y();
  const TFuzzySetValue* Previous = First;
  for (int I = 1; I < N; ++I) {
    const TFuzzySetValue* P = FValues->Point(I);
    if (P->X() == Value) return FValues->Point(GetMaxYValueOfX(I, 1))->Y();
    if (P->X() > Value) return merge_walk_detail::DegreeInside(Previous->X(), Previous->Y(), P->X(), P->Y(), Value);
    Previous = P;
  }
  return 0;
}

// ---- shapes ------------------------------------------------------------------------------------

namespace {

using internal::TCoordinate;
using TShape = TRecycledVector<TCoordinate>;

// The S-shaped growth from 0 at Left to 1 at Right, bending at the midpoint.
TFzyFloat GrowthAt(TFzyFloat X, TFzyFloat Left, TFzyFloat Right) {
  if (X <= Left) return 0;
  if (X <= Midpoint(Left, Right)) {
    const TFzyFloat T = RatioOfDifferences(X, Left, Right, Left);
    return 2 * T * T;
  }
  if (X <= Right) {
    const TFzyFloat T = RatioOfDifferences(X, Right, Right, Left);
    return 1 - 2 * T * T;
  }
  return 1;
}

// A point count of a generator: below 3 counted as 3, above the limit refused.
int ShapePointCount(int Num) {
  internal::CheckPointCount(Num);
  return Num < 3 ? 3 : Num;
}

// Raises before anything is written when a point of Shape is not finite.
void CheckShape(const TShape& Shape) {
  for (const TCoordinate& P : Shape) {
    internal::CheckFinite(P.X, "X");
    internal::CheckFinite(P.Y, "Y");
  }
}

// The points of CreateCurveValues(Num, Left, Right, ..., Growth), x accumulating by repeated
// addition of the step.
TShape CurveShape(int Num, TFzyFloat Left, TFzyFloat Right, bool Growth) {
  internal::CheckFinite(Left, "X");
  internal::CheckFinite(Right, "X");
  if (Left > Right) throw EFzyException(SInvalidRangeArguments, {Left, Right});
  Num = ShapePointCount(Num);
  const TFzyFloat Step = StepBetween(Left, Right, Num - 1);
  TShape Shape(static_cast<std::size_t>(Num));
  TFzyFloat X = Left;
  for (TCoordinate& P : Shape) {
    const TFzyFloat G = GrowthAt(X, Left, Right);
    P = {X, Growth ? G : 1 - G};
    X += Step;
  }
  CheckShape(Shape);
  return Shape;
}

void AppendShape(TFuzzySetValues& Values, const TShape& Shape) {
  Values.Reserve(Values.Count() + static_cast<int>(Shape.size()));
  internal::TPointAppender Appender(Values);
  for (const TCoordinate& P : Shape) Appender.Append(P.X, P.Y);
}

}  // namespace

void TFuzzySet::SetSetType(TFuzzySetType Value) {
  if (Value == FSetType) return;
  if (Value > fstGrowthCurve) throw EListError(SListIndexError, {static_cast<int>(Value)});
  if (Value != fstUserDefined) {
    const TFzyFloat Min = GetXRange(1);
    const TFzyFloat Max = GetXRange(0);
    internal::CheckFinite(Min, "X");
    internal::CheckFinite(Max, "X");
    const int Num = NumFunctionValues();
    internal::CheckPointCount(Num);
    // The shapes are linear in the range: a range wider than the double range is worked out at half
    // scale, which changes no bit of the result.
    const bool Wide = !std::isfinite(Max - Min);
    const TFzyFloat Scale = Wide ? 2 : 1;
    const TFzyFloat D = Max / Scale - Min / Scale;
    const TFzyFloat Center = (Min / Scale + D / 2) * Scale;
    const TFzyFloat Width = D * ONE_THIRD * Scale;
    const TFzyFloat A = (Min / Scale + D * ONE_THIRD) * Scale;
    const TFzyFloat B = (Min / Scale + D * TWO_THIRDS) * Scale;
    const TFzyFloat Inflection = D / 12 * Scale;
    FSetType = Value;
    TUpdateBracket Bracket(*FValues);
    FValues->Clear();
    switch (Value) {
      case fstUserDefined:
        break;
      case fstTriangle:
        CreateTriangleFunctionValues(Center - Width, Center, Center + Width);
        break;
      case fstDeclineCurve:
        CreateCurveValues(Num, A, B, Lerp(A, B, 0.5), false);
        break;
      case fstPICurve:
        CreatePIFunctionValues(Num, Width, Center);
        break;
      case fstBetaCurve:
        CreateBetaCurveFunctionValues(Num, Width, Center, Inflection);
        break;
      case fstGrowthCurve:
        CreateCurveValues(Num, A, B, Lerp(A, B, 0.5), true);
        break;
    }
  } else {
    FSetType = Value;
  }
  Changed(false);
}

void TFuzzySet::CreateTriangleFunctionValues(TFzyFloat Left, TFzyFloat Middle, TFzyFloat Right) {
  internal::CheckFinite(Left, "X");
  internal::CheckFinite(Middle, "X");
  internal::CheckFinite(Right, "X");
  if (Right < Left) Right = Left;
  if (Middle < Left)
    Middle = Left;
  else if (Middle > Right)
    Middle = Right;
  WithinUpdate(*FValues, [&] { AppendShape(*FValues, {{Left, 0}, {Middle, 1}, {Right, 0}}); });
  FSetType = fstTriangle;
}

void TFuzzySet::CreateCurveValues(int Num, TFzyFloat Left, TFzyFloat Right, TFzyFloat InflectionPoint,
                                  bool Growth) {
  internal::CheckFinite(InflectionPoint, "InflectionPoint");
  const TShape Shape = CurveShape(Num, Left, Right, Growth);
  WithinUpdate(*FValues, [&] { AppendShape(*FValues, Shape); });
  FInflectionPoint = InflectionPoint;
  FSetType = Growth ? fstGrowthCurve : fstDeclineCurve;
}

void TFuzzySet::CreatePIFunctionValues(int Num, TFzyFloat Left, TFzyFloat Right, TFzyFloat Center) {
  internal::CheckFinite(Left, "X");
  internal::CheckFinite(Right, "X");
  internal::CheckFinite(Center, "X");
  if (Left > Right) throw EFzyException(SInvalidRangeArguments, {Left, Right});
  Num = ShapePointCount(Num);
  Center = std::clamp(Center, Left, Right);
  const int Half = Num / 2;
  // Both curves are made before the first point is added.
  const TShape Growth = CurveShape(Half + 1, Left, Center, true);
  const TShape Decline = CurveShape(Half + 1, Center, Right, false);
  WithinUpdate(*FValues, [&] {
    AppendShape(*FValues, Growth);
    if (Num % 2 == 0 && FValues->Count() > 0) FValues->Delete(FValues->Count() - 1);
    AppendShape(*FValues, Decline);
    if (FValues->Count() > Num) FValues->Delete(Half);
  });
  FInflectionPoint = Lerp(Center, Right, 0.5);
  FSetType = fstPICurve;
}

void TFuzzySet::CreatePIFunctionValues(int Num, TFzyFloat Range, TFzyFloat Center) {
  internal::CheckFinite(Range, "X");
  internal::CheckFinite(Center, "X");
  CreatePIFunctionValues(Num, Center - Range, Center + Range, Center);
}

void TFuzzySet::CreateBetaCurveFunctionValues(int Num, TFzyFloat Range, TFzyFloat Center,
                                              TFzyFloat InflectionPoint) {
  CreateBetaCurveFunctionValues(Num, Range, Center, InflectionPoint, 1);
}

void TFuzzySet::CreateBetaCurveFunctionValues(int Num, TFzyFloat Range, TFzyFloat Center,
                                              TFzyFloat InflectionPoint, TFzyFloat Weight) {
  internal::CheckFinite(Range, "X");
  internal::CheckFinite(Center, "X");
  internal::CheckFinite(InflectionPoint, "InflectionPoint");
  internal::CheckFinite(Weight, "Weight");
  Num = ShapePointCount(Num);
  const TFzyFloat Step = StepBetween(-Range, Range, Num - 1);
  TShape Shape(static_cast<std::size_t>(Num));
  TFzyFloat X = Center - Range;
  for (TCoordinate& P : Shape) {
    TFzyFloat Y;
    if (InflectionPoint == 0) {
      // The limit of ever narrower curves: a spike at Center.
      Y = X == Center ? 1 : 0;
    } else {
      const TFzyFloat T = (X - Center) / InflectionPoint;
      // So far from the centre that the distance overflows: the limit of the curve there.
      Y = std::isfinite(T) ? 1 / (1 + Weight * T * T) : (Weight == 0 ? 1 : 0);
    }
    P = {X, Y};
    X += Step;
  }
  CheckShape(Shape);
  WithinUpdate(*FValues, [&] { AppendShape(*FValues, Shape); });
  FInflectionPoint = InflectionPoint;
  FSetType = fstBetaCurve;
}

void TFuzzySet::CreateCrispValue(TFzyFloat Value) {
  internal::CheckFinite(Value, "X");
  // The points of CreateTriangleFunctionValues(Value, Value, Value) in place of the old ones.
  WithinUpdate(*FValues, [&] {
    const TCoordinate Spike[] = {{Value, 0}, {Value, 1}, {Value, 0}};
    internal::TPointBatch::Replace(*FValues, Spike);
    FSetType = fstTriangle;
  });
  FExpression = TDeferredText::Number(Value);
}

}  // namespace fuzzy
