#pragma once
// The logic component of the class model: it owns the linguistic variables (Items), gives each new
// variable the component's threshold and, with AutoTerms, the terms "low", "medium" and "high",
// and turns every change of a variable or set into an event for the host.
//
// Events fire synchronously inside the operation that causes them; Sender is the component.
// Freeing the component silences every event first, then frees the variables.
//
//   TOwned<TFuzzyLogic> Logic = MakeOwned<TFuzzyLogic>(nullptr);
//   TFuzzyVariable* Tip = Logic->Items().Add("tip");   // with the terms low, medium and high

#include <string>

#include "fuzzy/model/custom_fuzzy_logic.h"
#include "fuzzy/model/custom_fuzzy_logic_parser.h"
#include "fuzzy/model/fuzzy_variables.h"

namespace fuzzy {

class TFuzzyLogic : public TCustomFuzzyLogic {
 public:
  std::string ClassName() const override { return "TFuzzyLogic"; }

  TFuzzyVariables& Items() const { return *FItems; }
  // Copies Value's variables into Items (the collection itself is never replaced).
  void SetItems(const TFuzzyVariables* Value);

  // Adds those of "low", "medium" and "high" that Variable lacks, built on its range now.
  virtual void AddAutoTerms(TFuzzyVariable* Variable);

  // ---- events ----
  const TFuzzySetEvent& OnFuzzySetChange() const { return FOnFuzzySetChange; }
  void SetOnFuzzySetChange(TFuzzySetEvent Value) { FOnFuzzySetChange = std::move(Value); }
  const TFuzzyVariableEvent& OnVariableChange() const { return FOnVariableChange; }
  void SetOnVariableChange(TFuzzyVariableEvent Value) { FOnVariableChange = std::move(Value); }
  const TFuzzyVariableEvent& OnVariableDeleted() const { return FOnVariableDeleted; }
  void SetOnVariableDeleted(TFuzzyVariableEvent Value) { FOnVariableDeleted = std::move(Value); }
  const TFuzzyVariableEvent& OnVariableAdded() const { return FOnVariableAdded; }
  void SetOnVariableAdded(TFuzzyVariableEvent Value) { FOnVariableAdded = std::move(Value); }
  const TFuzzySetEvent& OnFuzzySetDeleted() const { return FOnFuzzySetDeleted; }
  void SetOnFuzzySetDeleted(TFuzzySetEvent Value) { FOnFuzzySetDeleted = std::move(Value); }
  const TFuzzySetEvent& OnFuzzySetAdded() const { return FOnFuzzySetAdded; }
  void SetOnFuzzySetAdded(TFuzzySetEvent Value) { FOnFuzzySetAdded = std::move(Value); }

  void AfterConstruction() override;
  void BeforeDestruction() override;

 protected:
  ~TFuzzyLogic() override = default;
  explicit TFuzzyLogic(TComponent* AOwner) : TCustomFuzzyLogic(AOwner) {}
  template <typename T, typename... Args>
  friend T* New(Args&&...);

  // Passes the component's threshold on to every variable.
  void ThresholdChanged() override;
  // One entry per variable: the parser's text of it.
  void WriteVariables(TStrings& Text) const override;
  // Frees every variable, with its deleted events.
  void ClearVariables() override;
  // Makes the variables collection; descendants may make another class.
  virtual TFuzzyVariables* CreateVariables();

  // The change routing, reached from the variables collection.
  virtual void NotifyFuzzySet(TFuzzySet* FuzzySet, TCollectionNotification Action);
  virtual void NotifyVariable(TFuzzyVariable* Variable, TCollectionNotification Action);
  virtual void UpdateVariable(TFuzzyVariable* Variable);
  virtual void UpdateFuzzySet(TFuzzySet* FuzzySet);

 private:
  friend class TFuzzyVariables;

  TFuzzySetEvent FOnFuzzySetChange;
  TFuzzyVariableEvent FOnVariableChange;
  TOwned<TFuzzyVariables> FItems;
  TFuzzyVariablesClass FItemsClass = &CreateFuzzyVariables<TFuzzyVariables>;
  TFuzzyVariableEvent FOnVariableDeleted;
  TFuzzyVariableEvent FOnVariableAdded;
  TFuzzySetEvent FOnFuzzySetDeleted;
  TFuzzySetEvent FOnFuzzySetAdded;
};

}  // namespace fuzzy
