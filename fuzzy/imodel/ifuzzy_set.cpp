#include "fuzzy/imodel/ifuzzy_set.h"

#include <atomic>
#include <utility>

#include "fuzzy/engine/internal/merge_walk.h"
#include "fuzzy/imodel/ifuzzy_variable.h"
#include "fuzzy/runtime/format.h"
#include "fuzzy/runtime/update_bracket.h"

namespace fuzzy {

namespace {

constexpr std::string_view SForeignFuzzySet = "Fuzzy set of class %s is not an interfaced fuzzy set";

void RequireSet(const IPtr<IFuzzySet>& FuzzySet, std::string_view Operation) {
  if (!FuzzySet) throw EFzyException(SMissingArgument, {Operation, "Fuzzy set"});
}

// The points of a set reached through its interface, for the merge walk.
class TIntfPoints {
 public:
  explicit TIntfPoints(const IFuzzySet& Set) : FSet(Set), FCount(Set.GetCount()) {}

  int Count() const { return FCount; }
  TFzyFloat X(int Index) const { return FSet.XValues(Index); }
  TFzyFloat Y(int Index) const { return FSet.YValues(Index); }
  int SkipY(int Index, TFzyFloat Y, int Dir) const { return FSet.SkipY(Index, Y, Dir); }
  int GetMaxYValueOfX(int Index, int Step) const {
    return FindYOfX(*this, Index, Step, [](TFzyFloat Y, TFzyFloat Top) { return Y > Top; });
  }
  TFzyFloat DegreeOfMembership(TFzyFloat Value) const { return FSet.DegreeOfMembership(Value); }

 private:
  const IFuzzySet& FSet;
  int FCount;
};

}  // namespace

// ---- TIFSValues --------------------------------------------------------------------------------

TIFSValues::TIFSValues(TIFuzzySet* FuzzySet) : TFuzzySetValues(FuzzySet) {}

TIFuzzySet& TIFSValues::Owner() const { return static_cast<TIFuzzySet&>(*FuzzySet()); }

int TIFSValues::Add(TFzyFloat X, TFzyFloat Y) {
  // Refused before the point is made, so that a refused call changes nothing.
  CheckCoordinates(X, Y);
  const TUpdateBracket Bracket(*this);
  TFuzzySetValue* Point = TFuzzySetValues::Add();
  Point->SetValue(X, Y);
  return Point->Index();
}

int TIFSValues::Insert(int Index, TFzyFloat X, TFzyFloat Y) {
  // Refused (a bad index too, by Insert) before the point is made.
  CheckCoordinates(X, Y);
  const TUpdateBracket Bracket(*this);
  TFuzzySetValue* Point = TFuzzySetValues::Insert(Index);
  Point->SetValue(X, Y);
  return Point->Index();
}

void TIFSValues::Append(const IPtr<IFuzzySet>& Source) {
  RequireSet(Source, "Append");
  Append(Source, 0, Source->GetCount());
}

void TIFSValues::Append(const IPtr<IFuzzySet>& Source, int Index, int Count) {
  RequireSet(Source, "Append");
  const int SourceCount = Source->GetCount();
  // An empty source or range appends nothing (the clamping below would reach index -1).
  if (SourceCount == 0 || Count <= 0) return;
  if (Index < 0) Index = 0;
  if (Index >= SourceCount) Index = SourceCount - 1;
  if (Index + Count > SourceCount) Count = SourceCount - Index;
  const TUpdateBracket Bracket(*this);
  for (int I = Index; I < Index + Count; ++I) Add(Source->XValues(I), Source->YValues(I));
}

void TIFSValues::AssignValues(const IPtr<IFuzzySet>& Source) {
  RequireSet(Source, "AssignValues");
  // Clearing first would lose the points of a set assigned to itself.
  if (&TIFuzzySet::Implementation(Source) == &Owner()) return;
  const TUpdateBracket Bracket(*this);
  Clear();
  for (int I = 0; I < Source->GetCount(); ++I) Add(Source->XValues(I), Source->YValues(I));
}

bool TIFSValues::EqualsValues(const IPtr<IFuzzySet>& FuzzySet) const {
  if (!FuzzySet || FuzzySet->GetCount() != Count()) return false;
  for (int I = 0; I < Count(); ++I)
    if (!FloatEquals(Point(I)->X(), FuzzySet->XValues(I)) ||
        !FloatEquals(Point(I)->Y(), FuzzySet->YValues(I)))
      return false;
  return true;
}

void TIFSValues::Assign(const IPtr<IInterface>& AValue) { Owner().Assign(AValue); }

std::string TIFSValues::ToString() const { return Owner().ToString(); }

// ---- TIFuzzySet: creation and destruction ------------------------------------------------------

IPtr<IFuzzySet> TIFuzzySet::Create(const IPtr<IFuzzyVariable>& Variable, const std::string& Name,
                                   TFuzzySetClass Class) {
  IPtr<IFuzzySet> Result = Adopt(Class(nullptr));
  Result->SetName(Name);
  Result->SetVariable(Variable);
  return Result;
}

TIFuzzySet* TIFuzzySet::Of(IFuzzySet* Set) { return ObjectOf<TIFuzzySet>(Set); }

TIFuzzySet* TIFuzzySet::Of(TFuzzySet* Set) {
  if (!Set) return nullptr;
  if (typeid(*Set) == typeid(TIFuzzySet)) return static_cast<TIFuzzySet*>(Set);
  return dynamic_cast<TIFuzzySet*>(Set);
}

template <typename TVisit>
decltype(auto) TIFuzzySet::WithPoints(const IPtr<IFuzzySet>& FuzzySet, TVisit&& Visit) {
  if (const TIFuzzySet* Set = Of(FuzzySet.Get())) return Visit(TPoints(*Set));
  return Visit(TIntfPoints(*FuzzySet));
}

IPtr<IFuzzySet> TIFuzzySet::Adopt(TFuzzySet* Result) {
  TIFuzzySet* Set = Of(Result);
  if (!Set) {
    const std::string Class = Result->ClassName();
    Result->Free();
    throw EFzyException(SForeignFuzzySet, {Class});
  }
  return IPtr<IFuzzySet>(Set);
}

TIFuzzySet& TIFuzzySet::Implementation(const IPtr<IFuzzySet>& FuzzySet) {
  TIFuzzySet* Set = Of(FuzzySet.Get());
  if (!Set) throw EFzyException(SForeignFuzzySet, {FuzzySet ? "unknown" : "nil"});
  return *Set;
}

TFuzzySetValues* TIFuzzySet::CreateValues() { return New<TIFSValues>(this); }

bool TIFuzzySet::DefersDerivedNames() const {
  if (typeid(*this) != typeid(TIFuzzySet)) return false;
  // SetName would take the set out of its variable's table under its old name and put it back
  // under the new one only when it is defined: a set that is neither defined nor stored (a table
  // key is a written text) is renamed in place.
  if (!FVariable || !NameText().IsWritten()) return true;
  if (Defined()) return false;
  const IInterface* Me = this;
  if (const auto* Variable = ObjectOf<const TIFuzzyVariable>(FVariable.Get()))
    return !Variable->Items().Holds(Name(), Me);
  return FVariable->ContainsFuzzySet(Name()).Get() != static_cast<const IFuzzySet*>(this);
}

TIFSValues& TIFuzzySet::Values() const { return static_cast<TIFSValues&>(TFuzzySet::Values()); }

void TIFuzzySet::BeforeDestruction() {
  // The references go first, so that freeing the points reports nothing to the variable.
  FParser.Reset();
  FVariable.Reset();
  TInterfaced::BeforeDestruction();
}

// ---- properties --------------------------------------------------------------------------------

void TIFuzzySet::SetName(const std::string& Value) {
  if (Value == TFuzzySet::Name()) return;
  if (!FVariable) {
    TFuzzySet::SetName(Value);
    return;
  }
  const IPtr<IFuzzySet> Keep = Self();
  const IPtr<IFuzzyVariable> Owner = FVariable;
  Owner->Remove(Keep);
  try {
    TFuzzySet::SetName(Value);
  } catch (...) {
    // A refused name leaves the set where it was, under its old name.
    Owner->Add(Keep);
    throw;
  }
  Owner->Add(Keep);
}

void TIFuzzySet::SetVariable(const IPtr<IFuzzyVariable>& Value) {
  if (Value == FVariable) return;
  const IPtr<IFuzzySet> Keep = Self();
  if (FVariable) FVariable->Remove(Keep);
  FVariable = Value;
  if (!Value) return;
  if (Defined()) Value->Add(Keep);
  FParser = Value->Parser();
}

TFzyFloat TIFuzzySet::XValues(int Index) const { return Values().Items(Index)->X(); }

void TIFuzzySet::SetXValues(int Index, TFzyFloat Value) { Values().Items(Index)->SetX(Value); }

TFzyFloat TIFuzzySet::YValues(int Index) const { return Values().Items(Index)->Y(); }

void TIFuzzySet::SetYValues(int Index, TFzyFloat Value) { Values().Items(Index)->SetY(Value); }

TFzyFloat TIFuzzySet::GetXRange(int Index) const {
  if (!FVariable) return TFuzzySet::GetXRange(Index);
  switch (Index) {
    case 0:
      return FVariable->Maximum();
    case 1:
      return FVariable->Minimum();
    default:
      throw EFzyException(SInvalidXRangeIndex, {Index});
  }
}

TFzyFloat TIFuzzySet::GetXMaximum() const {
  if (FVariable) return FVariable->Maximum();
  const int N = GetCount();
  return N == 0 ? TFuzzySet::GetXRange(0) : Values().Point(N - 1)->X();
}

TFzyFloat TIFuzzySet::GetXMinimum() const {
  if (FVariable) return FVariable->Minimum();
  return GetCount() == 0 ? TFuzzySet::GetXRange(1) : Values().Point(0)->X();
}

std::string TIFuzzySet::ToString() const {
  if (FParser) return FParser->PrettyPrint(IPtr<IFuzzySet>(const_cast<TIFuzzySet*>(this)), false);
  return TFuzzySet::ToString();
}

void TIFuzzySet::UpdateFuzzySetValue(TFuzzySetValue* Value) {
  TFuzzySet::UpdateFuzzySetValue(Value);
  if (FVariable) FVariable->FuzzySetChanged(Self());
}

void TIFuzzySet::UpdateFuzzySetValues() {
  TFuzzySet::UpdateFuzzySetValues();
  if (FVariable) FVariable->FuzzySetChanged(Self());
}

// ---- assignment and copies ---------------------------------------------------------------------

void TIFuzzySet::Assign(const IPtr<IInterface>& AValue) {
  IPtr<IFuzzySet> Source;
  if (!Supports(AValue, Source)) return;
  SetVariable(Source->Variable());
  SetSetType(Source->SetType());
  SetInflectionPoint(Source->GetInflectionPoint());
  AssignValues(Source);
  TFuzzySet::SetExpression(Source->Expression());
  FParser = Source->Parser();
}

void TIFuzzySet::Assign(const TPersistent* Source) {
  const auto* Set = CastTo<TIFuzzySet>(Source);
  if (!Set) {
    TFuzzySet::Assign(Source);
    return;
  }
  SetVariable(Set->FVariable);
  FParser = Set->FParser;
  AssignSet(*Set);
}

IPtr<IInterface> TIFuzzySet::Clone() {
  // Create(Variable, Name) then Assign(this): the assignment gives the name and the variable.
  IPtr<IFuzzySet> Copy = Adopt(ClassType()(nullptr));
  Implementation(Copy).Assign(static_cast<const TPersistent*>(this));
  return Copy;
}

IPtr<IFuzzySet> TIFuzzySet::Clone(const IPtr<IFuzzyVariable>& Variable) {
  IPtr<IFuzzySet> Copy = Create(Variable, Name(), ClassType());
  Copy->SetParser(Variable ? Variable->Parser() : nullptr);
  Copy->AssignValues(Self());
  return Copy;
}

// ---- operations that change the set itself -----------------------------------------------------

IPtr<IFuzzySet> TIFuzzySet::Hedge(TFuzzyHedge HedgeType) {
  TFuzzySet::Hedge(HedgeType);
  return Self();
}

IPtr<IFuzzySet> TIFuzzySet::Hedge(TBaseFuzzyHedge ModifyType, TFzyFloat Value, bool ModifyY) {
  TFuzzySet::Hedge(ModifyType, Value, ModifyY);
  return Self();
}

IPtr<IFuzzySet> TIFuzzySet::Normalize() {
  TFuzzySet::Normalize();
  return Self();
}

IPtr<IFuzzySet> TIFuzzySet::Correlate(TFzyFloat CorrelationStrength,
                                      TFuzzyCorrelationMethod CorrelationMethod) {
  TFuzzySet::Correlate(CorrelationStrength, CorrelationMethod);
  return Self();
}

// ---- comparisons -------------------------------------------------------------------------------

bool TIFuzzySet::Equals(const IPtr<IInterface>& AValue) {
  IPtr<IFuzzySet> Other;
  if (!Supports(AValue, Other)) return false;
  const TFzyFloat Threshold = FVariable ? FVariable->Threshold() : FreeStandingThreshold;
  return WithPoints(Other, [&](const auto& Points) { return PointsReachThreshold(TPoints(*this), Points, Threshold); });
}

TFzyFloat TIFuzzySet::FuzzyEquals(const IPtr<IInterface>& AValue) const {
  IPtr<IFuzzySet> Other;
  return Supports(AValue, Other) ? GetCorrelationStrength(Other) : 0;
}

TFzyFloat TIFuzzySet::GetCorrelationStrength(const IPtr<IFuzzySet>& Match) const {
  RequireSet(Match, "Iterate");
  if (const TIFuzzySet* Set = Of(Match.Get())) return TFuzzySet::GetCorrelationStrength(Set);
  return PointsCorrelationStrength(TPoints(*this), TIntfPoints(*Match));
}

bool TIFuzzySet::Iterate(const IPtr<IFuzzySet>& FuzzySet, const TIFuzzyComparison& FuzzyOperator) const {
  RequireSet(FuzzySet, "Iterate");
  if (!FuzzyOperator) throw EFzyException(SMissingArgument, {"Iterate", "Operator function"});
  return WithPoints(FuzzySet, [&](const auto& Points) { return IteratePoints(TPoints(*this), Points, FuzzyOperator); });
}

bool TIFuzzySet::Intersects(const IPtr<IFuzzySet>& FuzzySet) const {
  RequireSet(FuzzySet, "Intersects");
  return WithPoints(FuzzySet, [&](const auto& Points) { return PointsIntersect(TPoints(*this), Points); });
}

// ---- combinations ------------------------------------------------------------------------------

template <typename TWalk>
IPtr<IFuzzySet> TIFuzzySet::Combine(const IPtr<IFuzzySet>& FuzzySet, std::string_view OperatorKeyword,
                                    TWalk&& Walk) {
  RequireSet(FuzzySet, "Operator");
  IPtr<IFuzzySet> Result = Adopt(ClassType()(nullptr));
  TIFuzzySet& Set = Implementation(Result);
  Set.SetVariable(FVariable);
  Set.FParser = FParser;
  Set.SetInflectionPoint(InflectionPoint());
  const TIFuzzySet* Other = Of(FuzzySet.Get());
  const TDeferredText OtherName = Other ? Other->NameText() : TDeferredText(FuzzySet->Name());
  const TDeferredText OtherExpression = Other ? Other->ExpressionText() : TDeferredText(FuzzySet->Expression());
  FillCombination(Set, OtherName, OtherExpression, OperatorKeyword,
                  [&](TFuzzySetValues& Points) { Walk(Result, Points, Other); });
  return Result;
}

template <TFuzzySet::TDegreeFunction& Degree>
IPtr<IFuzzySet> TIFuzzySet::CombineBuiltIn(const IPtr<IFuzzySet>& FuzzySet, std::string_view OperatorKeyword,
                                           TFuzzyOperation Operation, bool IsUnion) {
  RequireSet(FuzzySet, "Operator");
  // Walked before the result is made, so that a degree beyond the double range makes nothing.
  const TIFuzzySet* Other = Of(FuzzySet.Get());
  TWalkedPoints Walked = !Other    ? WalkBuiltIn<Degree>(TPoints(*this), TIntfPoints(*FuzzySet))
                         : IsUnion ? WalkUnion(*Other, Operation)
                                   : WalkIntersection(*Other, Operation);
  return Combine(FuzzySet, OperatorKeyword,
                 [&](const IPtr<IFuzzySet>&, TFuzzySetValues& Points, const TIFuzzySet*) { Walked.AppendTo(Points); });
}

IPtr<IFuzzySet> TIFuzzySet::Operator(const IPtr<IFuzzySet>& FuzzySet, const std::string& OperatorKeyword,
                                     const TIFuzzyOperator& FuzzyOperator) {
  if (!FuzzyOperator) throw EFzyException(SMissingArgument, {"Operator", "Operator function"});
  return Combine(FuzzySet, OperatorKeyword,
                 [&](const IPtr<IFuzzySet>& Result, TFuzzySetValues& Points, const TIFuzzySet* Other) {
                   auto Append = [&](TFuzzySetValues&, TFzyFloat X1, TFzyFloat Y1, TFzyFloat X2, TFzyFloat Y2) {
                     return FuzzyOperator(Result, X1, Y1, X2, Y2);
                   };
                   if (Other)
                     WalkByCallback(Points, TPoints(*this), TPoints(*Other), Append);
                   else
                     WalkByCallback(Points, TPoints(*this), TIntfPoints(*FuzzySet), Append);
                 });
}

IPtr<IFuzzySet> TIFuzzySet::Intersection(const IPtr<IFuzzySet>& FuzzySet) {
  return TIFuzzySet::Intersection(FuzzySet, foZadeh);
}

IPtr<IFuzzySet> TIFuzzySet::Union(const IPtr<IFuzzySet>& FuzzySet) { return TIFuzzySet::Union(FuzzySet, foZadeh); }

IPtr<IFuzzySet> TIFuzzySet::Intersection(const IPtr<IFuzzySet>& FuzzySet, TFuzzyOperation IntersectionType) {
  return VisitIntersection(IntersectionType, [&]<TDegreeFunction & Degree>(std::string_view Keyword) {
    return CombineBuiltIn<Degree>(FuzzySet, Keyword, IntersectionType, false);
  });
}

IPtr<IFuzzySet> TIFuzzySet::Union(const IPtr<IFuzzySet>& FuzzySet, TFuzzyOperation UnionType) {
  return VisitUnion(UnionType, [&]<TDegreeFunction & Degree>(std::string_view Keyword) {
    return CombineBuiltIn<Degree>(FuzzySet, Keyword, UnionType, true);
  });
}

IPtr<IFuzzySet> TIFuzzySet::Infer(const IPtr<IFuzzySet>& NewEvidence, TFuzzyInferenceMethod InferenceMethod,
                                  bool Unconditional) {
  const TFuzzyOperation Operation = InferenceOperation(InferenceMethod);
  return Unconditional ? Intersection(NewEvidence, Operation) : Union(NewEvidence, Operation);
}

// ---- cuts --------------------------------------------------------------------------------------

IPtr<IFuzzySet> TIFuzzySet::AlphaCutoff(TFzyFloat CutOff, bool StrongCutoff) {
  IPtr<IFuzzySet> Result = Adopt(TFuzzySet::AlphaCutoff(CutOff, StrongCutoff));
  Result->SetName(Name() + " (alpha=" + Format(FuzzyFormatStr, {CutOff}) + ")");
  Result->SetVariable(FVariable);
  return Result;
}

IPtr<IFuzzySet> TIFuzzySet::Cutoff(TFzyFloat CutOff, bool CutValuesBelow) {
  return Adopt(TFuzzySet::Cutoff(CutOff, CutValuesBelow));
}

// ---- identifiers -------------------------------------------------------------------------------

int GetUniqueID() {
  static std::atomic<int> Counter{0};
  return ++Counter;
}

}  // namespace fuzzy
