#include "fuzzy/engine/fuzzy_set.h"

#include "fuzzy/engine/fuzzy_math.h"
#include "fuzzy/engine/merge_walk.h"
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

void TFuzzySet::SetCollection(TCollection* Value) {
  // Forget the variable: the collection it was found through may be gone by the next lookup.
  FVariableCollection = nullptr;
  FVariable = nullptr;
  TFuzzySetValuesOwner::SetCollection(Value);
}

const TFuzzyVariableContext* TFuzzySet::Variable() const {
  // Current in every notification of a move: the set's collection is set before it is announced.
  const TCollection* Current = Collection();
  if (Current != FVariableCollection) {
    FVariableCollection = Current;
    FVariable = Current ? dynamic_cast<const TFuzzyVariableContext*>(Current->Owner()) : nullptr;
  }
  return FVariable;
}

void TFuzzySet::JoinedVariable(const TFuzzyVariableContext* Variable) const {
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
  if (Value == FName.Text()) return;
  if (IsReservedFuzzyWord(Value)) throw EFzyException(SInvalidFuzzySetName, {Value});
  FName = Value;
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
  // A set read repeatedly answers the common case, strictly between the ends and between two
  // breakpoints, from its contiguous coordinates; everything else takes the walk over the points.
  if (const TFuzzySetValues::TCoordinates* C = FValues->RepeatedCoordinates()) {
    const std::size_t N = C->X.size();
    if (N >= 2 && Value > C->X[0] && Value < C->X[N - 1]) {
      // The first point at or past Value: by halves in a long list whose X never falls.
      std::size_t I = 1;
      if (N > 16 && C->Ascending)
        I = static_cast<std::size_t>(std::lower_bound(C->X.begin() + 1, C->X.end(), Value) - C->X.begin());
      else
        while (C->X[I] < Value) ++I;
      if (C->X[I] != Value) return InterpolateY(C->X[I - 1], C->Y[I - 1], C->X[I], C->Y[I], Value);
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
    if (P->X() > Value) return InterpolateY(Previous->X(), Previous->Y(), P->X(), P->Y(), Value);
    Previous = P;
  }
  return 0;
}

// ---- shapes ------------------------------------------------------------------------------------

namespace {

// The S-shaped growth from 0 at Left to 1 at Right, bending at the midpoint.
TFzyFloat GrowthAt(TFzyFloat X, TFzyFloat Left, TFzyFloat Right) {
  const TFzyFloat Width = Right - Left;
  if (X <= Left) return 0;
  if (X <= (Left + Right) / 2) {
    const TFzyFloat T = (X - Left) / Width;
    return 2 * T * T;
  }
  if (X <= Right) {
    const TFzyFloat T = (X - Right) / Width;
    return 1 - 2 * T * T;
  }
  return 1;
}

}  // namespace

void TFuzzySet::SetSetType(TFuzzySetType Value) {
  if (Value == FSetType) return;
  FSetType = Value;
  if (Value != fstUserDefined) {
    const TFzyFloat Min = GetXRange(1);
    const TFzyFloat Max = GetXRange(0);
    const TFzyFloat D = Max - Min;
    const int Num = NumFunctionValues();
    const TFzyFloat Center = Min + D / 2;
    const TFzyFloat Width = D * ONE_THIRD;
    const TFzyFloat A = Min + D * ONE_THIRD;
    const TFzyFloat B = Min + D * TWO_THIRDS;
    TUpdateBracket Bracket(*FValues);
    FValues->Clear();
    switch (Value) {
      case fstUserDefined:
        break;
      case fstTriangle:
        CreateTriangleFunctionValues(Center - Width, Center, Center + Width);
        break;
      case fstDeclineCurve:
        CreateCurveValues(Num, A, B, A + (B - A) / 2, false);
        break;
      case fstPICurve:
        CreatePIFunctionValues(Num, Width, Center);
        break;
      case fstBetaCurve:
        CreateBetaCurveFunctionValues(Num, Width, Center, D / 12);
        break;
      case fstGrowthCurve:
        CreateCurveValues(Num, A, B, A + (B - A) / 2, true);
        break;
    }
  }
  Changed(false);
}

void TFuzzySet::CreateTriangleFunctionValues(TFzyFloat Left, TFzyFloat Middle, TFzyFloat Right) {
  if (Right < Left) Right = Left;
  if (Middle < Left)
    Middle = Left;
  else if (Middle > Right)
    Middle = Right;
  {
    TUpdateBracket Bracket(*FValues);
    FValues->AppendSetXY(Left, 0);
    FValues->AppendSetXY(Middle, 1);
    FValues->AppendSetXY(Right, 0);
  }
  FSetType = fstTriangle;
}

void TFuzzySet::CreateCurveValues(int Num, TFzyFloat Left, TFzyFloat Right, TFzyFloat InflectionPoint,
                                  bool Growth) {
  if (Left > Right) throw EFzyException(SInvalidRangeArguments, {Left, Right});
  if (Num < 3) Num = 3;
  const TFzyFloat Step = (Right - Left) / (Num - 1);
  {
    TUpdateBracket Bracket(*FValues);
    TFzyFloat X = Left;
    for (int I = 0; I < Num; ++I) {
      const TFzyFloat G = GrowthAt(X, Left, Right);
      FValues->AppendSetXY(X, Growth ? G : 1 - G);
      X += Step;
    }
  }
  FInflectionPoint = InflectionPoint;
  FSetType = Growth ? fstGrowthCurve : fstDeclineCurve;
}

void TFuzzySet::CreatePIFunctionValues(int Num, TFzyFloat Left, TFzyFloat Right, TFzyFloat Center) {
  if (Left > Right) throw EFzyException(SInvalidRangeArguments, {Left, Right});
  Center = std::clamp(Center, Left, Right);
  const int Half = Num / 2;
  {
    TUpdateBracket Bracket(*FValues);
    CreateCurveValues(Half + 1, Left, Center, Left + (Center - Left) / 2, true);
    if (Num % 2 == 0 && FValues->Count() > 0) FValues->Delete(FValues->Count() - 1);
    CreateCurveValues(Half + 1, Center, Right, Center + (Right - Center) / 2, false);
    if (FValues->Count() > Num) FValues->Delete(Half);
  }
  FSetType = fstPICurve;
}

void TFuzzySet::CreatePIFunctionValues(int Num, TFzyFloat Range, TFzyFloat Center) {
  CreatePIFunctionValues(Num, Center - Range, Center + Range, Center);
}

void TFuzzySet::CreateBetaCurveFunctionValues(int Num, TFzyFloat Range, TFzyFloat Center,
                                              TFzyFloat InflectionPoint) {
  CreateBetaCurveFunctionValues(Num, Range, Center, InflectionPoint, 1);
}

void TFuzzySet::CreateBetaCurveFunctionValues(int Num, TFzyFloat Range, TFzyFloat Center,
                                              TFzyFloat InflectionPoint, TFzyFloat Weight) {
  if (Num < 3) Num = 3;
  const TFzyFloat Step = 2 * Range / (Num - 1);
  {
    TUpdateBracket Bracket(*FValues);
    TFzyFloat X = Center - Range;
    for (int I = 0; I < Num; ++I) {
      TFzyFloat Y;
      if (InflectionPoint == 0) {
        // The limit of ever narrower curves: a spike at Center.
        Y = X == Center ? 1 : 0;
      } else {
        const TFzyFloat T = (X - Center) / InflectionPoint;
        Y = 1 / (1 + Weight * T * T);
      }
      FValues->AppendSetXY(X, Y);
      X += Step;
    }
  }
  FInflectionPoint = InflectionPoint;
  FSetType = fstBetaCurve;
}

void TFuzzySet::CreateCrispValue(TFzyFloat Value) {
  // The points of CreateTriangleFunctionValues(Value, Value, Value) in place of the old ones.
  WithinUpdate(*FValues, [&] {
    const TFuzzySetValues::TCoordinate Spike[] = {{Value, 0}, {Value, 1}, {Value, 0}};
    FValues->ReplaceSetXY(Spike);
    FSetType = fstTriangle;
  });
  FExpression = TDeferredText::Number(Value);
}

}  // namespace fuzzy
