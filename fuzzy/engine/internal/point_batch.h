#pragma once
// The library's own writes to point lists: inside an update bracket, with notification off (see
// fuzzy_set_values.h), several points at once, and the queries of the degree lookups. For the
// engine and the interface model; not installed.

#include <cmath>
#include <iterator>
#include <new>
#include <span>

#include "fuzzy/engine/fuzzy_set_values.h"
#include "fuzzy/runtime/recycled_memory.h"

namespace fuzzy {

// One block: this header, then the X of every point, then the Y.
struct TFuzzySetValues::TCoordinates {
  std::uint64_t ChangeCount;
  std::size_t Count;
  bool Ascending;
  // Every coordinate lies within +-2^500 (see TPointBatch::IsModerate).
  bool Moderate;

  TFzyFloat* X() { return reinterpret_cast<TFzyFloat*>(this + 1); }
  TFzyFloat* Y() { return X() + Count; }
  const TFzyFloat* X() const { return reinterpret_cast<const TFzyFloat*>(this + 1); }
  const TFzyFloat* Y() const { return X() + Count; }

  static TCoordinates* Make(std::uint64_t ChangeCount, std::size_t Count) {
    static_assert(sizeof(TCoordinates) % alignof(TFzyFloat) == 0);
    void* Block = ::operator new(sizeof(TCoordinates) + 2 * Count * sizeof(TFzyFloat));
    return new (Block) TCoordinates{ChangeCount, Count, true, true};
  }
  static void Free(TCoordinates* Coordinates) { ::operator delete(Coordinates); }
};

}  // namespace fuzzy

namespace fuzzy::internal {

struct TCoordinate {
  TFzyFloat X, Y;
};

// A point (X, Y) to insert before the point at Before.
struct TInsertion {
  int Before;
  TFzyFloat X, Y;
};

// The library's rule for two points being the same: X and Y within the tolerance.
inline bool SameCoordinates(TFzyFloat X1, TFzyFloat Y1, TFzyFloat X2, TFzyFloat Y2) {
  return FloatEquals(X1, X2) && FloatEquals(Y1, Y2);
}

// Raises EFzyException (SPointCountLimit) for a point count above MaxPointCount.
void CheckPointCount(int Count);
// Raises EFzyException (SInvalidPointValue) naming What when Value is not a finite number.
[[noreturn, gnu::cold]] void RaiseNotFinite(TFzyFloat Value, const char* What);
inline void CheckFinite(TFzyFloat Value, const char* What) {
  if (!std::isfinite(Value)) [[unlikely]]
    RaiseNotFinite(Value, What);
}

// Appends to one list inside an update bracket, with notification off, the list's X range asked
// once: each function writes as the public call named on it would (clamped, floored, order and
// duplicates tracked) and raises EFzyException before the point is made when a coordinate is not
// finite.
class TPointAppender {
 public:
  explicit TPointAppender(TFuzzySetValues& List) : FList(List), FRange(List.XRange()) {}

  // Add(X, Y).
  TFuzzySetValue& Append(TFzyFloat X, TFzyFloat Y) {
    TFuzzySetValues::CheckCoordinates(X, Y);
    TFuzzySetValue& Point = FList.AppendQuietly();
    const auto Stored = TFuzzySetValues::Appended(X, Y, Point.FX, FRange);
    if (Stored.Writes()) FList.WriteQuietly(Point, FList.Count() - 1, Stored.X, Stored.Y, Stored.Types());
    return Point;
  }
  // Add() followed by SetValue(X, Y): a copy of a point.
  TFuzzySetValue& AppendCopy(TFzyFloat X, TFzyFloat Y) {
    TFuzzySetValues::CheckCoordinates(X, Y);
    TFuzzySetValue& Point = FList.AppendQuietly();
    if (FList.FuzzySet()) {
      X = FRange.Clamp(X);
      if (Y < 0) Y = 0;
    }
    FList.WriteQuietly(Point, FList.Count() - 1, X, Y, TXYUpdateTypes{utX, utY});
    return Point;
  }

 private:
  TFuzzySetValues& FList;
  TFuzzySetValues::TXRange FRange;
};

// Every function writes as the public call named on it would inside an update bracket (clamped,
// floored, order and duplicates tracked) and raises EFzyException before the first write when a
// coordinate is not finite. The list must be inside an update bracket.
class TPointBatch {
 public:
  // TPointAppender's for one point.
  static TFuzzySetValue& Append(TFuzzySetValues& List, TFzyFloat X, TFzyFloat Y) {
    return TPointAppender(List).Append(X, Y);
  }
  static TFuzzySetValue& AppendCopy(TFuzzySetValues& List, TFzyFloat X, TFzyFloat Y) {
    return TPointAppender(List).AppendCopy(X, Y);
  }
  // Clear() followed by Append for each of Points; the list keeps its point objects for the new
  // points.
  static void Replace(TFuzzySetValues& List, std::span<const TCoordinate> Points);
  // Insert(Before) followed by SetValue(X, Y) for each of Points, their Before positions ascending
  // and counted in the list as it is, in linear time. Positions out of order or past the end raise
  // EListError before anything changes.
  static void Insert(TFuzzySetValues& List, std::span<const TInsertion> Points);
  // SetY(Y) and SetX(X) of the point at Index.
  static void WriteY(TFuzzySetValues& List, int Index, TFzyFloat Y) {
    CheckFinite(Y, "Y");
    TFuzzySetValue& Point = *List.Point(Index);
    if (Y == Point.FY) return;
    List.WriteQuietly(Point, Index, Point.FX, Y < 0 ? 0 : Y, TXYUpdateTypes{utY});
  }
  static void WriteX(TFuzzySetValues& List, int Index, TFzyFloat X);

  // For a batch of appends whose trimming does not depend on the list: Track turns each of Points
  // (all finite) into what Append would store and tracks those writes; AppendTracked then appends
  // points that hold exactly Points.
  static void Track(TFuzzySetValues& List, std::span<TCoordinate> Points);
  static void AppendTracked(TFuzzySetValues& List, std::span<const TCoordinate> Points);

  // Removes the level runs of a finished combination from the list in one pass (see
  // RemoveLevelRuns below).
  static void RemoveLevelRuns(TFuzzySetValues& List);

  // The list's points in contiguous arrays, from the second lookup after a change of the list on;
  // nullptr before.
  using TCoordinates = TFuzzySetValues::TCoordinates;
  static const TCoordinates* RepeatedCoordinates(const TFuzzySetValues& List) {
    const TCoordinates* Known = List.FCoordinates.load(std::memory_order_acquire);
    if (Known && Known->ChangeCount == List.ChangeCount()) [[likely]]
      return Known;
    return CoordinatesAfterLookup(List);
  }

  // Every X is at least the one before it, exactly; every Y lies within the tolerance of the first
  // (for a list with points). Each found once per change of the list.
  static bool IsAscending(const TFuzzySetValues& List) { return Known(List, List.FAscending, &FindAscending); }
  static bool IsFlat(const TFuzzySetValues& List) { return Known(List, List.FFlat, &FindFlat); }
  // Every coordinate lies within +-2^500, so that no difference of two of them, nor a product of two
  // differences, nor a sum of two such products, can pass the double range.
  static bool IsModerate(const TFuzzySetValues& List) { return Known(List, List.FModerate, &FindModerate); }

 private:
  static bool Known(const TFuzzySetValues& List, std::atomic<std::uint64_t>& Answer,
                    bool (*Find)(const TFuzzySetValues&)) {
    const std::uint64_t Changes = List.ChangeCount();
    const std::uint64_t Value = Answer.load(std::memory_order_relaxed);
    if (Value >> 1 == Changes) [[likely]]
      return (Value & 1) != 0;
    // Published with the change count it was found at, in one atomic word: concurrent readers of an
    // unchanged list find and store the same answer.
    const bool Found = Find(List);
    Answer.store(Changes << 1 | (Found ? 1 : 0), std::memory_order_relaxed);
    return Found;
  }
  static const TCoordinates* CoordinatesAfterLookup(const TFuzzySetValues& List);
  static bool FindAscending(const TFuzzySetValues& List);
  static bool FindFlat(const TFuzzySetValues& List);
  static bool FindModerate(const TFuzzySetValues& List);
};

// Shrinks the level runs of a finished combination in place, in one pass: a leading run of equal
// degrees (within the tolerance) to its last point, an inner run to its first and last, a trailing
// run to its first. Degree(Element) reads an element's degree; returns the new end.
template <typename TIterator, typename TDegree>
TIterator RemoveLevelRuns(TIterator First, TIterator Last, TDegree Degree) {
  if (First == Last) return Last;
  TIterator Kept = std::next(First);
  int Run = 1;
  for (TIterator Next = std::next(First); Next != Last; ++Next) {
    if (!FloatEquals(Degree(*std::prev(Kept)), Degree(*Next))) {
      Run = 0;
      *Kept++ = *Next;
    } else if (++Run <= 1) {
      *Kept++ = *Next;
    } else {
      // The point before goes and this one takes its place.
      *std::prev(Kept) = *Next;
    }
  }
  if (std::distance(First, Kept) > 1 && FloatEquals(Degree(*std::prev(Kept, 2)), Degree(*std::prev(Kept))))
    --Kept;
  return Kept;
}

}  // namespace fuzzy::internal

namespace fuzzy {


// Inline for the batch writers, which call them for every point.
inline void TFuzzySetValues::WriteQuietly(TFuzzySetValue& Point, int Index, TFzyFloat X, TFzyFloat Y,
                                          TXYUpdateTypes Types) {
  Point.FX = X;
  Point.FY = Y;
  CountChange();
  TrackChange(Point, Index, Count(), Types);
}

inline void TFuzzySetValues::TrackChange(const TFuzzySetValue& Value, int Index, int N, TXYUpdateTypes Types) {
  const TFzyFloat PrevX = Index > 0 ? Point(Index - 1)->X() : 0;
  const TFzyFloat NextX = Index < N - 1 ? Point(Index + 1)->X() : 0;
  TrackWrite(Value.X(), Index > 0 ? &PrevX : nullptr, Index < N - 1 ? &NextX : nullptr, N, Types, [&] {
    auto Same = [&Value](const TFuzzySetValue* Other) {
      return internal::SameCoordinates(Value.X(), Value.Y(), Other->X(), Other->Y());
    };
    return (Index > 0 && Same(Point(Index - 1))) || (Index < N - 1 && Same(Point(Index + 1)));
  });
}

}  // namespace fuzzy
