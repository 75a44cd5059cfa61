#include "examples/tipping.h"

#include <algorithm>

namespace fuzzy::examples {

namespace {

TFuzzyVariable* AddVariable(TFuzzyLogic& Logic, const std::string& Name, TFzyFloat Maximum) {
  TFuzzyVariable* Variable = Logic.Items().Add(Name);
  Variable->SetMaximum(Maximum);
  return Variable;
}

TFuzzySet* AddTriangle(TFuzzyVariable& Variable, const std::string& Name, TFzyFloat Left, TFzyFloat Middle,
                       TFzyFloat Right) {
  TFuzzySet* Set = Variable.Items().Add(Name);
  Set->CreateTriangleFunctionValues(Left, Middle, Right);
  return Set;
}

}  // namespace

TTipper::TTipper() : FLogic(MakeOwned<TFuzzyLogic>(nullptr)) {
  FLogic->SetAutoTerms(false);
  FService = AddVariable(*FLogic, "service", 10);
  FPoor = AddTriangle(*FService, "poor", 0, 0, 5);
  FGood = AddTriangle(*FService, "good", 0, 5, 10);
  FExcellent = AddTriangle(*FService, "excellent", 5, 10, 10);
  FFood = AddVariable(*FLogic, "food", 10);
  FRancid = AddTriangle(*FFood, "rancid", 0, 0, 5);
  FDelicious = AddTriangle(*FFood, "delicious", 5, 10, 10);
  FTip = AddVariable(*FLogic, "tip", 30);
  FCheap = AddTriangle(*FTip, "cheap", 0, 5, 10);
  FAverage = AddTriangle(*FTip, "average", 10, 15, 20);
  FGenerous = AddTriangle(*FTip, "generous", 20, 25, 30);
  // The crisp inputs are sets of their variables, not defined terms.
  FServiceInput = FService->Items().Add("");
  FFoodInput = FFood->Items().Add("");
}

void TTipper::Fire(TFzyFloat Strength, const TFuzzySet* Conclusion, TFuzzySet*& Accumulated) {
  TFuzzySet* Result = FTip->AssertRule(Strength, Conclusion, Accumulated);
  if (!Result) return;  // below the threshold: the rule does not fire
  if (Accumulated) Accumulated->Free();
  Accumulated = Result;
}

TFuzzySet* TTipper::Infer(TFzyFloat Service, TFzyFloat Food) {
  FServiceInput->CreateCrispValue(Service);
  FFoodInput->CreateCrispValue(Food);
  TFuzzySet* Accumulated = nullptr;
  // "or" of two premises: the stronger of the two matches.
  Fire(std::max(FPoor->GetCorrelationStrength(FServiceInput), FRancid->GetCorrelationStrength(FFoodInput)),
       FCheap, Accumulated);
  Fire(FGood->GetCorrelationStrength(FServiceInput), FAverage, Accumulated);
  Fire(std::max(FExcellent->GetCorrelationStrength(FServiceInput),
                FDelicious->GetCorrelationStrength(FFoodInput)),
       FGenerous, Accumulated);
  return Accumulated;
}

TFzyFloat TTipper::Tip(TFzyFloat Service, TFzyFloat Food) {
  TFuzzySet* Accumulated = Infer(Service, Food);
  if (!Accumulated) return 0;
  const TFzyFloat Result = Accumulated->Defuzzify();
  Accumulated->Free();
  return Result;
}

}  // namespace fuzzy::examples
