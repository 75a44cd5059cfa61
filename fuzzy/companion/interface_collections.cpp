#include "fuzzy/companion/interface_collections.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

#include "fuzzy/companion/aq_constants.h"
#include "fuzzy/runtime/exception.h"

namespace fuzzy {

// TIStringHashtableEnumerator

TIStringHashtableEnumerator::TIStringHashtableEnumerator(const TIStringHashTable* Table, std::size_t Position)
    : FTable(Table), FPosition(Position) {
  SkipUnused();
}

IPtr<IInterface> TIStringHashtableEnumerator::operator*() const { return FTable->FSlots[FPosition].Value; }

IInterface* TIStringHashtableEnumerator::Value() const { return FTable->FSlots[FPosition].Value.Get(); }

std::string TIStringHashtableEnumerator::Key() const { return FTable->FSlots[FPosition].Key; }

TIStringHashtableEnumerator& TIStringHashtableEnumerator::operator++() {
  ++FPosition;
  SkipUnused();
  return *this;
}

bool operator==(const TIStringHashtableEnumerator& A, const TIStringHashtableEnumerator& B) {
  if (A.FTable != B.FTable) return false;
  // Every position past the last slot is the end, however the table has shrunk meanwhile.
  return A.AtEnd() ? B.AtEnd() : A.FPosition == B.FPosition;
}

bool TIStringHashtableEnumerator::AtEnd() const { return FPosition >= FTable->FSlots.size(); }

void TIStringHashtableEnumerator::SkipUnused() {
  while (!AtEnd() && !FTable->FSlots[FPosition].Used) ++FPosition;
}

// TIStringHashTable

std::size_t TIStringHashTable::HashOf(const std::string& Key) const {
  // Eight characters at a time, then the rest one by one.
  std::uint64_t Hash = Key.size();
  std::size_t Position = 0;
  for (; Position + 8 <= Key.size(); Position += 8) {
    std::uint64_t Word;
    std::memcpy(&Word, Key.data() + Position, sizeof Word);
    Hash = (Hash ^ Word) * FPrime;
  }
  for (; Position < Key.size(); ++Position) Hash = Hash * FPrime + static_cast<unsigned char>(Key[Position]);
  // Mix the high bits into the low ones, which pick the place.
  Hash ^= Hash >> 33;
  Hash *= 0xff51afd7ed558ccdULL;
  Hash ^= Hash >> 33;
  return static_cast<std::size_t>(Hash);
}

namespace {

// Prime, once all three construction values are known to be usable.
std::size_t CheckedPrime(int Capacity, double LoadFactor, int Prime) {
  if (Capacity < 0 || !std::isfinite(LoadFactor) || LoadFactor <= 0 || Prime < 2)
    throw EAQException(SInvalidHashTableSettings, {Capacity, LoadFactor, Prime});
  return static_cast<std::size_t>(Prime);
}

// The fewest places, a power of two, that hold Entries at most MaxLoad full.
std::size_t PlacesFor(std::size_t Entries, double MaxLoad) {
  std::size_t Places = 8;
  while (static_cast<double>(Entries) > static_cast<double>(Places) * MaxLoad) Places *= 2;
  return Places;
}

}  // namespace

TIStringHashTable::TIStringHashTable(int Capacity, double LoadFactor, int Prime)
    : FPrime(CheckedPrime(Capacity, LoadFactor, Prime)) {
  FCapacity = static_cast<std::size_t>(Capacity);
  // Between a quarter and three quarters full: a tiny factor would make the index grow without end.
  FMaxLoad = std::clamp(LoadFactor, 0.25, 0.75);
}

TIStringHashTable::~TIStringHashTable() {
  // The values are released after the table is empty.
  std::vector<TSlot> Released;
  Released.swap(FSlots);
  FIndex.clear();
  FCount = 0;
}

IPtr<IInterface> TIStringHashTable::Put(const std::string& Key, const IPtr<IInterface>& Value) {
  IPtr<IInterface> Previous(Peek(Key));
  PutValue(Key, Value);
  return Previous;
}

std::size_t TIStringHashTable::PlaceOf(const std::string& Key, std::size_t Hash) const {
  const std::size_t Mask = FIndex.size() - 1;
  for (std::size_t Place = Hash & Mask;; Place = (Place + 1) & Mask) {
    const std::size_t Entry = FIndex[Place];
    if (Entry == NoSlot) return Place;
    const TSlot& Slot = FSlots[Entry - 1];
    if (Slot.Hash == Hash && Slot.Key == Key) return Place;
  }
}

const TIStringHashTable::TSlot* TIStringHashTable::Find(const std::string& Key) const {
  if (FCount == 0) return nullptr;
  const std::size_t Entry = FIndex[PlaceOf(Key, HashOf(Key))];
  return Entry == NoSlot ? nullptr : &FSlots[Entry - 1];
}

void TIStringHashTable::PutValue(const std::string& Key, const IPtr<IInterface>& Value) {
  if (FIndex.empty()) {
    // Room for the expected entries, as far as a small table is concerned.
    const std::size_t Expected = std::min<std::size_t>(FCapacity, 16);
    FSlots.reserve(Expected);
    Reindex(PlacesFor(Expected, FMaxLoad));
  }
  const std::size_t Hash = HashOf(Key);
  std::size_t Place = PlaceOf(Key, Hash);
  if (FIndex[Place] != NoSlot) {
    // The replaced value is released when Old goes, after the table holds the new one.
    IPtr<IInterface> Old = std::exchange(FSlots[FIndex[Place] - 1].Value, Value);
    return;
  }
  if (static_cast<double>(FCount + 1) > static_cast<double>(FIndex.size()) * FMaxLoad) {
    Reindex(FIndex.size() * 2);
    Place = PlaceOf(Key, Hash);
  }
  FSlots.emplace_back(Key, Value, Hash);
  FIndex[Place] = FSlots.size();
  ++FCount;
}

IPtr<IInterface> TIStringHashTable::Get(const std::string& Key) const { return IPtr<IInterface>(Peek(Key)); }

IInterface* TIStringHashTable::Peek(const std::string& Key) const {
  const TSlot* Slot = Find(Key);
  return Slot ? Slot->Value.Get() : nullptr;
}

IPtr<IInterface> TIStringHashTable::GetItem(const std::string& Key) const {
  const TSlot* Slot = Find(Key);
  if (!Slot) throw EAQException(SKeyNotFound, {Key});
  return Slot->Value;
}

IPtr<IInterface> TIStringHashTable::GetItemByIndex(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(SListIndexError, {Index});
  if (FUnusedSlots == 0) return FSlots[static_cast<std::size_t>(Index)].Value;
  // Removals left unused slots behind: count the used ones (a read never compacts, so concurrent
  // readers do not write).
  for (const TSlot& Slot : FSlots)
    if (Slot.Used && Index-- == 0) return Slot.Value;
  return nullptr;
}

bool TIStringHashTable::ContainsKey(const std::string& Key, IPtr<IInterface>& Value) const {
  const TSlot* Slot = Find(Key);
  Value = Slot ? Slot->Value : nullptr;
  return Slot != nullptr;
}

IPtr<IInterface> TIStringHashTable::Remove(const std::string& Key) {
  if (FCount == 0) return nullptr;
  const std::size_t Place = PlaceOf(Key, HashOf(Key));
  if (FIndex[Place] == NoSlot) return nullptr;
  return RemovePlace(Place);
}

IPtr<IInterface> TIStringHashTable::RemoveHolding(const std::string& Key, const IInterface* Value) {
  if (FCount == 0) return nullptr;
  const std::size_t Place = PlaceOf(Key, HashOf(Key));
  if (FIndex[Place] == NoSlot || FSlots[FIndex[Place] - 1].Value.Get() != Value) return nullptr;
  return RemovePlace(Place);
}

IPtr<IInterface> TIStringHashTable::RemovePlace(std::size_t Place) {
  const std::size_t Position = FIndex[Place] - 1;
  IPtr<IInterface> Removed = std::move(FSlots[Position].Value);
  ErasePlace(Place);
  --FCount;
  // The last entry leaves no unused slot behind (a set renamed just after it was stored).
  if (Position + 1 == FSlots.size()) {
    FSlots.pop_back();
    return Removed;
  }
  FSlots[Position].Used = false;
  FSlots[Position].Key.clear();
  ++FUnusedSlots;
  // Keep unused slots at most half of all, so removals cost constant time on average.
  if (FUnusedSlots * 2 > FSlots.size()) Compact();
  return Removed;
}

void TIStringHashTable::ErasePlace(std::size_t Place) {
  const std::size_t Mask = FIndex.size() - 1;
  std::size_t Hole = Place;
  for (std::size_t Next = (Hole + 1) & Mask; FIndex[Next] != NoSlot; Next = (Next + 1) & Mask) {
    // The entry at Next may fill the hole unless its own place lies cyclically after the hole.
    const std::size_t Home = FSlots[FIndex[Next] - 1].Hash & Mask;
    if (((Next - Home) & Mask) >= ((Next - Hole) & Mask)) {
      FIndex[Hole] = FIndex[Next];
      Hole = Next;
    }
  }
  FIndex[Hole] = NoSlot;
}

void TIStringHashTable::Reindex(std::size_t Places) {
  // An index of the same size is refilled in place, so that compacting allocates nothing; a new
  // one is made whole before it replaces the old.
  if (FIndex.size() == Places)
    std::fill(FIndex.begin(), FIndex.end(), NoSlot);
  else
    std::vector<std::size_t>(Places, NoSlot).swap(FIndex);
  const std::size_t Mask = Places - 1;
  for (std::size_t Position = 0; Position < FSlots.size(); ++Position) {
    if (!FSlots[Position].Used) continue;
    std::size_t Place = FSlots[Position].Hash & Mask;
    while (FIndex[Place] != NoSlot) Place = (Place + 1) & Mask;
    FIndex[Place] = Position + 1;
  }
}

void TIStringHashTable::Clear() {
  std::vector<TSlot> Released;
  Released.swap(FSlots);
  std::fill(FIndex.begin(), FIndex.end(), NoSlot);
  FCount = 0;
  FUnusedSlots = 0;
}

void TIStringHashTable::Assign(const TPersistent* Source) {
  const auto* Table = dynamic_cast<const TIStringHashTable*>(Source);
  if (!Table) {
    TPersistent::Assign(Source);
    return;
  }
  if (Table == this) return;
  Clear();
  for (auto Entry = Table->begin(); Entry != Table->end(); ++Entry) Put(Entry.Key(), *Entry);
}

void TIStringHashTable::Compact() {
  std::size_t Next = 0;
  for (std::size_t Slot = 0; Slot < FSlots.size(); ++Slot) {
    if (!FSlots[Slot].Used) continue;
    if (Slot != Next) FSlots[Next] = std::move(FSlots[Slot]);
    ++Next;
  }
  FSlots.erase(FSlots.begin() + static_cast<std::ptrdiff_t>(Next), FSlots.end());
  FUnusedSlots = 0;
  Reindex(FIndex.size());
}

// TIStringList

int TIStringList::Add(const std::string& S, const IPtr<IInterface>& Value) {
  FEntries.push_back(TEntry{S, nullptr});
  const int Index = Count() - 1;
  PutData(Index, Value);
  return Index;
}

const std::string& TIStringList::Strings(int Index) const {
  CheckIndex(Index);
  return FEntries[static_cast<std::size_t>(Index)].S;
}

IPtr<IInterface> TIStringList::GetData(int Index) const {
  CheckIndex(Index);
  return FEntries[static_cast<std::size_t>(Index)].Data;
}

void TIStringList::PutData(int Index, const IPtr<IInterface>& Value) {
  CheckIndex(Index);
  IPtr<IInterface> Old = std::exchange(FEntries[static_cast<std::size_t>(Index)].Data, Value);
}

int TIStringList::IndexOf(std::string_view S) const {
  for (std::size_t I = 0; I < FEntries.size(); ++I)
    if (FEntries[I].S == S) return static_cast<int>(I);
  return -1;
}

void TIStringList::Delete(int Index) {
  CheckIndex(Index);
  IPtr<IInterface> Removed = std::move(FEntries[static_cast<std::size_t>(Index)].Data);
  FEntries.erase(FEntries.begin() + Index);
}

void TIStringList::Clear() {
  std::vector<TEntry> Removed;
  Removed.swap(FEntries);
}

void TIStringList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(SListIndexError, {Index});
}

}  // namespace fuzzy
