// The README's example, built and run by the tests and, against the installed package, by CI: a
// tip variable with two terms, three rules fired (one too weak to fire), the conclusion defuzzified.

#include <cstdio>

#include "fuzzy/fuzzy.h"

using namespace fuzzy;

int main() {
  TOwned<TFuzzyLogic> Logic = MakeOwned<TFuzzyLogic>(nullptr);  // owns its variables and their sets
  Logic->SetAutoTerms(false);
  TFuzzyVariable* Tip = Logic->Items().Add("tip");  // belongs to Logic
  Tip->SetMaximum(30);
  TFuzzySet* Cheap = Tip->Items().Add("cheap");  // belongs to Tip
  Cheap->CreateTriangleFunctionValues(0, 5, 10);
  TFuzzySet* Generous = Tip->Items().Add("generous");
  Generous->CreateTriangleFunctionValues(20, 25, 30);

  // A rule fires only at or above the variable's threshold (0.01 in a logic component); below it
  // AssertRule makes nothing and returns nullptr.
  TFuzzySet* Weak = Tip->AssertRule(0.005, Cheap, nullptr);
  std::printf("rule at 0.005: %s\n", Weak ? "fired" : "did not fire");

  // A conclusion is a new member of Tip; with the conclusion so far it is the union of both.
  TFuzzySet* First = Tip->AssertRule(0.4, Cheap, nullptr);
  TFuzzySet* Both = Tip->AssertRule(0.6, Generous, First);
  FreeObject(First);  // AssertRule's results belong to Tip: free them when done (null is fine)
  std::printf("conclusion: %s\n", Both->Name().c_str());
  std::printf("tip: %s\n", Format("%.4f", {Both->Defuzzify()}).c_str());  // exact centre of gravity
  FreeObject(Both);
  return 0;
}
