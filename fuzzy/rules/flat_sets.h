#pragma once
// The set operations of a rule cycle on plain arrays of points, for the compiled evaluator: the
// degree of membership, the two correlations, the union of evidence and the two defuzzifiers.
//
// Each follows the fuzzy set operation of the same name step for step, with one difference: where
// the set operation decides by the 0.0001 tolerance whether two places coincide, whether two
// segments cross, or whether a piece of area counts, these decide exactly. So their results are
// the exact values of the same construction: equal to the set operations' up to rounding, except
// where the tolerance changes those. The degree of membership and the mean of maxima keep the
// tolerance, which is part of their definition (the highest point of a step, the top level).
// A union also finds the places where one set's constant continuation beyond its ends crosses the
// other set.

#include <vector>

#include "fuzzy/engine/fuzzy_degrees.h"

namespace fuzzy::flat {

// Points in ascending X, a function linear between them and constant beyond the ends.
struct TPointsView {
  const TFzyFloat* X;
  const TFzyFloat* Y;
  int Count;
};

// Room for points that a caller keeps between calls, so that steady use allocates nothing.
class TPointBuffer {
 public:
  int Count() const { return FCount; }
  TPointsView View() const { return {FX.data(), FY.data(), FCount}; }
  TFzyFloat X(int Index) const { return FX[static_cast<std::size_t>(Index)]; }
  TFzyFloat Y(int Index) const { return FY[static_cast<std::size_t>(Index)]; }
  void Clear() { FCount = 0; }
  // Room for at least Capacity points; grows (allocates) only past the largest room so far.
  void Reserve(int Capacity) {
    if (static_cast<std::size_t>(Capacity) > FX.size()) {
      FX.resize(static_cast<std::size_t>(Capacity));
      FY.resize(static_cast<std::size_t>(Capacity));
    }
  }
  // Appends within the reserved room.
  void Push(TFzyFloat X, TFzyFloat Y) {
    FX[static_cast<std::size_t>(FCount)] = X;
    FY[static_cast<std::size_t>(FCount)] = Y;
    ++FCount;
  }
  // Push, unless the point equals the last one.
  void PushDistinct(TFzyFloat X, TFzyFloat Y) {
    if (FCount == 0 || FX[static_cast<std::size_t>(FCount - 1)] != X ||
        FY[static_cast<std::size_t>(FCount - 1)] != Y)
      Push(X, Y);
  }
  void SetX(int Index, TFzyFloat X) { FX[static_cast<std::size_t>(Index)] = X; }
  void Pop() { --FCount; }
  void Swap(TPointBuffer& Other) noexcept {
    FX.swap(Other.FX);
    FY.swap(Other.FY);
    std::swap(FCount, Other.FCount);
  }

 private:
  std::vector<TFzyFloat> FX;
  std::vector<TFzyFloat> FY;
  int FCount = 0;
};

TFzyFloat DegreeOfMembership(TPointsView Points, TFzyFloat Value);

// Term cut at Strength: the crossings of the level are added, the degrees above it lowered to it.
void CorrelateMinimum(TPointsView Term, TFzyFloat Strength, TPointBuffer& Result);
// Term with its degrees multiplied by Strength.
void CorrelateProduct(TPointsView Term, TFzyFloat Strength, TPointBuffer& Result);

// The most points the union of sets of CountA and CountB points can hold.
inline int UnionCapacity(int CountA, int CountB) { return 2 * (CountA + CountB) + 1; }
// The union of A and B under Operation, as the merge walk builds it (every breakpoint of either,
// every crossing, the degree function of the operation at each), with the level-run pass and
// points equal to their predecessor removed. Result must not hold A or B and needs room for UnionCapacity
// points.
void Union(TPointsView A, TPointsView B, TFuzzyOperation Operation, TPointBuffer& Result);

// Points after the level-run pass of a union: a leading run of equal degrees shrinks to its last
// point, an inner run to its first and last, a trailing run to its first; a point equal to the one
// before it goes. Result must not hold Points and needs room for as many.
void RemoveLevelRuns(TPointsView Points, TPointBuffer& Result);

// The centroid of the area under the points over [XMinimum, XMaximum], the end degrees continued
// to the range bounds; the middle of the range for points all on one X; 0 without points or area.
TFzyFloat CenterOfGravity(TPointsView Points, TFzyFloat XMinimum, TFzyFloat XMaximum);
// The mean X of the points at the highest level (within the tolerance of the first point there).
TFzyFloat MeanOfMaxima(TPointsView Points);

}  // namespace fuzzy::flat
