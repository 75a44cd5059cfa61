#include "fuzzy/rules/fuzzy_system_reader.h"

#include <gtest/gtest.h>

#include <cmath>

#include "fuzzy/rules/fuzzy_evaluator.h"
#include "fuzzy/rules/fuzzy_system_printer.h"
#include "fuzzy/testing/random_systems.h"

namespace fuzzy {
namespace {

constexpr const char* Speed =
    "; speed of a fan\n"
    "(deffuzzy temp (range 0 40)\n"
    "  (values (term cold (tri 0 0 20)) (term hot (tri 20 40 40))))\n"
    "(deffuzzy speed (range 0 100) (values (term slow (tri 0 0 50)) (term fast (tri 50 100 100))))\n"
    "(defrules fan\n"
    "  (rule \"if temp is cold then speed is slow\") ; one rule per string\n"
    "  (rule \"if temp is\n"
    "          hot then speed is fast with 0.5\"))\n"
    "(defrules more)\n";

std::string ErrorOf(const std::string& Text) {
  try {
    ReadFuzzySystem(Text);
  } catch (const EFzyParseException& E) {
    return E.what();
  }
  return "read";
}

TEST(FuzzySystemReader, ReadsDefinitionsAndRuleBlocksInTextOrder) {
  TOwned<TFuzzySystem> System = ReadFuzzySystem(Speed);
  TFuzzyLogic& Logic = System->Logic();
  ASSERT_EQ(Logic.Items().Count(), 2);
  EXPECT_EQ(Logic.Items().Items(0)->Items().Count(), 2) << "no automatic terms";
  ASSERT_EQ(System->RuleBlockCount(), 2);
  const TFuzzyRuleBlock& Fan = System->RuleBlocks(0);
  EXPECT_EQ(Fan.Name(), "fan");
  ASSERT_EQ(Fan.Count(), 2);
  EXPECT_EQ(Fan.Items(1).Text(), "if temp is\n          hot then speed is fast with 0.5");
  EXPECT_EQ(Fan.Items(1).Weight(), 0.5);
  EXPECT_EQ(System->RuleBlocks(1).Count(), 0);
  // temp 30 is hot 0.5, fired at 0.25 by the weight: fast cut at 0.25 alone, a triangle on 50..62.5
  // and a rectangle on 62.5..100.
  EXPECT_NEAR(System->Run({{"temp", 30}}).Output("speed"),
              (1.5625 * (50 + 12.5 * 2 / 3) + 9.375 * 81.25) / (1.5625 + 9.375), 1e-9);
  // The component owns the parser that read it, which keeps its definition text in step.
  ASSERT_NE(Logic.Parser(), nullptr);
  EXPECT_EQ(Logic.Strings().Text().rfind("(deffuzzy temp \n", 0), 0u);

  // Into a system of one's own, adding to it: what was read before an error stays.
  TOwned<TFuzzySystem> Own = MakeOwned<TFuzzySystem>();
  Own->Logic().SetAutoTerms(false);
  ReadFuzzySystem(*Own, "(deffuzzy temp (range 0 40) (values (term cold (tri 0 0 20))))");
  EXPECT_THROW(ReadFuzzySystem(*Own,
                               "(defrules r (rule \"if temp is cold then speed is slow\"))\n"
                               "(deffuzzy speed (range 0 100) (values (term slow (tri 0 0 50))))"),
               EFzyParseException);
  EXPECT_EQ(Own->Logic().Items().Count(), 1) << "the rule names a variable defined after it";
  ASSERT_EQ(Own->RuleBlockCount(), 1);
  EXPECT_EQ(Own->RuleBlocks(0).Count(), 0);
  EXPECT_EQ(Own->Logic().Parser(), nullptr) << "a parser made for the reading only";
}

TEST(FuzzySystemReader, ReportsTheMistakesOfItsListsWhereTheyStand) {
  struct TCase {
    std::string Text, Message;
  };
  const std::string Temp = "(deffuzzy temp (range 0 40) (values (term cold (tri 0 0 20))))\n";
  const TCase Cases[] = {
      {"x", "Unexpected token: \"x\" in ReadFuzzySystem at line 1: \"x \""},
      {"\n(foo)",
       "Missing keyword.  Expected \"deffuzzy or defrules\" in ReadFuzzySystem at line 2: \"( foo \""},
      {"(defrules)", "Missing name in ReadRuleBlock at line 1: \"( defrules ) \""},
      {"(defrules b x)", "Expected \"(\" in ReadRuleBlock at line 1: \"( defrules b x \""},
      {"(defrules b (rul \"x\"))",
       "Missing keyword.  Expected \"rule\" in ReadRuleBlock at line 1: \"( defrules b ( rul \""},
      {"(defrules b (rule x))",
       "Expected the rule's text in double quotes in ReadRuleBlock at line 1: \"( defrules b ( rule x \""},
      {"(defrules b (rule \"y\" x))",
       "Expected \")\" in ReadRuleBlock at line 1: \"( defrules b ( rule y x \""},
      {"(defrules b ; no end\n", "Expected \")\" in ReadRuleBlock at line 2: \"( defrules b \nEOF \""},
      {Temp + "\n(deffuzzy 5)", "Missing name in ParseFuzzyVariable at line 3: \"\n( deffuzzy 5 \""},
      // The lines of a rule count from where its string begins.
      {Temp + "(defrules b\n  (rule \"if temp is cold\n   then speed is slow\"))",
       "Unknown variable \"speed\" in rule 1 of block \"b\" at line 4: \"if temp is cold\n   then speed is "
       "slow\""},
      {Temp + "(defrules b (rule \"if temp is cold then temp is cold\")))",
       "Invalid rule: \"temp\" would be both an input and an output in rule 1 of block \"b\" at line 2: "
       "\"if temp is cold then temp is cold\""},
  };
  for (const TCase& Case : Cases) EXPECT_EQ(ErrorOf(Case.Text), "Parsing Error, " + Case.Message);
}

TEST(FuzzySystemReader, PrintsSystemsThatReadBackToTheSameRulesAndEvaluateAlike) {
  int Cases = 0, Different = 0;
  for (unsigned Seed = 1; Seed <= 100; ++Seed) {
    // Output terms zero at both ends: the merge walk looks for no crossing beyond a set's ends.
    testing::TRandomSystem Random(Seed, false);
    TOwned<TFuzzySystem> Original = Random.Make();
    const std::string Text = PrintFuzzySystem(*Original);
    TOwned<TFuzzySystem> System = ReadFuzzySystem(Text);
    ASSERT_EQ(PrintFuzzySystem(*System), Text) << Text;
    ASSERT_EQ(System->RuleBlockCount(), Original->RuleBlockCount());
    for (int B = 0; B < System->RuleBlockCount(); ++B) {
      const TFuzzyRuleBlock& Read = System->RuleBlocks(B);
      const TFuzzyRuleBlock& Made = Original->RuleBlocks(B);
      ASSERT_EQ(Read.Count(), Made.Count());
      for (int R = 0; R < Read.Count(); ++R) {
        EXPECT_EQ(Read.Items(R).Antecedent().ToString(), Made.Items(R).Antecedent().ToString());
        EXPECT_NEAR(Read.Items(R).Weight(), Made.Items(R).Weight(), 5e-5);
        ASSERT_EQ(Read.Items(R).Conclusions().size(), Made.Items(R).Conclusions().size());
        EXPECT_EQ(Read.Items(R).Conclusions()[0].Term->Name(), Made.Items(R).Conclusions()[0].Term->Name());
      }
    }
    // The evaluator compiled from what was read answers as the object path does.
    const TFuzzyEvaluator Evaluator = System->Compile();
    TFuzzyWorkspace Workspace(Evaluator);
    std::vector<TFzyFloat> Compiled(System->Outputs().size());
    for (int Trial = 0; Trial < 10; ++Trial) {
      const std::vector<TFzyFloat> Values = Random.Values(*System);
      const TFuzzyInference Expected = System->Run(Values);
      Evaluator.Evaluate(Values, Compiled, Workspace);
      for (std::size_t O = 0; O < Compiled.size(); ++O) {
        ++Cases;
        ASSERT_EQ(Workspace.OutputFired(static_cast<int>(O)), Expected.Outputs[O].Fired());
        if (!Expected.Outputs[O].Fired()) continue;
        const TFuzzyVariable& Output = *System->Outputs()[O];
        const double Difference =
            std::fabs(Compiled[O] - Expected.Outputs[O].Value) / (Output.Maximum() - Output.Minimum());
        EXPECT_LT(Difference, 1e-4);
        if (Difference > 1e-9) ++Different;
      }
    }
  }
  EXPECT_LT(Different, Cases / 20);

  // A rule that lost what it names has no text to read back.
  TOwned<TFuzzySystem> System = ReadFuzzySystem(Speed);
  System->Logic().Items().Items(1)->Items().Items(0)->Free();
  try {
    PrintFuzzySystem(*System);
    ADD_FAILURE() << "printed";
  } catch (const EFzyException& E) {
    EXPECT_STREQ(E.what(),
                 "Rule \"if temp is cold then speed is slow\" of block \"fan\" names a freed term \"slow\"");
  }
}

}  // namespace
}  // namespace fuzzy
