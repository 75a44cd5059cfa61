#include "fuzzy/imodel/ifuzzy_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fuzzy/testing/counted_objects.h"
#include "fuzzy/testing/stub_parser.h"

namespace fuzzy {
namespace {

using testing::LiveVariables;
using testing::TCountedVariable;

// Reads each line of the text as the name of a variable.
class TLineParser : public testing::TStubParser {
 public:
  using TStubParser::PrettyPrint;
  std::string PrettyPrint(const TFuzzySet*, bool) override { return ""; }
  std::string PrettyPrint(const TFuzzyVariable*) override { return ""; }

 protected:
  explicit TLineParser(TComponent* AOwner) : TStubParser(AOwner) {}
  template <typename T, typename... Args>
  friend T* fuzzy::New(Args&&...);

  void ParseFuzzyLogic(const std::string& AString, TEncoding*) override {
    auto& Logic = static_cast<TIFuzzyLogic&>(*FuzzyLogic());
    std::size_t Start = 0;
    while (Start < AString.size()) {
      std::size_t End = AString.find('\n', Start);
      if (End == std::string::npos) End = AString.size();
      if (End > Start) Logic.Items().Add(TIFuzzyVariable::Create(AString.substr(Start, End - Start)));
      Start = End + 1;
    }
  }
};

struct TRecorder {
  std::vector<std::string> Events;
  void Attach(TIFuzzyLogic& Logic) {
    Logic.SetOnVariableAdded([this](const IPtr<IFuzzyVariable>& V) {
      Events.push_back("variable added " + V->Name() + " with " + std::to_string(V->GetCount()) + " sets");
    });
    Logic.SetOnVariableDeleted(
        [this](const IPtr<IFuzzyVariable>& V) { Events.push_back("variable deleted " + V->Name()); });
    Logic.SetOnFuzzySetAdded([this](const IPtr<IFuzzyVariable>& V, const IPtr<IFuzzySet>& S) {
      Events.push_back("set added " + S->Name() + " to " + V->Name());
    });
    Logic.SetOnFuzzySetDeleted([this](const IPtr<IFuzzyVariable>&, const IPtr<IFuzzySet>& S) {
      Events.push_back("set deleted " + S->Name());
    });
    Logic.SetOnFuzzySetChange([this](const IPtr<IFuzzyVariable>&, const IPtr<IFuzzySet>& S) {
      Events.push_back("set changed " + S->Name());
    });
  }
};

TEST(TIFuzzyLogic, StoringHooksTheVariableAfterItsAutomaticTerms) {
  TOwned<TIFuzzyLogic> Logic = MakeOwned<TIFuzzyLogic>(nullptr);
  TRecorder Recorder;
  Recorder.Attach(*Logic);
  IPtr<IFuzzyVariable> Speed = TIFuzzyVariable::Create("speed");
  Speed->SetMaximum(100);
  Logic->Items().Add(Speed);
  EXPECT_EQ(Speed->Threshold(), 0.01);
  EXPECT_EQ(Speed->GetFuzzySet(0)->Name(), "low");
  EXPECT_EQ(Speed->GetFuzzySetByName("medium")->XValues(1), 50);
  EXPECT_EQ(Speed->GetFuzzySetByName("high")->Expression(), "high");

  IPtr<IFuzzySet> Fast = Speed->Add("fast");
  EXPECT_FALSE(Logic->NeedsUpdate());
  Fast->Add(80, 1);
  EXPECT_TRUE(Logic->NeedsUpdate());
  Speed->Remove(Fast);
  Logic->SetThreshold(0.3);
  EXPECT_EQ(Speed->Threshold(), 0.3);

  Logic->Items().Remove("speed");
  Speed->Add("slow")->Add(0, 1);
  EXPECT_EQ(Recorder.Events,
            (std::vector<std::string>{"variable added speed with 3 sets", "set added fast to speed",
                                      "set changed fast", "set deleted fast", "variable deleted speed"}));
}

TEST(TIFuzzyLogic, ParseNeedsAParserAndRebuildsTheVariables) {
  TOwned<TIFuzzyLogic> Logic = MakeOwned<TIFuzzyLogic>(nullptr);
  Logic->Items().Add(TIFuzzyVariable::Create("kept"));
  try {
    Logic->Parse();
    FAIL();
  } catch (const EFzyException& E) {
    EXPECT_STREQ(E.what(), "Parser not assigned.  Cannot parse");
  }
  EXPECT_TRUE(Logic->Items().ContainsVariable("kept"));
  EXPECT_THROW(Logic->Loaded(), EFzyException);

  TOwned<TLineParser> Parser = MakeOwned<TLineParser>(nullptr);
  Parser->SetFuzzyLogic(Logic.get());
  Logic->SetParser(Parser.get());
  IPtr<IFuzzyVariable> Old = Logic->Items().Get("kept");
  TRecorder Recorder;
  Recorder.Attach(*Logic);
  TOwned<TStringList> Lines = MakeOwned<TStringList>();
  Lines->Add("a");
  Lines->Add("b");
  Logic->SetStrings(Lines.get());
  EXPECT_EQ(Logic->Items().Count(), 2);
  EXPECT_FALSE(Logic->Items().ContainsVariable("kept"));
  Old->Add("unheard");  // cleared out of the table: unhooked
  Logic->Items().Get("b")->SetName("c");
  Logic->Items().Get("a")->GetFuzzySet(0)->Add(0.5, 0.5);
  EXPECT_TRUE(Logic->NeedsUpdate());
  EXPECT_EQ(Logic->Strings().Text(), "a\nc\n");
  EXPECT_EQ(Recorder.Events, (std::vector<std::string>{"variable added a with 3 sets",
                                                       "variable added b with 3 sets", "set changed low"}));
}

TEST(TIFuzzyLogic, NoCallbackReachesAComponentThatIsGone) {
  const int Before = LiveVariables.Live();
  IPtr<IFuzzyVariable> Outliving = TCountedVariable::Make("outliving");
  IPtr<IFuzzyVariable> Replaced = TCountedVariable::Make("twin");
  {
    TOwned<TIFuzzyLogic> Logic = MakeOwned<TIFuzzyLogic>(nullptr);
    TRecorder Recorder;
    Recorder.Attach(*Logic);
    Logic->SetAutoTerms(false);
    Logic->Items().Add(Outliving);
    Logic->Items().Add(Replaced);
    Logic->Items().Add(TCountedVariable::Make("twin"));
    Replaced->Add("after replacement");
    EXPECT_EQ(Recorder.Events, (std::vector<std::string>{"variable added outliving with 0 sets",
                                                         "variable added twin with 0 sets",
                                                         "variable added twin with 0 sets"}));

    TOwned<TFuzzyVariableStrings> Entries = MakeOwned<TFuzzyVariableStrings>(Logic.get());
    IPtr<IFuzzyVariable> A = TCountedVariable::Make("A");
    IPtr<IFuzzyVariable> B = TCountedVariable::Make("B");
    Entries->Add("entry", IPtr<IInterface>(A));
    Recorder.Events.clear();
    Entries->PutData(0, IPtr<IInterface>(B));
    EXPECT_EQ(Recorder.Events,
              (std::vector<std::string>{"variable deleted A", "variable added B with 0 sets"}));
    Logic.reset();
    B->Add("after the component");  // the list forgot the component and unhooked B
  }
  Outliving->Add("after the component")->Add(0, 1);
  EXPECT_FALSE(Outliving->OnFuzzySetAdded());
  Outliving.Reset();
  Replaced.Reset();
  EXPECT_EQ(LiveVariables.Live(), Before);
}

}  // namespace
}  // namespace fuzzy
