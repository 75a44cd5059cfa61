#pragma once
// Interfaced sets and variables that count their live instances, for the memory tests.

#include "fuzzy/imodel/ifuzzy_variable.h"
#include "fuzzy/testing/live_instances.h"

namespace fuzzy::testing {

inline TLiveCounter LiveSets;
inline TLiveCounter LiveVariables;

class TCountedSet : public TIFuzzySet {
 public:
  TFuzzySetClass ClassType() const override { return &CreateFuzzySet<TCountedSet>; }

 protected:
  explicit TCountedSet(TCollection* Collection) : TIFuzzySet(Collection) {}
  template <typename T, typename... Args>
  friend T* fuzzy::New(Args&&...);

 private:
  TLiveToken FToken{LiveSets};
};

class TCountedVariable : public TIFuzzyVariable {
 public:
  TIFuzzyVariableClass ClassType() const override { return &CreateIFuzzyVariable<TCountedVariable>; }

  // A counted variable whose Add(Name) makes counted sets.
  static IPtr<IFuzzyVariable> Make(const std::string& Name) {
    IPtr<IFuzzyVariable> Variable = Create(Name, &CreateIFuzzyVariable<TCountedVariable>);
    dynamic_cast<TIFuzzyVariable&>(*Variable).SetFuzzySetClass(&CreateFuzzySet<TCountedSet>);
    return Variable;
  }

 protected:
  explicit TCountedVariable(const std::string& Name) : TIFuzzyVariable(Name) {}
  template <typename T, typename... Args>
  friend T* fuzzy::New(Args&&...);

 private:
  TLiveToken FToken{LiveVariables};
};

}  // namespace fuzzy::testing
