// The printer: definition texts to the character, and texts that read back to the same sets.

#include <gtest/gtest.h>

#include <string>

#include "fuzzy/testing/linked_parser.h"

namespace fuzzy {
namespace {

using testing::PointsOf;
using testing::SamePointsAs;
using testing::TClassModel;
using testing::TInterfaceModel;

constexpr const char* Printed =
    "(deffuzzy temperature \n"
    "  \"air\"\n"
    "  (range 0.0000 40.0000)\n"
    "  (units C)\n"
    "  (values \n"
    "    (term cold ((0.0000 1.0000) (10.0000 1.0000) (20.0000 0.0000) ))\n"
    "    (term mild (tri 10.0000 20.0000 30.0000))\n"
    "    (term hot (s 20.0000 40.0000))\n"
    "  )\n"
    ")";

TEST(PrettyPrinter, WritesTheLayoutOfTheLanguageInBothModels) {
  TClassModel Class;
  Class.Read(Printed);
  EXPECT_EQ(Class.Parser->PrettyPrint(Class.Logic->Items().Items(0)), Printed);
  TInterfaceModel Interface;
  Interface.Read(Printed);
  EXPECT_EQ(Interface.Logic->Items().Get("temperature")->ToString(), Printed);

  // No defined terms, no comment, no units; a comment and units that need escaping or quotes.
  Class.Read("(deffuzzy a (range -1 2.5)) (deffuzzy b \"say \\\"hi\\\" \\\\ now\" (units \"per cent\"))"
             "(deffuzzy c (units \"a\\\"b\")) (deffuzzy d (units \"5.0\")) (deffuzzy e (units m/s))");
  const auto Text = [&](int Index) { return Class.Parser->PrettyPrint(Class.Logic->Items().Items(Index)); };
  EXPECT_EQ(Text(0), "(deffuzzy a \n  (range -1.0000 2.5000)\n  (values \n  )\n)");
  EXPECT_EQ(Text(1),
            "(deffuzzy b \n  \"say \\\"hi\\\" \\\\ now\"\n  (range 0.0000 1.0000)\n  (units \"per cent\")\n  (values \n  )\n)");
  EXPECT_NE(Text(2).find("(units \"a\\\"b\")"), std::string::npos);
  EXPECT_NE(Text(3).find("(units \"5.0\")"), std::string::npos);
  EXPECT_NE(Text(4).find("(units m/s)"), std::string::npos);
}

TEST(PrettyPrinter, WritesEachKindOfTerm) {
  TClassModel Model;
  Model.Read("(deffuzzy v (range -10 10) (values (term p (pi 2 5)) (term q (pi 0 10 4)) (term b (beta 2 1 0.5))"
             " (term w (beta 2 1 0.5 3)) (term z \"wait\" (z 1 2))))");
  const TFuzzySets& Sets = Model.Logic->Items().Items(0)->Items();
  const auto Term = [&](int Index) { return Model.Parser->PrettyPrint(Sets.Items(Index), true); };
  EXPECT_EQ(Term(0), "(term p (pi 2.0000 5.0000))");
  EXPECT_EQ(Term(1), "(term q (pi 0.0000 10.0000 4.0000))");
  // The inflection point always, the weight when it is not 1.
  EXPECT_EQ(Term(2), "(term b (beta 2.0000 1.0000 0.5000))");
  EXPECT_EQ(Term(3), "(term w (beta 2.0000 1.0000 0.5000 3.0000))");
  EXPECT_EQ(Term(4), "(term z \"wait\" (z 1.0000 2.0000))");
  EXPECT_EQ(Model.ErrorOf("(deffuzzy v (values (term \"z\" (z 1 2))))"),
            "Parsing Error, Missing name in ParseFuzzySet at line 1: \"( deffuzzy v ( values ( term z \"");

  // Names: delimiters and blanks escaped; a set of no name or "__Empty" has no term around it.
  TFuzzySet* Odd = Model.Logic->Items().Items(0)->Items().Add("a b(c)\"d");
  Odd->SetComment("note");
  Odd->Values().Add(1, 1);
  EXPECT_EQ(Model.Parser->PrettyPrint(Odd, true), "(term a\\ b\\(c\\)\\\"d \"note\" ((1.0000 1.0000) ))");
  EXPECT_EQ(Model.Parser->PrettyPrint(Odd, false), "a b(c)\"d");
  TFuzzySet* Empty = Model.Logic->Items().Items(0)->Items().Add(std::string(SEmptyFuzzy));
  Empty->CreateCrispValue(2);
  EXPECT_EQ(Model.Parser->PrettyPrint(Empty, true), "((2.0000 0.0000) (2.0000 1.0000) (2.0000 0.0000) )");
  EXPECT_EQ(Model.Parser->PrettyPrint(Empty, false), "2.0000");

  TInterfaceModel Interface;
  Interface.Read("(deffuzzy v (values (term a ((0 0) (10 1)))))");
  const IPtr<IFuzzyVariable> V = Interface.Logic->Items().Get("v");
  EXPECT_EQ(Interface.Parser->PrettyPrint(V->GetFuzzySetByName("a"), true), "(term a ((0.0000 0.0000) (1.0000 1.0000) ))");
  EXPECT_EQ(Interface.Parser->PrettyPrint(V->Add(std::string(SEmptyFuzzy)), false), "");
  EXPECT_EQ(Interface.Parser->PrettyPrint(V->GetFuzzySetByName("a"), false), "a");
}

constexpr const char* EveryKind =
    "(deffuzzy odd\\ variable \"odd \\\"comment\\\"\" (range -10 30) (units \"deg \\\\ C\")\n"
    " (values (term pairs \"a \\\"comment\\\"\" ((-10 0) (0 0.25) (0 0.75) (10 1) (30 0)))\n"
    "   (term tri (tri -5 0 5)) (term pi2 (pi 3 4)) (term pi3 (pi -4 8 1))\n"
    "   (term s (s 1 9)) (term z (z -8 2)) (term beta3 (beta 4 10 2)) (term beta4 (beta 4 10 2 0.25))\n"
    "   (term with\\(paren\\) ((1 1)))))";

// Prints the variable read from EveryKind, reads the text back and compares the sets.
template <typename TModel, typename TVariableOf, typename TPointsOf>
void ExpectReadsBack(bool AutoTerms, TVariableOf&& VariableOf, TPointsOf&& PointsOfSet) {
  TModel First(AutoTerms);
  First.Logic->SetNumFunctionValues(9);
  First.Read(EveryKind);
  const std::string Text = First.Parser->PrettyPrint(VariableOf(First));
  TModel Second(AutoTerms);
  Second.Logic->SetNumFunctionValues(9);
  Second.Read(Text);
  EXPECT_EQ(Second.Parser->PrettyPrint(VariableOf(Second)), Text);
  const auto Before = PointsOfSet(First);
  const auto After = PointsOfSet(Second);
  ASSERT_EQ(Before.size(), After.size());
  for (std::size_t I = 0; I < Before.size(); ++I)
    EXPECT_TRUE(SamePointsAs(After[I], Before[I], 5e-5)) << Text << "\nset " << I;
}

TEST(PrettyPrinter, WritesTextsThatReadBackToTheSameSets) {
  for (const bool AutoTerms : {false, true}) {
    ExpectReadsBack<TClassModel>(
        AutoTerms, [](TClassModel& M) { return M.Logic->Items().Items(0); },
        [](TClassModel& M) {
          std::vector<testing::TPoints> Sets;
          for (const TFuzzySet* Set : M.Logic->Items().Items(0)->Items()) Sets.push_back(testing::PointsOf(Set->Values()));
          return Sets;
        });
    ExpectReadsBack<TInterfaceModel>(
        AutoTerms, [](TInterfaceModel& M) { return M.Logic->Items().GetItemByIndex(0); },
        [](TInterfaceModel& M) {
          std::vector<testing::TPoints> Sets;
          const IPtr<IFuzzyVariable> V = M.Logic->Items().GetItemByIndex(0);
          for (int I = 0; I < V->GetCount(); ++I) Sets.push_back(PointsOf(*V->GetFuzzySet(I)));
          return Sets;
        });
  }
}

TEST(PrettyPrinter, RegeneratesTheLogicComponentsText) {
  TClassModel Class;
  Class.Read(Printed);
  Class.Logic->Items().Items(0)->SetUnits("K");
  EXPECT_EQ(Class.Logic->Strings().Text(), Class.Parser->PrettyPrint(Class.Logic->Items().Items(0)) + "\n");
  EXPECT_NE(Class.Logic->Strings().Text().find("(units K)"), std::string::npos);

  TInterfaceModel Interface;
  Interface.Read(Printed);
  Interface.Logic->Items().Get("temperature")->GetFuzzySetByName("cold")->SetYValues(0, 0.5);
  EXPECT_NE(Interface.Logic->Strings().Text().find("(term cold ((0.0000 0.5000)"), std::string::npos);
}

}  // namespace
}  // namespace fuzzy

namespace fuzzy {
namespace {

TEST(PrettyPrinter, WritesOnlyWhatReadsBackAndRefusesWhatCannot) {
  testing::TClassModel Model;
  Model.Read("(deffuzzy v (range 0 1) (values (term s (s 0 20)) (term p (pi 0.5 0.9)) (term t (tri 2 2 6))"
             " (term e __Empty) (term h ((0 0) (1 1)))))");
  TFuzzyVariable* V = Model.Logic->Items().Items(0);
  const auto Term = [&](const char* Name) { return Model.Parser->PrettyPrint(V->Items().GetItemByName(Name), true); };
  // Shapes the range clamped: their calls would read back unclamped, so their points are written.
  EXPECT_EQ(Term("s").rfind("(term s ((0.0000 0.0000) ", 0), 0u);
  EXPECT_EQ(Term("p").rfind("(term p ((0.4000 0.0000) ", 0), 0u);
  EXPECT_EQ(Term("t"), "(term t (tri 1.0000 1.0000 1.0000))");
  // No points: no "()", which reads as a call without a name.
  EXPECT_EQ(Term("e"), "(term e __Empty)");
  // A hedge result is written by its points, not by the expression it records ("[very h]" names
  // the set the hedge renamed).
  V->Items().GetItemByName("h")->Hedge(fhVery);
  EXPECT_EQ(Model.Parser->PrettyPrint(V->Items().GetItemByName("very h"), true).rfind("(term very\\ h ((0.0000 0.0000) (", 0), 0u);
  // A set named "__Empty" is no term, whatever its flag.
  V->Items().Add(std::string(SEmptyFuzzy))->SetDefined(true);
  const std::string Text = Model.Parser->PrettyPrint(V);
  EXPECT_EQ(Text.find("__Empty)"), Text.rfind("__Empty)"));
  testing::TClassModel Again;
  Again.Read(Text);
  EXPECT_EQ(Again.Parser->PrettyPrint(Again.Logic->Items().Items(0)), Text);

  // Names no atom can hold raise before anything is written; Strings stays out of date.
  for (const char* Name : {"[x", "5", "1e3", "?q", "=a", " lead", "(p"}) {
    V->Items().Items(0)->SetName(Name);
    try {
      Model.Parser->PrettyPrint(V);
      FAIL() << Name;
    } catch (const EFzyException& E) {
      EXPECT_EQ(E.Message(), "Name cannot be written as an atom: \"" + std::string(Name) + "\"");
    }
    EXPECT_THROW(Model.Logic->Strings(), EFzyException);
    EXPECT_TRUE(Model.Logic->NeedsUpdate());
  }
  // These are atoms: "<" and "\" may begin one, a sign alone or "5a" is no number.
  for (const char* Name : {"<x", "\\x", "5a", "e"}) {
    V->Items().Items(0)->SetName(Name);
    EXPECT_NO_THROW(Model.Parser->PrettyPrint(V)) << Name;
  }
  EXPECT_NE(Model.Logic->Strings().Text().find("(term e ("), std::string::npos);
}

}  // namespace
}  // namespace fuzzy
