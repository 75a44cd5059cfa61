#pragma once
// The set table of an interfaced variable: its fuzzy sets keyed by name, in the order they were
// stored. The table holds one counted reference per set; each stored set holds one to the variable
// (the variable's release rule breaks that cycle). Every store gives the set the next index and is
// reported to the variable, as are removals and clearing.
//
//   Tip->Add("cheap");   Tip->ContainsFuzzySet("cheap") != nullptr

#include <string>

#include "fuzzy/companion/interface_collections.h"
#include "fuzzy/vocabulary/fuzzy_interfaces.h"

namespace fuzzy {

class TIFuzzyVariable;

// Walks the stored sets in table order.
class TIFuzzySetsEnumerator {
 public:
  explicit TIFuzzySetsEnumerator(TIStringHashtableEnumerator Position) : FPosition(Position) {}
  IPtr<IFuzzySet> operator*() const;
  TIFuzzySetsEnumerator& operator++() {
    ++FPosition;
    return *this;
  }
  friend bool operator==(const TIFuzzySetsEnumerator&, const TIFuzzySetsEnumerator&) = default;

 private:
  TIStringHashtableEnumerator FPosition;
};

class TIFuzzySets : public TIStringHashTable {
 public:
  std::string ClassName() const override { return "TIFuzzySets"; }

  // Stores FuzzySet under its name when it is defined; a set of another variable is moved here
  // first, and an undefined one is stored only when it comes from elsewhere.
  virtual void Add(const IPtr<IFuzzySet>& FuzzySet);
  // A new set named Name of the variable's set class; defined unless Name is "__Empty".
  IPtr<IFuzzySet> Add(const std::string& Name);
  IPtr<IFuzzySet> Put(const std::string& Key, const IPtr<IFuzzySet>& Value);
  void SetItem(const std::string& Key, const IPtr<IFuzzySet>& Value) { Put(Key, Value); }
  IPtr<IFuzzySet> Get(const std::string& Key) const { return AsFuzzySet(Peek(Key)); }
  IPtr<IFuzzySet> GetItem(const std::string& Key) const {
    return QueryIntf<IFuzzySet>(TIStringHashTable::GetItem(Key));
  }
  IPtr<IFuzzySet> GetItemByIndex(int Index) const {
    return QueryIntf<IFuzzySet>(TIStringHashTable::GetItemByIndex(Index));
  }
  IPtr<IFuzzySet> GetFuzzySet(int Index) const { return GetItemByIndex(Index); }
  IPtr<IFuzzySet> GetFuzzySetByName(const std::string& Name) const { return GetItem(Name); }
  bool ContainsKey(const std::string& Key, IPtr<IFuzzySet>& FuzzySet) const;
  IPtr<IFuzzySet> ContainsFuzzySet(const std::string& Name) const { return Get(Name); }
  // Value as a set: a set of exactly TIFuzzySet without an interface query (which would answer the
  // same pointer); nil for a value that is no set.
  static IPtr<IFuzzySet> AsFuzzySet(IInterface* Value);
  // Whether the entry of Key is Value (compared as objects, without asking for an interface).
  bool Holds(const std::string& Key, const IInterface* Value) const { return Peek(Key) == Value; }
  // Removes the entry of Key and reports it; nil when Key is not stored.
  IPtr<IFuzzySet> Remove(const std::string& Key);
  // Removes FuzzySet only when it is the set stored under its name.
  void Remove(const IPtr<IFuzzySet>& FuzzySet);
  // Empties the table and starts the indexes at 0 again.
  void Clear() override;
  int NewIndex() { return FNewIndex++; }
  int GetCount() const { return Count(); }

  // Replaces the sets by copies of Source's that belong to this table's variable.
  void AssignFuzzySets(const IPtr<IFuzzyVariable>& Source);
  using TIStringHashTable::Assign;
  void Assign(const IPtr<IInterface>& AValue);
  void Assign(const TPersistent* Source) override;
  // Every defined set here has an equal set of the same name in FuzzyVariable (not the reverse).
  bool EqualsSets(const IPtr<IFuzzyVariable>& FuzzyVariable) const;
  std::string ToString() const override;

  TIFuzzySetsEnumerator begin() const { return TIFuzzySetsEnumerator(TIStringHashTable::begin()); }
  TIFuzzySetsEnumerator end() const { return TIFuzzySetsEnumerator(TIStringHashTable::end()); }

 protected:
  ~TIFuzzySets() override = default;
  explicit TIFuzzySets(TIFuzzyVariable* Variable) : TIStringHashTable(101, 0.75, 47), FVariable(Variable) {}
  template <typename T, typename... Args>
  friend T* New(Args&&...);

  void PutValue(const std::string& Key, const IPtr<IInterface>& Value) override;

 private:
  IPtr<IFuzzyVariable> Mine() const;
  // Reports the value a removal took out of the table to the variable; returns it as a set.
  IPtr<IFuzzySet> Removed(const IPtr<IInterface>& Value);

  int FNewIndex = 0;
  TIFuzzyVariable* FVariable;
};

}  // namespace fuzzy
