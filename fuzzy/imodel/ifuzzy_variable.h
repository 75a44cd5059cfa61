#pragma once
// The linguistic variable of the interface model: a reference-counted IFuzzyVariable with a range,
// units, a threshold and the rule operations, holding its sets in a TIFuzzySets table. It belongs
// to no logic component: it carries its own defuzzification method, number of function points and
// parser, and reports changes through its own events.
//
// Lifetime: the variable lives while counted references to it exist, with one exception that
// breaks the cycle with its sets: when every remaining reference is held by one of its own stored
// sets, the variable clears its table (the sets that nothing else holds die) and dies itself once
// no set holds it any more.
//
//   IPtr<IFuzzyVariable> Tip = TIFuzzyVariable::Create("tip");
//   Tip->SetMaximum(30);
//   IPtr<IFuzzySet> Conclusion = Tip->AssertRule(0.4, Cheap, nullptr);   // nullptr below the threshold

#include <string>

#include "fuzzy/engine/fuzzy_set.h"
#include "fuzzy/imodel/ifuzzy_set.h"
#include "fuzzy/imodel/ifuzzy_sets.h"
#include "fuzzy/imodel/interfaced.h"
#include "fuzzy/model/fuzzy_variable_range.h"

namespace fuzzy {

class TIFuzzyVariable;

// The class of a variable, as a factory that creates an instance named Name.
using TIFuzzyVariableClass = TIFuzzyVariable* (*)(const std::string& Name);

template <typename T>
TIFuzzyVariable* CreateIFuzzyVariable(const std::string& Name) {
  return New<T>(Name);
}

class TIFuzzyVariable : public TInterfaced<TPersistent, IFuzzyVariable>, public TFuzzyVariableRange {
 public:
  std::string ClassName() const override { return "TIFuzzyVariable"; }
  virtual TIFuzzyVariableClass ClassType() const { return &CreateIFuzzyVariable<TIFuzzyVariable>; }

  static IPtr<IFuzzyVariable> Create(const std::string& Name,
                                     TIFuzzyVariableClass Class = &CreateIFuzzyVariable<TIFuzzyVariable>);

  int _Release() override;

  // ---- properties ----
  TDefuzzificationMethod DefuzzificationMethod() const override { return FDefuzzificationMethod; }
  void SetDefuzzificationMethod(TDefuzzificationMethod Value) override { FDefuzzificationMethod = Value; }
  // The range and threshold rules are TFuzzyVariableRange's; each bound that changes reports a change.
  TFzyFloat Maximum() const override { return FMaximum; }
  void SetMaximum(TFzyFloat Value) override { TFuzzyVariableRange::SetMaximum(Value); }
  TFzyFloat Minimum() const override { return FMinimum; }
  void SetMinimum(TFzyFloat Value) override { TFuzzyVariableRange::SetMinimum(Value); }
  std::string Name() const override { return FName; }
  void SetName(const std::string& Value) override;
  std::string Units() const override { return FUnits; }
  void SetUnits(const std::string& Value) override { FUnits = Value; }
  int NumFunctionValues() const override { return FNumFunctionValues; }
  void SetNumFunctionValues(int Value) override;
  TFzyFloat Threshold() const override { return TFuzzyVariableRange::Threshold(); }
  void SetThreshold(TFzyFloat Value) override { TFuzzyVariableRange::SetThreshold(Value); }
  std::string Comment() const override { return FComment; }
  void SetComment(const std::string& Value) override { FComment = Value; }
  IPtr<IFuzzyParser> Parser() const override { return FParser; }
  // Also gives Value to every stored set.
  void SetParser(const IPtr<IFuzzyParser>& Value) override;
  int Tag() const override { return static_cast<int>(FTag); }
  void SetTag(int Value) override { FTag = Value; }
  TIFuzzySets& Items() const { return *FItems; }
  void SetItems(const TIFuzzySets* Value) { FItems->Assign(Value); }

  // ---- events ----
  TNotifyEvent OnChange() const override { return FOnChange; }
  void SetOnChange(TNotifyEvent Value) override { FOnChange = std::move(Value); }
  TIFuzzyVariableEvent OnVariableChange() const override { return FOnVariableChange; }
  void SetOnVariableChange(TIFuzzyVariableEvent Value) override { FOnVariableChange = std::move(Value); }
  TIFuzzySetEvent OnFuzzySetChange() const override { return FOnFuzzySetChange; }
  void SetOnFuzzySetChange(TIFuzzySetEvent Value) override { FOnFuzzySetChange = std::move(Value); }
  TIFuzzySetEvent OnFuzzySetAdded() const override { return FOnFuzzySetAdded; }
  void SetOnFuzzySetAdded(TIFuzzySetEvent Value) override { FOnFuzzySetAdded = std::move(Value); }
  TIFuzzySetEvent OnFuzzySetDeleted() const override { return FOnFuzzySetDeleted; }
  void SetOnFuzzySetDeleted(TIFuzzySetEvent Value) override { FOnFuzzySetDeleted = std::move(Value); }

  // ---- object ----
  // Through the interface: copies only the sets.
  void Assign(const IPtr<IInterface>& AValue) override { FItems->Assign(AValue); }
  // From another TIFuzzyVariable: defuzzification method, range, name, units, number of function
  // values, tag, parser and copies of the sets (not threshold or comment), then one change report.
  void Assign(const TPersistent* Source) override;
  IPtr<IInterface> Clone() override;
  // Same name, range, units, and every defined set of this one has an equal set in AValue.
  bool Equals(const IPtr<IInterface>& AValue) override;
  // The parser's text of the variable, or its name without a parser.
  std::string ToString() const override;

  // ---- rules ----
  TFzyFloat GetCorrelationStrength(TIFuzzySetSpan Premises, TIFuzzySetSpan Matchings) override;
  // Below the threshold nil; else a copy of NewEvidence cut at the strength (always by minimum: no
  // logic component chooses), united (min-max) with OldEvidence when there is one. The result
  // belongs to the returned reference.
  IPtr<IFuzzySet> AssertRule(TFzyFloat CorrelationStrength, const IPtr<IFuzzySet>& NewEvidence,
                             const IPtr<IFuzzySet>& OldEvidence) override;
  IPtr<IFuzzySet> AssertRule(TIFuzzySetSpan Premises, TIFuzzySetSpan Matchings,
                             const IPtr<IFuzzySet>& NewEvidence, const IPtr<IFuzzySet>& OldEvidence) override;
  IPtr<IFuzzySet> AssertRule(const IPtr<IFuzzySet>& Premise, const IPtr<IFuzzySet>& NewEvidence,
                             const IPtr<IFuzzySet>& Matching, const IPtr<IFuzzySet>& OldEvidence) override;

  // ---- the set table ----
  int GetCount() const override { return FItems->GetCount(); }
  IPtr<IFuzzySet> GetFuzzySet(int Index) const override { return FItems->GetFuzzySet(Index); }
  IPtr<IFuzzySet> GetFuzzySetByName(const std::string& Name) const override {
    return FItems->GetFuzzySetByName(Name);
  }
  void Add(const IPtr<IFuzzySet>& FuzzySet) override { FItems->Add(FuzzySet); }
  IPtr<IFuzzySet> Add(const std::string& Name) override { return FItems->Add(Name); }
  void AssignFuzzySets(const IPtr<IFuzzyVariable>& Source) override { FItems->AssignFuzzySets(Source); }
  // The table reports every store at once; the pair is kept for hosts that bracket their changes.
  void BeginUpdate() override {}
  void EndUpdate() override {}
  void Clear() override { FItems->Clear(); }
  IPtr<IFuzzySet> ContainsFuzzySet(const std::string& Name) const override {
    return FItems->ContainsFuzzySet(Name);
  }
  void Remove(const IPtr<IFuzzySet>& FuzzySet) override { FItems->Remove(FuzzySet); }
  // A stored set's points changed.
  void FuzzySetChanged(const IPtr<IFuzzySet>& FuzzySet) override;

  // The class of the sets that Add(Name) creates.
  TFuzzySetClass FuzzySetClass() const { return FFuzzySetClass; }
  void SetFuzzySetClass(TFuzzySetClass Value) { FFuzzySetClass = Value; }

  void AfterConstruction() override;
  void BeforeDestruction() override;

 protected:
  ~TIFuzzyVariable() override = default;
  explicit TIFuzzyVariable(const std::string& Name) : FName(Name) {}
  template <typename T, typename... Args>
  friend T* New(Args&&...);

  // OnChange, then OnVariableChange.
  virtual void Changed();
  void RangeChanged() override { Changed(); }
  // The variable belongs to no logic component: the sets use the engine's default methods.
  const TFuzzyLogicContext* LogicContext() const override { return nullptr; }
  virtual TIFuzzySets* CreateItems();
  // The table's reports: a set was stored, removed, or the table was cleared.
  virtual void NewFuzzySet(const IPtr<IFuzzySet>& FuzzySet);
  virtual void RemoveFuzzySet(const IPtr<IFuzzySet>& FuzzySet);
  virtual void ClearFuzzySets();

 private:
  friend class TIFuzzySets;
  IPtr<IFuzzyVariable> Self() { return IPtr<IFuzzyVariable>(this); }
  // The number of stored sets that hold a reference to this variable.
  int SetsHoldingThis() const;

  TOwned<TIFuzzySets> FItems;
  int FNumFunctionValues = 7;
  std::string FUnits;
  std::string FName;
  TDefuzzificationMethod FDefuzzificationMethod = dmCenterOfGravity;
  TIFuzzySetEvent FOnFuzzySetChange;
  TIFuzzyVariableEvent FOnVariableChange;
  TNotifyEvent FOnChange;
  std::intptr_t FTag = 0;
  IPtr<IFuzzyParser> FParser;
  TFuzzySetClass FFuzzySetClass = &CreateFuzzySet<TIFuzzySet>;
  bool FIgnoreRelease = false;
  std::string FComment;
  TIFuzzySetEvent FOnFuzzySetDeleted;
  TIFuzzySetEvent FOnFuzzySetAdded;
};

}  // namespace fuzzy
