// The tipping system of examples/tipping_system.fzs read from its text: the same tips as the system
// built through the API with the same shapes, as the cycle done by hand with the object API on
// the variables read, and as the compiled evaluator; and the exact centroid at service 3, food 8.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "fuzzy/rules/fuzzy_evaluator.h"
#include "fuzzy/rules/fuzzy_system_printer.h"
#include "fuzzy/rules/fuzzy_system_reader.h"

namespace fuzzy {
namespace {

std::string TippingText() {
  std::ifstream File(FUZZY_EXAMPLES_DIR "/tipping_system.fzs", std::ios::binary);
  std::ostringstream Text;
  Text << File.rdbuf();
  return Text.str();
}

// The same system through the API: triangles by the shape generator, trapezoids by their points.
TOwned<TFuzzySystem> TippingByApi() {
  TOwned<TFuzzySystem> System = MakeOwned<TFuzzySystem>();
  TFuzzyLogic& Logic = System->Logic();
  Logic.SetAutoTerms(false);
  auto Variable = [&](const std::string& Name, TFzyFloat Maximum) {
    TFuzzyVariable* V = Logic.Items().Add(Name);
    V->SetMaximum(Maximum);
    return V;
  };
  auto Triangle = [](TFuzzyVariable* V, const std::string& Name, TFzyFloat A, TFzyFloat B, TFzyFloat C) {
    V->Items().Add(Name)->CreateTriangleFunctionValues(A, B, C);
  };
  auto Points = [](TFuzzyVariable* V, const std::string& Name,
                   std::initializer_list<std::pair<double, double>> P) {
    TFuzzySet* Set = V->Items().Add(Name);
    for (const auto& [X, Y] : P) Set->Values().Add(X, Y);
  };
  TFuzzyVariable* Service = Variable("service", 10);
  Triangle(Service, "poor", 0, 0, 5);
  Triangle(Service, "good", 0, 5, 10);
  Triangle(Service, "excellent", 5, 10, 10);
  TFuzzyVariable* Food = Variable("food", 10);
  Points(Food, "rancid", {{0, 1}, {1, 1}, {3, 0}});
  Points(Food, "delicious", {{7, 0}, {9, 1}, {10, 1}});
  TFuzzyVariable* Tip = Variable("tip", 30);
  Triangle(Tip, "cheap", 0, 5, 10);
  Triangle(Tip, "average", 10, 15, 20);
  Triangle(Tip, "generous", 20, 25, 30);
  auto Is = [](TFuzzyVariable* V, const char* Term) {
    return TFuzzyAntecedent::Is(*V, *V->Items().GetItemByName(Term));
  };
  auto Then = [&](const char* Term) { return TFuzzyConclusion{Tip, Tip->Items().GetItemByName(Term)}; };
  TFuzzyRuleBlock& Rules = System->AddRuleBlock("tipping");
  Rules.Add(TFuzzyAntecedent::Combine(Is(Service, "poor"), FuzzyOr, Is(Food, "rancid")), {Then("cheap")});
  Rules.Add(Is(Service, "good"), {Then("average")});
  Rules.Add(TFuzzyAntecedent::Combine(Is(Service, "excellent"), FuzzyOr, Is(Food, "delicious")),
            {Then("generous")});
  return System;
}

// The cycle by hand on the variables of Logic: degrees, "or" as the larger, AssertRule into one
// accumulated set, its centre of gravity; NaN when no rule fires.
TFzyFloat TipByHand(TFuzzyLogic& Logic, TFzyFloat Service, TFzyFloat Food) {
  TFuzzyVariables& V = Logic.Items();
  auto Degree = [&](const char* Variable, const char* Term, TFzyFloat X) {
    return V.GetItemByName(Variable)->Items().GetItemByName(Term)->DegreeOfMembership(X);
  };
  TFuzzyVariable* Tip = V.GetItemByName("tip");
  TOwned<TFuzzySet> Accumulated;
  auto Fire = [&](TFzyFloat Strength, const char* Term) {
    if (TFuzzySet* Fired = Tip->AssertRule(Strength, Tip->Items().GetItemByName(Term), Accumulated.get()))
      Accumulated.reset(Fired);
  };
  Fire(std::max(Degree("service", "poor", Service), Degree("food", "rancid", Food)), "cheap");
  Fire(Degree("service", "good", Service), "average");
  Fire(std::max(Degree("service", "excellent", Service), Degree("food", "delicious", Food)), "generous");
  return Accumulated ? Accumulated->Defuzzify() : std::nan("");
}

TEST(TippingSystem, ReadFromTextGivesTheTipsOfTheApiOfTheHandAndOfTheEvaluator) {
  TOwned<TFuzzySystem> Read = ReadFuzzySystem(TippingText());
  TOwned<TFuzzySystem> Built = TippingByApi();
  ASSERT_EQ(Read->Inputs().size(), 2u);
  EXPECT_EQ(Read->Inputs()[0]->Name(), "service");
  EXPECT_EQ(Read->Outputs()[0]->Name(), "tip");

  // Service 3: poor 0.4, good 0.6; food 8: delicious 0.5. Cheap, average and generous cut at 0.4,
  // 0.6 and 0.5 have the areas 5h(2 - h) around 5, 15 and 25.
  const TFzyFloat Expected = (3.2 * 5 + 4.2 * 15 + 3.75 * 25) / (3.2 + 4.2 + 3.75);
  EXPECT_NEAR(Read->Run({{"service", 3}, {"food", 8}}).Output("tip"), Expected, 1e-12);

  const TFuzzyEvaluator Evaluator = Read->Compile();
  TFuzzyWorkspace Workspace(Evaluator);
  for (TFzyFloat Service = 0; Service <= 10; Service += 0.625)
    for (TFzyFloat Food = 0; Food <= 10; Food += 0.625) {
      const TFzyFloat Tip = Read->Run({{"service", Service}, {"food", Food}}).Output("tip");
      EXPECT_EQ(Tip, Built->Run({{"service", Service}, {"food", Food}}).Output("tip"))
          << Service << " " << Food;
      EXPECT_NEAR(Tip, TipByHand(Read->Logic(), Service, Food), 1e-12) << Service << " " << Food;
      const TFzyFloat Values[2] = {Service, Food};
      TFzyFloat Compiled = 0;
      Evaluator.Evaluate(Values, {&Compiled, 1}, Workspace);
      EXPECT_NEAR(Compiled, Tip, 1e-9 * 30) << Service << " " << Food;
    }

  // Printed and read again, the system is the same, rules as written.
  const std::string Printed = PrintFuzzySystem(*Read);
  EXPECT_NE(Printed.find(
                "(defrules tipping\n  (rule \"if service is poor or food is rancid then tip is cheap\")\n"),
            std::string::npos)
      << Printed;
  EXPECT_EQ(PrintFuzzySystem(*ReadFuzzySystem(Printed)), Printed);
  const std::string BuiltText = PrintFuzzySystem(*Built);
  EXPECT_EQ(BuiltText.substr(BuiltText.find("(defrules")), Printed.substr(Printed.find("(defrules")))
      << "the API's rules are written as the text wrote them";
}

}  // namespace
}  // namespace fuzzy
