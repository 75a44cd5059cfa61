#pragma once
// The variables of an interfaced logic component, keyed by name in the order they were stored.
// The table holds one counted reference per variable. Every store is reported to the component
// (which hooks the variable); removals by name or identity are reported too. A variable that
// leaves the table in any other way (replaced under its name, cleared, the table freed) is
// unhooked without a report, so no callback of it can reach the component afterwards.
//
//   Logic->Items().Add(Tip);   // stored under "tip"; the component gives it its threshold and terms

#include <string>

#include "fuzzy/companion/interface_collections.h"
#include "fuzzy/vocabulary/fuzzy_interfaces.h"

namespace fuzzy {

class TIFuzzyLogic;

// Walks the stored variables in table order.
class TFuzzyVariableTableEnumerator {
 public:
  explicit TFuzzyVariableTableEnumerator(TIStringHashtableEnumerator Position) : FPosition(Position) {}
  IPtr<IFuzzyVariable> operator*() const { return QueryIntf<IFuzzyVariable>(*FPosition); }
  TFuzzyVariableTableEnumerator& operator++() {
    ++FPosition;
    return *this;
  }
  friend bool operator==(const TFuzzyVariableTableEnumerator&,
                         const TFuzzyVariableTableEnumerator&) = default;

 private:
  TIStringHashtableEnumerator FPosition;
};

class TFuzzyVariableTable : public TIStringHashTable {
 public:
  std::string ClassName() const override { return "TFuzzyVariableTable"; }

  // Stores FuzzyVariable under its name, replacing a variable of that name.
  virtual void Add(const IPtr<IFuzzyVariable>& FuzzyVariable);
  IPtr<IFuzzyVariable> Put(const std::string& Key, const IPtr<IFuzzyVariable>& Value);
  void SetItem(const std::string& Key, const IPtr<IFuzzyVariable>& Value) { Put(Key, Value); }
  IPtr<IFuzzyVariable> Get(const std::string& Key) const {
    return QueryIntf<IFuzzyVariable>(TIStringHashTable::Get(Key));
  }
  IPtr<IFuzzyVariable> GetItem(const std::string& Key) const {
    return QueryIntf<IFuzzyVariable>(TIStringHashTable::GetItem(Key));
  }
  IPtr<IFuzzyVariable> GetItemByIndex(int Index) const {
    return QueryIntf<IFuzzyVariable>(TIStringHashTable::GetItemByIndex(Index));
  }
  bool ContainsKey(const std::string& Key, IPtr<IFuzzyVariable>& FuzzyVariable) const;
  IPtr<IFuzzyVariable> ContainsVariable(const std::string& Name) const { return Get(Name); }
  // Removes the entry of Key and reports it; nil when Key is not stored.
  IPtr<IFuzzyVariable> Remove(const std::string& Key);
  // Removes FuzzyVariable only when it is the variable stored under its name.
  void Remove(const IPtr<IFuzzyVariable>& FuzzyVariable);
  // Unhooks every variable, then empties the table without reports.
  void Clear() override;

  TFuzzyVariableTableEnumerator begin() const {
    return TFuzzyVariableTableEnumerator(TIStringHashTable::begin());
  }
  TFuzzyVariableTableEnumerator end() const {
    return TFuzzyVariableTableEnumerator(TIStringHashTable::end());
  }

  void BeforeDestruction() override;

 protected:
  ~TFuzzyVariableTable() override = default;
  explicit TFuzzyVariableTable(TIFuzzyLogic* FuzzyLogic)
      : TIStringHashTable(101, 0.75, 47), FFuzzyLogic(FuzzyLogic) {}
  template <typename T, typename... Args>
  friend T* New(Args&&...);

  void PutValue(const std::string& Key, const IPtr<IInterface>& Value) override;

 private:
  void UnhookAll();

  TIFuzzyLogic* FFuzzyLogic;
};

}  // namespace fuzzy
