#include "fuzzy/imodel/ifuzzy_variable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fuzzy/testing/counted_objects.h"

namespace fuzzy {
namespace {

using testing::LiveSets;
using testing::LiveVariables;
using testing::TCountedVariable;

class TIFuzzyVariableMemory : public ::testing::Test {
 protected:
  void SetUp() override {
    SetsBefore = LiveSets.Live();
    VariablesBefore = LiveVariables.Live();
  }
  int Sets() const { return LiveSets.Live() - SetsBefore; }
  int Variables() const { return LiveVariables.Live() - VariablesBefore; }
  int SetsBefore = 0;
  int VariablesBefore = 0;
};

TEST_F(TIFuzzyVariableMemory, DroppingTheHostReferenceFreesVariableAndSets) {
  IPtr<IFuzzyVariable> Variable = TCountedVariable::Make("v");
  Variable->Add("a");
  Variable->Add("b");
  Variable->Add("c");
  EXPECT_EQ(Sets(), 3);
  EXPECT_EQ(Variables(), 1);
  Variable.Reset();
  EXPECT_EQ(Sets(), 0);
  EXPECT_EQ(Variables(), 0);
}

TEST_F(TIFuzzyVariableMemory, ASetHeldOutsideKeepsTheEmptiedVariable) {
  IPtr<IFuzzyVariable> Variable = TCountedVariable::Make("v");
  Variable->Add("a");
  IPtr<IFuzzySet> Kept = Variable->Add("b");
  Variable->Add("c");
  std::vector<std::string> Events;
  Variable->SetOnVariableChange(
      [&](const IPtr<IFuzzyVariable>& V) { Events.push_back("change " + V->Name()); });
  Variable.Reset();
  EXPECT_EQ(Sets(), 1);
  EXPECT_EQ(Variables(), 1);
  EXPECT_EQ(Events, (std::vector<std::string>{"change v"}));
  EXPECT_EQ(Kept->Variable()->GetCount(), 0);
  Kept.Reset();
  EXPECT_EQ(Sets(), 0);
  EXPECT_EQ(Variables(), 0);
}

TEST_F(TIFuzzyVariableMemory, RenamesClearAssignAndClonesLeaveNothingBehind) {
  {
    IPtr<IFuzzyVariable> Variable = TCountedVariable::Make("v");
    IPtr<IFuzzySet> Warm = Variable->Add("warm");
    Warm->CreateTriangleFunctionValues(0, 0.5, 1);
    Warm->SetName("hot");
    Variable->Add("cold");
    IPtr<IFuzzyVariable> Copy = QueryIntf<IFuzzyVariable>(Variable->Clone());
    EXPECT_TRUE(Copy->Equals(IPtr<IInterface>(Variable)));
    IPtr<IFuzzyVariable> Other = TCountedVariable::Make("w");
    Other->Assign(IPtr<IInterface>(Variable));
    EXPECT_EQ(Other->GetCount(), 2);
    EXPECT_EQ(Other->GetFuzzySet(0)->Variable(), Other);
    Variable->Clear();
    EXPECT_EQ(Variable->GetCount(), 0);
    EXPECT_EQ(Warm->Variable(), Variable);
    IPtr<IFuzzySet> Union = Other->GetFuzzySet(0)->Union(Other->GetFuzzySet(1));
  }
  EXPECT_EQ(Sets(), 0);
  EXPECT_EQ(Variables(), 0);
}

TEST(TIFuzzyVariable, EventsOfStoresRemovalsAndChanges) {
  IPtr<IFuzzyVariable> Variable = TIFuzzyVariable::Create("v");
  std::vector<std::string> Events;
  Variable->SetOnFuzzySetAdded([&](const IPtr<IFuzzyVariable>& Sender, const IPtr<IFuzzySet>& Set) {
    Events.push_back("added " + Set->Name() + " to " + Sender->Name());
  });
  Variable->SetOnFuzzySetDeleted([&](const IPtr<IFuzzyVariable>&, const IPtr<IFuzzySet>& Set) {
    Events.push_back("deleted " + Set->Name());
  });
  Variable->SetOnFuzzySetChange([&](const IPtr<IFuzzyVariable>&, const IPtr<IFuzzySet>& Set) {
    Events.push_back("points " + Set->Name());
  });
  Variable->SetOnChange([&](TObject*) { Events.push_back("change"); });
  Variable->SetOnVariableChange([&](const IPtr<IFuzzyVariable>&) { Events.push_back("variable change"); });

  IPtr<IFuzzySet> Low = Variable->Add("low");
  Low->Add(0, 1);
  Variable->Remove(Low);
  Variable->SetUnits("m");
  Variable->SetComment("c");
  Variable->SetThreshold(0.4);
  Variable->SetName("w");
  Variable->SetName("w");
  Variable->Clear();
  EXPECT_EQ(Events, (std::vector<std::string>{"added low to v", "change", "variable change", "points low",
                                              "deleted low", "change", "variable change", "change",
                                              "variable change", "change", "variable change"}));
}

TEST(TIFuzzyVariable, IndexesAndTheEmptyNames) {
  IPtr<IFuzzyVariable> Variable = TIFuzzyVariable::Create("v");
  IPtr<IFuzzySet> A = Variable->Add("a");
  IPtr<IFuzzySet> B = Variable->Add("b");
  IPtr<IFuzzySet> C = Variable->Add("c");
  EXPECT_EQ(A->Index(), 0);
  EXPECT_EQ(C->Index(), 2);
  B->SetName("bee");
  EXPECT_EQ(B->Index(), 3);
  EXPECT_EQ(Variable->GetFuzzySet(2), B);  // the renamed set went to the end
  Variable->Clear();
  EXPECT_EQ(Variable->Add("d")->Index(), 0);

  IPtr<IFuzzySet> Unnamed = Variable->Add("");
  EXPECT_TRUE(Unnamed->Defined());
  EXPECT_EQ(Variable->ContainsFuzzySet(""), Unnamed);
  IPtr<IFuzzySet> Empty = Variable->Add(std::string(SEmptyFuzzy));
  EXPECT_FALSE(Empty->Defined());
  EXPECT_FALSE(Variable->ContainsFuzzySet(std::string(SEmptyFuzzy)));

  IPtr<IFuzzySet> Impostor = TIFuzzySet::Create(nullptr, "d");
  Variable->Remove(Impostor);
  EXPECT_NE(Variable->ContainsFuzzySet("d"), nullptr);
  EXPECT_THROW(Variable->GetFuzzySetByName("none"), EAQException);
}

TEST(TIFuzzyVariable, EqualityIsOneSided) {
  auto Make = [](const std::vector<std::string>& Names) {
    IPtr<IFuzzyVariable> Variable = TIFuzzyVariable::Create("v");
    for (const auto& Name : Names) Variable->Add(Name)->CreateTriangleFunctionValues(0, 0.5, 1);
    return Variable;
  };
  IPtr<IFuzzyVariable> Two = Make({"a", "b"});
  IPtr<IFuzzyVariable> Three = Make({"a", "b", "c"});
  EXPECT_TRUE(Two->Equals(IPtr<IInterface>(Three)));
  EXPECT_FALSE(Three->Equals(IPtr<IInterface>(Two)));
  Three->SetUnits("m");
  EXPECT_FALSE(Two->Equals(IPtr<IInterface>(Three)));
  EXPECT_FALSE(Two->Equals(IPtr<IInterface>(Two->GetFuzzySet(0))));
}

TEST(TIFuzzyVariable, AssignKeepsThresholdAndCommentAndReportsOnce) {
  // Declared first: the variables report the clearing of their sets when they go.
  std::vector<std::string> Events;
  IPtr<IFuzzyVariable> Source = TIFuzzyVariable::Create("source");
  Source->SetMaximum(10);
  Source->SetUnits("m");
  Source->SetThreshold(0.7);
  Source->SetComment("theirs");
  Source->Add("a")->CreateTriangleFunctionValues(0, 5, 10);
  IPtr<IFuzzyVariable> Target = TIFuzzyVariable::Create("target");
  Target->SetThreshold(0.2);
  Target->SetComment("mine");
  Target->SetOnChange([&](TObject*) { Events.push_back("change"); });
  Target->SetOnFuzzySetAdded(
      [&](const IPtr<IFuzzyVariable>&, const IPtr<IFuzzySet>& S) { Events.push_back("added " + S->Name()); });
  dynamic_cast<TIFuzzyVariable&>(*Target).Assign(&dynamic_cast<TIFuzzyVariable&>(*Source));
  EXPECT_EQ(Events, (std::vector<std::string>{"change", "added a", "change", "change"}));
  EXPECT_EQ(Target->Name(), "source");
  EXPECT_EQ(Target->Maximum(), 10);
  EXPECT_EQ(Target->Threshold(), 0.2);
  EXPECT_EQ(Target->Comment(), "mine");
  EXPECT_EQ(Target->GetFuzzySet(0)->GetXMaximum(), 10);
}

TEST(TIFuzzyVariable, RulesCorrelateByMinimum) {
  IPtr<IFuzzyVariable> Variable = TIFuzzyVariable::Create("v");
  Variable->SetThreshold(0.5);
  IPtr<IFuzzySet> Consequent = Variable->Add("c");
  Consequent->CreateTriangleFunctionValues(0, 0.5, 1);
  IPtr<IFuzzySet> Fired = Variable->AssertRule(0.5, Consequent, nullptr);
  ASSERT_TRUE(Fired);
  EXPECT_EQ(Fired->GetMaxValue(), 0.5);
  EXPECT_EQ(Consequent->GetMaxValue(), 1);
  EXPECT_FALSE(Variable->AssertRule(0.49, Consequent, nullptr));

  IPtr<IFuzzySet> Premise = Variable->Add("p");
  Premise->CreateTriangleFunctionValues(0, 0.2, 0.4);
  IPtr<IFuzzySet> Fact = Variable->Add("f");
  Fact->CreateTriangleFunctionValues(0.2, 0.4, 0.6);
  const IPtr<IFuzzySet> Premises[] = {Premise};
  const IPtr<IFuzzySet> Facts[] = {Fact};
  EXPECT_DOUBLE_EQ(Variable->GetCorrelationStrength(Premises, Facts), 0.5);
  IPtr<IFuzzySet> Accumulated = Variable->AssertRule(Premises, Facts, Consequent, Fired);
  EXPECT_EQ(Accumulated->Name(), "[c > 0.5000] or [c > 0.5000]");
  EXPECT_FALSE(Variable->ContainsFuzzySet(Accumulated->Name()));
  EXPECT_THROW(Variable->GetCorrelationStrength(Premises, {}), EListError);
}

}  // namespace
}  // namespace fuzzy
