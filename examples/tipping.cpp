#include "examples/tipping.h"

#include "fuzzy/imodel/ifuzzy_set.h"

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
  auto AddTerms = [](TFuzzyVariable& Variable, const auto& Terms, auto& Sets) {
    for (std::size_t I = 0; I < Terms.size(); ++I)
      Sets[I] = AddTriangle(Variable, Terms[I].Name, Terms[I].Left, Terms[I].Middle, Terms[I].Right);
  };
  TFuzzySet* Service[3];
  TFuzzySet* Food[2];
  TFuzzySet* Tip[3];
  FService = AddVariable(*FLogic, "service", ServiceMaximum);
  AddTerms(*FService, ServiceTerms, Service);
  FFood = AddVariable(*FLogic, "food", FoodMaximum);
  AddTerms(*FFood, FoodTerms, Food);
  FTip = AddVariable(*FLogic, "tip", TipMaximum);
  AddTerms(*FTip, TipTerms, Tip);
  FPoor = Service[0];
  FGood = Service[1];
  FExcellent = Service[2];
  FRancid = Food[0];
  FDelicious = Food[1];
  FCheap = Tip[0];
  FAverage = Tip[1];
  FGenerous = Tip[2];
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

// ---- interface model ------------------------------------------------------------------------

namespace {

IPtr<IFuzzyVariable> AddIVariable(const std::string& Name, TFzyFloat Maximum) {
  IPtr<IFuzzyVariable> Variable = TIFuzzyVariable::Create(Name);
  Variable->SetMaximum(Maximum);
  return Variable;
}

template <typename TTerms, typename TSets>
void AddITerms(const IPtr<IFuzzyVariable>& Variable, const TTerms& Terms, TSets& Sets) {
  for (std::size_t I = 0; I < Terms.size(); ++I) {
    Sets[I] = Variable->Add(Terms[I].Name);
    Sets[I]->CreateTriangleFunctionValues(Terms[I].Left, Terms[I].Middle, Terms[I].Right);
  }
}

}  // namespace

TITipper::TITipper()
    : FService(AddIVariable("service", ServiceMaximum)),
      FFood(AddIVariable("food", FoodMaximum)),
      FTip(AddIVariable("tip", TipMaximum)) {
  AddITerms(FService, ServiceTerms, FServiceTerms);
  AddITerms(FFood, FoodTerms, FFoodTerms);
  AddITerms(FTip, TipTerms, FTipTerms);
  // The threshold a logic component gives its variables, so that both models fire the same rules.
  FTip->SetThreshold(0.01);
  FServiceInput = TIFuzzySet::Create(FService, "");
  FFoodInput = TIFuzzySet::Create(FFood, "");
}

void TITipper::Fire(TFzyFloat Strength, const IPtr<IFuzzySet>& Conclusion, IPtr<IFuzzySet>& Accumulated) {
  IPtr<IFuzzySet> Result = FTip->AssertRule(Strength, Conclusion, Accumulated);
  if (Result) Accumulated = Result;  // the previous accumulation goes with its last reference
}

IPtr<IFuzzySet> TITipper::Infer(TFzyFloat Service, TFzyFloat Food) {
  FServiceInput->CreateCrispValue(Service);
  FFoodInput->CreateCrispValue(Food);
  IPtr<IFuzzySet> Accumulated;
  Fire(std::max(FServiceTerms[0]->GetCorrelationStrength(FServiceInput),
                FFoodTerms[0]->GetCorrelationStrength(FFoodInput)),
       FTipTerms[0], Accumulated);
  Fire(FServiceTerms[1]->GetCorrelationStrength(FServiceInput), FTipTerms[1], Accumulated);
  Fire(std::max(FServiceTerms[2]->GetCorrelationStrength(FServiceInput),
                FFoodTerms[1]->GetCorrelationStrength(FFoodInput)),
       FTipTerms[2], Accumulated);
  return Accumulated;
}

TFzyFloat TITipper::Tip(TFzyFloat Service, TFzyFloat Food) {
  const IPtr<IFuzzySet> Accumulated = Infer(Service, Food);
  return Accumulated ? Accumulated->Defuzzify() : 0;
}

}  // namespace fuzzy::examples
