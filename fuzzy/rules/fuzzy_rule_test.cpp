#include "fuzzy/rules/fuzzy_rule.h"

#include <gtest/gtest.h>

#include "fuzzy/rules/fuzzy_evaluator.h"
#include "fuzzy/rules/fuzzy_system.h"

namespace fuzzy {
namespace {

// Two inputs a and b over [0, 1] whose terms "low" and "high" have the degrees 1 - x and x; one
// output over [0, 10] with the terms "left" and "right".
struct TSmall {
  TOwned<TFuzzySystem> System = MakeOwned<TFuzzySystem>();
  TFuzzyVariable* A = AddInput("a");
  TFuzzyVariable* B = AddInput("b");
  TFuzzyVariable* Out;

  TSmall() {
    Out = System->Logic().Items().Add("out");
    Out->SetMaximum(10);
    Out->Items().Add("left")->CreateTriangleFunctionValues(0, 2, 4);
    Out->Items().Add("right")->CreateTriangleFunctionValues(6, 8, 10);
  }
  TFuzzyVariable* AddInput(const std::string& Name) {
    System->Logic().SetAutoTerms(false);
    TFuzzyVariable* Variable = System->Logic().Items().Add(Name);
    Variable->Items().Add("low")->Values().Add(0, 1);
    Variable->Items().GetItemByName("low")->Values().Add(1, 0);
    Variable->Items().Add("high")->Values().Add(0, 0);
    Variable->Items().GetItemByName("high")->Values().Add(1, 1);
    return Variable;
  }
  static TFuzzyAntecedent Is(TFuzzyVariable* Variable, const std::string& Term) {
    return TFuzzyAntecedent::Is(*Variable, *Variable->Items().GetItemByName(Term));
  }
  TFuzzyConclusion Then(const std::string& Term) const { return {Out, Out->Items().GetItemByName(Term)}; }
};

TEST(FuzzyRule, CombinesClausesByEveryFlavourAndWritesTheTree) {
  TSmall S;
  using A = TFuzzyAntecedent;
  // [a is low or-sum b is high] and-product a is high
  A Tree = A::Combine(A::Combine(TSmall::Is(S.A, "low"), {true, foSum}, TSmall::Is(S.B, "high")),
                      {false, foProduct}, TSmall::Is(S.A, "high"));
  EXPECT_EQ(Tree.ToString(), "[a is low or-sum b is high] and-product a is high");
  EXPECT_EQ(Tree.Depth(), 2);
  const TFzyFloat Degrees[3] = {0.3, 0.5, 0.7};
  EXPECT_NEAR(Tree.Strength(Degrees), (0.3 + 0.5) * 0.7, 1e-15);
  // A chain of one connective needs no brackets on the left, but a right operand always has them.
  A Chain = A::Combine(A::Combine(TSmall::Is(S.A, "low"), FuzzyAnd, TSmall::Is(S.B, "low")), FuzzyAnd,
                       A::Combine(TSmall::Is(S.A, "high"), {true, foBoundedSum}, TSmall::Is(S.B, "high")));
  EXPECT_EQ(Chain.ToString(), "a is low and b is low and [a is high or-boundedsum b is high]");
  const TFzyFloat More[4] = {0.9, 0.8, 0.6, 0.7};
  EXPECT_NEAR(Chain.Strength(More), 0.8, 1e-15);
  EXPECT_EQ(Chain.Depth(), 3);

  // The rule written out, weighted; the weight scales the strength that fires the conclusions.
  TFuzzyRule& Rule = S.System->AddRuleBlock("rules").Add(std::move(Tree), {S.Then("right")}, 0.5);
  EXPECT_EQ(Rule.ToString(),
            "if [a is low or-sum b is high] and-product a is high then out is right with 0.5000");
  Rule.SetText("as written");
  EXPECT_EQ(Rule.ToString(), "as written");
  EXPECT_THROW(Rule.SetWeight(std::nan("")), EFzyException);
  const TFuzzyExplanation Explained = S.System->Explain(std::vector<TFzyFloat>{0.7, 0.5});
  EXPECT_NEAR(Explained.Rules[0].Strength, (0.3 + 0.5) * 0.7, 1e-15);
  EXPECT_NEAR(Explained.Rules[0].FiringStrength, (0.3 + 0.5) * 0.7 * 0.5, 1e-15);
  EXPECT_NEAR(Explained.Rules[0].Conclusions[0].Points[1].Y, 0.28, 1e-15);
}

TEST(FuzzyRule, ClauseKeepsTheSetComputedForIt) {
  TSmall S;
  TFuzzySet* VeryHigh = S.A->Items().GetItemByName("high")->Clone();
  VeryHigh->Hedge(fhVery);
  const int Terms = S.A->Items().Count();
  TFuzzyAntecedent Clause = TFuzzyAntecedent::Is(*S.A, VeryHigh, "very high");
  EXPECT_EQ(S.A->Items().Count(), Terms - 1) << "the computed set left the variable";
  EXPECT_TRUE(Clause.Clauses()[0].OwnsSet());
  TFuzzyRuleBlock& Rules = S.System->AddRuleBlock("rules");
  // One rule concludes two terms of the same output.
  Rules.Add(std::move(Clause), {S.Then("left"), S.Then("right")});
  EXPECT_EQ(Rules.Items(0).ToString(), "if a is very high then out is left and out is right");
  const TFuzzyExplanation Explained = S.System->Explain(std::vector<TFzyFloat>{0.5});
  EXPECT_NEAR(Explained.Rules[0].Clauses[0].Degree, 0.25, 1e-12);
  EXPECT_EQ(Explained.Inputs[0].Degrees[0].Term, "very high");
  EXPECT_EQ(Explained.Rules[0].Conclusions.size(), 2u);
  // Both conclusions at 0.25, symmetric about 5.
  EXPECT_NEAR(Explained.Result.Output("out"), 5, 1e-12);
  S.A->Items().Clear();
  EXPECT_NEAR(S.System->Run(std::vector<TFzyFloat>{0.5}).Output("out"), 5, 1e-12)
      << "the clause's set is its own";
}

TEST(FuzzyRule, ReportsWhatItLostWhenATermOrVariableIsFreed) {
  TSmall S;
  TFuzzyRuleBlock& Rules = S.System->AddRuleBlock("rules");
  Rules.Add(TSmall::Is(S.A, "high"), {S.Then("right")});
  Rules.Add(TFuzzyAntecedent::Combine(TSmall::Is(S.A, "low"), FuzzyAnd, TSmall::Is(S.B, "high")),
            {S.Then("left")});
  const TFuzzyEvaluator Before = S.System->Compile();

  S.Out->Items().GetItemByName("left")->Free();
  EXPECT_EQ(Rules.Items(1).LostReference(), "term \"left\"");
  EXPECT_EQ(Rules.Items(1).ToString(), "if a is low and b is high then out is left")
      << "kept from before the loss";
  EXPECT_TRUE(Rules.Items(0).LostReference().empty());
  try {
    S.System->Run(std::vector<TFzyFloat>{0.5, 0.5});
    FAIL() << "ran with a freed term";
  } catch (const EFzyException& E) {
    EXPECT_STREQ(
        E.what(),
        "Rule \"if a is low and b is high then out is left\" of block \"rules\" names a freed term \"left\"");
  }
  EXPECT_THROW(S.System->Compile(), EFzyException);

  // A freed variable leaves the lists; the evaluator made before goes on with its copy.
  S.B->Free();
  ASSERT_EQ(S.System->Inputs().size(), 1u);
  EXPECT_EQ(S.System->Inputs()[0], S.A);
  TFuzzyWorkspace Workspace(Before);
  const TFzyFloat Inputs[2] = {1, 0};
  TFzyFloat Out = 0;
  Before.Evaluate(Inputs, {&Out, 1}, Workspace);
  EXPECT_NEAR(Out, 8, 1e-12);
}

}  // namespace
}  // namespace fuzzy
