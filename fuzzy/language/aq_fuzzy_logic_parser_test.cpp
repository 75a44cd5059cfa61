#include "fuzzy/language/aq_fuzzy_logic_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "fuzzy/testing/linked_parser.h"

namespace fuzzy {
namespace {

using testing::PointsOf;
using testing::SamePoints;
using testing::SamePointsAs;
using testing::TClassModel;
using testing::TInterfaceModel;
using TList = std::vector<std::string>;

constexpr const char* Temperature =
    "; two variables\n"
    "(deffuzzy temperature \"air\"\n"
    "  (range 0 40) (units C)\n"
    "  (values (term cold \"below ten\" ((0 1) (10 1) (20 0)))\n"
    "          (term mild (tri 10 20 30))\n"
    "          (term hot (s 20 40))))\n"
    "(deffuzzy humidity (range 0.5 1e2) (units \"per cent\"))";

TEST(DefinitionParser, ReadsDefinitionsIntoTheClassModel) {
  TClassModel Model;
  Model.Read(Temperature);
  TFuzzyVariables& Items = Model.Logic->Items();
  ASSERT_EQ(Items.Count(), 2);
  const TFuzzyVariable& T = *Items.Items(0);
  EXPECT_EQ(T.Name(), "temperature");
  EXPECT_EQ(T.Comment(), "air");
  EXPECT_EQ(T.Minimum(), 0);
  EXPECT_EQ(T.Maximum(), 40);
  EXPECT_EQ(T.Units(), "C");
  ASSERT_EQ(T.Items().Count(), 3);
  const TFuzzySet& Cold = *T.Items().Items(0);
  EXPECT_EQ(Cold.Name(), "cold");
  EXPECT_EQ(Cold.Comment(), "below ten");
  EXPECT_EQ(Cold.Expression(), "cold");
  EXPECT_TRUE(Cold.Defined());
  EXPECT_TRUE(SamePoints(Cold.Values(), {{0, 1}, {10, 1}, {20, 0}}));
  EXPECT_TRUE(SamePoints(T.Items().Items(1)->Values(), {{10, 0}, {20, 1}, {30, 0}}));
  EXPECT_EQ(T.Items().Items(2)->SetType(), fstGrowthCurve);
  EXPECT_EQ(T.Items().Items(2)->InflectionPoint(), 40);
  const TFuzzyVariable& H = *Items.Items(1);
  EXPECT_EQ(H.Minimum(), 0.5);
  EXPECT_EQ(H.Maximum(), 100);
  EXPECT_EQ(H.Units(), "per cent");
  EXPECT_EQ(H.Items().Count(), 0);
}

TEST(DefinitionParser, ReadsDefinitionsIntoTheInterfaceModel) {
  TInterfaceModel Model;
  Model.Read(Temperature);
  ASSERT_EQ(Model.Logic->Items().Count(), 2);
  const IPtr<IFuzzyVariable> T = Model.Logic->Items().Get("temperature");
  ASSERT_TRUE(T);
  EXPECT_EQ(T->Comment(), "air");
  EXPECT_EQ(T->Maximum(), 40);
  EXPECT_EQ(T->Units(), "C");
  EXPECT_TRUE(T->Parser());
  ASSERT_EQ(T->GetCount(), 3);
  const IPtr<IFuzzySet> Cold = T->GetFuzzySetByName("cold");
  EXPECT_EQ(Cold->Comment(), "below ten");
  EXPECT_TRUE(Cold->Defined());
  EXPECT_EQ(Cold->Expression(), "");
  EXPECT_TRUE(SamePointsAs(PointsOf(*Cold), {{0, 1}, {10, 1}, {20, 0}}));
  EXPECT_TRUE(SamePointsAs(PointsOf(*T->GetFuzzySetByName("mild")), {{10, 0}, {20, 1}, {30, 0}}));
  EXPECT_EQ(Model.Logic->Items().Get("humidity")->Units(), "per cent");
  // The same name twice: the second definition takes the name's place.
  Model.Read("(deffuzzy v (range 0 1)) (deffuzzy v (range 0 2))");
  ASSERT_EQ(Model.Logic->Items().Count(), 1);
  EXPECT_EQ(Model.Logic->Items().Get("v")->Maximum(), 2);
}

// The message of each malformed text, to the character: the routine, the line and the echo.
TEST(DefinitionParser, ReportsEveryViolationWithRoutineLineAndText) {
  const std::vector<std::pair<std::string, std::string>> Cases = {
      {"(DEFFUZZY t)", "Expected \"( deffuzzy\" in ParseFuzzyVariable at line 1: \"( DEFFUZZY \""},
      {"(deffuzzy 5)", "Missing name in ParseFuzzyVariable at line 1: \"( deffuzzy 5 \""},
      {"(deffuzzy a\n  (range 0 x\n", "Expected number in ParseFuzzyVariable at line 2: \"( deffuzzy a \n( range 0 x \""},
      {"(deffuzzy a (rangee 0 1))",
       "Missing keyword.  Expected \"range, units, or values\" in ParseFuzzyVariable at line 1: "
       "\"( deffuzzy a ( rangee \""},
      {"(deffuzzy a (5 0 1))",
       "Missing keyword.  Expected \"range, units, or values\" in ParseFuzzyVariable at line 1: "
       "\"( deffuzzy a ( 5 \""},
      {"(deffuzzy a range)", "Expected \"(\" in ParseFuzzyVariable at line 1: \"( deffuzzy a range ) \""},
      {"(deffuzzy a (range 0 1 2))", "Expected \")\" in ParseFuzzyVariable at line 1: \"( deffuzzy a ( range 0 1 2 \""},
      {"(deffuzzy a (values (trm b)))",
       "Expected \"( term\" in ParseFuzzySet at line 1: \"( deffuzzy a ( values ( trm \""},
      {"(deffuzzy a (values (term \"b\" ((0 0)))))",
       "Missing name in ParseFuzzySet at line 1: \"( deffuzzy a ( values ( term b \""},
      {"(deffuzzy a (values (term b ((0 0) (1 x)))))",
       "Expected number in ParseFuzzyValuePairs at line 1: \"( deffuzzy a ( values ( term b ( ( 0 0 ) ( 1 x \""},
      {"(deffuzzy a (values (term b ((0 0) x))))",
       "Expected \")\" in ParseFuzzyValuePairs at line 1: \"( deffuzzy a ( values ( term b ( ( 0 0 ) x \""},
      {"(deffuzzy a (values (term b (5 1 2))))",
       "Missing name in ParseFuzzyFunction at line 1: \"( deffuzzy a ( values ( term b ( 5 \""},
      {"(deffuzzy a (values (term b (tri 0 1 2) x)))",
       "Expected \")\" in ParseFuzzySet at line 1: \"( deffuzzy a ( values ( term b ( tri 0 1 2 ) x \""},
      {"x", "Unexpected token: \"x\" in ParseFuzzyLogic at line 1: \"x \""},
      {"(deffuzzy a (values (term b (gauss 1 2))))",
       "Unknown function name: \"gauss\" in CalcFuzzyFunction at line 1: \"( deffuzzy a ( values ( term b ( gauss 1 2 \""},
      {"(deffuzzy a (values (term b very hot)))",
       "Invalid item in fuzzy expression: hot in EvalFuzzyExpression at line 1: "
       "\"( deffuzzy a ( values ( term b very hot \""},
      // A function's error names the line of the call, though the definition is read whole first.
      {"(deffuzzy a\n (values\n  (term b (tri 1 2))\n  (term c ((0 0)))))",
       "Number of arguments for function, tri, incorrect.  Expected \"\"Left Middle Right\"\" in CalcFuzzyFunction "
       "at line 3: \"( deffuzzy a \n( values \n( term b ( tri 1 2 \""},
  };
  for (const auto& [Text, Message] : Cases) {
    TClassModel Class;
    EXPECT_EQ(Class.ErrorOf(Text), "Parsing Error, " + Message) << Text;
    TInterfaceModel Interface;
    EXPECT_EQ(Interface.ErrorOf(Text), "Parsing Error, " + Message) << Text;
  }
  // One parser reading one text after another starts each at line 1 with an empty echo.
  TClassModel Class;
  TInterfaceModel Interface;
  for (const auto& [Text, Message] : Cases) {
    EXPECT_EQ(Class.ErrorOf(std::string(Temperature) + "\n;\n"), "");
    EXPECT_EQ(Class.ErrorOf(Text), "Parsing Error, " + Message) << Text;
    EXPECT_EQ(Interface.ErrorOf(std::string(Temperature) + "\n;\n"), "");
    EXPECT_EQ(Interface.ErrorOf(Text), "Parsing Error, " + Message) << Text;
  }
}

TEST(DefinitionParser, RefusesLogicComponentsOfTheWrongKind) {
  TClassModel Class;
  TInterfaceModel Interface;
  EXPECT_EQ(Class.ErrorOf("(deffuzzy 5)"), Interface.ErrorOf("(deffuzzy 5)"));
  try {
    Class.Parser->ParseFuzzyVariableIntf("(deffuzzy v)", nullptr);
    FAIL();
  } catch (const EFzyParseException& E) {
    EXPECT_EQ(E.Message(), SFuzzyLogicNotTIFuzzyLogic);
    EXPECT_EQ(E.LineNumber(), 0);
  }
  try {
    Interface.Parser->ParseFuzzyVariable("(deffuzzy v)", nullptr);
    FAIL();
  } catch (const EFzyParseException& E) {
    EXPECT_EQ(E.Message(), SFuzzyLogicNotTFuzzyLogic);
  }
  auto Alone = MakeOwned<TAQFuzzyLogicParser>(nullptr);
  EXPECT_THROW(Alone->ParseFuzzyVariable("(deffuzzy v)", nullptr), EFzyParseException);
  EXPECT_THROW(Alone->ParseFuzzySet(static_cast<TFuzzyVariable*>(nullptr), "(term a ((0 0)))", nullptr),
               EFzyParseException);
}

TEST(DefinitionParser, ReadsEveryDefinitionAndReportsEveryStrayOrUnclosedPart) {
  TClassModel Model;
  // The last definition is read also when no line break follows it.
  Model.Parser->Parse("(deffuzzy a)(deffuzzy b)", nullptr);
  EXPECT_EQ(Model.Logic->Items().Count(), 2);
  EXPECT_EQ(Model.ErrorOf("(deffuzzy a) (deffuzzy 5)"),
            "Parsing Error, Missing name in ParseFuzzyVariable at line 1: \"( deffuzzy 5 \"");
  // A stray token after the last definition, with its line; what came before stays.
  EXPECT_EQ(Model.ErrorOf("(deffuzzy a)\nstray"), "Parsing Error, Unexpected token: \"stray\" in ParseFuzzyLogic at line 2: \"\nstray \"");
  EXPECT_EQ(Model.ErrorOf("(deffuzzy a))"), "Parsing Error, Unexpected token: \")\" in ParseFuzzyLogic at line 1: \") \"");
  // Lists the text never closes.
  EXPECT_EQ(Model.ErrorOf("(deffuzzy a (range 0 1)\n"),
            "Parsing Error, Expected \")\" in ParseFuzzyVariable at line 2: \"( deffuzzy a ( range 0 1 ) \nEOF \"");
  EXPECT_EQ(Model.ErrorOf("(deffuzzy a (values (term b ((0 0)))"),
            "Parsing Error, Expected \")\" in ParseFuzzyVariable at line 1: \"( deffuzzy a ( values ( term b ( ( 0 0 ) ) ) EOF \"");
  EXPECT_EQ(Model.ErrorOf("(deffuzzy a (values (term b (tri 1 (2"),
            "Parsing Error, Expected \")\" in ParseTokenList at line 1: \"( deffuzzy a ( values ( term b ( tri 1 ( 2 EOF \"");
  // A pair closed by another token shifts nothing after it.
  EXPECT_EQ(Model.ErrorOf("(deffuzzy a (values (term b ((0 1 x)))))"),
            "Parsing Error, Expected \")\" in ParseFuzzyValuePairs at line 1: \"( deffuzzy a ( values ( term b ( ( 0 1 x \"");
  // A lone CR counts as a line break.
  EXPECT_EQ(Model.ErrorOf("(deffuzzy a\r(range 0 x))"),
            "Parsing Error, Expected number in ParseFuzzyVariable at line 2: \"( deffuzzy a \n( range 0 x \"");
  EXPECT_THROW(Model.Parser->Parse("(deffuzzy a \"open", nullptr), EFzyParseException);
}

TEST(DefinitionParser, RefusesListsNestedTooDeeply) {
  TClassModel Model;
  const auto Nested = [](int Depth) {
    return "(deffuzzy a (values (term b (f " + std::string(Depth, '(') + std::string(Depth, ')') + "))))";
  };
  // 63 lists inside the call's own: accepted by the reader (the function is unknown).
  EXPECT_NE(Model.ErrorOf(Nested(63)).find("Unknown function name"), std::string::npos);
  for (const int Depth : {64, 250, 100000}) {
    try {
      Model.Parser->Parse("\n" + Nested(Depth), nullptr);
      FAIL() << Depth;
    } catch (const EFzyParseException& E) {
      EXPECT_EQ(E.LineNumber(), 2);
      EXPECT_EQ(std::string(E.what()).rfind("Parsing Error, Lists nested deeper than 64 levels in ParseTokenList at line 2: ", 0), 0u);
    }
  }
}

TEST(DefinitionParser, AppliesTheRangeBeforeTheTermsItGoverns) {
  TClassModel Class;
  Class.Read("(deffuzzy v (values (term a ((0 0) (10 1))) (term b (tri 2 5 8))) (range 0 10))");
  const TFuzzyVariable& V = *Class.Logic->Items().Items(0);
  EXPECT_TRUE(SamePoints(V.Items().Items(0)->Values(), {{0, 0}, {10, 1}}));
  EXPECT_TRUE(SamePoints(V.Items().Items(1)->Values(), {{2, 0}, {5, 1}, {8, 0}}));
  TInterfaceModel Interface;
  Interface.Read("(deffuzzy v (values (term a ((0 0) (10 1)))) (range 0 10))");
  EXPECT_TRUE(SamePointsAs(PointsOf(*Interface.Logic->Items().Get("v")->GetFuzzySetByName("a")), {{0, 0}, {10, 1}}));
  // The setters still decide an inverted range, in the order minimum, maximum.
  Class.Read("(deffuzzy v (range 10 0))");
  EXPECT_EQ(Class.Logic->Items().Items(0)->Minimum(), 0);
  EXPECT_EQ(Class.Logic->Items().Items(0)->Maximum(), 0);
}

TEST(DefinitionParser, KeepsWhatAFailingDefinitionReadWholeOnlyInTheClassModel) {
  const std::string Text =
      "(deffuzzy first)\n"
      "(deffuzzy v (range 0 10) (units m) (values (term a ((0 0) (10 1))) (term b ((0 1) (5 x)))))";
  TClassModel Class;
  EXPECT_THROW(Class.Parser->Parse(Text, nullptr), EFzyParseException);
  ASSERT_EQ(Class.Logic->Items().Count(), 2);
  const TFuzzyVariable& V = *Class.Logic->Items().Items(1);
  EXPECT_EQ(V.Maximum(), 10);
  EXPECT_EQ(V.Units(), "m");
  ASSERT_EQ(V.Items().Count(), 1);
  EXPECT_EQ(V.Items().Items(0)->Name(), "a");

  TInterfaceModel Interface;
  std::vector<std::string> Terms;
  Interface.Parser->SetOnParseFuzzySetIntf(
      [&Terms](const IPtr<IFuzzyVariable>&, const IPtr<IFuzzySet>& Set) { Terms.push_back(Set->Name()); });
  EXPECT_THROW(Interface.Parser->Parse(Text, nullptr), EFzyParseException);
  EXPECT_EQ(Interface.Logic->Items().Count(), 1);
  EXPECT_TRUE(Interface.Logic->Items().Get("first"));
  EXPECT_EQ(Terms, (TList{"a"}));
}

TEST(DefinitionParser, FiresItsEventsInReadingOrder) {
  TClassModel Class;
  std::vector<std::string> Log;
  Class.Parser->SetOnParsing([&Log](TObject*) { Log.push_back("parsing"); });
  Class.Parser->SetOnParsed([&Log](TObject*) { Log.push_back("parsed"); });
  Class.Parser->SetOnParseFuzzySet([&Log](TObject*, TFuzzySet* Set) {
    // The variable's range is in place for each of its terms.
    Log.push_back("set " + Set->Name() + " " + FloatToStr(Set->XMaximum()));
  });
  Class.Parser->SetOnParseFuzzyVariable([&Log](TObject*, TFuzzyVariable* V) { Log.push_back("variable " + V->Name()); });
  Class.Read(Temperature);
  EXPECT_EQ(Log, (TList{"parsing", "set cold 40", "set mild 40", "set hot 40", "variable temperature",
                        "variable humidity", "parsed"}));
  Log.clear();
  EXPECT_THROW(Class.Parser->Parse("(deffuzzy a) x", nullptr), EFzyParseException);
  EXPECT_EQ(Log, (TList{"parsing", "variable a"}));
  Log.clear();
  Class.Parser->SetFuzzyLogic(nullptr);
  EXPECT_THROW(Class.Parser->Parse("", nullptr), EFzyParseException);
  EXPECT_TRUE(Log.empty());

  TInterfaceModel Interface;
  Interface.Parser->SetOnParseFuzzySetIntf([&](const IPtr<IFuzzyVariable>& V, const IPtr<IFuzzySet>& Set) {
    Log.push_back(V->Name() + "." + Set->Name());
  });
  Interface.Parser->SetOnParseFuzzyVariableIntf([&](const IPtr<IFuzzyVariable>& V) {
    // The variable is stored when its event fires.
    Log.push_back("variable " + V->Name() + (Interface.Logic->Items().Get(V->Name()) == V ? " stored" : ""));
  });
  Interface.Read(Temperature);
  EXPECT_EQ(Log, (TList{"temperature.cold", "temperature.mild", "temperature.hot", "variable temperature stored",
                        "variable humidity stored"}));
}

TEST(DefinitionParser, GivesParsedVariablesTheAutomaticTermsOnTheirRange) {
  TClassModel Class(true);
  std::vector<std::string> Log;
  Class.Logic->SetOnVariableAdded([&Log](TObject*, TFuzzyVariable* V) { Log.push_back("added " + V->Name()); });
  Class.Read("(deffuzzy v (range 10 20) (values (term medium ((10 0) (20 1)))))");
  const TFuzzyVariable& V = *Class.Logic->Items().Items(0);
  ASSERT_EQ(V.Items().Count(), 3);
  EXPECT_EQ(V.Items().Items(0)->Name(), "medium");
  EXPECT_TRUE(SamePoints(V.Items().Items(0)->Values(), {{10, 0}, {20, 1}}));
  EXPECT_EQ(V.Items().Items(1)->Name(), "low");
  EXPECT_TRUE(SamePoints(V.Items().Items(1)->Values(), {{10, 1}, {20, 0}}));
  EXPECT_EQ(V.Items().Items(2)->Name(), "high");
  // The variable joins twice: once new and unnamed, once built.
  EXPECT_EQ(Log, (TList{"added ", "added v"}));

  TInterfaceModel Interface(true);
  Interface.Read("(deffuzzy v (range 10 20))");
  const IPtr<IFuzzyVariable> I = Interface.Logic->Items().Get("v");
  ASSERT_EQ(I->GetCount(), 3);
  EXPECT_TRUE(SamePointsAs(PointsOf(*I->GetFuzzySetByName("high")), {{10, 0}, {20, 1}}));
}

TEST(DefinitionParser, ReadsSingleDefinitionsOnRequest) {
  TClassModel Class;
  TFuzzyVariable* V = Class.Parser->ParseFuzzyVariable("(deffuzzy v (range 0 5)) (deffuzzy w)", nullptr);
  ASSERT_EQ(Class.Logic->Items().Count(), 1);
  EXPECT_EQ(V, Class.Logic->Items().Items(0));
  TFuzzySet* Set = Class.Parser->ParseFuzzySet(V, "(term t \"c\" (tri 1 2 3))", nullptr);
  EXPECT_EQ(Set->Name(), "t");
  EXPECT_EQ(Set->Comment(), "c");
  EXPECT_FALSE(Set->Defined());
  EXPECT_EQ(V->Items().Count(), 1);

  TInterfaceModel Interface;
  const IPtr<IFuzzyVariable> I = Interface.Parser->ParseFuzzyVariableIntf("(deffuzzy v (range 0 5))", nullptr);
  EXPECT_EQ(Interface.Logic->Items().Get("v"), I);
  const IPtr<IFuzzySet> S = Interface.Parser->ParseFuzzySet(I, "(term t ((1 1)))", nullptr);
  EXPECT_EQ(I->ContainsFuzzySet("t"), S);
  EXPECT_EQ(I->GetCount(), 1);
  // A term read without a logic component gets 7 function points.
  auto Alone = MakeOwned<TAQFuzzyLogicParser>(nullptr);
  EXPECT_EQ(Alone->ParseFuzzySet(I, "(term s (s 0 5))", nullptr)->GetCount(), 7);
}

TEST(DefinitionParser, LeavesAnOuterReadingIntactWhenAHandlerReadsAnotherText) {
  TClassModel Model;
  TOwned<TFuzzyVariable> Other = MakeOwned<TFuzzyVariable>(nullptr);
  Model.Parser->SetOnParseFuzzySet([&](TObject*, TFuzzySet* Set) {
    if (Set->Name() != "a") return;
    Model.Parser->ParseFuzzySet(Other.get(), "(term inner\n\n ((0 1)))", nullptr);
    EXPECT_THROW(Model.Parser->ParseFuzzySet(Other.get(), "(term bad ((0 x)))", nullptr), EFzyParseException);
  });
  Model.Read("(deffuzzy v (values (term a ((0 0))) (term b ((1 1)))))\n(deffuzzy w (values (term c (tri 1 2 3))))");
  // The inner readings happened, the outer went on, and its later error names its own text.
  EXPECT_EQ(Other->Items().Items(0)->Name(), "inner");
  ASSERT_EQ(Model.Logic->Items().Count(), 2);
  EXPECT_EQ(Model.Logic->Items().Items(0)->Items().Items(1)->Name(), "b");
  EXPECT_EQ(Model.ErrorOf("(deffuzzy v (values (term a ((0 0))) (term b (tri 1 2))))"),
            "Parsing Error, Number of arguments for function, tri, incorrect.  Expected \"\"Left Middle Right\"\" in "
            "CalcFuzzyFunction at line 1: \"( deffuzzy v ( values ( term a ( ( 0 0 ) ) ) ( term b ( tri 1 2 \"");
}

// A stand-in evaluator: an expression that is one name gives that term.
template <typename TBase>
class TNamingParser : public TBase {
 public:
  using TBase::EvalFuzzyExpression;
  TFuzzySet* EvalFuzzyExpression(TFuzzyVariable* Variable, const IPtr<IFuzzyStreamTokenList>& Tokens) override {
    return Variable->Items().GetItemByName(Tokens->First()->Text());
  }
  IPtr<IFuzzySet> EvalFuzzyExpression(const IPtr<IFuzzyVariable>& Variable,
                                      const IPtr<IFuzzyStreamTokenList>& Tokens) override {
    return Variable->GetFuzzySetByName(Tokens->First()->Text());
  }

 protected:
  using TBase::TBase;
  template <typename T, typename... Args>
  friend T* fuzzy::New(Args&&...);
};

TEST(DefinitionParser, GivesATermThatNamesAnotherTermACopy) {
  const std::string Text = "(deffuzzy v (values (term a ((0 0) (1 1))) (term b a)))";
  testing::TLinked<TFuzzyLogic, TNamingParser<TAQFuzzyLogicParser>> Class;
  Class.Read(Text);
  const TFuzzySets& Sets = Class.Logic->Items().Items(0)->Items();
  ASSERT_EQ(Sets.Count(), 2);
  EXPECT_EQ(Sets.Items(0)->Name(), "a");
  EXPECT_EQ(Sets.Items(1)->Name(), "b");
  EXPECT_TRUE(SamePoints(Sets.Items(1)->Values(), {{0, 0}, {1, 1}}));

  testing::TLinked<TIFuzzyLogic, TNamingParser<TAQFuzzyLogicParser>> Interface;
  Interface.Read(Text);
  const IPtr<IFuzzyVariable> V = Interface.Logic->Items().Get("v");
  ASSERT_EQ(V->GetCount(), 2);
  EXPECT_TRUE(SamePointsAs(PointsOf(*V->GetFuzzySetByName("a")), {{0, 0}, {1, 1}}));
  EXPECT_NE(V->GetFuzzySetByName("a"), V->GetFuzzySetByName("b"));
  EXPECT_TRUE(SamePointsAs(PointsOf(*V->GetFuzzySetByName("b")), {{0, 0}, {1, 1}}));
}

TEST(DefinitionParser, ForgetsItsLogicComponentAndOutlivesNoReference) {
  auto Parser = MakeOwned<TAQFuzzyLogicParser>(nullptr);
  {
    auto Logic = MakeOwned<TFuzzyLogic>(nullptr);
    Parser->SetFuzzyLogic(Logic.get());
  }
  EXPECT_EQ(Parser->FuzzyLogic(), nullptr);
  // Freed before the logic component whose variables hold it: they fall back to their names.
  TInterfaceModel Model;
  Model.Read(Temperature);
  const IPtr<IFuzzyVariable> V = Model.Logic->Items().Get("temperature");
  EXPECT_NE(V->ToString(), "temperature");
  Model.Parser.reset();
  EXPECT_EQ(V->ToString(), "temperature");
  EXPECT_EQ(V->GetFuzzySetByName("cold")->ToString(), "cold");
  EXPECT_THROW(V->Parser()->ParseFuzzySet(V, "(term x ((0 0)))", nullptr), EFzyException);
  EXPECT_EQ(Model.Logic->Parser(), nullptr);
}

TEST(ParserFramework, QuotesLongTextsByTheirEnds) {
  auto Parser = MakeOwned<TAQFuzzyLogicParser>(nullptr);
  const auto MessageFor = [&](const std::string& Text) {
    try {
      Parser->ParseError("M", "msg", Text, 7);
    } catch (const EFzyParseException& E) {
      EXPECT_EQ(E.LineNumber(), 7);
      return E.Message();
    }
    return std::string();
  };
  const std::string Exact(255, 'x');
  EXPECT_EQ(MessageFor(Exact), "Parsing Error, msg in M at line 7: \"" + Exact + "\"");
  // 256 characters: the first and the last 128 with a mark between them.
  const std::string Long = std::string(127, 'a') + "bc" + std::string(127, 'd');
  EXPECT_EQ(MessageFor(Long), "Parsing Error, msg in M at line 7: \"" + std::string(127, 'a') + "b... \nc" +
                                  std::string(127, 'd') + "\"");
}

TEST(ParserFramework, VerifiesTheKindsOfTokens) {
  IPtr<IFuzzyStreamTokenList> List(New<TFuzzyStreamTokenList>());
  const TFuzzyStreamTokenTypes Numbers = {fstInteger, fstFloat};
  EXPECT_TRUE(TCustomFuzzyLogicParser::VerifyAll(List, Numbers));
  EXPECT_TRUE(TCustomFuzzyLogicParser::VerifyAll(nullptr, Numbers));
  for (const int Type : {int(fstInteger), int(fstFloat), int(fstString), int('(')}) {
    IPtr<IFuzzyStreamToken> Token(New<TFuzzyStreamToken>());
    Token->SetDataType(Type);
    List->Add(Token);
  }
  EXPECT_FALSE(TCustomFuzzyLogicParser::VerifyAll(List, Numbers));
  EXPECT_FALSE(TCustomFuzzyLogicParser::VerifyAll(List, {fstInteger, fstFloat, fstString}));
  List->Delete(3);
  EXPECT_TRUE(TCustomFuzzyLogicParser::VerifyAll(List, {fstInteger, fstFloat, fstString}));
}

}  // namespace
}  // namespace fuzzy
