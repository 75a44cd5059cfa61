#pragma once
// The callbacks of the logic and parser components. Each receives the component that fires it
// first; an empty callback is not assigned.
//
//   Logic->SetOnFuzzySetAdded([](TObject* Sender, TFuzzySet* Set) { ... });

#include <functional>

#include "fuzzy/runtime/object.h"

namespace fuzzy {

class TFuzzySet;
class TFuzzyVariable;

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TFuzzySetEvent = std::function<void(TObject* Sender, TFuzzySet* FuzzySet)>;
using TFuzzyVariableEvent = std::function<void(TObject* Sender, TFuzzyVariable* FuzzyVariable)>;

}  // namespace fuzzy
