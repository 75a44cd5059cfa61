#pragma once
// A string list whose entries carry interfaced variables and report every variable that enters or
// leaves an entry to the logic component the list is bound to (which hooks and unhooks it). The
// component forgets the lists bound to it when it is freed, unhooking their variables.
//
//   Strings->PutData(0, Tip);   // the component sees VariableDeleted(old), then VariableAdded(Tip)

#include <string>

#include "fuzzy/companion/interface_collections.h"
#include "fuzzy/vocabulary/fuzzy_interfaces.h"

namespace fuzzy {

class TIFuzzyLogic;

class TFuzzyVariableStrings : public TIStringList {
 public:
  std::string ClassName() const override { return "TFuzzyVariableStrings"; }

  TIFuzzyLogic* FuzzyLogic() const { return FFuzzyLogic; }
  IPtr<IFuzzyVariable> GetData(int Index) const {
    return QueryIntf<IFuzzyVariable>(TIStringList::GetData(Index));
  }
  // Reports the variable leaving the entry, stores Value, then reports the one entering it.
  void PutData(int Index, const IPtr<IInterface>& Value) override;

  void BeforeDestruction() override;

 protected:
  ~TFuzzyVariableStrings() override = default;
  // FuzzyLogic may be nullptr: the list then reports nothing.
  explicit TFuzzyVariableStrings(TIFuzzyLogic* FuzzyLogic);
  template <typename T, typename... Args>
  friend T* New(Args&&...);

 private:
  friend class TIFuzzyLogic;
  TIFuzzyLogic* FFuzzyLogic;
};

}  // namespace fuzzy
