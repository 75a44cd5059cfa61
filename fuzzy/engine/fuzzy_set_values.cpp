#include "fuzzy/engine/fuzzy_set_values.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "fuzzy/engine/fuzzy_math.h"
#include "fuzzy/engine/internal/point_batch.h"
#include "fuzzy/runtime/update_bracket.h"

namespace fuzzy {

using internal::SameCoordinates;

namespace {

constexpr TFzyFloat UnboundedX = 2147483647.0;

[[noreturn, gnu::cold, gnu::noinline]] void RaiseInvalidNumber(TFzyFloat Value, const char* Coordinate) {
  throw EFzyException(SInvalidPointValue, {Coordinate, FloatToStrF(Value, 4)});
}

inline void CheckNumber(TFzyFloat Value, const char* Coordinate) {
  if (!std::isfinite(Value)) [[unlikely]]
    RaiseInvalidNumber(Value, Coordinate);
}

// A lies more than the tolerance below B, in extended precision: the test by which the sort moves
// a point before another.
inline bool FarBelow(TFzyFloat A, TFzyFloat B) { return A + FuzzyTolerance < B; }

// Whether no X lies more than the tolerance below an X before it: the order the sort leaves (and
// in which it moves nothing). Skip is an index to leave out, or -1.
template <typename TX>
bool InSortOrder(int Count, TX X, int Skip = -1) {
  bool Any = false;
  TFzyFloat Highest = 0;
  for (int I = 0; I < Count; ++I) {
    if (I == Skip) continue;
    const TFzyFloat Value = X(I);
    if (Any && FarBelow(Value, Highest)) return false;
    if (!Any || Value > Highest) Highest = Value;
    Any = true;
  }
  return true;
}

// The lowest X of the points not yet placed, over every stretch of positions of a complete binary
// tree, so that the first such point from a position on that lies far below a value is found in
// logarithmic time.
class TRemainingMinima {
 public:
  explicit TRemainingMinima(const std::vector<TFzyFloat>& X) {
    while (FLeaves < X.size()) FLeaves *= 2;
    FMinimum.assign(2 * FLeaves, std::numeric_limits<TFzyFloat>::infinity());
    std::copy(X.begin(), X.end(), FMinimum.begin() + static_cast<std::ptrdiff_t>(FLeaves));
    for (std::size_t Node = FLeaves - 1; Node >= 1; --Node)
      FMinimum[Node] = std::min(FMinimum[2 * Node], FMinimum[2 * Node + 1]);
  }

  void Remove(std::size_t Position) {
    std::size_t Node = FLeaves + Position;
    FMinimum[Node] = std::numeric_limits<TFzyFloat>::infinity();
    for (Node /= 2; Node >= 1; Node /= 2) FMinimum[Node] = std::min(FMinimum[2 * Node], FMinimum[2 * Node + 1]);
  }

  // The first remaining position at or after From whose X lies far below Limit, or -1.
  int FirstFarBelow(std::size_t From, TFzyFloat Limit) const { return Find(1, 0, FLeaves, From, Limit); }

 private:
  int Find(std::size_t Node, std::size_t Low, std::size_t High, std::size_t From, TFzyFloat Limit) const {
    if (High <= From || !FarBelow(FMinimum[Node], Limit)) return -1;
    if (High - Low == 1) return static_cast<int>(Low);
    const std::size_t Middle = (Low + High) / 2;
    const int Left = Find(2 * Node, Low, Middle, From, Limit);
    return Left >= 0 ? Left : Find(2 * Node + 1, Middle, High, From, Limit);
  }

  std::size_t FLeaves = 1;
  std::vector<TFzyFloat> FMinimum;
};

// The order in which the list's sort leaves points at X (the present index of the point for each
// new place). The sort fills place after place: it starts from the first point not yet placed,
// follows each later point that lies far below the one it holds, and places the last one it held;
// the points it passed on the way keep their order among the rest. Following stops at each place
// where the previous place's chain stopped, so the chains are kept on a stack and every point is
// followed once: n log n in all.
std::vector<int> SortOrder(const std::vector<TFzyFloat>& X) {
  const std::size_t N = X.size();
  TRemainingMinima Remaining(X);
  std::vector<char> Placed(N, 0);
  std::vector<int> Order;
  Order.reserve(N);
  struct THeld {
    std::size_t Position, From;
  };
  std::vector<THeld> Chain;
  std::size_t First = 0;
  while (Order.size() < N) {
    if (Chain.empty()) {
      while (Placed[First]) ++First;
      Chain.push_back({First, First + 1});
    }
    THeld& Held = Chain.back();
    const int Next = Held.From < N ? Remaining.FirstFarBelow(Held.From, X[Held.Position]) : -1;
    if (Next >= 0) {
      Held.From = static_cast<std::size_t>(Next) + 1;
      Chain.push_back({static_cast<std::size_t>(Next), static_cast<std::size_t>(Next) + 1});
      continue;
    }
    Order.push_back(static_cast<int>(Held.Position));
    Placed[Held.Position] = 1;
    Remaining.Remove(Held.Position);
    Chain.pop_back();
  }
  return Order;
}

// A sum of many values that may pass the double range: added at full scale, and again scaled down
// by a power of two (which changes no bit of the mean) when the first sum overflowed.
template <typename TValue>
TFzyFloat MeanOf(int Count, TValue Value) {
  TFzyFloat Sum = 0;
  for (int I = 0; I < Count; ++I) Sum += Value(I);
  if (std::isfinite(Sum)) [[likely]]
    return Sum / Count;
  constexpr TFzyFloat Scale = 0x1p-64;
  Sum = 0;
  for (int I = 0; I < Count; ++I) Sum += Value(I) * Scale;
  return Sum / Count / Scale;
}

}  // namespace

void internal::CheckPointCount(int Count) {
  if (Count > MaxPointCount) throw EFzyException(SPointCountLimit, {Count, MaxPointCount});
}

void internal::RaiseNotFinite(TFzyFloat Value, const char* What) { RaiseInvalidNumber(Value, What); }

// ---- owner hooks -------------------------------------------------------------------------------

TFzyFloat TFuzzySetValuesOwner::GetXRange(int Index) const {
  switch (Index) {
    case 0:
      return UnboundedX;
    case 1:
      return -UnboundedX;
    default:
      throw EFzyException(SInvalidXRangeIndex, {Index});
  }
}

void TFuzzySetValuesOwner::UpdateFuzzySetValue(TFuzzySetValue*) { Changed(false); }

void TFuzzySetValuesOwner::UpdateFuzzySetValues() { Changed(false); }

// ---- point -------------------------------------------------------------------------------------

TFuzzySetValues* TFuzzySetValue::FuzzySetValues() const {
  return static_cast<TFuzzySetValues*>(Collection());
}

void TFuzzySetValue::SetX(TFzyFloat Value) {
  CheckNumber(Value, "X");
  TFuzzySetValues* List = FuzzySetValues();
  // The unchanged test looks at the value after clamping, so that every X ends inside the range.
  if (List) Value = List->XRange().Clamp(Value);
  if (Value == FX) return;
  if (List)
    List->Write(*this, Value, FY, TXYUpdateTypes{utX});
  else
    FX = Value;
}

void TFuzzySetValue::SetY(TFzyFloat Value) {
  CheckNumber(Value, "Y");
  if (Value == FY) return;
  if (Value < 0) Value = 0;
  if (TFuzzySetValues* List = FuzzySetValues())
    List->Write(*this, FX, Value, TXYUpdateTypes{utY});
  else
    FY = Value;
}

void TFuzzySetValue::SetValue(TFzyFloat X, TFzyFloat Y) {
  CheckNumber(X, "X");
  CheckNumber(Y, "Y");
  TFuzzySetValues* List = FuzzySetValues();
  if (!List) {
    FX = X;
    FY = Y;
    return;
  }
  if (List->FuzzySet()) {
    X = List->XRange().Clamp(X);
    if (Y < 0) Y = 0;
  }
  List->Write(*this, X, Y, TXYUpdateTypes{utX, utY});
}

bool TFuzzySetValue::Equals(const TFuzzySetValue* Source) const {
  return Source && SameCoordinates(FX, FY, Source->FX, Source->FY);
}

void TFuzzySetValue::Assign(const TPersistent* Source) {
  if (const auto* Point = CastTo<TFuzzySetValue>(Source)) {
    SetValue(Point->FX, Point->FY);
    return;
  }
  TCollectionItem::Assign(Source);
}

// ---- list: the one write path ------------------------------------------------------------------

TFuzzySetValues::TXRange TFuzzySetValues::XRange() const {
  if (!FFuzzySet) return {false, 0, 0};
  const TFzyFloat Minimum = FFuzzySet->GetXRange(1);
  return {true, Minimum, FFuzzySet->GetXRange(0)};
}

void TFuzzySetValues::CheckCoordinates(TFzyFloat X, TFzyFloat Y) {
  CheckNumber(X, "X");
  CheckNumber(Y, "Y");
}

void TFuzzySetValues::Write(TFuzzySetValue& Point, TFzyFloat X, TFzyFloat Y, TXYUpdateTypes Types) {
  Point.FX = X;
  Point.FY = Y;
  // Whatever a descendant's UpdateValue does, caches of the list go stale.
  CountChange();
  UpdateValue(&Point, Types);
  Point.Changed(false);
}

TFuzzySetValues::TAppended TFuzzySetValues::Appended(TFzyFloat X, TFzyFloat Y, TFzyFloat StartX,
                                                     const TXRange& Range) {
  // SetX and SetY write only what differs from the new point's (StartX, 0).
  const TFzyFloat Stored = Range.Clamp(X);
  return {Stored, Y < 0 ? 0 : Y, Stored != StartX, Y != 0};
}

TFuzzySetValue& TFuzzySetValues::AppendQuietly() {
  auto* Point = static_cast<TFuzzySetValue*>(ItemClass()(nullptr));
  Point->FX = Count() > 0 ? this->Point(Count() - 1)->FX + 1.0 : 0;
  try {
    TGCollection::AppendQuietly(Point);
  } catch (...) {
    Point->Free();
    throw;
  }
  return *Point;
}

TFuzzySetValue* TFuzzySetValues::Add(TFzyFloat X, TFzyFloat Y) {
  CheckCoordinates(X, Y);
  const TXRange Range = XRange();
  TFuzzySetValue* Point = Add();
  const TAppended Stored = Appended(X, Y, Point->FX, Range);
  if (!Stored.Writes()) return Point;
  // Outside a bracket both coordinates are stored before the point is put in place, so that a step
  // built point by point keeps its lower point.
  Write(*Point, Stored.X, Stored.Y, UpdateCount() > 0 ? Stored.Types() : TXYUpdateTypes{utX, utY});
  return Point;
}

TFuzzySetValue* TFuzzySetValues::Insert(int Index) {
  if (Index < 0 || Index > Count()) throw EListError(SListIndexError, {Index});
  return static_cast<TFuzzySetValue*>(TGCollection::Insert(Index));
}

TFuzzySetValues::~TFuzzySetValues() {
  for (TCoordinates* Copy : {FCoordinates.load(std::memory_order_relaxed), FReplacedCoordinates.load(std::memory_order_relaxed)})
    if (Copy) TCoordinates::Free(Copy);
}

void TFuzzySetValues::BeforeDestruction() {
  while (Count() > 0) RemoveLastQuietly()->Free();
  TGCollection::BeforeDestruction();
}

// ---- list: copies ------------------------------------------------------------------------------

void TFuzzySetValues::Assign(const TPersistent* Source) {
  const auto* Points = CastTo<TFuzzySetValues>(Source);
  if (!Points || Points == this) {
    TGCollection::Assign(Source);
    return;
  }
  // The collection's assignment, without asking each copied point for its class.
  WithinUpdate(*this, [&] {
    Clear();
    Reserve(Points->Count());
    internal::TPointAppender Appender(*this);
    for (const TFuzzySetValue* P : *Points) Appender.AppendCopy(P->X(), P->Y());
  });
}

void TFuzzySetValues::Append(const TFuzzySetValues* Source) {
  if (Source) Append(Source, 0, Source->Count());
}

void TFuzzySetValues::Append(const TFuzzySetValues* Source, int Index, int Count) {
  if (!Source || Source->Count() == 0 || Count <= 0) return;
  const int SourceCount = Source->Count();
  Index = std::clamp(Index, 0, SourceCount - 1);
  if (Index + Count > SourceCount) Count = SourceCount - Index;
  // Copy the coordinates first: appending a list to itself changes it while it is read.
  TRecycledVector<internal::TCoordinate> Points;
  Points.reserve(static_cast<std::size_t>(Count));
  for (int I = Index; I < Index + Count; ++I) Points.push_back({Source->Point(I)->X(), Source->Point(I)->Y()});
  for (const internal::TCoordinate& P : Points) {
    if (UpdateCount() > 0)
      internal::TPointBatch::AppendCopy(*this, P.X, P.Y);
    else
      Add()->SetValue(P.X, P.Y);
  }
}

// ---- list: queries -----------------------------------------------------------------------------

int TFuzzySetValues::GetXCount(TFzyFloat X) const {
  int Result = 0;
  for (const TFuzzySetValue* P : *this)
    if (P->X() == X) ++Result;
  return Result;
}

// ---- list: tracking and placing one point ------------------------------------------------------

void TFuzzySetValues::UpdateValue(TFuzzySetValue* Value, TXYUpdateTypes Types) {
  const int Index = IndexOfItem(Value);
  if (Index < 0) return;
  const int N = Count();
  const TFzyFloat PrevX = Index > 0 ? Point(Index - 1)->X() : 0;
  const TFzyFloat NextX = Index < N - 1 ? Point(Index + 1)->X() : 0;
  TrackWrite(Value->X(), Index > 0 ? &PrevX : nullptr, Index < N - 1 ? &NextX : nullptr, N, Types, [&] {
    return (Index > 0 && Value->Equals(Point(Index - 1))) || (Index < N - 1 && Value->Equals(Point(Index + 1)));
  });
  if (UpdateCount() == 0) PutInPlace(Value, Types);
}

void TFuzzySetValues::PutInPlace(TFuzzySetValue* Value, TXYUpdateTypes Types) {
  // The clean-up may delete points and notify the owner; Value itself must survive it.
  TFuzzySetValue* const OuterUpdating = std::exchange(FUpdating, Value);
  try {
    if (!FSorted) {
      TUpdateBracket Bracket(*this);
      SortAround(Value);
      FSorted = true;
    }
    if (Count() >= 2 && IndexOfItem(Value) >= 0) {
      if (Types.Contains(utX)) PlaceAmongEqualX(Value);
      if (IndexOfItem(Value) >= 0) MergeEqualXRun(Value);
    }
  } catch (...) {
    FUpdating = OuterUpdating;
    throw;
  }
  FUpdating = OuterUpdating;
}

// Puts Value after the other points of its X; when three others share it, the middle one goes.
void TFuzzySetValues::PlaceAmongEqualX(TFuzzySetValue* Value) {
  const long double Limit = static_cast<long double>(Value->X()) + FuzzyTolerance;
  int Position = IndexOfItem(Value);
  int Others = 0;
  for (int I = 0; I < Count(); ++I) {
    const TFuzzySetValue* P = Point(I);
    if (P->X() > Limit) break;
    if (P != Value && FloatEquals(Value->X(), P->X()) && ++Others == 3) break;
    Position = I;
  }
  if (Others == 3) {
    if (Point(Position) == Value) --Position;  // spare Value: the other point before it goes
    Delete(Position);
  }
  Position = std::min(Position, Count() - 1);
  const int Current = IndexOfItem(Value);
  if (Current >= 0 && Current != Position) MoveItem(Current, Position);
}

// Merges equal neighbours in Value's run of equal X and keeps the run to at most four points.
void TFuzzySetValues::MergeEqualXRun(TFuzzySetValue* Value) {
  int Index = IndexOfItem(Value);
  const int Before = SkipX(Index, Value->X(), -1);
  const int Start = Before < 0 ? 0 : Before;
  int J = Start + 1;
  while (J < Count() && FloatEquals(Value->X(), Point(J)->X())) {
    if (Point(J)->Equals(Point(J - 1)))
      Delete(Point(J - 1) == Value ? J : J - 1);
    else
      ++J;
  }
  if (J - Start - 1 > 3) {
    Index = IndexOfItem(Value);
    if (Index > 0)
      Delete(Index - 1);
    else if (Index == 0 && Count() > 1)
      Delete(1);  // Value leads the list: the point after it goes instead
  }
}

// ---- list: clean-up ----------------------------------------------------------------------------

void TFuzzySetValues::Update(TCollectionItem* Item) {
  TGCollection::Update(Item);
  FSorted = FSorted || Count() < 2;
  FDuplicatesRemoved = FDuplicatesRemoved || Count() < 2;
  if (!Item && !(FSorted && FDuplicatesRemoved)) {
    // The clean-up ends with its own whole-list update, which tells the owner once.
    CleanupValues();
    return;
  }
  if (!FFuzzySet) return;
  if (Item)
    FFuzzySet->UpdateFuzzySetValue(static_cast<TFuzzySetValue*>(Item));
  else
    FFuzzySet->UpdateFuzzySetValues();
}

void TFuzzySetValues::Sort() {
  if (FSorted) return;
  TUpdateBracket Bracket(*this);
  SortAround(nullptr);
  FSorted = true;
}

// The sort: for each place in turn, every later point more than the tolerance below the point at
// that place moves to it. When only Moved is out of place this takes one move (or one partition);
// a list in that order already stays as it is; any other list is sorted by SortOrder.
void TFuzzySetValues::SortAround(const TFuzzySetValue* Moved) {
  const int N = Count();
  auto X = [this](int I) { return Point(I)->X(); };
  const int K = Moved ? IndexOfItem(Moved) : -1;
  if (K >= 0 && InSortOrder(N, X, K)) {
    const TFzyFloat P = X(K);
    // Moved goes before the first earlier point it lies far below...
    for (int I = 0; I < K; ++I)
      if (FarBelow(P, X(I))) {
        MoveItem(K, I);
        return;
      }
    // ...or the later points far below it go before it, in their order.
    int Below = K + 1;
    while (Below < N && !FarBelow(X(Below), P)) ++Below;
    if (Below == N) return;
    std::vector<int> Order;
    Order.reserve(static_cast<std::size_t>(N));
    for (int I = 0; I < K; ++I) Order.push_back(I);
    for (int I = Below; I < N; ++I)
      if (FarBelow(X(I), P)) Order.push_back(I);
    Order.push_back(K);
    for (int I = K + 1; I < N; ++I)
      if (!FarBelow(X(I), P)) Order.push_back(I);
    ReorderItems(Order);
    return;
  }
  if (InSortOrder(N, X)) return;
  std::vector<TFzyFloat> Places(static_cast<std::size_t>(N));
  for (int I = 0; I < N; ++I) Places[static_cast<std::size_t>(I)] = X(I);
  ReorderItems(SortOrder(Places));
}

void TFuzzySetValues::RemoveDuplicates() {
  if (FDuplicatesRemoved) return;
  TUpdateBracket Bracket(*this);
  // Each point is compared with the last point kept, as the points would meet when the removed
  // ones were deleted one by one; the point being updated is spared and its twin goes instead.
  const int N = Count();
  std::vector<char> Removed(static_cast<std::size_t>(N), 0);
  int Last = 0;
  int Run = 0;
  auto RemoveTwin = [&](int I) {
    if (Point(I) == FUpdating) {
      Removed[static_cast<std::size_t>(Last)] = 1;
      Last = I;
    } else {
      Removed[static_cast<std::size_t>(I)] = 1;
    }
  };
  for (int I = 1; I < N; ++I) {
    TFuzzySetValue* P = Point(I);
    const TFuzzySetValue* Kept = Point(Last);
    if (P->Equals(Kept)) {
      RemoveTwin(I);
    } else if (FloatEquals(P->X(), Kept->X())) {
      if (++Run == 4) {
        RemoveTwin(I);
        Run = 0;
      } else {
        Last = I;
      }
    } else {
      Run = 0;
      Last = I;
    }
  }
  std::size_t Position = 0;
  DeleteItemsQuietly([&](TCollectionItem*) { return Removed[Position++] != 0; });
  FDuplicatesRemoved = true;
}

void TFuzzySetValues::CleanupValues() {
  if (FSorted && FDuplicatesRemoved) return;
  TUpdateBracket Bracket(*this);
  Sort();
  RemoveDuplicates();
}

// ---- list: resampling --------------------------------------------------------------------------

// The list as a resampling puts new points into it one by one, each with Add, SetX, SetIndex and
// SetY: the points of the list and the new ones, linked in their order, so that each insertion and
// each step of a walk over it takes constant time. The list itself changes once, at the end.
class TFuzzySetValues::TGrowingList {
 public:
  struct TNode {
    TFzyFloat X, Y;
    int Previous, Next;  // -1 at either end
  };

  explicit TGrowingList(const TFuzzySetValues& Values) : FOriginal(Values.Count()) {
    FNodes.reserve(static_cast<std::size_t>(FOriginal));
    for (int I = 0; I < FOriginal; ++I)
      FNodes.push_back({Values.Point(I)->X(), Values.Point(I)->Y(), I - 1, I + 1 < FOriginal ? I + 1 : -1});
  }

  const TNode& operator[](int Node) const { return FNodes[static_cast<std::size_t>(Node)]; }
  int First() const { return 0; }
  // The last point of the list: new points always go before some point, so it stays the last.
  int Last() const { return FOriginal - 1; }
  int Original() const { return FOriginal; }
  int Size() const { return static_cast<int>(FNodes.size()); }
  bool IsNew(int Node) const { return Node >= FOriginal; }

  int InsertBefore(int Before, TFzyFloat X, TFzyFloat Y) {
    const int Node = Size();
    const int Previous = FNodes[static_cast<std::size_t>(Before)].Previous;
    FNodes.push_back({X, Y, Previous, Before});
    FNodes[static_cast<std::size_t>(Before)].Previous = Node;
    if (Previous >= 0) FNodes[static_cast<std::size_t>(Previous)].Next = Node;
    return Node;
  }

 private:
  int FOriginal;
  TRecycledVector<TNode> FNodes;
};

// A new point at X goes before the point Before: SetX writes X (clamped) at the end of the list,
// SetIndex moves it, and SetY writes the degree interpolated from its neighbours there, kept
// between their degrees. A point that its clamped X puts out of order clears the order flag, so
// that the end of the update sorts it in.
int TFuzzySetValues::AddResampled(TGrowingList& Growing, int Before, TFzyFloat X, const TXRange& Range) {
  const int Size = Growing.Size() + 1;
  const TFzyFloat LastX = Growing[Growing.Last()].X;
  X = Range.Clamp(X);
  if (X != LastX + 1.0) TrackWrite(X, &LastX, nullptr, Size, TXYUpdateTypes{utX}, [] { return false; });
  const int PreviousNode = Growing[Before].Previous;
  const TGrowingList::TNode& Next = Growing[Before];
  TFzyFloat Y = Next.Y;
  if (PreviousNode >= 0) {
    const TGrowingList::TNode& Previous = Growing[PreviousNode];
    // Neighbours on one X (clamping, or a run of equal X) give no slope: take the neighbour's Y.
    Y = Next.X == Previous.X
            ? Previous.Y
            : Lerp(Previous.Y, Next.Y, std::clamp<TFzyFloat>(Fraction(X, Previous.X, Next.X), 0, 1));
    if (!(Previous.X <= X || FloatEquals(X, Previous.X)) || !(X <= Next.X || FloatEquals(X, Next.X)))
      FSorted = false;
  }
  if (Y != 0) {
    Y = std::max<TFzyFloat>(Y, 0);
    TrackWrite(X, nullptr, nullptr, Size, TXYUpdateTypes{utY}, [&] {
      const bool SamePrevious =
          PreviousNode >= 0 && SameCoordinates(X, Y, Growing[PreviousNode].X, Growing[PreviousNode].Y);
      return SamePrevious || SameCoordinates(X, Y, Next.X, Next.Y);
    });
  }
  return Growing.InsertBefore(Before, X, Y);
}

void TFuzzySetValues::PlaceResampled(const TGrowingList& Growing) {
  const int Added = Growing.Size() - Growing.Original();
  if (Added == 0) return;
  // The new points in their final order, each with the index of the point of the list after it.
  TRecycledVector<int> Before;
  Before.reserve(static_cast<std::size_t>(Added));
  TRecycledVector<int> NewNodes;
  NewNodes.reserve(static_cast<std::size_t>(Added));
  int Pending = 0;
  for (int Node = Growing.First(); Node >= 0; Node = Growing[Node].Next) {
    if (Growing.IsNew(Node)) {
      NewNodes.push_back(Node);
      ++Pending;
      continue;
    }
    for (; Pending > 0; --Pending) Before.push_back(Node);
  }
  for (int Node : NewNodes) {
    TFuzzySetValue& P = AppendQuietly();
    P.FX = Growing[Node].X;
    P.FY = Growing[Node].Y;
  }
  PlaceAddedItems(Added, [&Before](int I) { return Before[static_cast<std::size_t>(I)]; });
}

void TFuzzySetValues::Expand(int NewCount) {
  if (NewCount < 2 || NewCount <= Count()) return;
  internal::CheckPointCount(NewCount);
  TUpdateBracket Bracket(*this);
  if (Count() < 2) return;
  const TXRange Range = XRange();
  int Missing = NewCount - Count();
  int Segments = 0;
  for (int I = 0; I + 1 < Count(); ++I)
    if (Point(I + 1)->X() - FuzzyTolerance > Point(I)->X()) ++Segments;
  // Each pair of distinct X gets the ceiling of the missing points left over the pairs left, each
  // new X one step past the X of the point before it.
  TGrowingList Growing(*this);
  for (int Node = Growing.First(); Node != Growing.Last(); Node = Growing[Node].Next) {
    const int Right = Growing[Node].Next;
    if (Segments == 0 || !(Growing[Right].X - FuzzyTolerance > Growing[Node].X)) continue;
    const int K = static_cast<int>(std::ceil(static_cast<double>(Missing) / Segments));
    const TFzyFloat Step = StepBetween(Growing[Node].X, Growing[Right].X, K + 1);
    --Segments;
    for (int N = 0; N < K; ++N) {
      --Missing;
      Node = AddResampled(Growing, Right, Growing[Node].X + Step, Range);
    }
  }
  PlaceResampled(Growing);
}

void TFuzzySetValues::ExpandSimple(int NewCount) {
  // Fewer than two points, or points all on one X, give no span to spread new points over.
  if (NewCount < 2 || NewCount <= Count() || Count() < 2) return;
  if (FloatEquals(Point(0)->X(), Point(Count() - 1)->X())) return;
  internal::CheckPointCount(NewCount);
  TUpdateBracket Bracket(*this);
  const TXRange Range = XRange();
  const int Missing = NewCount - Count();
  const TFzyFloat Step = StepBetween(Point(0)->X(), Point(Count() - 1)->X(), Missing + 1);
  TGrowingList Growing(*this);
  TFzyFloat X = Point(0)->X();
  int K = Growing.First();
  for (int N = 0; N < Missing; ++N) {
    X += Step;
    while (K != Growing.Last() && Growing[K].X < X) K = Growing[K].Next;
    if (FloatEquals(Growing[K].X, X)) {
      // After the run of that X; when the run reaches the end, before the last point.
      int After = Growing[K].Next;
      while (After >= 0 && FloatEquals(Growing[After].X, X)) After = Growing[After].Next;
      K = After >= 0 ? After : Growing.Last();
    }
    K = AddResampled(Growing, K, X, Range);
  }
  PlaceResampled(Growing);
}

// ---- the library's batch writes -----------------------------------------------------------------

namespace internal {

void TPointBatch::Replace(TFuzzySetValues& List, std::span<const TCoordinate> Points) {
  for (const TCoordinate& P : Points) TFuzzySetValues::CheckCoordinates(P.X, P.Y);
  // Points beyond the new count go as Clear takes them, from the back; the others are reused as
  // if just appended: a new point lies one past the X before it (the first at 0) with Y = 0.
  const int Size = static_cast<int>(Points.size());
  while (List.Count() > Size) List.RemoveLastQuietly()->Free();
  while (List.Count() < Size) List.AppendQuietly();
  const auto Range = List.XRange();
  for (int I = 0; I < Size; ++I) {
    TFuzzySetValue& Point = *List.Point(I);
    const TFzyFloat StartX = I == 0 ? 0 : List.Point(I - 1)->FX + 1.0;
    const auto Stored = TFuzzySetValues::Appended(Points[static_cast<std::size_t>(I)].X,
                                                  Points[static_cast<std::size_t>(I)].Y, StartX, Range);
    Point.FX = Stored.X;
    Point.FY = Stored.Y;
    if (!Stored.Writes()) continue;
    const TFzyFloat* PrevX = I > 0 ? &List.Point(I - 1)->FX : nullptr;
    List.TrackWrite(Stored.X, PrevX, nullptr, I + 1, Stored.Types(), [&] {
      return I > 0 && SameCoordinates(Stored.X, Stored.Y, List.Point(I - 1)->FX, List.Point(I - 1)->FY);
    });
  }
  List.CountChange();
}

void TPointBatch::Insert(TFuzzySetValues& List, std::span<const TInsertion> Points) {
  if (Points.empty()) return;
  const int Original = List.Count();
  for (std::size_t I = 0; I < Points.size(); ++I) {
    if (Points[I].Before < 0 || Points[I].Before > Original || (I > 0 && Points[I].Before < Points[I - 1].Before))
      throw EListError(SListIndexError, {Points[I].Before});
    TFuzzySetValues::CheckCoordinates(Points[I].X, Points[I].Y);
  }
  // Each point is written by SetValue while the points after it are not yet inserted: its
  // neighbours are the point inserted just before it (or the list's point before Before) and the
  // list's point at Before. The new points are made at the end of the list, then moved.
  const auto Range = List.XRange();
  TCoordinate Written{};
  for (std::size_t I = 0; I < Points.size(); ++I) {
    const int Before = Points[I].Before;
    TFzyFloat X = Points[I].X;
    TFzyFloat Y = Points[I].Y;
    if (List.FuzzySet()) {
      X = Range.Clamp(X);
      if (Y < 0) Y = 0;
    }
    const bool AfterNew = I > 0 && Points[I - 1].Before == Before;
    const bool HasPrevious = AfterNew || Before > 0;
    const bool HasNext = Before < Original;
    const TCoordinate Previous = AfterNew      ? Written
                                 : HasPrevious ? TCoordinate{List.Point(Before - 1)->FX, List.Point(Before - 1)->FY}
                                               : TCoordinate{};
    const TCoordinate Next = HasNext ? TCoordinate{List.Point(Before)->FX, List.Point(Before)->FY} : TCoordinate{};
    const int Size = Original + static_cast<int>(I) + 1;
    List.TrackWrite(X, HasPrevious ? &Previous.X : nullptr, HasNext ? &Next.X : nullptr, Size,
                    TXYUpdateTypes{utX, utY}, [&] {
                      return (HasPrevious && SameCoordinates(X, Y, Previous.X, Previous.Y)) ||
                             (HasNext && SameCoordinates(X, Y, Next.X, Next.Y));
                    });
    Written = {X, Y};
    TFuzzySetValue& Point = List.AppendQuietly();
    Point.FX = X;
    Point.FY = Y;
  }
  List.PlaceAddedItems(static_cast<int>(Points.size()),
                       [Points](int I) { return Points[static_cast<std::size_t>(I)].Before; });
}

void TPointBatch::WriteX(TFuzzySetValues& List, int Index, TFzyFloat X) {
  CheckNumber(X, "X");
  TFuzzySetValue& Point = *List.Point(Index);
  X = List.XRange().Clamp(X);
  if (X == Point.FX) return;
  List.WriteQuietly(Point, Index, X, Point.FY, TXYUpdateTypes{utX});
}

void TPointBatch::Track(TFuzzySetValues& List, std::span<TCoordinate> Points) {
  const auto Range = List.XRange();
  int N = List.Count();
  bool HasPrevious = N > 0;
  TFzyFloat PreviousX = HasPrevious ? List.Point(N - 1)->FX : 0;
  TFzyFloat PreviousY = HasPrevious ? List.Point(N - 1)->FY : 0;
  for (TCoordinate& P : Points) {
    ++N;
    const auto Stored = TFuzzySetValues::Appended(P.X, P.Y, HasPrevious ? PreviousX + 1.0 : 0, Range);
    const TFzyFloat* Previous = HasPrevious ? &PreviousX : nullptr;
    if (Stored.Writes())
      List.TrackWrite(Stored.X, Previous, nullptr, N, Stored.Types(), [&] {
        return HasPrevious && SameCoordinates(Stored.X, Stored.Y, PreviousX, PreviousY);
      });
    P = {Stored.X, Stored.Y};
    PreviousX = Stored.X;
    PreviousY = Stored.Y;
    HasPrevious = true;
  }
  List.CountChange();
}

void TPointBatch::AppendTracked(TFuzzySetValues& List, std::span<const TCoordinate> Points) {
  List.Reserve(List.Count() + static_cast<int>(Points.size()));
  for (const TCoordinate& P : Points) {
    TFuzzySetValue& Point = List.AppendQuietly();
    Point.FX = P.X;
    Point.FY = P.Y;
  }
}

void TPointBatch::RemoveLevelRuns(TFuzzySetValues& List) {
  TRecycledVector<const TFuzzySetValue*> Kept(List.RawItems().size());
  for (std::size_t I = 0; I < Kept.size(); ++I) Kept[I] = List.Point(static_cast<int>(I));
  Kept.erase(internal::RemoveLevelRuns(Kept.begin(), Kept.end(), [](const TFuzzySetValue* P) { return P->FY; }),
             Kept.end());
  std::size_t Next = 0;
  List.DeleteItemsQuietly([&](const TCollectionItem* Item) {
    if (Next < Kept.size() && Kept[Next] == Item) {
      ++Next;
      return false;
    }
    return true;
  });
}

const TPointBatch::TCoordinates* TPointBatch::CoordinatesAfterLookup(const TFuzzySetValues& List) {
  const std::uint64_t Changes = List.ChangeCount();
  if (List.FFirstLookup.exchange(Changes, std::memory_order_relaxed) != Changes) return nullptr;
  const std::size_t N = List.RawItems().size();
  TCoordinates* Made = TCoordinates::Make(Changes, N);
  for (std::size_t I = 0; I < N; ++I) {
    const TFuzzySetValue* P = List.Point(static_cast<int>(I));
    if (I > 0 && P->FX < Made->X()[I - 1]) Made->Ascending = false;
    if (!(std::fabs(P->FX) <= 0x1p500 && std::fabs(P->FY) <= 0x1p500)) Made->Moderate = false;
    Made->X()[I] = P->FX;
    Made->Y()[I] = P->FY;
  }
  // Reads of an unchanged list may make copies at once: the first one published stays, the others
  // go. The copy it replaces may still be in a concurrent read's hands (to look at its change
  // count): it is set aside, and the one set aside before it, which no read can hold any longer
  // (the list changed since), is freed.
  TCoordinates* Known = List.FCoordinates.load(std::memory_order_acquire);
  while (!Known || Known->ChangeCount != Changes) {
    if (List.FCoordinates.compare_exchange_weak(Known, Made, std::memory_order_acq_rel, std::memory_order_acquire)) {
      if (TCoordinates* Old = List.FReplacedCoordinates.exchange(Known, std::memory_order_acq_rel))
        TCoordinates::Free(Old);
      return Made;
    }
  }
  TCoordinates::Free(Made);
  return Known;
}

bool TPointBatch::FindAscending(const TFuzzySetValues& List) {
  const auto& Items = List.RawItems();
  return std::is_sorted(Items.begin(), Items.end(), [](const TCollectionItem* A, const TCollectionItem* B) {
    return static_cast<const TFuzzySetValue*>(A)->FX < static_cast<const TFuzzySetValue*>(B)->FX;
  });
}

bool TPointBatch::FindFlat(const TFuzzySetValues& List) { return List.SkipY(0, List.Point(0)->FY, 1) == -1; }

bool TPointBatch::FindModerate(const TFuzzySetValues& List) {
  constexpr TFzyFloat Limit = 0x1p500;
  for (const TFuzzySetValue* P : List)
    if (!(std::fabs(P->FX) <= Limit && std::fabs(P->FY) <= Limit)) return false;
  return true;
}

}  // namespace internal

// ---- list: statistics --------------------------------------------------------------------------

namespace {
void CheckNotEmpty(const TFuzzySetValues& Values, const char* Operation) {
  if (Values.Count() == 0) throw EFzyException(SFuzzySetEmpty, {Operation});
}
}  // namespace

TFzyFloat TFuzzySetValues::GetAvgValue() const {
  CheckNotEmpty(*this, "Get Average Y Value");
  return MeanOf(Count(), [this](int I) { return Point(I)->Y(); });
}

TFzyFloat TFuzzySetValues::GetMaxValue() const {
  CheckNotEmpty(*this, "Get Maximum Y Value");
  TFzyFloat Result = Point(0)->Y();
  for (int I = 1; I < Count(); ++I)
    if (Point(I)->Y() > Result) {
      Result = Point(I)->Y();
      if (Result == 1.0) break;
    }
  return Result;
}

TFzyFloat TFuzzySetValues::GetMinValue() const {
  CheckNotEmpty(*this, "Get Minimum Y Value");
  TFzyFloat Result = Point(0)->Y();
  for (int I = 1; I < Count(); ++I)
    if (Point(I)->Y() < Result) {
      Result = Point(I)->Y();
      if (Result == 0.0) break;
    }
  return Result;
}

void TFuzzySetValues::GetStatValues(TFzyFloat& AvgY, TFzyFloat& MaxY, TFzyFloat& MinY) const {
  CheckNotEmpty(*this, "Get Statistics Values");
  MaxY = 0.0;
  MinY = 1.0;
  for (const TFuzzySetValue* P : *this) {
    if (P->Y() > MaxY) MaxY = P->Y();
    if (P->Y() < MinY) MinY = P->Y();
  }
  AvgY = MeanOf(Count(), [this](int I) { return Point(I)->Y(); });
}

}  // namespace fuzzy
