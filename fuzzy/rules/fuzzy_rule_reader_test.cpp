#include "fuzzy/rules/fuzzy_rule_reader.h"

#include <gtest/gtest.h>

#include "fuzzy/rules/fuzzy_system.h"
#include "fuzzy/rules/fuzzy_system_reader.h"

namespace fuzzy {
namespace {

// Inputs a and b over [0, 1] whose terms "low" and "high" have the degrees 1 - x and x; outputs
// out (left, right, "room temp") and other (yes); one empty block "rules".
struct TRules {
  TOwned<TFuzzySystem> System = ReadFuzzySystem(
      "(deffuzzy a (range 0 1) (values (term low ((0 1) (1 0))) (term high ((0 0) (1 1)))))\n"
      "(deffuzzy b (range 0 1) (values (term low ((0 1) (1 0))) (term high ((0 0) (1 1)))))\n"
      "(deffuzzy out (range 0 10)\n"
      "  (values (term left (tri 0 2 4)) (term right (tri 6 8 10)) (term room\\ temp (tri 4 5 6))))\n"
      "(deffuzzy other (range 0 1) (values (term yes ((0 0) (1 1)))))\n");
  TFuzzyRuleBlock& Block = System->AddRuleBlock("rules");
  TFuzzyVariable& A = *System->Logic().Items().Items(0);

  TFuzzyRule& Read(const std::string& Text) { return ReadFuzzyRule(Block, Text); }
  // The strength of the rule read last, at a = 0.3 and b = 0.6.
  TFzyFloat Strength() { return System->Explain({{"a", 0.3}, {"b", 0.6}}).Rules.back().Strength; }
  // The message of reading Text, or "read".
  std::string Error(const std::string& Text, int FirstLine = 1, int* Line = nullptr) {
    try {
      ReadFuzzyRule(Block, Text, *dynamic_cast<TAQFuzzyLogicParser*>(System->Logic().Parser()), FirstLine);
    } catch (const EFzyParseException& E) {
      if (Line) *Line = E.LineNumber();
      return E.what();
    }
    return "read";
  }
};

TEST(FuzzyRuleReader, ReadsEveryConnectiveAndGroupsConditionsFromTheLeft) {
  TRules R;
  // Each keyword names its connective; at a = 0.3, b = 0.6 "a is low" is 0.7 and "b is high" 0.6.
  for (int Operation = foZadeh; Operation <= foSum; ++Operation)
    for (const bool IsUnion : {false, true}) {
      if (!IsUnion && Operation == foSum) continue;
      const TFuzzyConnective Expected{IsUnion, static_cast<TFuzzyOperation>(Operation)};
      const std::string Keyword(Expected.Keyword());
      const TFuzzyRule& Rule = R.Read("if a is low " + Keyword + " b is high then out is right");
      EXPECT_EQ(Rule.Antecedent().Steps().back().Connective, Expected) << Keyword;
      EXPECT_EQ(Rule.Antecedent().ToString(), "a is low " + Keyword + " b is high");
      EXPECT_NEAR(R.Strength(), Expected.Degree()(0.7, 0.6), 1e-15) << Keyword;
    }
  R.Read("if a is low and-product b is high then out is right");
  EXPECT_NEAR(R.Strength(), 0.42, 1e-15);
  R.Read("if a is low or-product b is high then out is right");
  EXPECT_NEAR(R.Strength(), 0.88, 1e-15);
  R.Read("if a is low or-boundedsum b is high then out is right");
  EXPECT_EQ(R.Strength(), 1);

  // One level, from the left: max(0.7, 0.6) and 0.3; brackets of either kind group.
  EXPECT_EQ(R.Read("if a is low or b is high and a is high then out is right").Antecedent().ToString(),
            "[a is low or b is high] and a is high");
  EXPECT_NEAR(R.Strength(), 0.3, 1e-15);
  EXPECT_EQ(R.Read("if a is low or [b is high and a is high] then out is right").Antecedent().ToString(),
            "a is low or [b is high and a is high]");
  EXPECT_NEAR(R.Strength(), 0.7, 1e-15);
  EXPECT_EQ(R.Read("if (a is low or (b is high)) and-product [[a is high]] then out is right")
                .Antecedent()
                .ToString(),
            "[a is low or b is high] and-product a is high");
  EXPECT_NEAR(R.Strength(), 0.21, 1e-15);
  // A rule's text is kept as written; one built in code writes what reads back to the same tree.
  const TFuzzyRule& Spaced = R.Read("if  a is low\n  or b is high then out is right");
  EXPECT_EQ(Spaced.Text(), "if  a is low\n  or b is high then out is right");
}

TEST(FuzzyRuleReader, ComputesClauseSetsWithHedgesNotAndExpressionsAndLeavesTheVariableAsItWas) {
  TRules R;
  const int Sets = R.A.Items().Count();
  TFuzzySet& Low = *R.A.Items().GetItemByName("low");
  TFuzzySet& High = *R.A.Items().GetItemByName("high");
  // The expected sets, made through the object API on free-standing copies.
  auto Copy = [](const TFuzzySet& Term) {
    TOwned<TFuzzySet> Set = MakeOwned<TFuzzySet>(nullptr);
    Set->Assign(&Term);
    return Set;
  };
  TOwned<TFuzzySet> NotLow = Copy(Low);
  NotLow->Hedge(fhNot);
  TOwned<TFuzzySet> VeryHigh = Copy(High);
  VeryHigh->Hedge(fhVery);
  TOwned<TFuzzySet> SomewhatHigh = Copy(High);
  SomewhatHigh->Hedge(fhSomewhat);
  TOwned<TFuzzySet> LowOrSomewhatHigh = Adopt(Copy(Low)->Union(SomewhatHigh.get()));
  TOwned<TFuzzySet> HighSquared = Copy(High);
  HighSquared->Hedge(bfhPower, 2, true);

  struct TCase {
    std::string Set;
    const TFuzzySet* Expected;
    std::string Text;
  };
  const TCase Cases[] = {{"not low", NotLow.get(), "not low"},
                         {"very high", VeryHigh.get(), "very high"},
                         {"[low or somewhat high]", LowOrSomewhatHigh.get(), "[low or somewhat high]"},
                         {"[ low or  somewhat\nhigh ]", LowOrSomewhatHigh.get(), "[low or somewhat high]"},
                         {"high ^ 2", HighSquared.get(), "high ^ 2"}};
  for (const TCase& Case : Cases) {
    const TFuzzyRule& Rule = R.Read("if a is " + Case.Set + " and b is high then out is left");
    const TFuzzyClause& Clause = Rule.Antecedent().Clauses()[0];
    EXPECT_TRUE(Clause.OwnsSet()) << Case.Set;
    EXPECT_EQ(Clause.Text(), Case.Text);
    for (const TFzyFloat X : {0.0, 0.3, 0.55, 1.0})
      EXPECT_NEAR(Clause.Set().DegreeOfMembership(X), Case.Expected->DegreeOfMembership(X), 1e-12)
          << Case.Set << " at " << X;
  }
  // A term alone, in brackets too, is the term itself; a number is a crisp set.
  EXPECT_EQ(&R.Read("if a is [[low]] then out is left").Antecedent().Clauses()[0].Set(), &Low);
  const TFuzzyClause& Crisp = R.Read("if a is 0.5 then out is left").Antecedent().Clauses()[0];
  EXPECT_EQ(Crisp.Set().DegreeOfMembership(0.5), 1);
  EXPECT_EQ(Crisp.Set().DegreeOfMembership(0.3), 0);
  // The copies, unions and numbers of the computations are gone from the variable.
  EXPECT_EQ(R.A.Items().Count(), Sets);
  EXPECT_EQ(R.Strength(), 0);
}

TEST(FuzzyRuleReader, ReadsWeightsSeveralConclusionsAndQuotedNames) {
  TRules R;
  const TFuzzyRule& Rule = R.Read("if a is high then out is \"room temp\" and other is yes with 0.25");
  EXPECT_EQ(Rule.Weight(), 0.25);
  ASSERT_EQ(Rule.Conclusions().size(), 2u);
  EXPECT_EQ(Rule.Conclusions()[0].Term->Name(), "room temp");
  EXPECT_EQ(Rule.Conclusions()[1].Variable->Name(), "other");
  EXPECT_EQ(R.Read("if a is high then out is left with 0").Weight(), 0);
  EXPECT_EQ(R.Read("if a is high then out is left with 1").Weight(), 1);
  EXPECT_EQ(R.System->Outputs().size(), 2u);

  // A rule built in code writes its names so that they read back: the space-holding term as a
  // string, a variable named like a keyword too.
  TFuzzyVariable& Out = *R.System->Logic().Items().GetItemByName("out");
  R.System->Logic().Items().GetItemByName("other")->SetName("then");
  TFuzzyRule& Built = R.Block.Add(TFuzzyAntecedent::Is(R.A, *R.A.Items().GetItemByName("low")),
                                  {{&Out, Out.Items().GetItemByName("room temp")}}, 0.5);
  EXPECT_EQ(Built.ToString(), "if a is low then out is \"room temp\" with 0.5000");
  const TFuzzyRule& Again = R.Read(Built.ToString());
  EXPECT_EQ(Again.Conclusions()[0].Term, Built.Conclusions()[0].Term);
  EXPECT_EQ(R.Read("if a is low then \"then\" is yes").Conclusions()[0].Variable->Name(), "then");
}

TEST(FuzzyRuleReader, ReportsEveryMistakeWithTheRuleTheLineAndTheWord) {
  TRules R;
  R.Read("if a is low then out is left");
  const std::string At = " in rule 2 of block \"rules\" at line 1: \"";
  struct TCase {
    std::string Text, Message;
  };
  const TCase Cases[] = {
      {"", "Expected \"if\", found the end of the rule"},
      {"If a is low then out is left", "Expected \"if\", found \"If\""},
      {"if c is low then out is left", "Unknown variable \"c\" (did you mean \"a\"?)"},
      {"if 5 is low then out is left", "Expected a variable, found \"5\""},
      {"if a low then out is left", "Expected \"is\" after \"a\", found \"low\""},
      {"if a is hihg then out is left", "Unknown term \"hihg\" of \"a\" (did you mean \"high\"?)"},
      {"if a is medium then out is left", "Unknown term \"medium\" of \"a\""},
      {"if a is low or high then out is left",
       "Unknown variable \"high\" (a term of \"a\": a connective inside a clause's set needs brackets)"},
      {"if a is then out is left", "Expected a term of \"a\", found \"then\""},
      {"if a is very then out is left", "Expected a term of \"a\", found \"then\""},
      {"if a is or low then out is left", "Expected a term of \"a\", found \"or\""},
      {"if a is low high then out is left", "Expected a connective or \"then\", found \"high\""},
      {"if [a is low high] then out is left", "Expected a connective or \"]\", found \"high\""},
      {"if [a is low) then out is left", "Expected a connective or \"]\", found \")\""},
      {"if a is [low or high then out is left", "Expected \"]\", found \"then\""},
      {"if a is [low or] then out is left", "Expected a term of \"a\", found \"]\""},
      {"if a is low ] then out is left", "Expected a connective or \"then\", found \"]\""},
      {"if a is low and-sum b is high then out is left",
       "Invalid connective \"and-sum\": no intersection is a sum"},
      {"if a is [low and-sum high] then out is left",
       "Invalid connective \"and-sum\": no intersection is a sum"},
      {"if a is ?nothing then out is left",
       "Unknown reference \"?nothing\": no entry of that name in Variables"},
      {"if a is low & b is high then out is left", "Expected a connective or \"then\", found \"&\""},
      {"if a is (tri 0 1 then out is left", "Expected \")\", found the end of the rule"},
      {"if a is low then out is very", "Expected a term of \"out\", found \"very\""},
      {"if a is low then out is lefft", "Unknown term \"lefft\" of \"out\" (did you mean \"left\"?)"},
      {"if a is low then out is left or out is right",
       "Expected \"and\", \"with\" or the end of the rule, found \"or\""},
      {"if a is low then out is left with much", "Expected a number after \"with\", found \"much\""},
      {"if a is low then out is left with 1.5", "Invalid rule weight: 1.5000 (expected 0 to 1)"},
      {"if a is low then out is left with 0.5 please", "Expected the end of the rule, found \"please\""},
      {"if a is low then a is high", "Invalid rule: \"a\" would be both an input and an output"},
      {"if a is \"low then out is left", "Unbalanced string: closing quote missing"},
      {"if a is (tri 0 1) then out is left",
       "Invalid set for \"a\": Parsing Error, Number of arguments for function, tri, incorrect.  Expected "
       "\"\"Left Middle Right\"\" in CalcFuzzyFunction at line 0: \"\""},
  };
  const int Sets = R.A.Items().Count();
  for (const TCase& Case : Cases)
    EXPECT_EQ(R.Error(Case.Text), "Parsing Error, " + Case.Message + At + Case.Text + "\"");
  EXPECT_EQ(R.Block.Count(), 1) << "no failing rule joins the block";
  EXPECT_EQ(R.A.Items().Count(), Sets) << "no set of a failing rule stays";

  // The line is the offending word's, counted from the line the text begins on.
  int Line = 0;
  EXPECT_EQ(
      R.Error("if a is low\n  or b is hihg\n then out is left", 7, &Line),
      "Parsing Error, Unknown term \"hihg\" of \"b\" (did you mean \"high\"?) in rule 2 of block \"rules\" "
      "at line 8: \"if a is low\n  or b is hihg\n then out is left\"");
  EXPECT_EQ(Line, 8);
  R.Error("if a is low then\r\n\r\n a is high", 3, &Line);
  EXPECT_EQ(Line, 3) << "a rule that cannot join the system is reported where it begins";
  EXPECT_EQ(R.Error("if a is low then out is left with\n", 1, &Line),
            "Parsing Error, Expected a number after \"with\", found the end of the rule in rule 2 of block "
            "\"rules\" at line 2: \"if a is low then out is left with\n\"");
  EXPECT_EQ(Line, 2);
}

}  // namespace
}  // namespace fuzzy
