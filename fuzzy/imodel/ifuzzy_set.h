#pragma once
// The fuzzy set of the interface model: a TFuzzySet that is also a reference-counted IFuzzySet.
//
// It belongs to an IFuzzyVariable by a counted reference instead of by collection ownership (its
// collection is always none) and lives as long as counted references to it exist: the variable's
// set table, results held by callers. The engine's algorithms are reused as they are; the merge
// walk reads an IFuzzySet argument through a point view. Results of operations are new sets held
// by the returned reference; they join no variable's table until added there.
//
// Create sets with TIFuzzySet::Create (or a variable's Add(Name)): a set must be held by a counted
// reference before anything is done with it.
//
//   IPtr<IFuzzySet> Warm = Temperature->Add("warm");   // stored in the variable's table
//   Warm->CreateTriangleFunctionValues(10, 20, 30);
//   IPtr<IFuzzySet> Either = Warm->Union(Hot);          // held by the reference, not stored

#include <string>
#include <string_view>

#include "fuzzy/engine/fuzzy_set.h"
#include "fuzzy/imodel/interfaced.h"
#include "fuzzy/vocabulary/fuzzy_interfaces.h"

namespace fuzzy {

class TIFuzzySet;

// The point list of an interfaced set, with the additions its interface hands on to it.
class TIFSValues : public TFuzzySetValues {
 public:
  std::string ClassName() const override { return "TIFSValues"; }

  using TFuzzySetValues::Add;
  using TFuzzySetValues::Append;
  using TFuzzySetValues::Assign;
  using TFuzzySetValues::Insert;
  // Add() (Insert(Index)) then SetValue(X, Y), inside its own update bracket; the index the new
  // point was given. A coordinate that is not finite, or an Index outside 0 to Count(), raises
  // before the point is made.
  int Add(TFzyFloat X, TFzyFloat Y);
  int Insert(int Index, TFzyFloat X, TFzyFloat Y);
  void Append(const IPtr<IFuzzySet>& Source);
  // Appends Source's points Index to Index + Count - 1, the range first pulled into Source's points.
  virtual void Append(const IPtr<IFuzzySet>& Source, int Index, int Count);
  // Replaces the points by Source's.
  void AssignValues(const IPtr<IFuzzySet>& Source);
  // Same count and every point pair equal in X and Y within the tolerance.
  virtual bool EqualsValues(const IPtr<IFuzzySet>& FuzzySet) const;
  // The owning set's interface assignment.
  void Assign(const IPtr<IInterface>& AValue);
  int GetCount() const { return Count(); }
  // The owning set's text.
  std::string ToString() const override;

 protected:
  ~TIFSValues() override = default;
  explicit TIFSValues(TIFuzzySet* FuzzySet);
  template <typename T, typename... Args>
  friend T* New(Args&&...);

 private:
  TIFuzzySet& Owner() const;
};

class TIFuzzySet : public TInterfaced<TFuzzySet, IFuzzySet> {
 public:
  std::string ClassName() const override { return "TIFuzzySet"; }
  TFuzzySetClass ClassType() const override { return &CreateFuzzySet<TIFuzzySet>; }

  // A new set of Class (a class derived from TIFuzzySet) named Name that belongs to Variable, which
  // stores it when it is defined.
  static IPtr<IFuzzySet> Create(const IPtr<IFuzzyVariable>& Variable, const std::string& Name,
                                TFuzzySetClass Class = &CreateFuzzySet<TIFuzzySet>);
  // The set behind an interface reference of this model; raises EFzyException for a foreign one.
  static TIFuzzySet& Implementation(const IPtr<IFuzzySet>& FuzzySet);
  // The set behind Set when it is one of this model, else nullptr.
  static TIFuzzySet* Of(IFuzzySet* Set);
  static TIFuzzySet* Of(TFuzzySet* Set);

  TIFSValues& Values() const;

  // ---- ICloneable ----
  using TFuzzySet::Assign;
  // From another IFuzzySet: variable, set type, inflection point, points, expression and parser
  // (not name, comment, tag, index or Defined). Anything else changes nothing.
  void Assign(const IPtr<IInterface>& AValue) override;
  // From a TPersistent: a TIFuzzySet source also gives its variable and parser.
  void Assign(const TPersistent* Source) override;
  // A copy (with name, points, set type, inflection point, expression) in the same variable.
  IPtr<IInterface> Clone() override;
  using TFuzzySet::Clone;
  // Whether both sets reach the variable's threshold somewhere (0.01 without a variable).
  bool Equals(const IPtr<IInterface>& AValue) override;
  using TFuzzySet::Equals;
  int Tag() const override { return static_cast<int>(TFuzzySet::Tag()); }
  void SetTag(int Value) override { TFuzzySet::SetTag(Value); }

  // ---- properties ----
  TFzyFloat GetCompatibilityIndex() const override { return TFuzzySet::GetCompatibilityIndex(); }
  TFzyFloat GetInflectionPoint() const override { return InflectionPoint(); }
  std::string Expression() const override { return TFuzzySet::Expression(); }
  void SetExpression(const std::string& Value) override { TFuzzySet::SetExpression(Value); }
  std::string Name() const override { return TFuzzySet::Name(); }
  // Keeps the variable's table keyed by the name: out under the old name, in under the new one.
  void SetName(const std::string& Value) override;
  TFuzzySetType SetType() const override { return TFuzzySet::SetType(); }
  void SetSetType(TFuzzySetType Value) override { TFuzzySet::SetSetType(Value); }
  TFzyFloat XValues(int Index) const override;
  void SetXValues(int Index, TFzyFloat Value) override;
  TFzyFloat YValues(int Index) const override;
  void SetYValues(int Index, TFzyFloat Value) override;
  TFzyFloat GetXMaximum() const override;
  TFzyFloat GetXMinimum() const override;
  // The parser's text when the set has a parser; otherwise the class model's text.
  std::string ToString() const override;
  std::string GetValuesToString() const override { return TFuzzySet::GetValuesToString(); }
  IPtr<IFuzzyVariable> Variable() const override { return FVariable; }
  // Whether the set's variable is Variable, asked without taking a reference.
  bool BelongsTo(const IFuzzyVariable* Variable) const { return FVariable.Get() == Variable; }
  // Leaves the old variable's table, joins the new one's when defined, takes its parser.
  void SetVariable(const IPtr<IFuzzyVariable>& Value) override;
  IPtr<IFuzzyParser> Parser() const override { return FParser; }
  void SetParser(const IPtr<IFuzzyParser>& Value) override { FParser = Value; }
  int Index() const override { return FIndex; }
  void SetIndex(int Value) override { FIndex = Value; }
  bool Defined() const override { return TFuzzySet::Defined(); }
  void SetDefined(bool Value) override { TFuzzySet::SetDefined(Value); }
  std::string Comment() const override { return TFuzzySet::Comment(); }
  void SetComment(const std::string& Value) override { TFuzzySet::SetComment(Value); }

  // ---- the point list ----
  int GetCount() const override { return Values().Count(); }
  void Append(const IPtr<IFuzzySet>& Source) override { Values().Append(Source); }
  void Append(const IPtr<IFuzzySet>& Source, int Index, int Count) override {
    Values().Append(Source, Index, Count);
  }
  void AssignValues(const IPtr<IFuzzySet>& Source) override { Values().AssignValues(Source); }
  int Add(TFzyFloat X, TFzyFloat Y) override { return Values().Add(X, Y); }
  void BeginUpdate() override { Values().BeginUpdate(); }
  void Clear() override { Values().Clear(); }
  void Delete(int Index) override { Values().Delete(Index); }
  void EndUpdate() override { Values().EndUpdate(); }
  int Insert(int Index, TFzyFloat X, TFzyFloat Y) override { return Values().Insert(Index, X, Y); }
  void Expand(int Index) override { Values().Expand(Index); }
  TFzyFloat GetMaxValue() const override { return Values().GetMaxValue(); }
  TFzyFloat GetMinValue() const override { return Values().GetMinValue(); }
  int SkipX(int Index, TFzyFloat X, int Step) const override { return Values().SkipX(Index, X, Step); }
  int SkipY(int Index, TFzyFloat Y, int Step) const override { return Values().SkipY(Index, Y, Step); }

  // ---- shapes, membership, defuzzification ----
  void CreateCrispValue(TFzyFloat Value) override { TFuzzySet::CreateCrispValue(Value); }
  void CreateTriangleFunctionValues(TFzyFloat Left, TFzyFloat Middle, TFzyFloat Right) override {
    TFuzzySet::CreateTriangleFunctionValues(Left, Middle, Right);
  }
  void CreateCurveValues(int Num, TFzyFloat Left, TFzyFloat Right, TFzyFloat InflectionPoint,
                         bool Growth) override {
    TFuzzySet::CreateCurveValues(Num, Left, Right, InflectionPoint, Growth);
  }
  void CreatePIFunctionValues(int Num, TFzyFloat Left, TFzyFloat Right, TFzyFloat Center) override {
    TFuzzySet::CreatePIFunctionValues(Num, Left, Right, Center);
  }
  void CreatePIFunctionValues(int Num, TFzyFloat Range, TFzyFloat Center) override {
    TFuzzySet::CreatePIFunctionValues(Num, Range, Center);
  }
  void CreateBetaCurveFunctionValues(int Num, TFzyFloat Range, TFzyFloat Center,
                                     TFzyFloat InflectionPoint) override {
    TFuzzySet::CreateBetaCurveFunctionValues(Num, Range, Center, InflectionPoint);
  }
  void CreateBetaCurveFunctionValues(int Num, TFzyFloat Range, TFzyFloat Center, TFzyFloat InflectionPoint,
                                     TFzyFloat Weight) override {
    TFuzzySet::CreateBetaCurveFunctionValues(Num, Range, Center, InflectionPoint, Weight);
  }
  TFzyFloat DegreeOfMembership(TFzyFloat Value) const override {
    return TFuzzySet::DegreeOfMembership(Value);
  }
  TFzyFloat Defuzzify() const override { return TFuzzySet::Defuzzify(); }
  TFzyFloat MeanOfMaxima() const override { return TFuzzySet::MeanOfMaxima(); }
  TFzyFloat CenterOfGravity() const override { return TFuzzySet::CenterOfGravity(); }
  bool IsUndecidable() const override { return TFuzzySet::IsUndecidable(); }

  // ---- operations that change the set itself and return it ----
  IPtr<IFuzzySet> Hedge(TFuzzyHedge HedgeType) override;
  IPtr<IFuzzySet> Hedge(TBaseFuzzyHedge ModifyType, TFzyFloat Value, bool ModifyY) override;
  IPtr<IFuzzySet> Normalize() override;
  IPtr<IFuzzySet> Correlate(TFzyFloat CorrelationStrength,
                            TFuzzyCorrelationMethod CorrelationMethod) override;

  // ---- comparisons and combinations with an interfaced argument ----
  using TFuzzySet::FuzzyEquals;
  using TFuzzySet::GetCorrelationStrength;
  using TFuzzySet::Intersection;
  using TFuzzySet::Intersects;
  using TFuzzySet::Iterate;
  using TFuzzySet::Operator;
  using TFuzzySet::Union;
  // 0 for an AValue that is not a fuzzy set.
  TFzyFloat FuzzyEquals(const IPtr<IInterface>& AValue) const override;
  TFzyFloat GetCorrelationStrength(const IPtr<IFuzzySet>& Match) const override;
  bool Iterate(const IPtr<IFuzzySet>& FuzzySet, const TIFuzzyComparison& FuzzyOperator) const override;
  bool Intersects(const IPtr<IFuzzySet>& FuzzySet) const override;
  // The result is named 'this keyword other', belongs to this set's variable (which does not store
  // it) and has this set's set type, inflection point and parser.
  IPtr<IFuzzySet> Operator(const IPtr<IFuzzySet>& FuzzySet, const std::string& OperatorKeyword,
                           const TIFuzzyOperator& FuzzyOperator) override;
  IPtr<IFuzzySet> Intersection(const IPtr<IFuzzySet>& FuzzySet) override;
  IPtr<IFuzzySet> Intersection(const IPtr<IFuzzySet>& FuzzySet, TFuzzyOperation IntersectionType) override;
  IPtr<IFuzzySet> Union(const IPtr<IFuzzySet>& FuzzySet) override;
  IPtr<IFuzzySet> Union(const IPtr<IFuzzySet>& FuzzySet, TFuzzyOperation UnionType) override;
  IPtr<IFuzzySet> Infer(const IPtr<IFuzzySet>& NewEvidence, TFuzzyInferenceMethod InferenceMethod,
                        bool Unconditional) override;
  bool LineSegmentIntersects(TFzyFloat X1, TFzyFloat Y1, TFzyFloat X2, TFzyFloat Y2, TFzyFloat X3,
                             TFzyFloat Y3, TFzyFloat X4, TFzyFloat Y4, TFzyFloat& X,
                             TFzyFloat& Y) const override {
    return TFuzzySet::LineSegmentIntersects(X1, Y1, X2, Y2, X3, Y3, X4, Y4, X, Y);
  }

  // ---- cuts and copies: new sets ----
  // Named 'name (alpha=cut)' with the cut as passed; belongs to this set's variable.
  IPtr<IFuzzySet> AlphaCutoff(TFzyFloat CutOff, bool StrongCutoff) override;
  // Belongs to no variable.
  IPtr<IFuzzySet> Cutoff(TFzyFloat CutOff, bool CutValuesBelow) override;
  IPtr<IFuzzySet> Clone(const IPtr<IFuzzyVariable>& Variable) override;

  TFzyFloat GetXRange(int Index) const override;
  void UpdateFuzzySetValue(TFuzzySetValue* Value) override;
  void UpdateFuzzySetValues() override;
  void BeforeDestruction() override;

 protected:
  ~TIFuzzySet() override = default;
  explicit TIFuzzySet(TCollection* Collection) : TInterfaced(Collection) {}
  template <typename T, typename... Args>
  friend T* New(Args&&...);

  TFuzzySetValues* CreateValues() override;
  // A derived name stays a recipe while renaming the set would not touch its variable's table.
  bool DefersDerivedNames() const override;

 private:
  // A counted reference to this set, for the calls that hand it on.
  IPtr<IFuzzySet> Self() { return IPtr<IFuzzySet>(this); }
  // Takes a new set that the engine made with this set's class.
  static IPtr<IFuzzySet> Adopt(TFuzzySet* Result);
  // Visit(points) with FuzzySet's points: read directly when it is a set of this model, else through
  // its interface.
  template <typename TVisit>
  static decltype(auto) WithPoints(const IPtr<IFuzzySet>& FuzzySet, TVisit&& Visit);
  // The result of combining this set with FuzzySet: a new set of this set's class that belongs to
  // this set's variable (which does not store it) and has its parser and inflection point, named
  // and filled by the engine's FillCombination with Walk(Result, Points, Other), where Other is
  // FuzzySet when it is a set of this model (read directly) and nullptr when it is not.
  template <typename TWalk>
  IPtr<IFuzzySet> Combine(const IPtr<IFuzzySet>& FuzzySet, std::string_view OperatorKeyword, TWalk&& Walk);
  // A built-in intersection (union) of kind Operation, whose degree function is Degree.
  template <TDegreeFunction& Degree>
  IPtr<IFuzzySet> CombineBuiltIn(const IPtr<IFuzzySet>& FuzzySet, std::string_view OperatorKeyword,
                                 TFuzzyOperation Operation, bool IsUnion);

  IPtr<IFuzzyVariable> FVariable;
  IPtr<IFuzzyParser> FParser;
  int FIndex = 0;
};

// A process-wide counter: 1 on the first call, one more on each later call, from any thread.
int GetUniqueID();

}  // namespace fuzzy
