#include "fuzzy/engine/fuzzy_set_values.h"

#include <algorithm>
#include <cmath>
#include <typeinfo>
#include <utility>

#include "fuzzy/engine/fuzzy_math.h"
#include "fuzzy/runtime/update_bracket.h"

namespace fuzzy {

namespace {

constexpr TFzyFloat UnboundedX = 2147483647.0;

[[noreturn, gnu::cold, gnu::noinline]] void RaiseInvalidNumber(TFzyFloat Value, const char* Coordinate) {
  throw EFzyException(SInvalidPointValue, {Coordinate, FloatToStrF(Value, 4)});
}

inline void CheckNumber(TFzyFloat Value, const char* Coordinate) {
  if (std::isnan(Value)) [[unlikely]]
    RaiseInvalidNumber(Value, Coordinate);
}

}  // namespace

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

TFuzzySetValue::TFuzzySetValue(TCollection* Collection) : TCollectionItem(Collection) {
  if (Collection && Collection->Count() > 0)
    FX = static_cast<const TFuzzySetValue*>(Collection->RawItems().back())->FX + 1.0;
}

TFuzzySetValues* TFuzzySetValue::FuzzySetValues() const {
  return static_cast<TFuzzySetValues*>(Collection());
}

TFzyFloat TFuzzySetValue::ClampX(TFzyFloat Value) const {
  const TFuzzySetValues* List = FuzzySetValues();
  return List ? List->ClampToRange(Value) : Value;
}

TFuzzySetValues::TXRange TFuzzySetValues::XRange() const {
  if (!FFuzzySet) return {false, 0, 0};
  const TFzyFloat Minimum = FFuzzySet->GetXRange(1);
  return {true, Minimum, FFuzzySet->GetXRange(0)};
}

void TFuzzySetValue::WriteXY(TFzyFloat X, TFzyFloat Y, TXYUpdateTypes Types) {
  FX = X;
  FY = Y;
  TFuzzySetValues* List = FuzzySetValues();
  if (!List) return;
  List->CountChange();  // whatever a descendant's UpdateValue does, caches of the list go stale
  if (List->WritesDirectly()) {
    // The library's own list inside an update bracket: no override to reach, no change to report.
    List->TFuzzySetValues::UpdateValue(this, Types);
    return;
  }
  List->UpdateValue(this, Types);
  Changed(false);
}

void TFuzzySetValue::SetX(TFzyFloat Value) {
  CheckNumber(Value, "X");
  // The unchanged test looks at the value after clamping, so that every X ends inside the range.
  Value = ClampX(Value);
  if (Value == FX) return;
  WriteXY(Value, FY, TXYUpdateTypes{utX});
}

void TFuzzySetValue::SetY(TFzyFloat Value) {
  CheckNumber(Value, "Y");
  if (Value == FY) return;
  WriteXY(FX, Value < 0 ? 0 : Value, TXYUpdateTypes{utY});
}

void TFuzzySetValue::SetValue(TFzyFloat X, TFzyFloat Y) {
  CheckNumber(X, "X");
  CheckNumber(Y, "Y");
  const TFuzzySetValues* List = FuzzySetValues();
  if (List && List->FuzzySet()) {
    X = ClampX(X);
    if (Y < 0) Y = 0;
  }
  WriteXY(X, Y, TXYUpdateTypes{utX, utY});
}

bool TFuzzySetValue::Equals(const TFuzzySetValue* Source) const {
  return Source && FloatEquals(FX, Source->FX) && FloatEquals(FY, Source->FY);
}

void TFuzzySetValue::Assign(const TPersistent* Source) {
  if (const auto* Point = CastTo<TFuzzySetValue>(Source)) {
    SetValue(Point->FX, Point->FY);
    return;
  }
  TCollectionItem::Assign(Source);
}

// ---- list: adding ------------------------------------------------------------------------------

TFuzzySetValue* TFuzzySetValues::Add(TFzyFloat X, TFzyFloat Y) {
  CheckNumber(X, "X");
  CheckNumber(Y, "Y");
  TFuzzySetValue* Point = Add();
  // Both coordinates are stored before the list cleans up, so a step built point by point keeps
  // its lower point.
  Point->WriteXY(Point->ClampX(X), Y < 0 ? 0 : Y, TXYUpdateTypes{utX, utY});
  return Point;
}

// ---- list: writing new points ------------------------------------------------------------------

void TFuzzySetValues::AfterConstruction() {
  TGCollection::AfterConstruction();
  AllowDirectWrites(typeid(*this) == typeid(TFuzzySetValues));
}

void TFuzzySetValues::BeforeDestruction() {
  // The points go as the collection's destruction would free them, last first; a list that writes
  // directly has no override to tell, and no change is reported while it goes.
  if (FWritesDirectly)
    while (Count() > 0) RemoveLastQuietly()->Free();
  TGCollection::BeforeDestruction();
}

inline void TFuzzySetValues::StoreDirectly(TFuzzySetValue* Point, int Index, int Size, TFzyFloat X, TFzyFloat Y,
                                           TXYUpdateTypes Types) {
  Point->FX = X;
  Point->FY = Y;
  CountChange();
  TrackChange(Point, Index, Size, Types);
}

// SetX(X) then SetY(Y) on Point, the last of Size points, inside an update bracket.
inline void TFuzzySetValues::WriteAppended(TFuzzySetValue* Point, int Index, TFzyFloat X, TFzyFloat Y,
                                           const TXRange& Range) {
  CheckNumber(X, "X");
  X = Range.Clamp(X);
  if (X != Point->FX) StoreDirectly(Point, Index, Index + 1, X, Point->FY, TXYUpdateTypes{utX});
  CheckNumber(Y, "Y");
  if (Y != Point->FY) StoreDirectly(Point, Index, Index + 1, Point->FX, Y < 0 ? 0 : Y, TXYUpdateTypes{utY});
}

TFuzzySetValue* TFuzzySetValues::AddPoint() {
  if (!WritesDirectly()) return Add();
  // What New<TFuzzySetValue>(this) does for a point: its construction steps do nothing more for a
  // point in no collection, and the list's added notification and change report are no-ops here.
  auto* Point = new TFuzzySetValue(nullptr);
  Point->FX = Count() > 0 ? this->Point(Count() - 1)->FX + 1.0 : 0;
  try {
    AppendQuietly(Point);
  } catch (...) {
    Point->Free();
    throw;
  }
  return Point;
}

TFuzzySetValue* TFuzzySetValues::AppendSetXY(TFzyFloat X, TFzyFloat Y) {
  TFuzzySetValue* Point = AddPoint();
  if (!WritesDirectly()) {
    Point->SetX(X);
    Point->SetY(Y);
    return Point;
  }
  WriteAppended(Point, Count() - 1, X, Y, XRange());
  return Point;
}

void TFuzzySetValues::ReplaceSetXY(std::span<const TCoordinate> Points) {
  const bool Finite = std::none_of(Points.begin(), Points.end(),
                                   [](const TCoordinate& P) { return std::isnan(P.X) || std::isnan(P.Y); });
  if (!WritesDirectly() || !Finite) {
    Clear();
    for (const TCoordinate& P : Points) AppendSetXY(P.X, P.Y);
    return;
  }
  // Points beyond the new count go as Clear takes them, from the back; the others are reused as
  // if just appended: a new point lies one past the X before it (the first at 0) with Y = 0.
  const int Size = static_cast<int>(Points.size());
  while (Count() > Size) Delete(Count() - 1);
  while (Count() < Size) AddPoint();
  const TXRange Range = XRange();
  for (int I = 0; I < Size; ++I) {
    TFuzzySetValue* Point = this->Point(I);
    Point->FX = I == 0 ? 0 : this->Point(I - 1)->FX + 1.0;
    Point->FY = 0;
    WriteAppended(Point, I, Points[static_cast<std::size_t>(I)].X, Points[static_cast<std::size_t>(I)].Y, Range);
  }
  CountChange();
}

// SetValue(X, Y) on the point at Index inside an update bracket.
inline void TFuzzySetValues::WriteValue(TFuzzySetValue* Point, int Index, TFzyFloat X, TFzyFloat Y,
                                        const TXRange& Range) {
  CheckNumber(X, "X");
  CheckNumber(Y, "Y");
  if (FFuzzySet) {
    X = Range.Clamp(X);
    if (Y < 0) Y = 0;
  }
  StoreDirectly(Point, Index, Count(), X, Y, TXYUpdateTypes{utX, utY});
}

bool TFuzzySetValues::StoreAppends(std::span<TCoordinate> Points) {
  for (const TCoordinate& P : Points)
    if (std::isnan(P.X) || std::isnan(P.Y)) return false;
  // The owner's range, asked once for the whole batch: nothing can change it between the writes.
  const TXRange Range = XRange();
  int N = Count();
  bool HasPrevious = N > 0;
  TFzyFloat PrevX = HasPrevious ? Point(N - 1)->X() : 0;
  TFzyFloat PrevY = HasPrevious ? Point(N - 1)->Y() : 0;
  // As AppendSetXY would: each new point starts one past the X before it (the first of an empty
  // list at 0) with Y = 0, then SetX and SetY write what differs, each write tracked.
  for (TCoordinate& P : Points) {
    ++N;
    const TFzyFloat StartX = HasPrevious ? PrevX + 1.0 : 0;
    const TFzyFloat X = Range.Clamp(P.X);
    const TFzyFloat* const Previous = HasPrevious ? &PrevX : nullptr;
    if (X != StartX) TrackWrite(X, Previous, nullptr, N, TXYUpdateTypes{utX}, [] { return false; });
    TFzyFloat Y = 0;
    if (P.Y != 0) {
      Y = P.Y < 0 ? 0 : P.Y;
      TrackWrite(X, Previous, nullptr, N, TXYUpdateTypes{utY},
                 [&] { return HasPrevious && FloatEquals(X, PrevX) && FloatEquals(Y, PrevY); });
    }
    P = {X, Y};
    PrevX = X;
    PrevY = Y;
    HasPrevious = true;
  }
  CountChange();
  return true;
}

void TFuzzySetValues::AddStored(TFzyFloat X, TFzyFloat Y) {
  TFuzzySetValue* Point = AddPoint();
  Point->FX = X;
  Point->FY = Y;
}

TFuzzySetValue* TFuzzySetValues::AppendSetValue(TFzyFloat X, TFzyFloat Y) {
  return AppendSetValue(X, Y, XRange());
}

TFuzzySetValue* TFuzzySetValues::AppendSetValue(TFzyFloat X, TFzyFloat Y, const TXRange& Range) {
  TFuzzySetValue* Point = AddPoint();
  if (WritesDirectly())
    WriteValue(Point, Count() - 1, X, Y, Range);
  else
    Point->SetValue(X, Y);
  return Point;
}

void TFuzzySetValues::InsertPoints(std::span<const TInsertion> Points) {
  if (Points.empty()) return;
  // Checked before anything is added, so a refused call leaves the list as it was.
  for (std::size_t I = 0; I < Points.size(); ++I)
    if (Points[I].Before < 0 || Points[I].Before > Count() || (I > 0 && Points[I].Before < Points[I - 1].Before))
      throw EListError(SListIndexError, {Points[I].Before});
  WithinUpdate(*this, [&] {
    const int Added = static_cast<int>(Points.size());
    for (int I = 0; I < Added; ++I) AddPoint();
    PlaceAddedItems(Added, [Points](int I) { return Points[static_cast<std::size_t>(I)].Before; });
    const TXRange Range = XRange();
    for (int I = 0; I < Added; ++I) {
      const TInsertion& P = Points[static_cast<std::size_t>(I)];
      const int Index = P.Before + I;
      if (WritesDirectly())
        WriteValue(Point(Index), Index, P.X, P.Y, Range);
      else
        Point(Index)->SetValue(P.X, P.Y);
    }
  });
}

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
    const TXRange Range = XRange();
    for (const TFuzzySetValue* P : *Points) AppendSetValue(P->X(), P->Y(), Range);
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
  std::vector<std::pair<TFzyFloat, TFzyFloat>> Points;
  Points.reserve(static_cast<std::size_t>(Count));
  for (int I = Index; I < Index + Count; ++I)
    Points.emplace_back(Source->Point(I)->X(), Source->Point(I)->Y());
  for (const auto& [X, Y] : Points) AppendSetValue(X, Y);
}

// ---- list: queries -----------------------------------------------------------------------------

int TFuzzySetValues::GetXCount(TFzyFloat X) const {
  int Result = 0;
  for (const TFuzzySetValue* P : *this)
    if (P->X() == X) ++Result;
  return Result;
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
  const int N = Count();
  for (int I = 0; I < N; ++I)
    for (int J = I + 1; J < Count(); ++J)
      if (Point(J)->X() + FuzzyTolerance < Point(I)->X()) MoveItem(J, I);
  FSorted = true;
}

void TFuzzySetValues::DeleteSparing(int Index, int Twin) {
  Delete(Point(Index) == FUpdating && Twin >= 0 && Twin < Count() ? Twin : Index);
}

void TFuzzySetValues::RemoveDuplicates() {
  if (FDuplicatesRemoved) return;
  TUpdateBracket Bracket(*this);
  int I = 1;
  int Run = 0;
  while (I < Count()) {
    if (Point(I)->Equals(Point(I - 1))) {
      DeleteSparing(I, I - 1);
    } else if (FloatEquals(Point(I)->X(), Point(I - 1)->X())) {
      if (++Run == 4) {
        DeleteSparing(I, I - 1);
        Run = 0;
      } else {
        ++I;
      }
    } else {
      Run = 0;
      ++I;
    }
  }
  FDuplicatesRemoved = true;
}

void TFuzzySetValues::CleanupValues() {
  if (FSorted && FDuplicatesRemoved) return;
  TUpdateBracket Bracket(*this);
  Sort();
  RemoveDuplicates();
}

bool TFuzzySetValues::CheckAscending() const {
  const auto& Items = RawItems();
  FAscending = std::is_sorted(Items.begin(), Items.end(), [](const TCollectionItem* A, const TCollectionItem* B) {
    return static_cast<const TFuzzySetValue*>(A)->X() < static_cast<const TFuzzySetValue*>(B)->X();
  });
  FAscendingAt = ChangeCount();
  return FAscending;
}

const TFuzzySetValues::TCoordinates* TFuzzySetValues::CoordinatesAfterLookup() const {
  if (FFirstLookupAt != ChangeCount()) {
    FFirstLookupAt = ChangeCount();
    return nullptr;
  }
  RebuildCoordinates();
  return &FCoordinates;
}

void TFuzzySetValues::RebuildCoordinates() const {
  FCoordinates.X.clear();
  FCoordinates.Y.clear();
  FCoordinates.Ascending = true;
  for (const TFuzzySetValue* P : *this) {
    if (!FCoordinates.X.empty() && P->X() < FCoordinates.X.back()) FCoordinates.Ascending = false;
    FCoordinates.X.push_back(P->X());
    FCoordinates.Y.push_back(P->Y());
  }
  FCoordinatesAt = ChangeCount();
}

void TFuzzySetValues::UpdateValue(TFuzzySetValue* Value, TXYUpdateTypes Types) {
  CountChange();
  const int Index = IndexOfItem(Value);
  if (Index < 0) return;
  TrackChange(Value, Index, Count(), Types);
  if (UpdateCount() == 0) PutInPlace(Value, Types);
}

inline void TFuzzySetValues::TrackChange(const TFuzzySetValue* Value, int Index, int N, TXYUpdateTypes Types) {
  const TFzyFloat PrevX = Index > 0 ? Point(Index - 1)->X() : 0;
  const TFzyFloat NextX = Index < N - 1 ? Point(Index + 1)->X() : 0;
  TrackWrite(Value->X(), Index > 0 ? &PrevX : nullptr, Index < N - 1 ? &NextX : nullptr, N, Types, [&] {
    // The library's own points compare as TFuzzySetValue::Equals does, without the virtual call.
    auto Same = [this, Value](const TFuzzySetValue* Other) {
      return FWritesDirectly ? Value->TFuzzySetValue::Equals(Other) : Value->Equals(Other);
    };
    const bool EqualsPrev = Index > 0 && Same(Point(Index - 1));
    const bool EqualsNext = Index < N - 1 && Same(Point(Index + 1));
    return EqualsPrev || EqualsNext;
  });
}

void TFuzzySetValues::PutInPlace(TFuzzySetValue* Value, TXYUpdateTypes Types) {
  // The clean-up may delete points and notify the owner; Value itself must survive it.
  TFuzzySetValue* const OuterUpdating = std::exchange(FUpdating, Value);
  try {
    Sort();
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

// ---- list: resampling --------------------------------------------------------------------------

void TFuzzySetValues::InsertInterpolated(TFzyFloat X, int Index) {
  TFuzzySetValue* NewPoint = Add();
  NewPoint->SetX(X);
  MoveItem(Count() - 1, Index);
  const bool HasPrev = Index > 0;
  const bool HasNext = Index + 1 < Count();
  TFzyFloat Y = 0;
  if (HasPrev && HasNext) {
    const TFuzzySetValue* Prev = Point(Index - 1);
    const TFuzzySetValue* Next = Point(Index + 1);
    const TFzyFloat Span = Next->X() - Prev->X();
    // Neighbours on one X (clamping, or a run of equal X) give no slope: take the neighbour's Y.
    Y = Span == 0 ? Prev->Y() : Prev->Y() + (NewPoint->X() - Prev->X()) / Span * (Next->Y() - Prev->Y());
  } else if (HasPrev) {
    Y = Point(Index - 1)->Y();
  } else if (HasNext) {
    Y = Point(Index + 1)->Y();
  }
  NewPoint->SetY(Y);
}

void TFuzzySetValues::Expand(int NewCount) {
  if (NewCount < 2 || NewCount <= Count()) return;
  TUpdateBracket Bracket(*this);
  int Missing = NewCount - Count();
  int Segments = 0;
  for (int I = 0; I + 1 < Count(); ++I)
    if (Point(I + 1)->X() - FuzzyTolerance > Point(I)->X()) ++Segments;
  int I = 0;
  while (I < Count() - 1) {
    if (Segments > 0 && Point(I + 1)->X() - FuzzyTolerance > Point(I)->X()) {
      const int K = static_cast<int>(std::ceil(static_cast<double>(Missing) / Segments));
      const TFzyFloat Step = (Point(I + 1)->X() - Point(I)->X()) / (K + 1);
      --Segments;
      for (int N = 0; N < K; ++N) {
        --Missing;
        InsertInterpolated(Point(I)->X() + Step, I + 1);
        ++I;
      }
    }
    ++I;
  }
}

void TFuzzySetValues::ExpandSimple(int NewCount) {
  // Fewer than two points, or points all on one X, give no span to spread new points over.
  if (NewCount < 2 || NewCount <= Count() || Count() < 2) return;
  if (FloatEquals(Point(0)->X(), Point(Count() - 1)->X())) return;
  TUpdateBracket Bracket(*this);
  const int Missing = NewCount - Count();
  const TFzyFloat Step = (Point(Count() - 1)->X() - Point(0)->X()) / (Missing + 1);
  TFzyFloat X = Point(0)->X();
  int K = 0;
  for (int N = 0; N < Missing; ++N) {
    X += Step;
    while (K < Count() - 1 && Point(K)->X() < X) ++K;
    if (FloatEquals(Point(K)->X(), X)) {
      K = SkipX(K, X, 1);
      if (K < 0) K = Count() - 1;
    }
    InsertInterpolated(X, K);
  }
}

// ---- list: statistics --------------------------------------------------------------------------

namespace {
void CheckNotEmpty(const TFuzzySetValues& Values, const char* Operation) {
  if (Values.Count() == 0) throw EFzyException(SFuzzySetEmpty, {Operation});
}
}  // namespace

TFzyFloat TFuzzySetValues::GetAvgValue() const {
  CheckNotEmpty(*this, "Get Average Y Value");
  TFzyFloat Sum = 0;
  for (const TFuzzySetValue* P : *this) Sum += P->Y();
  return Sum / Count();
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
  TFzyFloat Sum = 0;
  MaxY = 0.0;
  MinY = 1.0;
  for (const TFuzzySetValue* P : *this) {
    Sum += P->Y();
    if (P->Y() > MaxY) MaxY = P->Y();
    if (P->Y() < MinY) MinY = P->Y();
  }
  AvgY = Sum / Count();
}

}  // namespace fuzzy
