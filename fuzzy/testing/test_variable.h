#pragma once
// A stand-in for a linguistic variable and its logic component, so that engine tests can put sets
// into a variable's set list with a range, a threshold and component settings.

#include <string>
#include <vector>

#include "fuzzy/engine/fuzzy_set.h"
#include "fuzzy/testing/points.h"

namespace fuzzy::testing {

class TTestLogic : public TFuzzyLogicContext {
public:
  int Num = 7;
  TDefuzzificationMethod Defuzzification = dmCenterOfGravity;
  TFuzzyInferenceMethod Inference = fimMinMax;
  TFuzzyCorrelationMethod Correlation = fcmMinimum;
  bool Designing = false;
  bool HasParser = false;

  virtual ~TTestLogic() = default;
  int NumFunctionValues() const override { return Num; }
  TDefuzzificationMethod DefuzzificationMethod() const override { return Defuzzification; }
  TFuzzyInferenceMethod InferenceMethod() const override { return Inference; }
  TFuzzyCorrelationMethod CorrelationMethod() const override { return Correlation; }
  bool IsDesigning() const override { return Designing; }
  bool PrettyPrintSet(const TFuzzySet& Set, std::string& Text) const override {
    if (HasParser) Text = "printed " + Set.Name();
    return HasParser;
  }
};

// The set list of a test variable; records the sets it was told about.
class TTestSets : public TOwnedCollection {
public:
  std::vector<std::string> Events;
  TTestSets(TPersistent* Owner, TCollectionItemClass ItemClass = &CreateItem<TFuzzySet>)
      : TOwnedCollection(Owner, ItemClass) {}
  TFuzzySet* Items(int Index) const { return static_cast<TFuzzySet*>(GetItem(Index)); }

protected:
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override {
    // The set already answers with this variable's range when it is announced.
    if (Action == TCollectionNotification::cnAdded)
      Events.push_back("added " + FloatToStr(static_cast<TFuzzySet*>(Item)->XMaximum()));
    if (Action == TCollectionNotification::cnExtracting)
      Events.push_back("extracting " + static_cast<TFuzzySet*>(Item)->Name());
  }

 protected:
  ~TTestSets() override = default;
};

class TTestVariable : public TPersistent, public TFuzzyVariableContext {
public:
  TFzyFloat Thresh = 0;
  const TTestLogic* Logic = nullptr;

  TTestVariable(TFzyFloat Minimum, TFzyFloat Maximum) { SetRange(Minimum, Maximum); }
  void SetRange(TFzyFloat Minimum, TFzyFloat Maximum) {
    FMinimum = Minimum;
    FMaximum = Maximum;
  }
  void AfterConstruction() override { FItems = New<TTestSets>(this); }
  void BeforeDestruction() override { FItems->Free(); }

  TTestSets& Items() const { return *FItems; }
  TFuzzySet* Add(const std::string& Name = {}) {
    auto* Set = static_cast<TFuzzySet*>(FItems->Add());
    Set->SetName(Name);
    return Set;
  }

  TFzyFloat Threshold() const override { return Thresh; }
  const TFuzzyLogicContext* LogicContext() const override { return Logic; }

private:
  TTestSets* FItems = nullptr;

 protected:
  ~TTestVariable() override = default;
};

inline TOwned<TTestVariable> MakeVariable(TFzyFloat Minimum, TFzyFloat Maximum) {
  return MakeOwned<TTestVariable>(Minimum, Maximum);
}

inline TOwned<TFuzzySet> FreeSet(const TPoints& Points = {}, const std::string& Name = {}) {
  TOwned<TFuzzySet> Set = MakeOwned<TFuzzySet>(nullptr);
  Set->SetName(Name);
  AddPoints(Set->Values(), Points);
  return Set;
}

}  // namespace fuzzy::testing
