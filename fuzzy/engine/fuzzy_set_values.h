#pragma once
// The membership function of a fuzzy set: an ordered list of (X, Y) points.
//
// The list keeps itself in ascending X order, merges neighbours that agree in X and Y (within the
// tolerance), allows at most three points on one X (a step holds two, a spike three), and reports
// every change to the fuzzy set that owns it. Between BeginUpdate and EndUpdate no sorting, merging
// or owner notification happens; the outermost EndUpdate cleans up and notifies once.

#include <span>
#include <string>
#include <vector>

#include "fuzzy/companion/structures.h"
#include "fuzzy/engine/fuzzy_math.h"
#include "fuzzy/vocabulary/fuzzy_consts.h"

namespace fuzzy {

class TFuzzySetValue;
class TFuzzySetValues;

// "Invalid X value: NAN": a NaN written to a point would break the order of the list.
inline constexpr std::string_view SInvalidPointValue = "Invalid %s value: %s";

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
  ~TFuzzySetValuesOwner() override = default;
  explicit TFuzzySetValuesOwner(TCollection* Collection) : TGCollectionItem(Collection) {}
};

// A point lives only in a point list (TFuzzySetValues), or in none.
class TFuzzySetValue : public TCollectionItem {
 public:
  std::string ClassName() const override { return "TFuzzySetValue"; }

  TFzyFloat X() const { return FX; }
  TFzyFloat Y() const { return FY; }
  // Writes X; inside a set's list the value is held within the set's X range. NaN raises.
  virtual void SetX(TFzyFloat Value);
  // Writes Y; a negative value is stored as 0. NaN raises.
  virtual void SetY(TFzyFloat Value);
  // Writes both; only inside a set's list is X held in range and Y floored at 0. NaN raises.
  void SetValue(TFzyFloat X, TFzyFloat Y);
  // True when X and Y both agree with Source's within the tolerance.
  virtual bool Equals(const TFuzzySetValue* Source) const;
  void Assign(const TPersistent* Source) override;

  TFuzzySetValues* FuzzySetValues() const;

 protected:
  ~TFuzzySetValue() override = default;
  // A point appended to a list that holds points lies one past the last X; otherwise X = 0.
  explicit TFuzzySetValue(TCollection* Collection);
  template <typename T, typename... Args>
  friend T* New(Args&&...);

 private:
  friend class TFuzzySetValues;
  TFzyFloat ClampX(TFzyFloat Value) const;
  void WriteXY(TFzyFloat X, TFzyFloat Y, TXYUpdateTypes Types);

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

  // A new point after the last one.
  TFuzzySetValue* Add() { return static_cast<TFuzzySetValue*>(TGCollection::Add()); }
  // A new point with both coordinates written before the list cleans up.
  TFuzzySetValue* Add(TFzyFloat X, TFzyFloat Y);
  // Add() followed by SetX(X) and SetY(Y), the way the shape generators and the set operations
  // write their points; and Add() followed by SetValue(X, Y), the way copies do. Inside an update
  // bracket a write only stores and tracks order and duplicates, so for the library's own list and
  // point classes these do that directly instead of going through each write's notification path.
  TFuzzySetValue* AppendSetXY(TFzyFloat X, TFzyFloat Y);
  TFuzzySetValue* AppendSetValue(TFzyFloat X, TFzyFloat Y);
  // Clear() followed by AppendSetXY for each point, the way a set's points are replaced by a
  // shape. Inside an update bracket the library's own list keeps its point objects for the new
  // points (the same coordinates, order and tracking as new ones would get).
  struct TCoordinate {
    TFzyFloat X, Y;
  };
  void ReplaceSetXY(std::span<const TCoordinate> Points);
  // AppendSetXY for each of Points in turn, then Trim(List), which may Delete points of List: the
  // point list itself or, for the library's own list inside an update bracket, Points as the
  // appends would have stored them (clamped, floored, tracked), so no point Trim removes is made.
  // Trim's list has Count(), Y(Index) and Delete(Index).
  template <typename TTrim>
  void AppendSetXYAndTrim(TRecycledVector<TCoordinate>& Points, TTrim&& Trim);
  // The list as Trim (and other passes over degrees) reads and shortens it.
  struct TDegreeView {
    TFuzzySetValues& List;
    int Count() const { return List.Count(); }
    TFzyFloat Y(int Index) const { return List.Point(Index)->Y(); }
    void Delete(int Index) { List.Delete(Index); }
  };
  // A point (X, Y) to insert before the point at Before.
  struct TInsertion {
    int Before;
    TFzyFloat X, Y;
  };
  // Inserts the points, their Before positions ascending and counted in the list as it is: each
  // point Insert(Before) then SetValue(X, Y) with its neighbours of the list as it is, in linear
  // time (all are added, then placed, then written).
  void InsertPoints(std::span<const TInsertion> Points);
  TFuzzySetValue* Insert(int Index) { return static_cast<TFuzzySetValue*>(TGCollection::Insert(Index)); }
  // Clears, then copies Source's points (a point list) in one update bracket.
  void Assign(const TPersistent* Source) override;
  void Append(const TFuzzySetValues* Source);
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

  void Sort();
  void RemoveDuplicates();
  void CleanupValues();
  // Adds interpolated points until the list holds NewCount: spread over the segments of distinct
  // X (Expand) or evenly over the whole X span (ExpandSimple).
  void Expand(int NewCount);
  void ExpandSimple(int NewCount);

  // Statistics over Y; an empty list raises EFzyException (SFuzzySetEmpty).
  TFzyFloat GetAvgValue() const;
  TFzyFloat GetMaxValue() const;
  TFzyFloat GetMinValue() const;
  void GetStatValues(TFzyFloat& AvgY, TFzyFloat& MaxY, TFzyFloat& MinY) const;

  // Runs after a point's fields were written: tracks order and duplicates, and outside an update
  // bracket puts the point in place. The point Value always survives; a twin is removed instead.
  virtual void UpdateValue(TFuzzySetValue* Value, TXYUpdateTypes Types);

  // Every X is at least the one before it, exactly (not only within the tolerance). Cached until
  // the next change of the list, so lookups may search it by halves.
  bool IsAscending() const { return FAscendingAt == ChangeCount() ? FAscending : CheckAscending(); }

  // Contiguous copies of the points' X and Y in list order, for lookups that read many points
  // (degree of membership). They are made at the second lookup after a change of the list, so a
  // list that is read once between changes never pays for the copy; before that this is nullptr.
  struct TCoordinates {
    std::vector<TFzyFloat> X;
    std::vector<TFzyFloat> Y;
    bool Ascending = true;
  };
  const TCoordinates* RepeatedCoordinates() const {
    return FCoordinatesAt == ChangeCount() ? &FCoordinates : CoordinatesAfterLookup();
  }

  bool Sorted() const { return FSorted; }
  bool DuplicatesRemoved() const { return FDuplicatesRemoved; }

 protected:
  ~TFuzzySetValues() override = default;
  explicit TFuzzySetValues(TFuzzySetValuesOwner* FuzzySet,
                           TCollectionItemClass ItemClass = &CreateItem<TFuzzySetValue>)
      : TGCollection(FuzzySet, ItemClass), FFuzzySet(FuzzySet) {}
  template <typename T, typename... Args>
  friend T* New(Args&&...);

  void Update(TCollectionItem* Item) override;
  void AfterConstruction() override;
  void BeforeDestruction() override;
  // Whether this list writes its points directly inside an update bracket (see AppendSetXY): so
  // for the library's own list and point classes; a list class that overrides neither UpdateValue
  // nor Notify and keeps the library's points may say so in its AfterConstruction.
  void AllowDirectWrites(bool Value) { FWritesDirectly = Value && ItemClass() == &CreateItem<TFuzzySetValue>; }

 private:
  // From Index + Dir, steps by Dir over the points whose Coordinate lies within the tolerance of
  // Value; the position reached, or -1 past either end.
  template <typename TCoordinateOf>
  int Skip(int Index, TFzyFloat Value, int Dir, TCoordinateOf Coordinate) const {
    if (Dir == 0) Dir = 1;
    int Position = Index + Dir;
    while (Position >= 0 && Position < Count() && FloatEquals(Coordinate(*Point(Position)), Value)) Position += Dir;
    return Position >= 0 && Position < Count() ? Position : -1;
  }
  // UpdateValue's two halves: the order and duplicate flags after a write of the point at Index
  // of N points, and, outside an update bracket, putting the point in place.
  void TrackChange(const TFuzzySetValue* Value, int Index, int N, TXYUpdateTypes Types);
  void PutInPlace(TFuzzySetValue* Value, TXYUpdateTypes Types);
  bool WritesDirectly() const { return FWritesDirectly && UpdateCount() > 0; }
  // Add(), or, when the list writes directly, the same new point made and added without the calls
  // that only an override would need (the point class is the library's own).
  TFuzzySetValue* AddPoint();
  // For AppendSetXYAndTrim: stores in Points what AppendSetXY would store for each and tracks the
  // writes; false, with nothing changed, when a coordinate is NaN (the appends must raise).
  bool StoreAppends(std::span<TCoordinate> Points);
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
  // X held within the owner's range (as a point of this list would be).
  TFzyFloat ClampToRange(TFzyFloat X) const { return XRange().Clamp(X); }
  // A new last point holding (X, Y), already tracked.
  void AddStored(TFzyFloat X, TFzyFloat Y);
  // The order and duplicate flags after a write (Types) of a point at X among N points, between
  // neighbours at PrevX and NextX (null at an end); EqualsNeighbour() tells whether it equals one.
  template <typename TEqualsNeighbour>
  void TrackWrite(TFzyFloat X, const TFzyFloat* PrevX, const TFzyFloat* NextX, int N, TXYUpdateTypes Types,
                  TEqualsNeighbour&& EqualsNeighbour);
  // A write of the point at Index of Size points inside an update bracket.
  void StoreDirectly(TFuzzySetValue* Point, int Index, int Size, TFzyFloat X, TFzyFloat Y, TXYUpdateTypes Types);
  void WriteAppended(TFuzzySetValue* Point, int Index, TFzyFloat X, TFzyFloat Y, const TXRange& Range);
  void WriteValue(TFuzzySetValue* Point, int Index, TFzyFloat X, TFzyFloat Y, const TXRange& Range);
  TFuzzySetValue* AppendSetValue(TFzyFloat X, TFzyFloat Y, const TXRange& Range);
  // Deletes the point at Index, or its neighbour Twin when Index holds the point being updated.
  void DeleteSparing(int Index, int Twin);
  void PlaceAmongEqualX(TFuzzySetValue* Value);
  void MergeEqualXRun(TFuzzySetValue* Value);
  // Adds a point at X, moves it to Index and gives it the Y interpolated from its neighbours.
  void InsertInterpolated(TFzyFloat X, int Index);

  friend class TFuzzySetValue;
  TFuzzySetValuesOwner* FFuzzySet;
  bool FSorted = true;
  bool FDuplicatesRemoved = true;
  TFuzzySetValue* FUpdating = nullptr;
  // The list and its points are of the library's own classes (no override sees the writes).
  bool FWritesDirectly = false;
  const TCoordinates* CoordinatesAfterLookup() const;
  bool CheckAscending() const;
  void RebuildCoordinates() const;
  mutable std::uint64_t FAscendingAt = ~std::uint64_t{0};
  mutable bool FAscending = false;
  mutable std::uint64_t FCoordinatesAt = ~std::uint64_t{0};
  mutable std::uint64_t FFirstLookupAt = ~std::uint64_t{0};
  mutable TCoordinates FCoordinates;
};

template <typename TTrim>
void TFuzzySetValues::AppendSetXYAndTrim(TRecycledVector<TCoordinate>& Points, TTrim&& Trim) {
  if (!WritesDirectly() || !StoreAppends(Points)) {
    for (const TCoordinate& P : Points) AppendSetXY(P.X, P.Y);
    TDegreeView View{*this};
    Trim(View);
    return;
  }
  struct TStoredView {
    TRecycledVector<TCoordinate>& Points;
    int Count() const { return static_cast<int>(Points.size()); }
    TFzyFloat Y(int Index) const { return Points[static_cast<std::size_t>(Index)].Y; }
    void Delete(int Index) { Points.erase(Points.begin() + Index); }
  } View{Points};
  Trim(View);
  for (const TCoordinate& P : Points) AddStored(P.X, P.Y);
}

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
