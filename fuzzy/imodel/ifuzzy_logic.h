#pragma once
// The logic component of the interface model: the settings, definition text and parser link of
// TCustomFuzzyLogic, with the variables kept as reference-counted IFuzzyVariables in a table keyed
// by name. The component learns of set changes by hooking the set events of every variable it
// stores, and unhooks a variable whenever it leaves the table (removed, replaced, cleared, or the
// component freed), so a variable that outlives the component never calls into it.
//
//   TOwned<TIFuzzyLogic> Logic = MakeOwned<TIFuzzyLogic>(nullptr);
//   Logic->Items().Add(TIFuzzyVariable::Create("tip"));

#include <string>
#include <vector>

#include "fuzzy/imodel/fuzzy_variable_strings.h"
#include "fuzzy/imodel/fuzzy_variable_table.h"
#include "fuzzy/imodel/ifuzzy_variable.h"
#include "fuzzy/model/custom_fuzzy_logic.h"

namespace fuzzy {

class TIFuzzyLogic : public TCustomFuzzyLogic {
 public:
  std::string ClassName() const override { return "TIFuzzyLogic"; }

  TFuzzyVariableTable& Items() const { return *FItems; }
  void SetItems(const TFuzzyVariableTable* Value) { FItems->Assign(Value); }
  // The class of the variables that the definition parser creates.
  TIFuzzyVariableClass ItemClass() const { return FItemClass; }
  void SetItemClass(TIFuzzyVariableClass Value) { FItemClass = Value; }

  // Adds those of "low", "medium" and "high" that Variable lacks, built on its range now.
  virtual void AddAutoTerms(const IPtr<IFuzzyVariable>& Variable);
  // A variable entered the table: the component's threshold, the automatic terms, the hooks, then
  // OnVariableAdded (the terms are added before the hooks, so they fire no set events here).
  virtual void VariableAdded(const IPtr<IFuzzyVariable>& Variable);
  // A variable left the table: unhooked, then OnVariableDeleted.
  virtual void VariableDeleted(const IPtr<IFuzzyVariable>& Variable);
  virtual void FuzzySetAdded(const IPtr<IFuzzyVariable>& Variable, const IPtr<IFuzzySet>& FuzzySet);
  virtual void FuzzySetDeleted(const IPtr<IFuzzyVariable>& Variable, const IPtr<IFuzzySet>& FuzzySet);
  // Marks the text out of date; with a variable OnVariableChange, else OnChange. For hosts.
  virtual void UpdateVariable(const IPtr<IFuzzyVariable>& Variable);
  // A set of a hooked variable changed its points: marks the text out of date, OnFuzzySetChange.
  virtual void UpdateFuzzySet(const IPtr<IFuzzyVariable>& Variable, const IPtr<IFuzzySet>& FuzzySet);
  // Clears the three set events that a component hooks.
  static void Unhook(IFuzzyVariable& Variable);

  // ---- events ----
  const TIFuzzySetEvent& OnFuzzySetChange() const { return FOnFuzzySetChange; }
  void SetOnFuzzySetChange(TIFuzzySetEvent Value) { FOnFuzzySetChange = std::move(Value); }
  const TIFuzzyVariableEvent& OnVariableChange() const { return FOnVariableChange; }
  void SetOnVariableChange(TIFuzzyVariableEvent Value) { FOnVariableChange = std::move(Value); }
  const TIFuzzySetEvent& OnFuzzySetDeleted() const { return FOnFuzzySetDeleted; }
  void SetOnFuzzySetDeleted(TIFuzzySetEvent Value) { FOnFuzzySetDeleted = std::move(Value); }
  const TIFuzzySetEvent& OnFuzzySetAdded() const { return FOnFuzzySetAdded; }
  void SetOnFuzzySetAdded(TIFuzzySetEvent Value) { FOnFuzzySetAdded = std::move(Value); }
  const TIFuzzyVariableEvent& OnVariableDeleted() const { return FOnVariableDeleted; }
  void SetOnVariableDeleted(TIFuzzyVariableEvent Value) { FOnVariableDeleted = std::move(Value); }
  const TIFuzzyVariableEvent& OnVariableAdded() const { return FOnVariableAdded; }
  void SetOnVariableAdded(TIFuzzyVariableEvent Value) { FOnVariableAdded = std::move(Value); }

  void AfterConstruction() override;
  void BeforeDestruction() override;
  // Ends loading, then parses the restored Strings.
  void Loaded() override;

 protected:
  ~TIFuzzyLogic() override = default;
  explicit TIFuzzyLogic(TComponent* AOwner) : TCustomFuzzyLogic(AOwner) {}
  template <typename T, typename... Args>
  friend T* New(Args&&...);

  // Passes the component's threshold on to every stored variable, in table order.
  void ThresholdChanged() override;
  // One entry per variable in table order: the variable's own text.
  void WriteVariables(TStrings& Text) const override;
  // Empties the table (unhooking, without reports).
  void ClearVariables() override;
  virtual TFuzzyVariableTable* CreateVariables();

 private:
  friend class TFuzzyVariableStrings;
  void BindStrings(TFuzzyVariableStrings* Strings) { FBoundStrings.push_back(Strings); }
  void UnbindStrings(TFuzzyVariableStrings* Strings);

  TIFuzzySetEvent FOnFuzzySetChange;
  TIFuzzyVariableEvent FOnVariableChange;
  TOwned<TFuzzyVariableTable> FItems;
  TIFuzzyVariableClass FItemClass = &CreateIFuzzyVariable<TIFuzzyVariable>;
  TIFuzzySetEvent FOnFuzzySetDeleted;
  TIFuzzySetEvent FOnFuzzySetAdded;
  TIFuzzyVariableEvent FOnVariableDeleted;
  TIFuzzyVariableEvent FOnVariableAdded;
  // The variable string lists that report to this component.
  std::vector<TFuzzyVariableStrings*> FBoundStrings;
};

}  // namespace fuzzy
