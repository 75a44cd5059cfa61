#include "fuzzy/rules/fuzzy_system.h"

#include <gtest/gtest.h>

#include <cmath>

#include "fuzzy/rules/fuzzy_evaluator.h"

namespace fuzzy {
namespace {

// The tipping problem: service and food rated 0..10, the tip 0..30 %.
struct TTipping {
  TOwned<TFuzzySystem> System = MakeOwned<TFuzzySystem>();
  TFuzzyVariable* Service;
  TFuzzyVariable* Food;
  TFuzzyVariable* Tip;

  TTipping() {
    System->Logic().SetAutoTerms(false);
    Service = AddVariable("service", 10, {{"poor", 0, 0, 5}, {"good", 0, 5, 10}, {"excellent", 5, 10, 10}});
    Food = AddVariable("food", 10, {{"rancid", 0, 0, 5}, {"delicious", 5, 10, 10}});
    Tip = AddVariable("tip", 30, {{"cheap", 0, 5, 10}, {"average", 10, 15, 20}, {"generous", 20, 25, 30}});
    TFuzzyRuleBlock& Rules = System->AddRuleBlock("tipping");
    Rules.Add(TFuzzyAntecedent::Combine(Is(*Service, "poor"), FuzzyOr, Is(*Food, "rancid")), {Then("cheap")});
    Rules.Add(Is(*Service, "good"), {Then("average")});
    Rules.Add(TFuzzyAntecedent::Combine(Is(*Service, "excellent"), FuzzyOr, Is(*Food, "delicious")),
              {Then("generous")});
  }

  struct TTriangle {
    const char* Name;
    TFzyFloat Left, Middle, Right;
  };
  TFuzzyVariable* AddVariable(const std::string& Name, TFzyFloat Maximum,
                              std::initializer_list<TTriangle> Terms) {
    TFuzzyVariable* Variable = System->Logic().Items().Add(Name);
    Variable->SetMaximum(Maximum);
    for (const TTriangle& T : Terms)
      Variable->Items().Add(T.Name)->CreateTriangleFunctionValues(T.Left, T.Middle, T.Right);
    return Variable;
  }
  static TFuzzyAntecedent Is(TFuzzyVariable& Variable, const std::string& Term) {
    return TFuzzyAntecedent::Is(Variable, *Variable.Items().GetItemByName(Term));
  }
  TFuzzyConclusion Then(const std::string& Term) const { return {Tip, Tip->Items().GetItemByName(Term)}; }
};

TFuzzyPoints Points(std::initializer_list<TFuzzyPoint> List) { return List; }

void ExpectPoints(const TFuzzyPoints& Actual, const TFuzzyPoints& Expected) {
  ASSERT_EQ(Actual.size(), Expected.size());
  for (std::size_t I = 0; I < Actual.size(); ++I) {
    EXPECT_NEAR(Actual[I].X, Expected[I].X, 1e-12) << "point " << I;
    EXPECT_NEAR(Actual[I].Y, Expected[I].Y, 1e-12) << "point " << I;
  }
}

TEST(FuzzySystem, TippingFiresAsComputedByHand) {
  TTipping Tipping;
  ASSERT_EQ(Tipping.System->Inputs().size(), 2u);
  EXPECT_EQ(Tipping.System->Inputs()[0], Tipping.Service);
  EXPECT_EQ(Tipping.System->Inputs()[1], Tipping.Food);
  ASSERT_EQ(Tipping.System->Outputs().size(), 1u);
  const int TipTerms = Tipping.Tip->Items().Count();

  // Service 3: poor 0.4, good 0.6, excellent 0; food 8: rancid 0, delicious 0.6. So cheap is cut
  // at 0.4 (area 3.2 around 5), average and generous at 0.6 (area 4.2 around 15 and 25).
  const TFuzzyExplanation Explained = Tipping.System->Explain({{"service", 3}, {"food", 8}});
  const TFzyFloat Centroid = (3.2 * 5 + 4.2 * 15 + 4.2 * 25) / 11.6;
  EXPECT_NEAR(Explained.Result.Output("tip"), Centroid, 1e-12);
  EXPECT_EQ(Explained.Result.Outputs[0].Source, fosCenterOfGravity);
  EXPECT_EQ(Tipping.Tip->Items().Count(), TipTerms) << "the cycle leaves no set behind";

  ASSERT_EQ(Explained.Inputs.size(), 2u);
  ASSERT_EQ(Explained.Inputs[0].Degrees.size(), 3u);
  EXPECT_EQ(Explained.Inputs[0].Degrees[0].Term, "poor");
  EXPECT_NEAR(Explained.Inputs[0].Degrees[0].Degree, 0.4, 1e-12);
  EXPECT_NEAR(Explained.Inputs[0].Degrees[1].Degree, 0.6, 1e-12);
  EXPECT_EQ(Explained.Inputs[0].Degrees[2].Degree, 0);
  EXPECT_NEAR(Explained.Inputs[1].Degrees[1].Degree, 0.6, 1e-12);

  ASSERT_EQ(Explained.Rules.size(), 3u);
  const TFuzzyRuleExplanation& First = Explained.Rules[0];
  EXPECT_EQ(First.Text, "if service is poor or food is rancid then tip is cheap");
  ASSERT_EQ(First.Clauses.size(), 2u);
  EXPECT_EQ(First.Clauses[1].Variable, "food");
  EXPECT_EQ(First.Clauses[1].Degree, 0);
  EXPECT_NEAR(First.Strength, 0.4, 1e-12);
  ASSERT_EQ(First.Conclusions.size(), 1u);
  EXPECT_TRUE(First.Conclusions[0].Fired);
  ExpectPoints(First.Conclusions[0].Points, Points({{0, 0}, {2, 0.4}, {5, 0.4}, {8, 0.4}, {10, 0}}));
  EXPECT_NEAR(Explained.Rules[2].Strength, 0.6, 1e-12);

  // The union keeps each plateau's ends; where two conclusions touch at 10 and 20 the walk visits
  // the place twice.
  ExpectPoints(Explained.Outputs[0].Accumulated, Points({{0, 0},
                                                         {2, 0.4},
                                                         {8, 0.4},
                                                         {10, 0},
                                                         {10, 0},
                                                         {13, 0.6},
                                                         {17, 0.6},
                                                         {20, 0},
                                                         {20, 0},
                                                         {23, 0.6},
                                                         {27, 0.6},
                                                         {30, 0}}));

  const std::string Text = Explained.ToText();
  EXPECT_NE(Text.find("  service = 3.0000\n    poor 0.4000\n    good 0.6000\n"), std::string::npos) << Text;
  EXPECT_NE(Text.find("    strength 0.4000\n    tip is cheap: (0.0000 0.0000) (2.0000 0.4000)"),
            std::string::npos)
      << Text;
  EXPECT_NE(Text.find("not fired\n  (none)\n"), std::string::npos) << Text;
  EXPECT_NE(Text.find("  tip = 15.8621 (centre of gravity)\n"), std::string::npos) << Text;
  const std::string Json = Explained.ToJson();
  EXPECT_NE(Json.find("\"text\": \"if service is good then tip is average\""), std::string::npos) << Json;
  EXPECT_NE(Json.find("\"method\": \"centre of gravity\""), std::string::npos) << Json;

  // Product correlation scales the three triangles instead: areas 2, 3 and 3 around 5, 15, 25.
  Tipping.System->Logic().SetCorrelationMethod(fcmProduct);
  EXPECT_NEAR(Tipping.System->Run({{"service", 3}, {"food", 8}}).Output("tip"),
              (2 * 5 + 3 * 15 + 3 * 25) / 8.0, 1e-12);
  // Additive inference adds the conclusions: a fourth rule, "service is poor" (0.4), concludes
  // "generous" beside the third (0.6), which then counts at 1 (its peak second to last).
  Tipping.System->Logic().SetInferenceMethod(fimAdditive);
  TOwned<TFuzzySystem>& System = Tipping.System;
  System->RuleBlocks(0).Add(TTipping::Is(*Tipping.Service, "poor"), {Tipping.Then("generous")});
  const TFuzzyExplanation Added = System->Explain({{"service", 3}, {"food", 8}});
  EXPECT_NEAR(Added.Outputs[0].Accumulated[Added.Outputs[0].Accumulated.size() - 2].Y, 1, 1e-12)
      << Added.ToText();
  EXPECT_NEAR(Added.Result.Output("tip"), (2 * 5 + 3 * 15 + 5 * 25) / 10.0, 1e-12);
  System->Logic().SetCorrelationMethod(fcmMinimum);
  System->Logic().SetInferenceMethod(fimMinMax);

  // The mean of maxima averages the ends of the two plateaus at the top level.
  Tipping.System->Logic().SetDefuzzificationMethod(dmMeanOfMaxima);
  const TFuzzyInference ByMaxima = Tipping.System->Run({{"service", 3}, {"food", 8}});
  EXPECT_NEAR(ByMaxima.Output("tip"), 20, 1e-12);
  EXPECT_EQ(ByMaxima.Outputs[0].Source, fosMeanOfMaxima);
}

TEST(FuzzySystem, ReportsHeldInputsAndOutputsNoRuleFired) {
  TTipping Tipping;
  // Only "service is good" may fire: at service 0 it does not, whatever the food.
  TOwned<TFuzzySystem> Only = MakeOwned<TFuzzySystem>();
  Only->Logic().SetAutoTerms(false);
  TFuzzyVariable* Service = Only->Logic().Items().Add("service");
  Service->SetMaximum(10);
  Service->Items().Add("good")->CreateTriangleFunctionValues(2, 5, 8);
  TFuzzyVariable* Tip = Only->Logic().Items().Add("tip");
  Tip->SetMaximum(30);
  TFuzzySet* Average = Tip->Items().Add("average");
  Average->CreateTriangleFunctionValues(10, 15, 20);
  Only->AddRuleBlock("rules").Add(TFuzzyAntecedent::Is(*Service, *Service->Items().Items(0)),
                                  {{Tip, Average}});

  const TFuzzyExplanation Quiet = Only->Explain(std::vector<TFzyFloat>{-4});
  EXPECT_TRUE(Quiet.Result.Inputs[0].Clamped());
  EXPECT_EQ(Quiet.Result.Inputs[0].Given, -4);
  EXPECT_EQ(Quiet.Result.Inputs[0].Value, 0);
  EXPECT_TRUE(std::isnan(Quiet.Result.Output("tip")));
  EXPECT_FALSE(Quiet.Result.Outputs[0].Fired());
  EXPECT_FALSE(Quiet.Rules[0].Fired());
  EXPECT_FALSE(Quiet.Rules[0].Conclusions[0].Fired);
  EXPECT_TRUE(Quiet.Outputs[0].Accumulated.empty());
  const std::string Text = Quiet.ToText();
  EXPECT_NE(Text.find("service = 0.0000 (given -4.0000, held within its range)"), std::string::npos) << Text;
  EXPECT_NE(Text.find("tip is average: below the threshold"), std::string::npos) << Text;
  EXPECT_NE(Text.find("not fired\n  rules 1: if service is good then tip is average\n"), std::string::npos)
      << Text;
  EXPECT_NE(Text.find("tip = NAN (no rule fired)"), std::string::npos) << Text;
  EXPECT_NE(Quiet.ToJson().find("\"value\": null,\n      \"method\": \"no rule fired\""), std::string::npos)
      << Quiet.ToJson();

  // A default replaces NaN; the compiled evaluator reports the same.
  Only->SetDefaultValue("tip", 12.5);
  EXPECT_EQ(Only->Run(std::vector<TFzyFloat>{1}).Output("tip"), 12.5);
  const TFuzzyEvaluator Evaluator = Only->Compile();
  TFuzzyWorkspace Workspace(Evaluator);
  TFzyFloat Value = 0;
  const TFzyFloat High = 25;
  Evaluator.Evaluate({&High, 1}, {&Value, 1}, Workspace);
  EXPECT_EQ(Value, 12.5);
  EXPECT_TRUE(Workspace.InputClamped(0));
  EXPECT_FALSE(Workspace.OutputFired(0));
  const TFzyFloat Middle = 5;
  Evaluator.Evaluate({&Middle, 1}, {&Value, 1}, Workspace);
  EXPECT_NEAR(Value, 15, 1e-12);
  EXPECT_FALSE(Workspace.InputClamped(0));
  EXPECT_TRUE(Workspace.OutputFired(0));

  // A threshold above the strength keeps a rule from firing.
  Tipping.Tip->SetThreshold(0.5);
  const TFuzzyExplanation Cut = Tipping.System->Explain({{"service", 3}, {"food", 8}});
  EXPECT_FALSE(Cut.Rules[0].Fired()) << "strength 0.4 is below the threshold";
  EXPECT_TRUE(Cut.Rules[1].Fired());
  EXPECT_NEAR(Cut.Result.Output("tip"), 20, 1e-12);
}

TEST(FuzzySystem, RefusesRulesAndInputsThatDoNotFit) {
  TTipping Tipping;
  TFuzzyRuleBlock& Rules = Tipping.System->RuleBlocks(0);
  TTipping Other;
  auto Message = [](auto&& Action) {
    try {
      Action();
    } catch (const EFzyException& E) {
      return std::string(E.what());
    }
    return std::string("no exception");
  };
  EXPECT_EQ(Message([&] { Rules.Add(TTipping::Is(*Other.Service, "poor"), {Tipping.Then("cheap")}); }),
            "Invalid rule: variable \"service\" is not part of the system");
  EXPECT_EQ(Message([&] {
              Rules.Add(TTipping::Is(*Tipping.Service, "poor"), {{Tipping.Tip, Other.Tip->Items().Items(0)}});
            }),
            "Invalid rule conclusion: \"cheap\" is not a term of \"tip\"");
  EXPECT_EQ(Message([&] { Rules.Add(TTipping::Is(*Tipping.Tip, "cheap"), {Tipping.Then("cheap")}); }),
            "Invalid rule: \"tip\" would be both an input and an output");
  EXPECT_EQ(
      Message([&] {
        Rules.Add(TTipping::Is(*Tipping.Service, "poor"), {{Tipping.Food, Tipping.Food->Items().Items(0)}});
      }),
      "Invalid rule: \"food\" would be both an input and an output");
  EXPECT_EQ(Message([&] { Rules.Add(TTipping::Is(*Tipping.Service, "poor"), {}); }),
            "Invalid rule: it concludes nothing");
  EXPECT_EQ(Message([&] { Rules.Add(TTipping::Is(*Tipping.Service, "poor"), {Tipping.Then("cheap")}, 1.5); }),
            "Invalid rule weight: 1.5000 (expected 0 to 1)");
  EXPECT_EQ(Message([&] { TFuzzyAntecedent::Is(*Tipping.Service, *Tipping.Food->Items().Items(0)); }),
            "Invalid rule clause: \"rancid\" is not a term of \"service\"");
  EXPECT_EQ(Message([&] {
              TFuzzyAntecedent::Combine(TTipping::Is(*Tipping.Service, "poor"), {false, foSum},
                                        TTipping::Is(*Tipping.Food, "rancid"));
            }),
            "Invalid fuzzy operation: \"foSum:");
  EXPECT_EQ(Rules.Count(), 3) << "refused rules are not added";
  EXPECT_EQ(Tipping.System->Inputs().size(), 2u);

  EXPECT_EQ(Message([&] { Tipping.System->Run(std::vector<TFzyFloat>{1}); }),
            "Expected 2 input values, got 1");
  EXPECT_EQ(Message([&] {
              Tipping.System->Run(std::vector<TFzyFloat>{1, std::nan("")});
            }),
            "Input \"food\" is not a number");
  EXPECT_EQ(Message([&] {
              Tipping.System->Run({{"service", 1}, {"drinks", 2}});
            }),
            "Unknown input: \"drinks\"");
  EXPECT_EQ(Message([&] { Tipping.System->Run({{"service", 1}}); }), "Missing input value for \"food\"");
  const TFuzzyEvaluator Evaluator = Tipping.System->Compile();
  TFuzzyWorkspace Workspace(Evaluator);
  Other.System->RuleBlocks(0).Add(TTipping::Is(*Other.Food, "delicious"), {Other.Then("average")});
  const TFuzzyEvaluator Larger = Other.System->Compile();
  TFzyFloat Inputs[2] = {1, std::nan("")};
  TFzyFloat Tip = 0;
  EXPECT_EQ(Message([&] {
              Evaluator.Evaluate(Inputs, {&Tip, 1}, Workspace);
            }),
            "Input \"food\" is not a number");
  EXPECT_EQ(Message([&] {
              Evaluator.Evaluate({Inputs, 1}, {&Tip, 1}, Workspace);
            }),
            "Invalid evaluation: expected 2 inputs and 1 outputs");
  Inputs[1] = 2;
  EXPECT_EQ(Message([&] {
              Larger.Evaluate(Inputs, {&Tip, 1}, Workspace);
            }),
            "Invalid evaluation: the workspace was made for another evaluator");
  EXPECT_EQ(Message([&] {
              Evaluator.EvaluateBatch({Inputs, 2}, {}, Workspace);
            }),
            "Invalid batch: 2 values do not make rows of 2 inputs and 1 outputs");
}

}  // namespace
}  // namespace fuzzy
