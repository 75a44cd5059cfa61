#pragma once
// The membership function of a fuzzy set: an ordered list of (X, Y) points.
//
// The list keeps itself in ascending X order, merges neighbours that agree in X and Y (within the
// tolerance), allows at most three points on one X (a step holds two, a spike three), and reports
// every change to the fuzzy set that owns it. Between BeginUpdate and EndUpdate no sorting, merging
// or owner notification happens; the outermost EndUpdate cleans up and notifies once.
//
//   TOwned<TFuzzySet> Warm = MakeOwned<TFuzzySet>(nullptr);
//   TFuzzySetValues& Points = Warm->Values();
//   Points.Add(0, 0);
//   Points.Add(50, 1);
//   Points.Add(25, 0.5);    // put in place: (0, 0), (25, 0.5), (50, 1)
//   Points[1]->SetY(0.4);   // the point at 25
//
// Refused values: no point ever holds a NaN or an infinite coordinate. A write of one raises
// EFzyException ("Invalid X value: NAN", "Invalid Y value: INF") before anything changes: points,
// order and duplicate flags and the owner's notifications stay as they were. Operations that write
// several points check every value before the first write.
//
// The library's own operations (shape generators, combinations, cuts, hedges, copies, resampling)
// write their points inside an update bracket with notification off: the same rules as SetX, SetY
// and SetValue, without the per-point calls of Notify, UpdateValue and Changed. A derived list or
// point class therefore gets the same points as the library's classes; its overrides see the
// single writes that a host makes itself.
//
// Threads: const reads of a list that no thread changes may run on several threads at once; lists
// that share nothing may be used on different threads at once.

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzzy/companion/structures.h"
#include "fuzzy/engine/fuzzy_math.h"
#include "fuzzy/vocabulary/fuzzy_consts.h"

namespace fuzzy {

class TFuzzySetValue;
class TFuzzySetValues;
namespace internal {
class TPointAppender;
class TPointBatch;
}

// "Invalid X value: NAN": a point coordinate, or an argument that would give one, that is not a
// finite number.
inline constexpr std::string_view SInvalidPointValue = "Invalid %s value: %s";
// A point count asked of a generator or a resampling above MaxPointCount.
inline constexpr std::string_view SPointCountLimit = "Invalid point count %d.  At most %d points are allowed";
// The most points a shape generator or a resampling makes.
inline constexpr int MaxPointCount = 1000000;

// The hooks the point list calls on the fuzzy set that owns it. The fuzzy set derives from this
// class; the defaults answer for a set that belongs to no variable.
class TFuzzySetValuesOwner : public TGCollectionItem {
 public:
  std::string ClassName() const override { return "TFuzzySetValuesOwner"; }

  // Index 0: the largest X a point may take; 1: the smallest. Other indexes raise EFzyException.
  virtual TFzyFloat GetXRange(int Index) const;
  // A change of one point (Value) or of the whole list.
  virtual void UpdateFuzzySetValue(TFuzzySetValue* Value);
  virtual void UpdateFuzzySetValues();

 protected:
  explicit TFuzzySetValuesOwner(TCollection* Collection) : TGCollectionItem(Collection) {}
  ~TFuzzySetValuesOwner() override = default;
};

// A point lives only in a point list (TFuzzySetValues), or in none.
class TFuzzySetValue : public TCollectionItem {
 public:
  std::string ClassName() const override { return "TFuzzySetValue"; }

  TFzyFloat X() const { return FX; }
  TFzyFloat Y() const { return FY; }
  // Writes X; inside a set's list the value is held within the set's X range.
  virtual void SetX(TFzyFloat Value);
  // Writes Y; a negative value is stored as 0 (there is no upper bound).
  virtual void SetY(TFzyFloat Value);
  // Writes both; only inside a set's list is X held in range and Y floored at 0.
  void SetValue(TFzyFloat X, TFzyFloat Y);
  // True when X and Y both agree with Source's within the tolerance.
  virtual bool Equals(const TFuzzySetValue* Source) const;
  void Assign(const TPersistent* Source) override;

  TFuzzySetValues* FuzzySetValues() const;

 protected:
  // A point appended to a list that holds points lies one past the last X; otherwise X = 0.
  explicit TFuzzySetValue(TCollection* Collection) : TCollectionItem(Collection) {
    if (Collection && Collection->Count() > 0)
      FX = static_cast<const TFuzzySetValue*>(Collection->RawItems().back())->FX + 1.0;
  }
  ~TFuzzySetValue() override = default;
  template <typename T, typename... Args>
  friend T* New(Args&&...);

 private:
  friend class TFuzzySetValues;
  friend class internal::TPointAppender;
  friend class internal::TPointBatch;
  TFzyFloat FX = 0;
  TFzyFloat FY = 0;
};

// Iterates the points of a list in index order.
class TFuzzySetValuesEnumerator {
 public:
  using Base = TCollection::TItemList::const_iterator;
  explicit TFuzzySetValuesEnumerator(Base Position) : FPosition(Position) {}
  TFuzzySetValue* operator*() const { return static_cast<TFuzzySetValue*>(*FPosition); }
  TFuzzySetValuesEnumerator& operator++() {
    ++FPosition;
    return *this;
  }
  friend bool operator==(const TFuzzySetValuesEnumerator&, const TFuzzySetValuesEnumerator&) = default;

 private:
  Base FPosition;
};

class TFuzzySetValues : public TGCollection {
 public:
  std::string ClassName() const override { return "TFuzzySetValues"; }

  // The owning fuzzy set, or nullptr for a free-standing list.
  TFuzzySetValuesOwner* FuzzySet() const { return FFuzzySet; }
  TFuzzySetValuesOwner* GetFuzzySet() const { return FFuzzySet; }

  // The point at Index; EListError for a bad index.
  TFuzzySetValue* Items(int Index) const { return static_cast<TFuzzySetValue*>(GetItem(Index)); }
  TFuzzySetValue* operator[](int Index) const { return Items(Index); }
  // The point at Index without an index check, for loops that keep within the list.
  TFuzzySetValue* Point(int Index) const {
    return static_cast<TFuzzySetValue*>(RawItems()[static_cast<std::size_t>(Index)]);
  }
  TFuzzySetValuesEnumerator begin() const { return TFuzzySetValuesEnumerator(RawItems().begin()); }
  TFuzzySetValuesEnumerator end() const { return TFuzzySetValuesEnumerator(RawItems().end()); }

  // A new point after the last one (X one past the last X, 0 in an empty list; Y = 0).
  TFuzzySetValue* Add() { return static_cast<TFuzzySetValue*>(TGCollection::Add()); }
  // Add() followed by SetX(X) and SetY(Y). Inside an update bracket the two writes are tracked as
  // those calls track them; outside one both coordinates are stored before the point is put in
  // place, so that a step built point by point keeps its lower point. A coordinate that is not
  // finite raises before the point is made.
  TFuzzySetValue* Add(TFzyFloat X, TFzyFloat Y);
  // Add() moved to Index (0 to Count()); another Index raises EListError before the point is made.
  TFuzzySetValue* Insert(int Index);
  // Clears, then copies Source's points (a point list) in one update bracket.
  void Assign(const TPersistent* Source) override;
  void Append(const TFuzzySetValues* Source);
  // Copies Source's points Index to Index + Count - 1 (the range first pulled into Source's
  // points) to the end of this list.
  virtual void Append(const TFuzzySetValues* Source, int Index, int Count);

  // The number of points whose X equals X exactly.
  int GetXCount(TFzyFloat X) const;
  // From Index + Dir, steps by Dir (0 counts as +1) over points whose X (Y) lies within the
  // tolerance of X (Y); the position reached, or -1 past either end.
  int SkipX(int Index, TFzyFloat X, int Dir) const {
    return Skip(Index, X, Dir, [](const TFuzzySetValue& P) { return P.X(); });
  }
  int SkipY(int Index, TFzyFloat Y, int Dir) const {
    return Skip(Index, Y, Dir, [](const TFuzzySetValue& P) { return P.Y(); });
  }

  // Puts the points in ascending X; points within the tolerance of each other keep their order.
  // Takes time n log n (n for a list where one point is out of place).
  void Sort();
  // Merges neighbours equal within the tolerance and drops the fifth, ninth, ... point of a run of
  // equal X; in one pass.
  void RemoveDuplicates();
  void CleanupValues();
  // Adds interpolated points until the list holds NewCount: spread over the segments of distinct
  // X (Expand) or evenly over the whole X span (ExpandSimple). A new point gets a degree between
  // those of its neighbours; one that the set's X range moves out of order is sorted in at the end
  // of the update. A NewCount above MaxPointCount raises EFzyException (SPointCountLimit) before
  // anything changes.
  void Expand(int NewCount);
  void ExpandSimple(int NewCount);

  // Statistics over Y; an empty list raises EFzyException (SFuzzySetEmpty).
  TFzyFloat GetAvgValue() const;
  TFzyFloat GetMaxValue() const;
  TFzyFloat GetMinValue() const;
  void GetStatValues(TFzyFloat& AvgY, TFzyFloat& MaxY, TFzyFloat& MinY) const;

  // Runs after a point's fields were written by SetX, SetY, SetValue or Add(X, Y): tracks order
  // and duplicates, and outside an update bracket puts the point in place. The point Value always
  // survives; a twin is removed instead.
  virtual void UpdateValue(TFuzzySetValue* Value, TXYUpdateTypes Types);

  bool Sorted() const { return FSorted; }
  bool DuplicatesRemoved() const { return FDuplicatesRemoved; }

 protected:
  explicit TFuzzySetValues(TFuzzySetValuesOwner* FuzzySet,
                           TCollectionItemClass ItemClass = &CreateItem<TFuzzySetValue>)
      : TGCollection(FuzzySet, ItemClass), FFuzzySet(FuzzySet) {}
  ~TFuzzySetValues() override;
  template <typename T, typename... Args>
  friend T* New(Args&&...);

  void Update(TCollectionItem* Item) override;
  // The points go last first, as the collection's destruction frees them, without notification.
  void BeforeDestruction() override;
  // Raises EFzyException (SInvalidPointValue) when X or Y is not a finite number: for descendants
  // that write several values and must refuse before the first write.
  static void CheckCoordinates(TFzyFloat X, TFzyFloat Y);

 private:
  friend class TFuzzySetValue;
  friend class internal::TPointAppender;
  friend class internal::TPointBatch;

  // From Index + Dir, steps by Dir over the points whose Coordinate lies within the tolerance of
  // Value; the position reached, or -1 past either end.
  template <typename TCoordinateOf>
  int Skip(int Index, TFzyFloat Value, int Dir, TCoordinateOf Coordinate) const {
    if (Dir == 0) Dir = 1;
    int Position = Index + Dir;
    while (Position >= 0 && Position < Count() && FloatEquals(Coordinate(*Point(Position)), Value)) Position += Dir;
    return Position >= 0 && Position < Count() ? Position : -1;
  }

  // The owner's X range (none for a list without an owner), asked once for a batch of writes:
  // nothing can change it between them.
  struct TXRange {
    bool Bounded;
    TFzyFloat Minimum, Maximum;
    TFzyFloat Clamp(TFzyFloat X) const {
      if (!Bounded) return X;
      return Minimum > X ? Minimum : (Maximum < X ? Maximum : X);
    }
  };
  TXRange XRange() const;

  // The one way coordinates reach a point: stores them and runs the list's rules for a write of
  // Types. With notification on (every write through SetX, SetY, SetValue, Add(X, Y)) that is
  // UpdateValue and the point's Changed; with it off (inside an update bracket, the library's own
  // writes, see the top of this file) it is the tracking UpdateValue does there, for the point at
  // Index.
  void Write(TFuzzySetValue& Point, TFzyFloat X, TFzyFloat Y, TXYUpdateTypes Types);
  void WriteQuietly(TFuzzySetValue& Point, int Index, TFzyFloat X, TFzyFloat Y, TXYUpdateTypes Types);
  // A new last point of the item class, one past the last X (0 in an empty list) with Y = 0, made
  // and appended without notification.
  TFuzzySetValue& AppendQuietly();
  // What Add(X, Y) stores in a new last point that starts at StartX with Y = 0, and the writes it
  // tracks (SetX when X differs from StartX, SetY when Y differs from 0).
  struct TAppended {
    TFzyFloat X, Y;
    bool WritesX, WritesY;
    bool Writes() const { return WritesX || WritesY; }
    TXYUpdateTypes Types() const {
      TXYUpdateTypes Result;
      if (WritesX) Result.Include(utX);
      if (WritesY) Result.Include(utY);
      return Result;
    }
  };
  static TAppended Appended(TFzyFloat X, TFzyFloat Y, TFzyFloat StartX, const TXRange& Range);

  // The order and duplicate flags after a write (Types) of the point at Index of N points.
  void TrackChange(const TFuzzySetValue& Value, int Index, int N, TXYUpdateTypes Types);
  // The same for a point at X among N points, between neighbours at PrevX and NextX (null at an
  // end); EqualsNeighbour() tells whether it equals one.
  template <typename TEqualsNeighbour>
  void TrackWrite(TFzyFloat X, const TFzyFloat* PrevX, const TFzyFloat* NextX, int N, TXYUpdateTypes Types,
                  TEqualsNeighbour&& EqualsNeighbour);
  // Outside an update bracket: sorts (Value the point most likely out of place), places Value
  // among the points of its X and merges its run.
  void PutInPlace(TFuzzySetValue* Value, TXYUpdateTypes Types);
  void SortAround(const TFuzzySetValue* Moved);
  void PlaceAmongEqualX(TFuzzySetValue* Value);
  void MergeEqualXRun(TFuzzySetValue* Value);
  // Resampling: the list as new points go into it one by one (fuzzy_set_values.cpp); a new point
  // at X (clamped) before the point Before of it, its degree from its neighbours there, its writes
  // tracked; and the new points put into the list at the end.
  class TGrowingList;
  int AddResampled(TGrowingList& Growing, int Before, TFzyFloat X, const TXRange& Range);
  void PlaceResampled(const TGrowingList& Growing);

  TFuzzySetValuesOwner* FFuzzySet;
  bool FSorted = true;
  bool FDuplicatesRemoved = true;
  TFuzzySetValue* FUpdating = nullptr;
  // Answers about the points that the walks and lookups ask again and again (internal/
  // point_batch.h), each for the change count it was found at: (count << 1) | answer. Found by
  // const reads, so published atomically.
  mutable std::atomic<std::uint64_t> FAscending{~std::uint64_t{0}};
  mutable std::atomic<std::uint64_t> FFlat{~std::uint64_t{0}};
  mutable std::atomic<std::uint64_t> FModerate{~std::uint64_t{0}};
  // Contiguous copies of the points' coordinates for lookups that read many points, made at the
  // second lookup after a change (the change count of the first is kept), so that a list read once
  // between changes never pays for the copy. A copy that a read replaces is kept aside until the
  // next replacement or the list's end: by then no read of the list can still hold it.
  struct TCoordinates;
  mutable std::atomic<TCoordinates*> FCoordinates{nullptr};
  mutable std::atomic<TCoordinates*> FReplacedCoordinates{nullptr};
  mutable std::atomic<std::uint64_t> FFirstLookup{~std::uint64_t{0}};
};

template <typename TEqualsNeighbour>
void TFuzzySetValues::TrackWrite(TFzyFloat X, const TFzyFloat* PrevX, const TFzyFloat* NextX, int N,
                                 TXYUpdateTypes Types, TEqualsNeighbour&& EqualsNeighbour) {
  if (FSorted && Types.Contains(utX) && N >= 2) {
    // In order when X is not below the previous X, nor above the next, by more than the tolerance.
    const TFzyFloat Previous = PrevX ? *PrevX : X;
    const TFzyFloat Next = NextX ? *NextX : X;
    FSorted = (Previous <= X || FloatEquals(X, Previous)) && (X <= Next || FloatEquals(X, Next));
  }
  FDuplicatesRemoved = FDuplicatesRemoved && FSorted;
  if (FDuplicatesRemoved && Types.Contains(utY) && N >= 2 && EqualsNeighbour()) FDuplicatesRemoved = false;
}

}  // namespace fuzzy
