#include "fuzzy/companion/interface_collections.h"

#include <cmath>
#include <cstdint>
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

std::size_t TIStringHashTable::TKeyHash::operator()(const std::string& Key) const {
  std::uint64_t Hash = 0;
  for (const unsigned char C : Key) Hash = Hash * Prime + C;
  // Mix the high bits into the low ones, which pick the bucket.
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

}  // namespace

TIStringHashTable::TIStringHashTable(int Capacity, double LoadFactor, int Prime)
    : FSlotOf(0, TKeyHash{CheckedPrime(Capacity, LoadFactor, Prime)}) {
  FSlotOf.max_load_factor(static_cast<float>(LoadFactor));
  FSlotOf.reserve(static_cast<std::size_t>(Capacity));
  FSlots.reserve(static_cast<std::size_t>(Capacity));
}

TIStringHashTable::~TIStringHashTable() {
  // The values are released after the table is empty.
  std::vector<TSlot> Released;
  Released.swap(FSlots);
  FSlotOf.clear();
}

IPtr<IInterface> TIStringHashTable::Put(const std::string& Key, const IPtr<IInterface>& Value) {
  IPtr<IInterface> Previous = Get(Key);
  PutValue(Key, Value);
  return Previous;
}

void TIStringHashTable::PutValue(const std::string& Key, const IPtr<IInterface>& Value) {
  const auto Found = FSlotOf.find(Key);
  if (Found != FSlotOf.end()) {
    // The replaced value is released when Old goes, after the table holds the new one.
    IPtr<IInterface> Old = std::exchange(FSlots[Found->second].Value, Value);
    return;
  }
  FSlots.push_back(TSlot{Key, Value});
  try {
    FSlotOf.emplace(Key, FSlots.size() - 1);
  } catch (...) {
    FSlots.pop_back();
    throw;
  }
}

IPtr<IInterface> TIStringHashTable::Get(const std::string& Key) const {
  const auto Found = FSlotOf.find(Key);
  return Found == FSlotOf.end() ? nullptr : FSlots[Found->second].Value;
}

IPtr<IInterface> TIStringHashTable::GetItem(const std::string& Key) const {
  const auto Found = FSlotOf.find(Key);
  if (Found == FSlotOf.end()) throw EAQException(SKeyNotFound, {Key});
  return FSlots[Found->second].Value;
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
  const auto Found = FSlotOf.find(Key);
  Value = Found == FSlotOf.end() ? nullptr : FSlots[Found->second].Value;
  return Found != FSlotOf.end();
}

IPtr<IInterface> TIStringHashTable::Remove(const std::string& Key) {
  const auto Found = FSlotOf.find(Key);
  if (Found == FSlotOf.end()) return nullptr;
  TSlot& Slot = FSlots[Found->second];
  IPtr<IInterface> Removed = std::move(Slot.Value);
  Slot.Used = false;
  Slot.Key.clear();
  FSlotOf.erase(Found);
  ++FUnusedSlots;
  // Keep unused slots at most half of all, so removals cost constant time on average.
  if (FUnusedSlots * 2 > FSlots.size()) Compact();
  return Removed;
}

void TIStringHashTable::Clear() {
  std::vector<TSlot> Released;
  Released.swap(FSlots);
  FSlotOf.clear();
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
    if (Slot != Next) {
      FSlots[Next] = std::move(FSlots[Slot]);
      FSlotOf.find(FSlots[Next].Key)->second = Next;
    }
    ++Next;
  }
  FSlots.resize(Next);
  FUnusedSlots = 0;
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
