#pragma once
// A fuzzy set that counts the change notifications its point list sends it, so that tests can
// check that a refused operation reports nothing.

#include <string>

#include "fuzzy/engine/fuzzy_set.h"
#include "fuzzy/testing/points.h"

namespace fuzzy::testing {

class TCountingSet : public TFuzzySet {
 public:
  int Changes = 0;

  void UpdateFuzzySetValue(TFuzzySetValue* Value) override {
    ++Changes;
    TFuzzySet::UpdateFuzzySetValue(Value);
  }
  void UpdateFuzzySetValues() override {
    ++Changes;
    TFuzzySet::UpdateFuzzySetValues();
  }

 protected:
  explicit TCountingSet(TCollection* Collection) : TFuzzySet(Collection) {}
  ~TCountingSet() override = default;
  template <typename T, typename... Args>
  friend T* fuzzy::New(Args&&...);
};

// A free-standing counting set holding Points, named Name, with the notifications so far forgotten.
inline TOwned<TCountingSet> CountingSet(const TPoints& Points, const std::string& Name = "a") {
  TOwned<TCountingSet> Set = MakeOwned<TCountingSet>(nullptr);
  Set->SetName(Name);
  for (const auto& [X, Y] : Points) Set->Values().Add(X, Y);
  Set->Changes = 0;
  return Set;
}

}  // namespace fuzzy::testing
