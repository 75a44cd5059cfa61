#pragma once
// Collections of interface references: a string-keyed table, a string list with one interface per
// entry, and an interface stack. Each holds one counted reference per stored value and lets go of
// a value only after the value has left the collection, so a value that dies on its release and
// touches the collection from its destructor finds it consistent.
//
//   Table->Put("warm", Warm);      // one counted reference per entry
//   Table->Get("warm") == Warm;    Table->Get("cold") == nullptr

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "fuzzy/companion/glists.h"
#include "fuzzy/runtime/interface.h"

namespace fuzzy {

// GetItem of a key that is not stored; formatted with the key.
inline constexpr std::string_view SKeyNotFound = "Key \"%s\" not found";
// Construction values out of range; formatted with the capacity, load factor and prime.
inline constexpr std::string_view SInvalidHashTableSettings =
    "Invalid hash table settings: capacity %d, load factor %.4f, prime %d";

class TIStringHashTable;

// Walks a table's entries in table order. Changing the table during a walk is safe: the walk then
// may skip or repeat entries, but never reads a removed one.
class TIStringHashtableEnumerator {
 public:
  TIStringHashtableEnumerator(const TIStringHashTable* Table, std::size_t Position);

  IPtr<IInterface> operator*() const;
  // The value, not counted: the table keeps it.
  IInterface* Value() const;
  std::string Key() const;
  TIStringHashtableEnumerator& operator++();
  friend bool operator==(const TIStringHashtableEnumerator& A, const TIStringHashtableEnumerator& B);

 private:
  bool AtEnd() const;
  void SkipUnused();

  const TIStringHashTable* FTable;
  std::size_t FPosition;
};

// A table from string keys (exact, case-sensitive) to interface references.
//
// Table order is insertion order: GetItemByIndex and the enumerator follow it, removing an entry
// keeps the order of the others, and putting a value under a key that is already stored replaces
// the value in place (the entry keeps its position). Lookups, puts and removals take constant time
// on average; removals compact the order once unused entries are half of all, in linear time.
//
// The entries sit in one vector in table order; an open-addressed index (linear probing, no
// tombstones) maps key hashes to their positions. Each key is stored once, with its hash.
//
// Descendants run their own steps on every store by overriding PutValue (call the inherited one
// first: it does the storing), and on clearing by overriding Clear. Freeing the table drops its
// references without calling Clear.
class TIStringHashTable : public TPersistent {
 public:
  std::string ClassName() const override { return "TIStringHashTable"; }

  // Stores Value under Key through PutValue; returns the value stored before, or nil.
  IPtr<IInterface> Put(const std::string& Key, const IPtr<IInterface>& Value);
  void SetItem(const std::string& Key, const IPtr<IInterface>& Value) { Put(Key, Value); }
  // The value under Key, or nil when Key is not stored.
  IPtr<IInterface> Get(const std::string& Key) const;
  // The same value, not counted: the table keeps it.
  IInterface* Peek(const std::string& Key) const;
  // The value under Key; raises EAQException when Key is not stored.
  IPtr<IInterface> GetItem(const std::string& Key) const;
  // The value at Index in table order; raises EListError for a bad index.
  IPtr<IInterface> GetItemByIndex(int Index) const;
  // True and the value when Key is stored; false and nil otherwise.
  bool ContainsKey(const std::string& Key, IPtr<IInterface>& Value) const;
  // Removes the entry of Key and returns its value; nil when Key is not stored.
  IPtr<IInterface> Remove(const std::string& Key);
  // The same, only when the entry of Key holds Value (compared as objects); nil otherwise.
  IPtr<IInterface> RemoveHolding(const std::string& Key, const IInterface* Value);
  virtual void Clear();
  int Count() const { return static_cast<int>(FCount); }

  // From another table: clears this one, then puts each of its entries in its table order.
  void Assign(const TPersistent* Source) override;

  TIStringHashtableEnumerator begin() const { return TIStringHashtableEnumerator(this, 0); }
  TIStringHashtableEnumerator end() const { return TIStringHashtableEnumerator(this, FSlots.size()); }

 protected:
  // Capacity: the number of entries expected (room for up to 16 is made at the first store);
  // LoadFactor: how full the index may get (kept between a quarter and three quarters); Prime:
  // the multiplier of the key hash. Values out of range raise EAQException.
  explicit TIStringHashTable(int Capacity = 101, double LoadFactor = 0.75, int Prime = 47);
  ~TIStringHashTable() override;
  template <typename T, typename... Args>
  friend T* New(Args&&...);

  // Stores Value under Key: replaces the value of a stored key in place, else appends an entry.
  virtual void PutValue(const std::string& Key, const IPtr<IInterface>& Value);

 private:
  friend class TIStringHashtableEnumerator;

  struct TSlot {
    TSlot(const std::string& AKey, const IPtr<IInterface>& AValue, std::size_t AHash)
        : Key(AKey), Value(AValue), Hash(AHash) {}
    std::string Key;
    IPtr<IInterface> Value;
    std::size_t Hash = 0;
    bool Used = true;
  };
  // No entry at a place of the index; other places hold a slot position plus one.
  static constexpr std::size_t NoSlot = 0;

  std::size_t HashOf(const std::string& Key) const;
  // The place of Key in the index, or the free place where it would go; the index is not empty.
  std::size_t PlaceOf(const std::string& Key, std::size_t Hash) const;
  // The slot of Key, or nullptr.
  const TSlot* Find(const std::string& Key) const;
  // Removes the entry at Place of the index, which holds one, and returns its value.
  IPtr<IInterface> RemovePlace(std::size_t Place);
  // Empties the place of the index, moving later entries of its run up so that no lookup stops
  // short of them.
  void ErasePlace(std::size_t Place);
  // Makes the index Places long (a power of two) and enters every used slot.
  void Reindex(std::size_t Places);
  // Drops the slots of removed entries, so that slot positions are table indexes again.
  void Compact();

  // Entries in table order, with unused slots left behind by removals until the next Compact.
  std::vector<TSlot> FSlots;
  std::vector<std::size_t> FIndex;
  std::size_t FCount = 0;
  std::size_t FUnusedSlots = 0;
  std::size_t FCapacity;
  double FMaxLoad;
  std::size_t FPrime;
};

// A list of strings, each with one interface value. IndexOf compares exactly (case-sensitive).
// Bad indexes raise EListError "List index out of bounds (i)".
class TIStringList : public TPersistent {
 public:
  std::string ClassName() const override { return "TIStringList"; }

  // Appends S, then stores Value through PutData, so descendants see every value that enters.
  int Add(const std::string& S, const IPtr<IInterface>& Value);
  int Count() const { return static_cast<int>(FEntries.size()); }
  const std::string& Strings(int Index) const;
  IPtr<IInterface> GetData(int Index) const;
  virtual void PutData(int Index, const IPtr<IInterface>& Value);
  // Index of the first entry whose string is S, or -1.
  int IndexOf(std::string_view S) const;
  void Delete(int Index);
  void Clear();

 protected:
  TIStringList() = default;
  ~TIStringList() override { Clear(); }
  template <typename T, typename... Args>
  friend T* New(Args&&...);

 private:
  struct TEntry {
    std::string S;
    IPtr<IInterface> Data;
  };
  void CheckIndex(int Index) const;

  std::vector<TEntry> FEntries;
};

// A stack of interface references; popping hands the reference to the caller.
class TIStack : public TBasicStack<IPtr<IInterface>> {
 public:
  std::string ClassName() const override { return "TIStack"; }

 protected:
  ~TIStack() override = default;
  TIStack() = default;
  template <typename T, typename... Args>
  friend T* New(Args&&...);
};

}  // namespace fuzzy
