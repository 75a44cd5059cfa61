// The expression evaluator in both models: grouping, results against the engine's own operations,
// the terms left untouched, every message to the character, references, events and crisp values.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "fuzzy/testing/linked_parser.h"

namespace fuzzy {
namespace {

using testing::PointsOf;
using testing::SamePointsAs;
using testing::TClassModel;
using testing::TInterfaceModel;

constexpr const char* Temperature =
    "(deffuzzy t (range 0 40) (values (term cold ((0 1) (10 1) (20 0))) (term mild (tri 10 20 30))"
    " (term hot (s 20 40)) (term warm ((10 0) (25 1) (35 0)))))";

// A model read from Temperature, with the class model's and the interface model's variable.
struct TClassFixture : TClassModel {
  TClassFixture() { Read(Temperature); }
  TFuzzyVariable* V() { return Logic->Items().Items(0); }
  testing::TPoints Eval(const std::string& Expression) { return PointsOf(Parser->EvalFuzzyExpression(V(), Expression)->Values()); }
  testing::TPoints Term(const std::string& Name) { return PointsOf(V()->Items().GetItemByName(Name)->Values()); }
};
struct TInterfaceFixture : TInterfaceModel {
  TInterfaceFixture() { Read(Temperature); }
  IPtr<IFuzzyVariable> V() { return Logic->Items().Get("t"); }
  testing::TPoints Eval(const std::string& Expression) { return PointsOf(*Parser->EvalFuzzyExpression(V(), Expression)); }
  testing::TPoints Term(const std::string& Name) { return PointsOf(*V()->GetFuzzySetByName(Name)); }
};

template <typename TModel>
std::string ErrorOf(TModel& Model, const std::string& Expression) {
  try {
    Model.Parser->EvalFuzzyExpression(Model.V(), Expression);
  } catch (const EFzyParseException& E) {
    return E.Message();
  }
  return "";
}

std::string Postfix(TAQFuzzyLogicParser& Parser, const std::string& Expression) {
  return Parser.PostfixExpression(Parser.ParseExpression(Expression))->ToString();
}

TEST(Expressions, GroupHedgesFromTheRightAndInfixOperatorsFromTheLeft) {
  TClassFixture Model;
  TAQFuzzyLogicParser& P = *Model.Parser;
  EXPECT_EQ(Postfix(P, "very somewhat warm"), "(warm somewhat very)");
  EXPECT_EQ(Postfix(P, "very warm or cold"), "(warm very cold or)");
  EXPECT_EQ(Postfix(P, "warm or very cold"), "(warm cold very or)");
  // Connectives and hedge operators share one level and group from the left.
  EXPECT_EQ(Postfix(P, "warm and cold or hot"), "(warm cold and hot or)");
  EXPECT_EQ(Postfix(P, "warm ^ 2 or cold"), "(warm 2 ^ cold or)");
  EXPECT_EQ(Postfix(P, "warm or cold ^ 2"), "(warm cold or 2 ^)");
  EXPECT_EQ(Postfix(P, "[warm or cold] and hot"), "(warm cold or hot and)");
  EXPECT_EQ(Postfix(P, "very [warm or [cold and-product hot]]"), "(warm cold hot and-product or very)");
  EXPECT_EQ(Postfix(P, "(tri 1 2 3) +X 5"), "((tri 1 2 3) 5 +X)");

  // Results, against the engine's own operations on copies of the terms.
  TFuzzyVariable& V = *Model.V();
  const auto Term = [&](const char* Name) { return V.Items().GetItemByName(Name); };
  TFuzzySet* VeryHot = Term("hot")->Clone()->Hedge(fhVery);
  TFuzzySet* SomewhatMild = Term("mild")->Clone()->Hedge(fhSomewhat);
  TFuzzySet* Expected = VeryHot->Union(SomewhatMild->Intersection(Term("hot"), foProduct), foZadeh);
  EXPECT_TRUE(SamePointsAs(Model.Eval("very hot or [somewhat mild and-product hot]"), PointsOf(Expected->Values())));
  EXPECT_TRUE(SamePointsAs(Model.Eval("very very hot"), PointsOf(VeryHot->Clone()->Hedge(fhVery)->Values())));
  EXPECT_TRUE(SamePointsAs(Model.Eval("[[hot]]"), Model.Term("hot")));
  EXPECT_TRUE(SamePointsAs(Model.Eval("hot *X 0.5"), PointsOf(Term("hot")->Clone()->Hedge(bfhMultiply, 0.5, false)->Values())));
  EXPECT_TRUE(SamePointsAs(Model.Eval("5"), {{5, 0}, {5, 1}, {5, 0}}));
  EXPECT_TRUE(SamePointsAs(Model.Eval("((0 0) (10 1))"), {{0, 0}, {10, 1}}));
  // A string names a term too; the union keeps the last point of a leading level run.
  EXPECT_TRUE(SamePointsAs(Model.Eval("(tri 1 2 3) or \"cold\""), {{10, 1}, {20, 0}}));
  EXPECT_TRUE(Model.Eval("").empty());
  EXPECT_TRUE(Model.Eval("[ ]").empty());
  EXPECT_EQ(Model.Parser->EvalFuzzyExpression(&V, "")->Name(), SEmptyFuzzy);

  // The interface model computes the same sets.
  TInterfaceFixture Interface;
  for (const char* Expression : {"very hot or [somewhat mild and-product hot]", "not warm and-mean cold",
                                 "hot +X 5", "warm ^ 2 or-sum 5", "slightly mild", "about 20"})
    EXPECT_TRUE(SamePointsAs(Interface.Eval(Expression), Model.Eval(Expression), 1e-12)) << Expression;
}

TEST(Expressions, LeaveTheTermsAsTheyWereAndMarkWhatTheyMake) {
  TClassFixture Class;
  const testing::TPoints Warm = Class.Term("warm");
  TFuzzySet* Result = Class.Parser->EvalFuzzyExpression(Class.V(), "very warm or 5 or ((0 0) (1 1)) or warm ^ 2");
  EXPECT_TRUE(SamePointsAs(Class.Term("warm"), Warm));
  EXPECT_EQ(Class.V()->Items().Items(3)->Name(), "warm");
  // Every set made on the way is in the variable, and none of them is defined: none is printed.
  const TFuzzySets& Sets = Class.V()->Items();
  EXPECT_GT(Sets.Count(), 4);
  for (int I = 4; I < Sets.Count(); ++I) EXPECT_FALSE(Sets.Items(I)->Defined()) << Sets.Items(I)->Name();
  EXPECT_FALSE(Result->Defined());
  EXPECT_EQ(Sets.Items(Sets.IndexOf("5"))->Expression(), "5");
  EXPECT_EQ(Class.Parser->PrettyPrint(Class.V()).find("(term 5"), std::string::npos);
  // A term that is not marked defined is not changed either.
  Class.V()->Items().GetItemByName("hot")->SetDefined(false);
  const testing::TPoints Hot = Class.Term("hot");
  Class.Parser->EvalFuzzyExpression(Class.V(), "very hot");
  EXPECT_TRUE(SamePointsAs(Class.Term("hot"), Hot));

  TInterfaceFixture Interface;
  const IPtr<IFuzzyVariable> V = Interface.V();
  const IPtr<IFuzzySet> WarmTerm = V->GetFuzzySetByName("warm");
  const IPtr<IFuzzySet> Set = Interface.Parser->EvalFuzzyExpression(V, "very warm or 5 or ((0 0) (1 1))");
  EXPECT_TRUE(SamePointsAs(PointsOf(*WarmTerm), Warm));
  EXPECT_EQ(V->GetFuzzySetByName("warm"), WarmTerm);
  // The table holds the terms only; a host's set named like a number keeps its place.
  EXPECT_EQ(V->GetCount(), 4);
  EXPECT_FALSE(Set->Defined());
  const IPtr<IFuzzySet> Five = V->Add("5");
  Interface.Parser->EvalFuzzyExpression(V, "5");
  EXPECT_EQ(V->ContainsFuzzySet("5"), Five);
}

TEST(Expressions, ReportEveryFaultToTheCharacter) {
  const std::vector<std::pair<std::string, std::string>> Cases = {
      {"warm and", "Missing fuzzy operand to be modified by hedge: and in EvalFuzzyExpression at line 1: \"and EOF \""},
      {"and warm", "Missing fuzzy operand to be modified by hedge: and in EvalFuzzyExpression at line 1: \"warm EOF \""},
      {"very", "Missing fuzzy operand to be modified by hedge: very in EvalFuzzyExpression at line 1: \"very EOF \""},
      {"^ 2", "Missing fuzzy operand to be modified by hedge: ^ in EvalFuzzyExpression at line 1: \"2 EOF \""},
      {"warm froid", "Invalid item in fuzzy expression: froid in EvalFuzzyExpression at line 1: \"froid EOF \""},
      // Operands left over, and items after an unmatched ")" or bracket.
      {"warm cold", "Invalid item in fuzzy expression: cold in EvalFuzzyExpression at line 1: \"cold EOF \""},
      {"warm cold and hot", "Invalid item in fuzzy expression: cold in EvalFuzzyExpression at line 1: \"hot EOF \""},
      {"warm very cold", "Invalid item in fuzzy expression: very in EvalFuzzyExpression at line 1: \"cold EOF \""},
      {"cold ) warm", "Invalid item in fuzzy expression: ) in EvalFuzzyExpression at line 1: \") \""},
      {"[cold", "Invalid item in fuzzy expression: [ in EvalFuzzyExpression at line 1: \"cold EOF \""},
      {"cold]", "Invalid item in fuzzy expression: ] in EvalFuzzyExpression at line 1: \"] EOF \""},
      {"cold & warm", "Invalid item in fuzzy expression: & in EvalFuzzyExpression at line 1: \"warm EOF \""},
      {"()", "Invalid item in fuzzy expression: () in EvalFuzzyExpression at line 1: \"( ) EOF \""},
      {"((0 0 1))", "Invalid X/Y value pair: (0 0 1) in ConvertListToValues at line 1: \"( ( 0 0 1 ) ) EOF \""},
      {"((0 x))", "Expected number in ConvertListToValues at line 1: \"( ( 0 x ) ) EOF \""},
      {"(tri 1 2)",
       "Number of arguments for function, tri, incorrect.  Expected \"\"Left Middle Right\"\" in CalcFuzzyFunction at "
       "line 1: \"( tri 1 2 ) EOF \""},
      {"?nothing", "Invalid item in fuzzy expression: ?nothing in EvalFuzzyExpression at line 1: \"?nothing EOF \""},
  };
  TClassFixture Class;
  TInterfaceFixture Interface;
  for (const auto& [Expression, Message] : Cases) {
    EXPECT_EQ(ErrorOf(Class, Expression), "Parsing Error, " + Message) << Expression;
    EXPECT_EQ(ErrorOf(Interface, Expression), "Parsing Error, " + Message) << Expression;
  }
  // A term body names the term's line and text.
  EXPECT_EQ(Class.ErrorOf("(deffuzzy a\n (values (term b c d)))"),
            "Parsing Error, Invalid item in fuzzy expression: c in EvalFuzzyExpression at line 2: "
            "\"( deffuzzy a \n( values ( term b c d \"");
  // No variable, no logic component for a reference: the library's messages, not a crash.
  auto Alone = MakeOwned<TAQFuzzyLogicParser>(nullptr);
  const auto AloneError = [&](TFuzzyVariable* Variable, const std::string& Expression) {
    try {
      Alone->EvalFuzzyExpression(Variable, Expression);
    } catch (const EFzyParseException& E) {
      return E.Message();
    }
    return std::string();
  };
  EXPECT_EQ(AloneError(nullptr, ""), "Parsing Error, fuzzy variable is not defined in EvalFuzzyExpression at line 0: \"\"");
  EXPECT_THROW(Alone->EvalFuzzyExpression(IPtr<IFuzzyVariable>(), "warm"), EFzyParseException);
  TOwned<TFuzzyVariable> Free = MakeOwned<TFuzzyVariable>(nullptr);
  EXPECT_EQ(AloneError(Free.get(), "?x"), "Parsing Error, Fuzzy Logic component must be specified to parse in "
                                          "EvalFuzzyExpression at line 1: \"?x EOF \"");
}

TEST(Expressions, UseTheNumberOfAHedgeOperatorAsItStands) {
  // The crisp set of 50 lies at 40, the variable's maximum; the operator takes 50.
  TClassFixture Class;
  EXPECT_TRUE(SamePointsAs(Class.Eval("mild < 50"), {{10, 50}, {20, 50}, {30, 50}}));
  EXPECT_TRUE(SamePointsAs(Class.Eval("mild < [50]"), {{10, 50}, {20, 50}, {30, 50}}));
  // Any other operand gives its mean of maxima: here 40.
  EXPECT_TRUE(SamePointsAs(Class.Eval("mild < very 50"), {{10, 40}, {20, 40}, {30, 40}}));
  TInterfaceFixture Interface;
  EXPECT_TRUE(SamePointsAs(Interface.Eval("mild < 50"), {{10, 50}, {20, 50}, {30, 50}}));
}

TEST(Expressions, FollowReferencesAndRefuseCycles) {
  for (const bool InterfaceModel : {false, true}) {
    TClassFixture Class;
    TInterfaceFixture Interface;
    TCustomFuzzyLogic& Logic = InterfaceModel ? static_cast<TCustomFuzzyLogic&>(*Interface.Logic)
                                              : static_cast<TCustomFuzzyLogic&>(*Class.Logic);
    TStrings& Variables = Logic.Variables();
    for (const char* Line : {"x=very warm", "w=warm", "self=?SELF", "a=?b", "b=cold or ?a", "e="})
      Variables.Add(Line);
    const auto Eval = [&](const std::string& E) { return InterfaceModel ? Interface.Eval(E) : Class.Eval(E); };
    const auto Error = [&](const std::string& E) { return InterfaceModel ? ErrorOf(Interface, E) : ErrorOf(Class, E); };
    EXPECT_TRUE(SamePointsAs(Eval("?x"), Eval("very warm")));
    // A reference to a term is a copy of it, named by the reference; the term keeps its name.
    EXPECT_TRUE(SamePointsAs(Eval("very ?w"), Eval("very warm")));
    const std::string Name =
        InterfaceModel ? Interface.Parser->EvalFuzzyExpression(Interface.V(), "?w")->Name()
                       : Class.Parser->EvalFuzzyExpression(Class.V(), "?W")->Name();
    EXPECT_EQ(Name, InterfaceModel ? "?w" : "?W");
    EXPECT_TRUE(InterfaceModel ? static_cast<bool>(Interface.V()->ContainsFuzzySet("warm"))
                               : Class.V()->Items().IndexOf("warm") == 3);
    EXPECT_TRUE(Eval("?e").empty());
    EXPECT_EQ(Error("?self"), "Parsing Error, Cyclic variable reference in fuzzy expression: ?self -> ?SELF in "
                              "EvalFuzzyExpression at line 1: \"?SELF EOF \"");
    EXPECT_EQ(Error("cold and ?a"), "Parsing Error, Cyclic variable reference in fuzzy expression: ?a -> ?b -> ?a in "
                                    "EvalFuzzyExpression at line 1: \"?a EOF \"");
    // A chain deeper than the limit, though without a cycle.
    for (int I = 0; I < 20; ++I) Variables.Add(Concat({"r", IntToStr(I), "=?r", IntToStr(I + 1)}));
    Variables.Add("r20=warm");
    EXPECT_TRUE(SamePointsAs(Eval("?r5"), Eval("warm")));
    EXPECT_EQ(Error("?r0").rfind("Parsing Error, Variable references nested deeper than 16 levels: ?r0 -> ?r1 ->", 0), 0u);
    // Nothing is left half-followed: the same reference works again.
    EXPECT_TRUE(SamePointsAs(Eval("?x"), Eval("very warm")));
  }
}

TEST(Expressions, ShowTheirResultsToTheHostAndGiveACrispValue) {
  TClassFixture Class;
  std::vector<std::string> Seen;
  TFuzzySet* Cold = Class.V()->Items().GetItemByName("cold");
  Class.Parser->SetOnEvalExpression([&](TObject* Sender, TFuzzyVariable* V, const std::string& Expression, TFuzzySet*& Result) {
    EXPECT_EQ(Sender, Class.Parser.get());
    EXPECT_EQ(V, Class.V());
    Seen.push_back(Expression + " = " + Result->Name());
    if (Expression == "(warm 2 ^)") Result = Cold;
  });
  TFuzzySet* Set = nullptr;
  // Centre of gravity by default, mean of maxima when the component says so.
  EXPECT_NEAR(Class.Parser->EvalFuzzyExpression(Class.V(), "mild", Set), 20, 1e-9);
  EXPECT_NEAR(Class.Parser->EvalFuzzyExpression(Class.V(), "cold", Set), 7.7778, 1e-4);
  Class.Logic->SetDefuzzificationMethod(dmMeanOfMaxima);
  EXPECT_NEAR(Class.Parser->EvalFuzzyExpression(Class.V(), "cold", Set), 5, 1e-9);
  EXPECT_EQ(Class.Parser->EvalFuzzyExpression(Class.V(), "warm ^ 2"), Cold);
  EXPECT_EQ(Seen, (std::vector<std::string>{"(mild) = mild", "(cold) = cold", "(cold) = cold", "(warm 2 ^) = warm ^ 2.0000"}));

  TInterfaceFixture Interface;
  Seen.clear();
  Interface.Parser->SetOnEvalExpressionIntf([&](const IPtr<IFuzzyVariable>& V, const std::string& Expression, IPtr<IFuzzySet>& Result) {
    Seen.push_back(V->Name() + ": " + Expression + " = " + Result->Name());
  });
  IPtr<IFuzzySet> Result;
  const TFzyFloat Crisp = Interface.Parser->EvalFuzzyExpression(Interface.V(), "very hot or mild", Result);
  EXPECT_EQ(Crisp, Result->CenterOfGravity());
  EXPECT_EQ(Seen, (std::vector<std::string>{"t: (hot very mild or) = [very hot] or mild"}));
}

TEST(Expressions, EvaluateAPostfixListAgainAndLeaveItWhole) {
  TClassFixture Class;
  TAQFuzzyLogicParser& P = *Class.Parser;
  const IPtr<IFuzzyStreamTokenList> Infix = P.ParseExpression("very warm or (tri 1 2 3)");
  const IPtr<IFuzzyStreamTokenList> Postfix = P.PostfixExpression(Infix);
  EXPECT_EQ(Infix->ToString(), "(very warm or (tri 1 2 3))");
  const testing::TPoints First = PointsOf(P.EvalPostfixExpression(Class.V(), Postfix)->Values());
  EXPECT_TRUE(SamePointsAs(PointsOf(P.EvalPostfixExpression(Class.V(), Postfix)->Values()), First));
  EXPECT_EQ(Postfix->ToString(), "(warm very (tri 1 2 3) or)");
  // The infix overload leaves its list in postfix order, as it evaluated it.
  P.EvalFuzzyExpression(Class.V(), Infix);
  EXPECT_EQ(Infix->ToString(), "(warm very (tri 1 2 3) or)");
  // An operand token on its own; a set carried by a token.
  IPtr<IFuzzyStreamToken> Token(New<TFuzzyStreamToken>());
  Token->SetDataType(fstAtom);
  Token->SetText("mild");
  EXPECT_EQ(P.EvalFuzzyExpression(Class.V(), Token), Class.V()->Items().GetItemByName("mild"));
  TOwned<TFuzzySet> Free = MakeOwned<TFuzzySet>(nullptr);
  Free->CreateTriangleFunctionValues(0, 1, 2);
  Token = IPtr<IFuzzyStreamToken>(New<TFuzzyStreamToken>());
  dynamic_cast<TFuzzyStreamToken&>(*Token).SetFuzzySet(Free.get());
  const IPtr<IFuzzyStreamTokenList> List(New<TFuzzyStreamTokenList>());
  List->Add(Token);
  TFuzzySet* Hedged = P.EvalFuzzyExpression(Class.V(), [&] {
    IPtr<IFuzzyStreamToken> Very(New<TFuzzyStreamToken>());
    Very->SetDataType(fstAtom);
    Very->SetText("very");
    List->Insert(0, Very);
    return List;
  }());
  // The host's set is copied into the variable before the hedge.
  EXPECT_EQ(Hedged->Collection(), &Class.V()->Items());
  EXPECT_TRUE(SamePointsAs(PointsOf(Free->Values()), {{0, 0}, {1, 1}, {2, 0}}));
}

TEST(Expressions, MakeTermsThatReadBackInBothModels) {
  const std::string Text =
      "(deffuzzy t (range 0 40) (values (term mild (tri 10 20 30)) (term hot (s 20 40))"
      " (term stuffy very hot or [somewhat mild and-product hot]) (term b hot) (term n 50) (term e \"\")))";
  TClassModel Class;
  Class.Read(Text);
  TInterfaceModel Interface;
  Interface.Read(Text);
  const std::string Printed = Class.Parser->PrettyPrint(Class.Logic->Items().Items(0));
  EXPECT_EQ(Interface.Parser->PrettyPrint(Interface.Logic->Items().Get("t")), Printed);
  EXPECT_NE(Printed.find("(term b (s 20.0000 40.0000))"), std::string::npos);
  EXPECT_NE(Printed.find("(term n (tri 40.0000 40.0000 40.0000))"), std::string::npos);
  EXPECT_NE(Printed.find("(term e __Empty)"), std::string::npos);
  EXPECT_NE(Printed.find("(term stuffy ((20.0000 0.0000) "), std::string::npos);
  // The terms an expression made are defined and stored; the ones it read are themselves still.
  const IPtr<IFuzzyVariable> V = Interface.Logic->Items().Get("t");
  EXPECT_EQ(V->GetCount(), 6);
  EXPECT_TRUE(V->GetFuzzySetByName("stuffy")->Defined());
  EXPECT_EQ(Class.Logic->Items().Items(0)->Items().Items(1)->Name(), "hot");
  TClassModel Again;
  Again.Read(Printed);
  EXPECT_EQ(Again.Parser->PrettyPrint(Again.Logic->Items().Items(0)), Printed);
}

}  // namespace
}  // namespace fuzzy
