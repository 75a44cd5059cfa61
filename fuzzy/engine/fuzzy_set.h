#pragma once
// One fuzzy set: a name and a membership function held as a point list, linearly interpolated
// between points and constant beyond the first and the last point.
//
//   TOwned<TFuzzySet> Warm = MakeOwned<TFuzzySet>(nullptr);
//   Warm->SetName("warm");
//   Warm->CreateTriangleFunctionValues(10, 25, 40);
//   Warm->DegreeOfMembership(20);                           // 0.6667
//   TOwned<TFuzzySet> Hot = Adopt(Warm->Clone());
//   Hot->Hedge(fhVery);                                     // changes Hot itself
//   TOwned<TFuzzySet> Either = Adopt(Warm->Union(Hot.get()));  // a new set: 'warm or very warm'
//
// A set normally lives in the set list of a linguistic variable and is created by it; it can also
// stand alone (New<TFuzzySet>(nullptr) or MakeOwned<TFuzzySet>(nullptr)). Operations that yield a
// new set (union, intersection, cuts, inference, cloning) create it with the set's own class in the
// set's own collection: the result of a set that belongs to a variable joins that variable, which
// owns it; the result of a free-standing set is returned as a raw pointer that belongs to the
// caller (Adopt(Result) puts it in a TOwned). Hedges and correlation change the set itself.
//
// Failures: an operation that raises leaves the set (its points, name, expression and type) as it
// was and reports no change, unless its comment says what it leaves. No NaN or infinite coordinate
// is ever stored; finite input gives finite results.
//
// Threads: const operations on sets that no thread changes may run on several threads at once,
// also on sets of one variable and logic component (degrees, defuzzification, correlation
// strength, names, expressions, texts); sets that share nothing may be used on different threads.

#include <cstdint>
#include <functional>
#include <string>

#include "fuzzy/engine/deferred_text.h"
#include "fuzzy/engine/fuzzy_degrees.h"
#include "fuzzy/engine/fuzzy_context.h"
#include "fuzzy/engine/fuzzy_math.h"
#include "fuzzy/engine/fuzzy_set_values.h"

namespace fuzzy {

class TFuzzySet;

// A missing set or callback; formatted with the operation and what is missing.
inline constexpr std::string_view SMissingArgument = "Invalid operation: \"%s\".  %s not assigned";

// The class of a set, as a factory that creates an instance in Collection (nullptr for none).
using TFuzzySetClass = TFuzzySet* (*)(TCollection* Collection);

template <typename T>
TFuzzySet* CreateFuzzySet(TCollection* Collection) {
  return New<T>(Collection);
}

// Merge-walk callbacks. A true result stops the walk. FuzzySet is the point list of the result
// under construction; (X1, Y1) is a place and the first set's degree there, (X2, Y2) the same
// place and the second set's degree.
using TFuzzyOperator =
    std::function<bool(TFuzzySetValues& FuzzySet, TFzyFloat X1, TFzyFloat Y1, TFzyFloat X2, TFzyFloat Y2)>;
using TFuzzyComparison = std::function<bool(TFzyFloat X1, TFzyFloat Y1, TFzyFloat X2, TFzyFloat Y2)>;

class TFuzzySet : public TFuzzySetValuesOwner {
 public:
  std::string ClassName() const override { return "TFuzzySet"; }
  // The factory of this set's own class; descendants override it.
  virtual TFuzzySetClass ClassType() const { return &CreateFuzzySet<TFuzzySet>; }

  // ---- properties ----
  const std::string& Name() const { return FName.Text(); }
  // Raises EFzyException (SInvalidFuzzySetName) for a keyword, hedge or hedge operator.
  virtual void SetName(const std::string& Value);
  const std::string& Comment() const { return FComment; }
  void SetComment(const std::string& Value);
  TFuzzySetType SetType() const { return FSetType; }
  // Regenerates the points with a standard shape over the set's X range.
  virtual void SetSetType(TFuzzySetType Value);
  TFuzzySetValues& Values() const { return *FValues; }
  // Copies Value's points (clear, then one copy per point, in one update bracket).
  void SetValues(const TFuzzySetValues* Value);
  bool Defined() const { return FDefined; }
  void SetDefined(bool Value) { FDefined = Value; }
  std::intptr_t Tag() const { return FTag; }
  void SetTag(std::intptr_t Value) { FTag = Value; }
  // The expression or number the set was computed from; cleared by any change of the points.
  const std::string& Expression() const { return FExpression.Text(); }
  void SetExpression(const std::string& Value) { FExpression = Value; }
  // Parameter remembered by the curve generators.
  TFzyFloat InflectionPoint() const { return FInflectionPoint; }
  void SetInflectionPoint(TFzyFloat Value) { FInflectionPoint = Value; }

  // The variable that holds the set (through its set list), or nullptr.
  const TFuzzyVariableContext* Variable() const;
  const TFuzzyVariableContext* GetVariable() const { return Variable(); }
  TFzyFloat XMaximum() const { return GetXRange(0); }
  TFzyFloat XMinimum() const { return GetXRange(1); }
  TFzyFloat DefuzzifyValue() const { return Defuzzify(); }
  void SetDefuzzifyValue(TFzyFloat Value) { CreateCrispValue(Value); }
  std::string AsString() const { return ToString(); }
  std::string ValuesToString() const { return GetValuesToString(); }
  TFzyFloat CompatibilityIndex() const { return GetCompatibilityIndex(); }

  // ---- object ----
  void Assign(const TPersistent* Source) override;
  // A copy of the same class in the same collection (so it joins the same variable); a set in no
  // collection gives a free-standing copy that belongs to the caller.
  virtual TFuzzySet* Clone() const;
  std::string GetDisplayName() const override;
  std::string GetItemName() const final { return FName.Text(); }
  bool NamedAs(std::string_view Name) const override { return FName.Text() == Name; }
  std::string ToString() const override;
  virtual std::string GetValuesToString() const;
  void SetCollection(TCollection* Value) override;
  // Mean degree of the points, 0 for an empty set.
  virtual TFzyFloat GetCompatibilityIndex() const;

  // ---- membership and shapes ----
  TFzyFloat DegreeOfMembership(TFzyFloat Value) const;
  // The shape generators add their points to those the set holds (they do not clear it; SetSetType
  // and CreateCrispValue do). Num is a point count, below 3 counted as 3; above MaxPointCount it
  // raises EFzyException (SPointCountLimit). An argument that is not finite, or a shape whose points
  // would not be (a beta curve whose weight sends a degree to infinity), raises EFzyException
  // (SInvalidPointValue); Left above Right raises SInvalidRangeArguments. Each raises before any
  // point changes.
  void CreateTriangleFunctionValues(TFzyFloat Left, TFzyFloat Middle, TFzyFloat Right);
  void CreateCurveValues(int Num, TFzyFloat Left, TFzyFloat Right, TFzyFloat InflectionPoint, bool Growth);
  // Expects an empty set: the peak is made by deleting points by position.
  void CreatePIFunctionValues(int Num, TFzyFloat Left, TFzyFloat Right, TFzyFloat Center);
  void CreatePIFunctionValues(int Num, TFzyFloat Range, TFzyFloat Center);
  // An InflectionPoint of 0 gives the limit of ever narrower curves: a spike at Center.
  void CreateBetaCurveFunctionValues(int Num, TFzyFloat Range, TFzyFloat Center, TFzyFloat InflectionPoint);
  void CreateBetaCurveFunctionValues(int Num, TFzyFloat Range, TFzyFloat Center, TFzyFloat InflectionPoint,
                                     TFzyFloat Weight);
  // Replaces the points by the spike (Value, 0), (Value, 1), (Value, 0).
  void CreateCrispValue(TFzyFloat Value);

  // ---- hedges: change the set itself, rename it, rewrite its Expression; return it ----
  // A value outside the enumeration raises EListError; "normalize" and "slightly" of an empty set
  // raise SFuzzySetEmpty.
  TFuzzySet* Hedge(TFuzzyHedge HedgeType);
  // A Value that is not finite, a division by 0, and a result that is not finite (a degree or an X
  // beyond the double range) raise EFzyException before any point changes.
  TFuzzySet* Hedge(TBaseFuzzyHedge ModifyType, TFzyFloat Value, bool ModifyY);
  // Scales the degrees so that the highest is 1; raises SFuzzySetEmpty for an empty set.
  TFuzzySet* Normalize();

  // ---- pairwise combination: new sets ----
  // The walk visits, in ascending X, every breakpoint of either set and every crossing of the two
  // graphs, and passes each place with both degrees to the callback. FuzzySet must not be null
  // (EFzyException), and the callback must not change the points of either set.
  //
  // The result is named 'left keyword right', has the Expression built the same way, and is made
  // with this set's class in this set's collection (see the top of this file for ownership). When
  // the callback raises, a free-standing result is freed; one in a collection stays there.
  TFuzzySet* Operator(const TFuzzySet* FuzzySet, const std::string& OperatorKeyword,
                      const TFuzzyOperator& FuzzyOperator) const;
  // True when the callback stopped the walk, or when both sets are empty.
  bool Iterate(const TFuzzySet* FuzzySet, const TFuzzyComparison& FuzzyOperator) const;
  TFuzzySet* Intersection(const TFuzzySet* FuzzySet) const;
  TFuzzySet* Union(const TFuzzySet* FuzzySet) const;
  // foSum, or a value outside the enumeration, raises EFzyException (SInvalidFuzzyOperation) for an
  // intersection before anything is created; so does a value outside the enumeration for a union.
  virtual TFuzzySet* Intersection(const TFuzzySet* FuzzySet, TFuzzyOperation IntersectionType) const;
  virtual TFuzzySet* Union(const TFuzzySet* FuzzySet, TFuzzyOperation UnionType) const;
  // A quick test whether the two sets overlap.
  bool Intersects(const TFuzzySet* FuzzySet) const;
  static TFzyFloat InterpolateX(TFzyFloat X1, TFzyFloat Y1, TFzyFloat X2, TFzyFloat Y2, TFzyFloat YValue) {
    return InterpolateXAt<true>(X1, Y1, X2, Y2, YValue);
  }
  static TFzyFloat InterpolateY(TFzyFloat X1, TFzyFloat Y1, TFzyFloat X2, TFzyFloat Y2, TFzyFloat XValue) {
    return InterpolateYAt<true>(X1, Y1, X2, Y2, XValue);
  }

 protected:
  // Read access to a set's own points for the walk (internal/merge_walk.h).
  class TPoints;
  // The merge walk over two point views; true when the callback stopped it (internal/merge_walk.h).
  template <typename TPointsA, typename TPointsB, typename TCallback>
  static bool MergeWalk(const TPointsA& A, const TPointsB& B, TCallback&& Callback);
  // The overlap test over two point views (internal/merge_walk.h).
  template <typename TPointsA, typename TPointsB>
  static bool PointsIntersect(const TPointsA& A, const TPointsB& B);
  // Shrinks the level runs of a finished combination, in one pass: a leading run to its last
  // point, an inner run to its first and last, a trailing run to its first.
  static void RemoveLevelRuns(TFuzzySetValues& Values);
  // The crossing (X, Y) of segment (X1, Y1)-(X2, Y2) with segment (X3, Y3)-(X4, Y4).
  static bool LineSegmentIntersects(TFzyFloat X1, TFzyFloat Y1, TFzyFloat X2, TFzyFloat Y2, TFzyFloat X3,
                                    TFzyFloat Y3, TFzyFloat X4, TFzyFloat Y4, TFzyFloat& X, TFzyFloat& Y) {
    return SegmentsCross<true>(X1, Y1, X2, Y2, X3, Y3, X4, Y4, X, Y);
  }
  // The arithmetic of the line routines, Wide for coordinates that may lie so far apart that a
  // difference or a product passes the double range; the merge walk uses the plain one for sets
  // whose coordinates all lie within +-2^500, where that cannot happen.
  template <bool Wide>
  static TFzyFloat InterpolateXAt(TFzyFloat X1, TFzyFloat Y1, TFzyFloat X2, TFzyFloat Y2, TFzyFloat YValue);
  template <bool Wide>
  static TFzyFloat InterpolateYAt(TFzyFloat X1, TFzyFloat Y1, TFzyFloat X2, TFzyFloat Y2, TFzyFloat XValue);
  template <bool Wide>
  static bool SegmentsCross(TFzyFloat X1, TFzyFloat Y1, TFzyFloat X2, TFzyFloat Y2, TFzyFloat X3, TFzyFloat Y3,
                            TFzyFloat X4, TFzyFloat Y4, TFzyFloat& X, TFzyFloat& Y);
  // LineSegmentIntersects with every X, and every Y, scaled by a power of two to within [-1, 1].
  static bool LineSegmentIntersectsScaled(TFzyFloat X1, TFzyFloat Y1, TFzyFloat X2, TFzyFloat Y2, TFzyFloat X3,
                                          TFzyFloat Y3, TFzyFloat X4, TFzyFloat Y4, TFzyFloat& X, TFzyFloat& Y);
  // The same on points: a new free-standing point, or null when the segments do not cross.
  static TOwned<TFuzzySetValue> LineSegmentIntersects(const TFuzzySetValue& P1, const TFuzzySetValue& P2,
                                                      const TFuzzySetValue& P3, const TFuzzySetValue& P4);
  // The slope from P1 to P2; for a vertical pair, the sign of the rise.
  static TFzyFloat GetSlope(const TFuzzySetValue& P1, const TFuzzySetValue& P2);

  // The built-in operators: each appends (X1, its degree of Y1 and Y2) to FuzzySet and returns
  // false. The degrees are those of the matching degree functions.
  using TFuzzyOperatorFunction = bool(TFuzzySetValues& FuzzySet, TFzyFloat X1, TFzyFloat Y1, TFzyFloat X2,
                                      TFzyFloat Y2);
  static TFuzzyOperatorFunction FuzzyOperatorMin, FuzzyOperatorMax, FuzzyOperatorMean, FuzzyOperatorMeanSqr,
      FuzzyOperatorMeanSqrt, FuzzyOperatorUnionMean, FuzzyOperatorIntersectionProduct,
      FuzzyOperatorUnionProduct, FuzzyOperatorIntersectionBoundedSum, FuzzyOperatorUnionBoundedSum,
      FuzzyOperatorUnionSum;
  // The degree functions of the flavours are fuzzy_degrees.h's.
  using TDegreeFunction = TFzyFloat(TFzyFloat Y1, TFzyFloat Y2);
  // Calls Visit.template operator()<Degree>(Keyword) with the degree function of the built-in
  // operator and the keyword of an intersection (union) of kind Operation. foSum, or a value
  // outside the enumeration, raises EFzyException (SInvalidFuzzyOperation) for an intersection; so
  // does a value outside the enumeration for a union.
  template <typename TVisit>
  static decltype(auto) VisitIntersection(TFuzzyOperation Operation, TVisit&& Visit);
  template <typename TVisit>
  static decltype(auto) VisitUnion(TFuzzyOperation Operation, TVisit&& Visit);
  // Iterate over two point views: true for two empty views, else whether the callback stopped
  // the walk.
  template <typename TPointsA, typename TPointsB, typename TCallback>
  static bool IteratePoints(const TPointsA& A, const TPointsB& B, TCallback&& Callback);
  // The height of the pointwise minimum of two point views (the correlation strength), and whether
  // that minimum reaches Threshold somewhere (equality under a threshold).
  template <typename TPointsA, typename TPointsB>
  static TFzyFloat PointsCorrelationStrength(const TPointsA& A, const TPointsB& B);
  template <typename TPointsA, typename TPointsB>
  static bool PointsReachThreshold(const TPointsA& A, const TPointsB& B, TFzyFloat Threshold);
  // The threshold two sets without a variable must both reach somewhere to count as equal: the
  // default threshold a logic component gives its variables.
  static constexpr TFzyFloat FreeStandingThreshold = 0.01;

  // The texts a combination's result is named and described from.
  const TDeferredText& NameText() const { return FName; }
  const TDeferredText& ExpressionText() const { return FExpression; }
  // The one wrapper of every combination, in both models: gives Result the name 'this keyword
  // other' and fills its points with Fill(its point list) inside an update bracket; afterwards (also
  // when Fill raises) gives it the expression built the same way (internal/merge_walk.h). Who makes
  // and owns Result is the caller's business.
  template <typename TFill>
  void FillCombination(TFuzzySet& Result, const TDeferredText& OtherName, const TDeferredText& OtherExpression,
                       std::string_view OperatorKeyword, TFill&& Fill) const;
  // The points a built-in operator's walk visits, gathered before the result is made, so that a
  // degree beyond the double range is refused first (EFzyException) and the points the level-run
  // pass removes are never made; AppendTo then writes them to the result (internal/merge_walk.h).
  class TWalkedPoints;
  template <TDegreeFunction& Degree, typename TPointsA, typename TPointsB>
  static TWalkedPoints WalkBuiltIn(const TPointsA& A, const TPointsB& B);
  // The same for the built-in intersection (union) of kind Operation of this set with FuzzySet:
  // compiled once, here, so that both models run the same walk.
  TWalkedPoints WalkIntersection(const TFuzzySet& FuzzySet, TFuzzyOperation Operation) const;
  TWalkedPoints WalkUnion(const TFuzzySet& FuzzySet, TFuzzyOperation Operation) const;
  // Fills a combination's points with Append(Points, X1, Y1, X2, Y2) at every place of the walk,
  // then, unless Append stopped the walk, runs the level-run pass (internal/merge_walk.h).
  template <typename TPointsA, typename TPointsB, typename TAppend>
  static void WalkByCallback(TFuzzySetValues& Points, const TPointsA& A, const TPointsB& B, TAppend&& Append);
  // Whether a derived name may stay a recipe (SetDerivedName), which bypasses SetName: true for the
  // library's own set class; a descendant that overrides SetName answers for itself.
  virtual bool DefersDerivedNames() const;

 private:
  // A class-model combination: the result is made in this set's collection, filled, and returned
  // (see the top of this file for ownership); Fill as for FillCombination.
  template <typename TFill>
  TFuzzySet* CombineInto(const TFuzzySet* FuzzySet, std::string_view OperatorKeyword, TFill&& Fill) const;
  template <TDegreeFunction& Degree>
  TFuzzySet* CombineBuiltIn(const TFuzzySet* FuzzySet, std::string_view OperatorKeyword) const;

 public:
  // ---- cuts, defuzzification, inference, correlation ----
  // The cuts are new sets (see the top of this file for ownership). An empty set raises
  // EFzyException (SFuzzySetEmpty) before anything is created, except where the cut reads no
  // point: a strong alpha cut at 0 (a copy: no points) or 1 (the single point (0, 0)), a cut-off
  // that keeps everything (a copy) or levels everything (the single point (0, c)), for example
  // Cutoff(1.5, true) of an empty set gives (0, 1).
  TFuzzySet* AlphaCutoff(TFzyFloat CutOff, bool StrongCutoff) const;
  TFuzzySet* Cutoff(TFzyFloat CutOff, bool CutValuesBelow) const;
  TFzyFloat CenterOfGravity() const;
  TFzyFloat MeanOfMaxima() const;
  TFzyFloat Defuzzify() const;
  bool IsUndecidable() const;
  // The union (Unconditional: the intersection) with NewEvidence under the method's operation: a
  // new set, like the result of Union.
  TFuzzySet* Infer(const TFuzzySet* NewEvidence, TFuzzyInferenceMethod InferenceMethod,
                   bool Unconditional) const;
  TFuzzySet* Infer(const TFuzzySet* NewEvidence, bool Unconditional) const;
  // Changes the set itself: its degrees limited to the strength (with the points where it crosses
  // that level added, so the result is the smaller of the set and the strength at every X), or
  // multiplied by it. A strength that is not finite raises before any point changes.
  TFuzzySet* Correlate(TFzyFloat CorrelationStrength, TFuzzyCorrelationMethod CorrelationMethod);
  TFuzzySet* Correlate(TFzyFloat CorrelationStrength);
  // The height of the intersection: the largest min(Y1, Y2) over the places the walk visits.
  TFzyFloat GetCorrelationStrength(const TFuzzySet* Match) const;
  // Both reach the variable's threshold at some visited place.
  virtual bool Equals(const TFuzzySet* FuzzySet) const;
  virtual TFzyFloat FuzzyEquals(const TFuzzySet* FuzzySet) const;

  TFzyFloat GetXRange(int Index) const override;
  void UpdateFuzzySetValue(TFuzzySetValue* Value) override;
  void UpdateFuzzySetValues() override;

  void AfterConstruction() override;
  void BeforeDestruction() override;

 protected:
  explicit TFuzzySet(TCollection* Collection) : TFuzzySetValuesOwner(Collection) {}
  ~TFuzzySet() override = default;
  template <typename T, typename... Args>
  friend T* New(Args&&...);

  // Makes the point list; descendants may make their own list class.
  virtual TFuzzySetValues* CreateValues();
  // Assign from a set: the name, points, set type, inflection point and expression.
  void AssignSet(const TFuzzySet& Source);
  // Called by the class model's set list, which knows its variable, when the set joins it:
  // Variable() then answers without looking the variable up, until the set moves.
  friend class TFuzzySets;
  void JoinedVariable(const TFuzzyVariableContext* Variable);
  // A new empty set of this class in this set's collection: the home of every result.
  TFuzzySet* CreateResult() const;
  // Index of the highest (lowest) point among those sharing point Index's X, walking by Step.
  int GetMaxYValueOfX(int Index, int Step) const;
  int GetMinYValueOfX(int Index, int Step) const;
  // DegreeOfMembership for a walk that knows Value lies just before point Hint: answered from that
  // segment when the list is ascending and Value lies strictly inside it.
  template <bool Wide>
  TFzyFloat DegreeOfMembershipNear(TFzyFloat Value, int Hint) const;

  // Gives the set a derived name: one that differs from its current name and holds a space (so it
  // is no reserved word). Kept as a recipe when DefersDerivedNames(), else written out through
  // SetName.
  void SetDerivedName(TDeferredText Name);

  // Hedge building blocks.
  void Intensify(int Count, TFzyFloat Exponent);
  void FuzzyContrast(int Count, TFzyFloat Exponent);
  void FuzzyApproximation(int Count, TFzyFloat Exponent);

  // The number of points the standard shapes get: the component's setting, or 7.
  int NumFunctionValues() const;
  const TFuzzyLogicContext* LogicContext() const;

 private:
  TFuzzySetType FSetType = fstUserDefined;
  TDeferredText FName;
  TFuzzySetValues* FValues = nullptr;
  std::string FComment;
  bool FDefined = false;
  // DegreeOfMembership by walking the points themselves: the rule for every case.
  TFzyFloat DegreeOfMembershipByWalk(TFzyFloat Value) const;

  std::intptr_t FTag = 0;
  TDeferredText FExpression;
  TFzyFloat FInflectionPoint = 0;
  // The variable of FVariableCollection, found when the set joins a collection; a set found in
  // another collection looks its variable up again (without keeping it: reads change nothing).
  const TCollection* FVariableCollection = nullptr;
  const TFuzzyVariableContext* FVariable = nullptr;
};

// Inline: the walk calls these for every step.
template <bool Wide>
inline TFzyFloat TFuzzySet::InterpolateXAt(TFzyFloat X1, TFzyFloat Y1, TFzyFloat X2, TFzyFloat Y2,
                                           TFzyFloat YValue) {
  if (Y2 == Y1) return X2;
  if constexpr (Wide)
    return Lerp(X1, X2, Fraction(YValue, Y1, Y2));
  else
    return (YValue - Y1) / (Y2 - Y1) * (X2 - X1) + X1;
}

template <bool Wide>
inline TFzyFloat TFuzzySet::InterpolateYAt(TFzyFloat X1, TFzyFloat Y1, TFzyFloat X2, TFzyFloat Y2,
                                           TFzyFloat XValue) {
  if (X2 == X1) return Y2;
  if constexpr (Wide)
    return Lerp(Y1, Y2, Fraction(XValue, X1, X2));
  else
    return (XValue - X1) / (X2 - X1) * (Y2 - Y1) + Y1;
}

// Inlined into the walk, which calls it at every step.
template <bool Wide>
[[gnu::always_inline]] inline bool TFuzzySet::SegmentsCross(TFzyFloat X1, TFzyFloat Y1, TFzyFloat X2, TFzyFloat Y2,
                                                            TFzyFloat X3, TFzyFloat Y3, TFzyFloat X4, TFzyFloat Y4,
                                                            TFzyFloat& X, TFzyFloat& Y) {
  const TFzyFloat DX1 = X2 - X1, DY1 = Y2 - Y1, DX2 = X4 - X3, DY2 = Y4 - Y3, EX = X1 - X3, EY = Y1 - Y3;
  const bool FirstIsPoint = IsSinglePoint(DX1, DY1);
  const bool SecondIsPoint = IsSinglePoint(DX2, DY2);
  if (FirstIsPoint && !FloatEquals(InterpolateYAt<Wide>(X3, Y3, X4, Y4, X2), Y2)) return false;
  if (SecondIsPoint && !FloatEquals(InterpolateYAt<Wide>(X1, Y1, X2, Y2, X4), Y4)) return false;
  // A point on the other segment's line crosses it only within the segment's X span (two points,
  // as on the walk's first step, are compared by Y alone).
  if (FirstIsPoint && !SecondIsPoint && !WithinSpan(X2, X3, X4)) return false;
  if (SecondIsPoint && !FirstIsPoint && !WithinSpan(X4, X1, X2)) return false;

  const TFzyFloat Den = DX1 * DY2 - DY1 * DX2;
  const TFzyFloat NumA = EY * DX2 - EX * DY2;
  // Coordinates so far apart that a difference or a product passes the double range (every
  // difference enters one of these two): the same test on coordinates scaled down.
  if constexpr (Wide)
    if (!std::isfinite(Den - NumA)) [[unlikely]]
      return LineSegmentIntersectsScaled(X1, Y1, X2, Y2, X3, Y3, X4, Y4, X, Y);
  if (WithinTolerance(Den)) {
    if (NumA != 0) return false;
    // The lines coincide: the nearer of the two second end points.
    X = X2 < X4 ? X2 : X4;
    Y = X2 < X4 ? Y2 : Y4;
    return true;
  }
  const TFzyFloat UA = NumA / Den;
  if (UA < 0 || UA > 1) return false;
  // The position on the second segment, NumB / Den, must lie in [0, 1]; tested without dividing.
  const TFzyFloat NumB = EY * DX1 - EX * DY1;
  if constexpr (Wide)
    if (!std::isfinite(NumB)) [[unlikely]]
      return LineSegmentIntersectsScaled(X1, Y1, X2, Y2, X3, Y3, X4, Y4, X, Y);
  if (NumB != 0) {
    if ((NumB > 0) != (Den > 0)) return false;
    if (NumB > 0 && NumB > Den) return false;
    if (NumB < 0 && NumB < Den) return false;
  }
  X = DX1 == 0 ? X1 : (DX2 == 0 ? X3 : X1 + UA * DX1);
  Y = Y3 == Y4 ? Y3 : (Y1 == Y2 ? Y1 : Y1 + UA * DY1);
  return true;
}

// ---- cursor routines for hosts that walk two point lists step by step ------------------------
// The cursors are free-standing points (made with New<TFuzzySetValue>(nullptr)).

// Previous takes Current's place; Current moves to Values[Index + 1], or, past the end, keeps its Y
// and takes DefaultX as X.
void NextPoint(TFuzzySetValue& Current, TFuzzySetValue& Previous, int& Index, const TFuzzySetValues& Values,
               TFzyFloat DefaultX);
// Appends a copy of Current to FuzzySet when A >= B (Flag) or A < B (not Flag); then NextPoint;
// then, when A = B, OtherPrevious takes Previous's place.
void AddAndIncrement(TFuzzySet& FuzzySet, TFuzzySetValue& Current, TFuzzySetValue& Previous,
                     TFuzzySetValue& OtherPrevious, int& Index, TFzyFloat A, TFzyFloat B,
                     const TFuzzySetValues& Values, TFzyFloat DefaultX, bool Flag);
// AddAndIncrement on the first cursor pair, then NextPoint on the second.
void Add1AndIncrement2(TFuzzySet& FuzzySet, TFuzzySetValue& Current1, TFuzzySetValue& Current2,
                       TFuzzySetValue& Previous1, TFuzzySetValue& Previous2, int& Index1, int& Index2,
                       TFzyFloat A, TFzyFloat B, const TFuzzySetValues& Values1,
                       const TFuzzySetValues& Values2, TFzyFloat DefaultX, bool Flag);

}  // namespace fuzzy
