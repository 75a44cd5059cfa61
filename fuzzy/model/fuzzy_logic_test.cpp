#include "fuzzy/model/fuzzy_logic.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fuzzy/testing/live_instances.h"
#include "fuzzy/testing/points.h"
#include "fuzzy/testing/stub_parser.h"

namespace fuzzy {
namespace {

using testing::AddPoints;
using testing::SamePoints;

// Records what it is asked; parsing adds one variable per line of the text.
class TTestParser : public testing::TStubParser {
 public:
  std::vector<std::string> Calls;

  using TStubParser::PrettyPrint;
  std::string PrettyPrint(const TFuzzySet* FuzzySet, bool) override {
    return "(set " + FuzzySet->Name() + ")";
  }
  std::string PrettyPrint(const TFuzzyVariable* FuzzyVariable) override {
    return "(var " + FuzzyVariable->Name() + ")";
  }
  explicit TTestParser(TComponent* AOwner) : TStubParser(AOwner) {}

 protected:
  void ParseFuzzyLogic(const std::string& AString, TEncoding*) override {
    Calls.push_back("parse " + AString);
    auto& Logic = static_cast<TFuzzyLogic&>(*FuzzyLogic());
    std::string Name;
    for (char C : AString) {
      if (C != '\n') {
        Name += C;
      } else if (Name == "bad") {
        throw EFzyParseException("bad line");
      } else {
        Logic.Items().Add(std::exchange(Name, {}));
      }
    }
  }
};

// Writes every event of Logic into Log, with the name of the variable or set at that moment.
void Record(TFuzzyLogic& Logic, std::vector<std::string>& Log) {
  const auto Set = [&Log](const char* What) {
    return [&Log, What](TObject*, TFuzzySet* S) { Log.push_back(std::string(What) + " " + S->Name()); };
  };
  const auto Var = [&Log](const char* What) {
    return [&Log, What](TObject*, TFuzzyVariable* V) { Log.push_back(std::string(What) + " " + V->Name()); };
  };
  Logic.SetOnFuzzySetAdded(Set("set+"));
  Logic.SetOnFuzzySetChange(Set("set~"));
  Logic.SetOnFuzzySetDeleted(Set("set-"));
  Logic.SetOnVariableAdded(Var("var+"));
  Logic.SetOnVariableChange(Var("var~"));
  Logic.SetOnVariableDeleted(Var("var-"));
  Logic.SetOnChange([&Log](TObject*) { Log.push_back("change"); });
}

std::vector<std::string> Names(const TFuzzySets& Sets) {
  std::vector<std::string> Result;
  for (const TFuzzySet* Set : Sets) Result.push_back(Set->Name());
  return Result;
}

using TLog = std::vector<std::string>;

TEST(FuzzyLogic, DefaultsSettingsAndThreshold) {
  auto Logic = MakeOwned<TFuzzyLogic>(nullptr);
  EXPECT_EQ(Logic->NumFunctionValues(), 7);
  EXPECT_EQ(Logic->Threshold(), 0.01);
  EXPECT_TRUE(Logic->AutoTerms());
  EXPECT_EQ(Logic->CorrelationMethod(), fcmMinimum);
  EXPECT_EQ(Logic->InferenceMethod(), fimMinMax);
  EXPECT_EQ(Logic->DefuzzificationMethod(), dmCenterOfGravity);
  EXPECT_EQ(Logic->Items().Count(), 0);
  EXPECT_EQ(Logic->Strings().Count(), 0);
  EXPECT_TRUE(Logic->Variables().IndexOfName("SPEED") < 0);
  Logic->Variables().Add("speed=fast");
  EXPECT_EQ(Logic->Variables().Values("SPEED"), "fast");

  Logic->SetNumFunctionValues(1);
  EXPECT_EQ(Logic->NumFunctionValues(), 2);
  Logic->SetNumFunctionValues(0);
  EXPECT_EQ(Logic->NumFunctionValues(), 2);

  TFuzzyVariable* A = Logic->Items().Add("a");
  TFuzzyVariable* B = Logic->Items().Add("b");
  EXPECT_EQ(Logic->Items().GetItemByName("b"), B);
  try {
    Logic->Items().GetItemByName("A");
    FAIL();
  } catch (const EFzyException& E) {
    EXPECT_STREQ(E.what(), "Unknown Fuzzy Variable name: \"A\"");
  }
  EXPECT_EQ(A->Threshold(), 0.01);
  TLog Log;
  Record(*Logic, Log);
  EXPECT_THROW(Logic->Strings(), EFzyException);  // no parser: fails once and clears NeedsUpdate
  B->SetThreshold(0.5);
  Logic->SetThreshold(5);
  EXPECT_EQ(Logic->Threshold(), 1.0);
  EXPECT_EQ(A->Threshold(), 1.0);
  EXPECT_EQ(B->Threshold(), 1.0);
  // An out-of-range value is passed on again even though 1.0 is stored already.
  B->SetThreshold(0.5);
  Logic->SetThreshold(7);
  EXPECT_EQ(B->Threshold(), 1.0);
  Logic->SetThreshold(-1);
  EXPECT_EQ(Logic->Threshold(), 0.0);
  EXPECT_EQ(A->Threshold(), 0.0);
  EXPECT_TRUE(Log.empty());
  EXPECT_FALSE(Logic->NeedsUpdate());
}

TEST(FuzzyLogic, EventOrderOfAddingAndFreeing) {
  auto Logic = MakeOwned<TFuzzyLogic>(nullptr);
  TLog Log;
  Record(*Logic, Log);
  TFuzzyVariable* Temp = Logic->Items().Add("temp");
  // Each automatic term: added, the set list changed, then its name and its points.
  EXPECT_EQ(Log, (TLog{"var+ ", "set+ ", "var~ ", "set~ low", "set~ low", "set+ ", "var~ ", "set~ medium",
                       "set~ medium", "set+ ", "var~ ", "set~ high", "set~ high", "change", "var~ temp"}));
  EXPECT_EQ(Names(Temp->Items()), (std::vector<std::string>{"low", "medium", "high"}));
  EXPECT_EQ(Temp->ItemIndex(), 2);

  Log.clear();
  Temp->Items().Items(0)->Free();
  Temp->SetUnits("C");
  Temp->SetUnits("C");
  EXPECT_EQ(Log, (TLog{"set- low", "var~ temp", "var~ temp"}));
  EXPECT_EQ(Temp->ItemIndex(), 1);

  Log.clear();
  Logic->SetAutoTerms(false);
  TFuzzyVariable* Bare = Logic->Items().Add();
  EXPECT_EQ(Bare->Items().Count(), 0);
  Bare->Free();
  // The sets go first, while the variable is still in the collection.
  Temp->Free();
  EXPECT_EQ(Log,
            (TLog{"var+ ", "change", "var- ", "change", "set- high", "set- medium", "var- temp", "change"}));

  Logic->Items().Add("x");
  Logic->SetAutoTerms(true);
  Logic->Items().Add("y");
  Log.clear();
  Logic.reset();
  EXPECT_TRUE(Log.empty());
}

TEST(FuzzyLogic, AutomaticTerms) {
  auto Logic = MakeOwned<TFuzzyLogic>(nullptr);
  TFuzzyVariable* Unit = Logic->Items().Add();
  EXPECT_TRUE(SamePoints(Unit->Items().Items(0)->Values(), {{0, 1}, {1, 0}}));
  EXPECT_TRUE(SamePoints(Unit->Items().Items(1)->Values(), {{0, 0}, {0.5, 1}, {1, 0}}));
  EXPECT_TRUE(SamePoints(Unit->Items().Items(2)->Values(), {{0, 0}, {1, 1}}));
  EXPECT_EQ(Unit->Items().Items(1)->SetType(), fstTriangle);
  EXPECT_EQ(Unit->Items().Items(2)->Expression(), "high");
  EXPECT_TRUE(Unit->Items().Items(2)->Defined());
  // A new range does not move them.
  Unit->SetMaximum(10);
  EXPECT_TRUE(SamePoints(Unit->Items().Items(2)->Values(), {{0, 0}, {1, 1}}));

  Logic->SetAutoTerms(false);
  TFuzzyVariable* Wide = Logic->Items().Add();
  Wide->SetMaximum(20);
  Wide->SetMinimum(10);
  Logic->AddAutoTerms(Wide);
  EXPECT_TRUE(SamePoints(Wide->Items().Items(0)->Values(), {{10, 1}, {20, 0}}));
  EXPECT_TRUE(SamePoints(Wide->Items().Items(1)->Values(), {{10, 0}, {10, 1}, {20, 0}}));

  // A variable that rejoins receives the terms it lacks, built on its range at that moment.
  Logic->SetAutoTerms(true);
  Wide->Items().Items(0)->Free();
  AddPoints(Wide->Items().Items(0)->Values(), {{15, 0.5}});  // "medium" stays as it is
  Wide->SetCollection(nullptr);
  Wide->SetMinimum(0);
  Wide->SetCollection(&Logic->Items());
  EXPECT_EQ(Names(Wide->Items()), (std::vector<std::string>{"medium", "high", "low"}));
  EXPECT_TRUE(SamePoints(Wide->Items().Items(0)->Values(), {{10, 0}, {10, 1}, {15, 0.5}, {20, 0}}));
  EXPECT_TRUE(SamePoints(Wide->Items().Items(2)->Values(), {{0, 1}, {20, 0}}));
  Wide->Free();
}

TEST(FuzzyLogic, SetsReadTheirVariableAndComponent) {
  auto Logic = MakeOwned<TFuzzyLogic>(nullptr);
  Logic->SetAutoTerms(false);
  TFuzzyVariable* Variable = Logic->Items().Add();
  Variable->SetMaximum(12);
  TFuzzySet* Set = Variable->Items().Add("shape");
  EXPECT_EQ(Set->XMaximum(), 12);
  // Inside a component a too high ItemIndex is pulled back at once.
  Variable->SetItemIndex(7);
  EXPECT_EQ(Variable->ItemIndex(), 0);
  EXPECT_FALSE(Variable->Items().Add()->Defined());

  Logic->SetNumFunctionValues(9);
  Set->SetSetType(fstPICurve);
  EXPECT_EQ(Set->Values().Count(), 9);

  Set->Values().Clear();
  AddPoints(Set->Values(), {{0, 0}, {2, 1}, {4, 1}, {10, 0}});
  const double Gravity = Set->CenterOfGravity();
  EXPECT_DOUBLE_EQ(Set->Defuzzify(), Gravity);
  Logic->SetDefuzzificationMethod(dmMeanOfMaxima);
  EXPECT_DOUBLE_EQ(Set->Defuzzify(), 3.0);

  // The correlation of a fired rule follows the component: product scales instead of cutting.
  Logic->SetCorrelationMethod(fcmProduct);
  TFuzzySet* Fired = Variable->AssertRule(0.5, Set, nullptr);
  EXPECT_TRUE(SamePoints(Fired->Values(), {{0, 0}, {2, 0.5}, {4, 0.5}, {10, 0}}));

  Logic->SetDesigning(true);
  EXPECT_TRUE(Variable->Items().Add()->Defined());
}

TEST(FuzzyLogic, ParsingAndRegeneratingTheText) {
  auto Logic = MakeOwned<TFuzzyLogic>(nullptr);
  Logic->SetAutoTerms(false);
  TFuzzyVariable* Old = Logic->Items().Add("old");
  auto Text = MakeOwned<TStringList>();
  Text->Add("a");
  Text->Add("b");

  // Without a parser nothing is parsed and the variables stay.
  try {
    Logic->SetStrings(Text.get());
    FAIL();
  } catch (const EFzyException& E) {
    EXPECT_STREQ(E.what(), "Parser not assigned.  Cannot parse");
  }
  EXPECT_EQ(Logic->Items().Count(), 1);
  // A needed regeneration fails once, then the old text stays.
  Old->SetName("renamed");
  EXPECT_THROW(Logic->Strings(), EFzyException);
  EXPECT_EQ(Logic->Strings().Text(), "a\nb\n");

  TOwned<TTestParser> Parser = MakeOwned<TTestParser>(nullptr);
  Logic->SetParser(Parser.get());
  Parser->SetFuzzyLogic(Logic.get());
  TLog Log;
  Record(*Logic, Log);
  Logic->SetStrings(Text.get());
  EXPECT_EQ(Parser->Calls, (TLog{"parse a\nb\n"}));
  EXPECT_EQ(Log, (TLog{"var- renamed", "change", "var+ ", "change", "var~ a", "var+ ", "change", "var~ b"}));
  EXPECT_FALSE(Logic->NeedsUpdate());
  EXPECT_EQ(Logic->Strings().Text(), "a\nb\n");

  // A change regenerates the text once; a threshold change does not.
  Logic->Items().Items(1)->SetName("c");
  EXPECT_TRUE(Logic->NeedsUpdate());
  EXPECT_EQ(Logic->Strings().Text(), "(var a)\n(var c)\n");
  Logic->SetThreshold(0.5);
  EXPECT_FALSE(Logic->NeedsUpdate());

  // A failing parse keeps what was read before the error, and the text as it was given.
  Text->Add("bad");
  Parser->SetOnParsed([&Log](TObject*) { Log.push_back("parsed"); });
  Log.clear();
  EXPECT_THROW(Logic->SetStrings(Text.get()), EFzyParseException);
  EXPECT_EQ(Logic->Items().Count(), 2);
  EXPECT_EQ(Logic->Strings().Text(), "a\nb\nbad\n");
  EXPECT_EQ(std::count(Log.begin(), Log.end(), "parsed"), 0);

  TFuzzySet* Term = Logic->Items().Items(0)->Items().Add("t");
  EXPECT_EQ(Term->ToString(), "(set t)");
  EXPECT_EQ(Logic->Items().Items(0)->ToString(), "(var a)");

  // Freeing the parser first leaves the component without one, and the other way round.
  Parser.reset();
  EXPECT_EQ(Logic->Parser(), nullptr);
  EXPECT_EQ(Term->ToString(), "(t )");
  Parser = MakeOwned<TTestParser>(nullptr);
  Logic->SetParser(Parser.get());
  Parser->SetFuzzyLogic(Logic.get());
  Logic.reset();
  EXPECT_EQ(Parser->FuzzyLogic(), nullptr);
  EXPECT_THROW(Parser->Parse("x\n", nullptr), EFzyParseException);
}

TEST(FuzzyLogic, LoadingRestoresWithoutParsing) {
  auto Logic = MakeOwned<TFuzzyLogic>(nullptr);
  auto Parser = MakeOwned<TTestParser>(nullptr);
  Logic->SetParser(Parser.get());
  Parser->SetFuzzyLogic(Logic.get());
  auto Stored = MakeOwned<TFuzzySets>(nullptr);
  for (const char* Name : {"a", "b", "c", "d", "e"}) Stored->Add(Name);

  // Stored order: the variable's ItemIndex comes back before its sets, inside the batch of Items.
  Logic->BeginLoading();
  Logic->Items().BeginUpdate();
  TFuzzyVariable* Variable = Logic->Items().Add();
  Variable->SetItemIndex(4);
  Variable->SetItems(Stored.get());
  Variable->SetName("v");
  Logic->Items().EndUpdate();
  auto Text = MakeOwned<TStringList>();
  Text->Add("stored");
  Logic->SetStrings(Text.get());
  Logic->Parse();
  Logic->Loaded();

  EXPECT_TRUE(Parser->Calls.empty());
  EXPECT_EQ(Variable->ItemIndex(), 4);
  EXPECT_EQ(Names(Variable->Items()), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
  EXPECT_TRUE(Logic->NeedsUpdate());
  EXPECT_EQ(Logic->Strings().Text(), "(var v)\n");
}

// Sets and variables that count their live instances, made by a component that overrides the
// factory of its variables collection.
testing::TLiveCounter LiveSets;
testing::TLiveCounter LiveVariables;

class TCountedSet : public TFuzzySet {
 public:
  explicit TCountedSet(TCollection* Collection) : TFuzzySet(Collection) {}
  TFuzzySetClass ClassType() const override { return &CreateFuzzySet<TCountedSet>; }

 private:
  testing::TLiveToken FToken{LiveSets};
};

class TCountedVariable : public TFuzzyVariable {
 public:
  TCountedVariable(TCollection* Collection, TFuzzySetClass SetClass) : TFuzzyVariable(Collection, SetClass) {}

 private:
  testing::TLiveToken FToken{LiveVariables};
};

class TCountedLogic : public TFuzzyLogic {
 public:
  explicit TCountedLogic(TComponent* AOwner) : TFuzzyLogic(AOwner) {}

 protected:
  TFuzzyVariables* CreateVariables() override {
    return New<TFuzzyVariables>(this, &CreateFuzzyVariable<TCountedVariable>, &CreateFuzzySet<TCountedSet>);
  }
};

TEST(FuzzyLogic, EverythingIsFreedInAnyOrder) {
  auto Owner = MakeOwned<TTestParser>(nullptr);
  auto* Logic = New<TCountedLogic>(Owner.get());
  auto Parser = MakeOwned<TTestParser>(nullptr);
  Logic->SetParser(Parser.get());
  Parser->SetFuzzyLogic(Logic);
  TFuzzyVariable* First = Logic->Items().Add("first");
  Logic->Items().Add("second");
  EXPECT_NE(dynamic_cast<TCountedSet*>(First->Items().Items(0)), nullptr);
  EXPECT_EQ(LiveSets.Live(), 6);
  EXPECT_EQ(LiveVariables.Live(), 2);

  // Rule firing with old evidence leaves only the result behind.
  First->AssertRule(0.5, First->Items().Items(0), First->Items().Items(2));
  EXPECT_EQ(LiveSets.Live(), 7);

  First->Items().Items(1)->Free();
  EXPECT_EQ(LiveSets.Live(), 6);
  First->Free();
  EXPECT_EQ(LiveSets.Live(), 3);
  EXPECT_EQ(LiveVariables.Live(), 1);
  Parser.reset();
  // The owner frees the component with its variables and sets.
  Owner.reset();
  EXPECT_EQ(LiveSets.Live(), 0);
  EXPECT_EQ(LiveVariables.Live(), 0);
}

}  // namespace
}  // namespace fuzzy
