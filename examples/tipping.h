#pragma once
// The classic tipping problem built with the class model: how much to tip (0..30 %) for a service
// and a food quality rated 0..10. Shared by the tipping example program and the rule-cycle
// benchmark.
//
// Rules: service poor or food rancid -> tip cheap; service good -> tip average;
//        service excellent or food delicious -> tip generous.

#include <array>

#include "fuzzy/imodel/ifuzzy_variable.h"
#include "fuzzy/model/fuzzy_logic.h"

namespace fuzzy::examples {

// A triangle term: the points (Left, 0), (Middle, 1), (Right, 0).
struct TTippingTerm {
  const char* Name;
  TFzyFloat Left, Middle, Right;
};

inline constexpr TFzyFloat ServiceMaximum = 10;
inline constexpr TFzyFloat FoodMaximum = 10;
inline constexpr TFzyFloat TipMaximum = 30;
inline constexpr std::array<TTippingTerm, 3> ServiceTerms{
    {{"poor", 0, 0, 5}, {"good", 0, 5, 10}, {"excellent", 5, 10, 10}}};
inline constexpr std::array<TTippingTerm, 2> FoodTerms{{{"rancid", 0, 0, 5}, {"delicious", 5, 10, 10}}};
inline constexpr std::array<TTippingTerm, 3> TipTerms{
    {{"cheap", 0, 5, 10}, {"average", 10, 15, 20}, {"generous", 20, 25, 30}}};

class TTipper {
 public:
  TTipper();

  // Fires the three rules for the crisp inputs and returns the accumulated tip set, a member of the
  // tip variable (free it, or let the tipper keep it until the next call).
  TFuzzySet* Infer(TFzyFloat Service, TFzyFloat Food);
  // The crisp tip: the centre of gravity of the accumulated set; the set is freed again.
  TFzyFloat Tip(TFzyFloat Service, TFzyFloat Food);

  TFuzzyVariable& TipVariable() const { return *FTip; }

 private:
  // Adds Accumulated with the rule's conclusion; the result replaces Accumulated.
  void Fire(TFzyFloat Strength, const TFuzzySet* Conclusion, TFuzzySet*& Accumulated);

  TOwned<TFuzzyLogic> FLogic;
  TFuzzyVariable* FService;
  TFuzzyVariable* FFood;
  TFuzzyVariable* FTip;
  TFuzzySet* FServiceInput;
  TFuzzySet* FFoodInput;
  TFuzzySet* FPoor;
  TFuzzySet* FGood;
  TFuzzySet* FExcellent;
  TFuzzySet* FRancid;
  TFuzzySet* FDelicious;
  TFuzzySet* FCheap;
  TFuzzySet* FAverage;
  TFuzzySet* FGenerous;
};

// The same problem with the interface model: counted sets and variables, no logic component.
class TITipper {
 public:
  TITipper();

  // The accumulated tip set for the crisp inputs (nullptr when no rule fires).
  IPtr<IFuzzySet> Infer(TFzyFloat Service, TFzyFloat Food);
  TFzyFloat Tip(TFzyFloat Service, TFzyFloat Food);

 private:
  void Fire(TFzyFloat Strength, const IPtr<IFuzzySet>& Conclusion, IPtr<IFuzzySet>& Accumulated);

  IPtr<IFuzzyVariable> FService;
  IPtr<IFuzzyVariable> FFood;
  IPtr<IFuzzyVariable> FTip;
  IPtr<IFuzzySet> FServiceInput;
  IPtr<IFuzzySet> FFoodInput;
  std::array<IPtr<IFuzzySet>, 3> FServiceTerms;
  std::array<IPtr<IFuzzySet>, 2> FFoodTerms;
  std::array<IPtr<IFuzzySet>, 3> FTipTerms;
};

}  // namespace fuzzy::examples
