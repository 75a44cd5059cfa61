#pragma once
// The interfaces of the interface model: reference-counted fuzzy sets and linguistic variables,
// the parser as seen by them, fuzzy stream tokens and token lists, and the callback types.
//
// Property accessors are method pairs: Name() / SetName(Value). Strings are returned by value, so
// a caller never holds a reference into an object that a later call may free. Sequences of sets
// are spans of counted references.
//
//   IPtr<IFuzzyVariable> Tip = TIFuzzyVariable::Create("tip");
//   IPtr<IFuzzySet> Cheap = Tip->Add("cheap");

#include <functional>
#include <span>
#include <string>

#include "fuzzy/companion/common_interfaces.h"
#include "fuzzy/runtime/encoding.h"
#include "fuzzy/vocabulary/fuzzy_consts.h"

namespace fuzzy {

class IFuzzySet;
class IFuzzyVariable;
class IFuzzyParser;

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TIFuzzySetEvent =
    std::function<void(const IPtr<IFuzzyVariable>& Sender, const IPtr<IFuzzySet>& FuzzySet)>;
using TIFuzzyVariableEvent = std::function<void(const IPtr<IFuzzyVariable>& FuzzyVariable)>;
// Result comes in as the set computed so far and may be replaced.
using TIFuzzyExpressionEvent = std::function<void(const IPtr<IFuzzyVariable>& Sender,
                                                  const std::string& Expression, IPtr<IFuzzySet>& Result)>;
// Merge-walk callbacks over interfaced sets; a true result stops the walk. Result is the set under
// construction: append to it with Result->Add(X, Y).
using TIFuzzyOperator = std::function<bool(const IPtr<IFuzzySet>& Result, TFzyFloat X1, TFzyFloat Y1,
                                           TFzyFloat X2, TFzyFloat Y2)>;
using TIFuzzyComparison = std::function<bool(TFzyFloat X1, TFzyFloat Y1, TFzyFloat X2, TFzyFloat Y2)>;

using TIFuzzySetSpan = std::span<const IPtr<IFuzzySet>>;

class IFuzzySet : public virtual ICloneable {
 public:
  static constexpr TGUID IID = TGUID::FromString("{B5C057E4-FD60-4818-9641-B61A71B492CF}");

  virtual TFzyFloat GetCompatibilityIndex() const = 0;
  virtual TFzyFloat GetInflectionPoint() const = 0;
  virtual std::string Expression() const = 0;
  virtual void SetExpression(const std::string& Value) = 0;
  virtual std::string Name() const = 0;
  // Raises EFzyException for a reserved word.
  virtual void SetName(const std::string& Value) = 0;
  virtual TFuzzySetType SetType() const = 0;
  virtual void SetSetType(TFuzzySetType Value) = 0;
  virtual TFzyFloat XValues(int Index) const = 0;
  virtual void SetXValues(int Index, TFzyFloat Value) = 0;
  virtual TFzyFloat YValues(int Index) const = 0;
  virtual void SetYValues(int Index, TFzyFloat Value) = 0;
  // The variable's range; without a variable the last (first) point's X.
  virtual TFzyFloat GetXMaximum() const = 0;
  virtual TFzyFloat GetXMinimum() const = 0;
  virtual std::string ToString() const = 0;
  virtual std::string GetValuesToString() const = 0;
  virtual IPtr<IFuzzyVariable> Variable() const = 0;
  virtual IPtr<IFuzzyParser> Parser() const = 0;
  virtual int Index() const = 0;
  virtual void SetIndex(int Value) = 0;
  virtual bool Defined() const = 0;
  virtual void SetDefined(bool Value) = 0;
  virtual void SetParser(const IPtr<IFuzzyParser>& Value) = 0;
  virtual void SetVariable(const IPtr<IFuzzyVariable>& Value) = 0;

  // ---- the point list ----
  virtual int GetCount() const = 0;
  virtual void Append(const IPtr<IFuzzySet>& Source) = 0;
  virtual void Append(const IPtr<IFuzzySet>& Source, int Index, int Count) = 0;
  virtual void AssignValues(const IPtr<IFuzzySet>& Source) = 0;
  // Returns the index at which the point was appended.
  virtual int Add(TFzyFloat X, TFzyFloat Y) = 0;
  virtual void BeginUpdate() = 0;
  virtual void Clear() = 0;
  virtual void Delete(int Index) = 0;
  virtual void EndUpdate() = 0;
  virtual int Insert(int Index, TFzyFloat X, TFzyFloat Y) = 0;
  virtual void Expand(int Index) = 0;
  virtual TFzyFloat GetMaxValue() const = 0;
  virtual TFzyFloat GetMinValue() const = 0;
  virtual int SkipX(int Index, TFzyFloat X, int Step) const = 0;
  virtual int SkipY(int Index, TFzyFloat Y, int Step) const = 0;

  // ---- rules, shapes, defuzzification ----
  virtual TFzyFloat GetCorrelationStrength(const IPtr<IFuzzySet>& Match) const = 0;
  virtual IPtr<IFuzzySet> Correlate(TFzyFloat CorrelationStrength,
                                    TFuzzyCorrelationMethod CorrelationMethod) = 0;
  virtual IPtr<IFuzzySet> Infer(const IPtr<IFuzzySet>& NewEvidence, TFuzzyInferenceMethod InferenceMethod,
                                bool Unconditional) = 0;
  virtual void CreateCrispValue(TFzyFloat Value) = 0;
  virtual void CreateTriangleFunctionValues(TFzyFloat Left, TFzyFloat Middle, TFzyFloat Right) = 0;
  virtual void CreateCurveValues(int Num, TFzyFloat Left, TFzyFloat Right, TFzyFloat InflectionPoint,
                                 bool Growth) = 0;
  virtual void CreatePIFunctionValues(int Num, TFzyFloat Left, TFzyFloat Right, TFzyFloat Center) = 0;
  virtual void CreatePIFunctionValues(int Num, TFzyFloat Range, TFzyFloat Center) = 0;
  virtual void CreateBetaCurveFunctionValues(int Num, TFzyFloat Range, TFzyFloat Center,
                                             TFzyFloat InflectionPoint) = 0;
  virtual void CreateBetaCurveFunctionValues(int Num, TFzyFloat Range, TFzyFloat Center,
                                             TFzyFloat InflectionPoint, TFzyFloat Weight) = 0;
  virtual TFzyFloat DegreeOfMembership(TFzyFloat Value) const = 0;
  virtual TFzyFloat FuzzyEquals(const IPtr<IInterface>& AValue) const = 0;
  virtual IPtr<IFuzzySet> Hedge(TFuzzyHedge HedgeType) = 0;
  virtual IPtr<IFuzzySet> Hedge(TBaseFuzzyHedge ModifyType, TFzyFloat Value, bool ModifyY) = 0;
  virtual TFzyFloat Defuzzify() const = 0;
  virtual TFzyFloat MeanOfMaxima() const = 0;
  virtual TFzyFloat CenterOfGravity() const = 0;
  virtual bool IsUndecidable() const = 0;

  // ---- combination and cuts ----
  virtual bool Intersects(const IPtr<IFuzzySet>& FuzzySet) const = 0;
  virtual IPtr<IFuzzySet> Intersection(const IPtr<IFuzzySet>& FuzzySet) = 0;
  virtual IPtr<IFuzzySet> Intersection(const IPtr<IFuzzySet>& FuzzySet, TFuzzyOperation IntersectionType) = 0;
  virtual bool LineSegmentIntersects(TFzyFloat X1, TFzyFloat Y1, TFzyFloat X2, TFzyFloat Y2, TFzyFloat X3,
                                     TFzyFloat Y3, TFzyFloat X4, TFzyFloat Y4, TFzyFloat& X,
                                     TFzyFloat& Y) const = 0;
  virtual IPtr<IFuzzySet> Union(const IPtr<IFuzzySet>& FuzzySet) = 0;
  virtual IPtr<IFuzzySet> Union(const IPtr<IFuzzySet>& FuzzySet, TFuzzyOperation UnionType) = 0;
  virtual IPtr<IFuzzySet> Normalize() = 0;
  virtual bool Iterate(const IPtr<IFuzzySet>& FuzzySet, const TIFuzzyComparison& FuzzyOperator) const = 0;
  virtual IPtr<IFuzzySet> Operator(const IPtr<IFuzzySet>& FuzzySet, const std::string& OperatorKeyword,
                                   const TIFuzzyOperator& FuzzyOperator) = 0;
  virtual IPtr<IFuzzySet> AlphaCutoff(TFzyFloat CutOff, bool StrongCutoff) = 0;
  virtual IPtr<IFuzzySet> Cutoff(TFzyFloat CutOff, bool CutValuesBelow) = 0;
  // A copy of the points (not the set type, inflection point or expression) that belongs to Variable.
  virtual IPtr<IFuzzySet> Clone(const IPtr<IFuzzyVariable>& Variable) = 0;
  using ICloneable::Clone;
  virtual std::string Comment() const = 0;
  virtual void SetComment(const std::string& Value) = 0;

 protected:
  ~IFuzzySet() = default;
};

class IFuzzyVariable : public virtual ICloneable {
 public:
  static constexpr TGUID IID = TGUID::FromString("{F749FF55-FFF4-4F92-9B6F-14568D174661}");

  virtual TDefuzzificationMethod DefuzzificationMethod() const = 0;
  virtual TFzyFloat Maximum() const = 0;
  virtual TFzyFloat Minimum() const = 0;
  virtual std::string Name() const = 0;
  virtual std::string ToString() const = 0;
  virtual std::string Units() const = 0;
  virtual int NumFunctionValues() const = 0;
  virtual TNotifyEvent OnChange() const = 0;
  virtual TIFuzzyVariableEvent OnVariableChange() const = 0;
  virtual TIFuzzySetEvent OnFuzzySetChange() const = 0;
  virtual IPtr<IFuzzyParser> Parser() const = 0;
  virtual TFzyFloat Threshold() const = 0;
  virtual std::string Comment() const = 0;
  virtual TIFuzzySetEvent OnFuzzySetAdded() const = 0;
  virtual TIFuzzySetEvent OnFuzzySetDeleted() const = 0;
  virtual void SetOnFuzzySetAdded(TIFuzzySetEvent Value) = 0;
  virtual void SetOnFuzzySetDeleted(TIFuzzySetEvent Value) = 0;
  virtual void SetComment(const std::string& Value) = 0;
  virtual void SetParser(const IPtr<IFuzzyParser>& Value) = 0;
  virtual void SetDefuzzificationMethod(TDefuzzificationMethod Value) = 0;
  virtual void SetMaximum(TFzyFloat Value) = 0;
  virtual void SetMinimum(TFzyFloat Value) = 0;
  virtual void SetName(const std::string& Value) = 0;
  virtual void SetUnits(const std::string& Value) = 0;
  virtual void SetNumFunctionValues(int Value) = 0;
  virtual void SetOnChange(TNotifyEvent Value) = 0;
  virtual void SetOnVariableChange(TIFuzzyVariableEvent Value) = 0;
  virtual void SetOnFuzzySetChange(TIFuzzySetEvent Value) = 0;
  virtual void SetThreshold(TFzyFloat Value) = 0;

  // ---- rules ----
  virtual TFzyFloat GetCorrelationStrength(TIFuzzySetSpan Premises, TIFuzzySetSpan Matchings) = 0;
  virtual IPtr<IFuzzySet> AssertRule(TIFuzzySetSpan Premises, TIFuzzySetSpan Matchings,
                                     const IPtr<IFuzzySet>& NewEvidence,
                                     const IPtr<IFuzzySet>& OldEvidence) = 0;
  virtual IPtr<IFuzzySet> AssertRule(TFzyFloat CorrelationStrength, const IPtr<IFuzzySet>& NewEvidence,
                                     const IPtr<IFuzzySet>& OldEvidence) = 0;
  virtual IPtr<IFuzzySet> AssertRule(const IPtr<IFuzzySet>& Premise, const IPtr<IFuzzySet>& NewEvidence,
                                     const IPtr<IFuzzySet>& Matching, const IPtr<IFuzzySet>& OldEvidence) = 0;

  // ---- the set table ----
  virtual int GetCount() const = 0;
  virtual IPtr<IFuzzySet> GetFuzzySet(int Index) const = 0;
  virtual IPtr<IFuzzySet> GetFuzzySetByName(const std::string& Name) const = 0;
  virtual void Add(const IPtr<IFuzzySet>& FuzzySet) = 0;
  virtual IPtr<IFuzzySet> Add(const std::string& Name) = 0;
  virtual void AssignFuzzySets(const IPtr<IFuzzyVariable>& Source) = 0;
  virtual void BeginUpdate() = 0;
  virtual void Clear() = 0;
  // The set stored under Name, or nil.
  virtual IPtr<IFuzzySet> ContainsFuzzySet(const std::string& Name) const = 0;
  virtual void Remove(const IPtr<IFuzzySet>& FuzzySet) = 0;
  virtual void EndUpdate() = 0;
  virtual void FuzzySetChanged(const IPtr<IFuzzySet>& FuzzySet) = 0;

 protected:
  ~IFuzzyVariable() = default;
};

// A parser as the interface model reaches it. Parsers are components: their reference counting
// calls count nothing, so an IFuzzyParser reference never keeps a parser alive.
class IFuzzyParser : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::FromString("{7F0ED40B-4048-46BB-8EFB-DAB9532F6A54}");

  // The crisp value of the set that Expression yields over Variable's sets; the set in FuzzySet.
  virtual TFzyFloat EvalFuzzyExpression(const IPtr<IFuzzyVariable>& Variable, const std::string& Expression,
                                        IPtr<IFuzzySet>& FuzzySet) = 0;
  virtual IPtr<IFuzzySet> EvalFuzzyExpression(const IPtr<IFuzzyVariable>& Variable,
                                              const std::string& Expression) = 0;
  virtual IPtr<IFuzzySet> ParseFuzzySet(const IPtr<IFuzzyVariable>& Variable, const std::string& AString,
                                        TEncoding* Encoding) = 0;
  virtual IPtr<IFuzzyVariable> ParseFuzzyVariableIntf(const std::string& AString, TEncoding* Encoding) = 0;
  virtual std::string PrettyPrint(const IPtr<IFuzzySet>& FuzzySet, bool AsDefinition) = 0;
  virtual std::string PrettyPrint(const IPtr<IFuzzyVariable>& FuzzyVariable) = 0;

 protected:
  ~IFuzzyParser() = default;
};

class IFuzzyStreamTokenList;

class IFuzzyStreamToken : public virtual IBaseStreamToken {
 public:
  static constexpr TGUID IID = TGUID::FromString("{E86CEA84-8228-4C29-8F78-6B9728B01227}");

  virtual IPtr<IInterface> IntfValue() const = 0;
  virtual IPtr<IFuzzySet> FuzzySetIntf() const = 0;
  virtual IPtr<IFuzzyStreamTokenList> List() const = 0;
  virtual TObject* ObjValue() const = 0;
  virtual void SetFuzzySetIntf(const IPtr<IFuzzySet>& Value) = 0;
  virtual void SetIntfValue(const IPtr<IInterface>& Value) = 0;
  virtual void SetList(const IPtr<IFuzzyStreamTokenList>& Value) = 0;
  virtual void SetObjValue(TObject* Value) = 0;

 protected:
  ~IFuzzyStreamToken() = default;
};

class IFuzzyStreamTokenList : public virtual IBaseStreamTokenList {
 public:
  static constexpr TGUID IID = TGUID::FromString("{FC119D38-7F42-433A-9E04-A0577D6E188C}");

  virtual IPtr<IFuzzyStreamToken> Get(int Index) const = 0;
  virtual void Put(int Index, const IPtr<IFuzzyStreamToken>& Token) = 0;
  virtual bool Equals(const IPtr<IFuzzyStreamTokenList>& Other) = 0;
  using ICloneable::Equals;
  virtual int Add(const IPtr<IFuzzyStreamToken>& Token) = 0;
  virtual IPtr<IFuzzyStreamToken> First() const = 0;
  virtual int IndexOf(const IPtr<IFuzzyStreamToken>& Token) const = 0;
  virtual void Insert(int Index, const IPtr<IFuzzyStreamToken>& Token) = 0;
  virtual IPtr<IFuzzyStreamToken> Last() const = 0;
  virtual void Append(const IPtr<IFuzzyStreamTokenList>& Other) = 0;
  virtual void Remove(const IPtr<IFuzzyStreamToken>& Token) = 0;

 protected:
  ~IFuzzyStreamTokenList() = default;
};

}  // namespace fuzzy
