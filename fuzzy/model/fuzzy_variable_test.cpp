#include "fuzzy/model/fuzzy_variable.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>

#include "fuzzy/runtime/strings.h"
#include "fuzzy/testing/points.h"

namespace fuzzy {
namespace {

using testing::AddPoints;
using testing::SamePoints;

// A variable with the named sets, each given the points (0, 0), (1, 1), (2, 0) shifted by its position.
TOwned<TFuzzyVariable> MakeVariable(std::initializer_list<std::string> Names) {
  auto Variable = MakeOwned<TFuzzyVariable>(nullptr);
  Variable->SetMaximum(10);
  double Shift = 0;
  for (const std::string& Name : Names) {
    AddPoints(Variable->Items().Add(Name)->Values(), {{Shift, 0}, {Shift + 1, 1}, {Shift + 2, 0}});
    Shift += 1;
  }
  return Variable;
}

// The variable a set's list reports when the set joins it is the one a lookup through the list's
// owner finds, and it follows the set from list to list.
TEST(FuzzyVariable, SetsAnswerWithTheVariableALookupFinds) {
  auto Narrow = MakeVariable({"low"});
  auto Wide = MakeVariable({});
  Wide->SetMaximum(100);
  auto LookedUp = [](const TFuzzySet* Set) {
    const TCollection* Items = Set->Collection();
    return Items ? dynamic_cast<const TFuzzyVariableContext*>(Items->Owner()) : nullptr;
  };
  TFuzzySet* Low = Narrow->Items().Items(0);
  EXPECT_EQ(Low->Variable(), LookedUp(Low));
  EXPECT_EQ(Low->Variable(), static_cast<const TFuzzyVariableContext*>(Narrow.get()));

  TFuzzySet* Copy = Low->Clone();
  EXPECT_EQ(Copy->Variable(), LookedUp(Copy));
  Copy->SetCollection(&Wide->Items());
  EXPECT_EQ(Copy->Variable(), static_cast<const TFuzzyVariableContext*>(Wide.get()));
  EXPECT_EQ(Copy->Variable(), LookedUp(Copy));
  EXPECT_EQ(Copy->XMaximum(), 100);
  Copy->SetCollection(nullptr);
  EXPECT_EQ(Copy->Variable(), nullptr);
  EXPECT_EQ(Copy->XMaximum(), 2147483647.0);
  Copy->SetCollection(&Narrow->Items());
  EXPECT_EQ(Copy->Variable(), LookedUp(Copy));
  EXPECT_EQ(Copy->XMaximum(), 10);
}

TEST(FuzzyVariable, RangeThresholdAndDisplayName) {
  auto Variable = MakeOwned<TFuzzyVariable>(nullptr);
  EXPECT_EQ(Variable->ToString(), "TFuzzyVariable");
  Variable->SetName("temp");
  EXPECT_EQ(Variable->ToString(), "temp");

  AddPoints(Variable->Items().Add("warm")->Values(), {{0, 0}, {1, 1}});
  Variable->SetMaximum(-5);
  EXPECT_EQ(Variable->Minimum(), -5);
  EXPECT_EQ(Variable->Maximum(), -5);
  Variable->SetMinimum(10);
  EXPECT_EQ(Variable->Minimum(), 10);
  EXPECT_EQ(Variable->Maximum(), 10);
  EXPECT_TRUE(SamePoints(Variable->Items().Items(0)->Values(), {{0, 0}, {1, 1}}));

  Variable->SetThreshold(1.7);
  EXPECT_EQ(Variable->Threshold(), 1.0);
  Variable->SetThreshold(-0.2);
  EXPECT_EQ(Variable->Threshold(), 0.0);
  const double NaN = std::numeric_limits<double>::quiet_NaN();
  EXPECT_THROW(Variable->SetMaximum(NaN), EFzyException);
  EXPECT_EQ(Variable->Maximum(), 10);
}

TEST(FuzzySets, AddNamesLookupAndItemIndex) {
  auto Variable = MakeVariable({"low", "", "__Empty"});
  TFuzzySets& Sets = Variable->Items();
  EXPECT_EQ(Variable->ItemIndex(), 2);
  EXPECT_TRUE(Sets.Items(0)->Defined());
  EXPECT_FALSE(Sets.Items(1)->Defined());
  EXPECT_FALSE(Sets.Items(2)->Defined());
  EXPECT_EQ(Sets.GetItemByName("low"), Sets.Items(0));
  try {
    Sets.GetItemByName("high");
    FAIL();
  } catch (const EFzyException& E) {
    EXPECT_STREQ(E.what(), "Unknown Fuzzy Set name: \"high\"");
  }
  EXPECT_THROW(Sets.SetItemByName("Low", Sets.Items(1)), EFzyException);

  // A reserved name is refused and leaves no half-made set behind.
  EXPECT_THROW(Sets.Add("very"), EFzyException);
  EXPECT_EQ(Sets.Count(), 3);
  EXPECT_EQ(Variable->ItemIndex(), 2);

  Sets.Insert(0)->SetName("first");
  EXPECT_EQ(Variable->ItemIndex(), 2);
  std::vector<std::string> Names;
  for (const TFuzzySet* Set : Sets) Names.push_back(Set->Name());
  EXPECT_EQ(Names, (std::vector<std::string>{"first", "low", "", "__Empty"}));

  Sets.Clear();
  EXPECT_EQ(Variable->ItemIndex(), -1);
}

TEST(FuzzyVariable, ItemIndexIsStoredUntestedAndPulledBackByTheNextUpdate) {
  auto Variable = MakeVariable({"a", "b", "c"});
  Variable->SetItemIndex(7);
  EXPECT_EQ(Variable->ItemIndex(), 7);
  try {
    Variable->SetItemIndex(1);
    FAIL();
  } catch (const EFzyException& E) {
    EXPECT_STREQ(E.what(), "List index out of bounds (1)");
  }
  EXPECT_EQ(Variable->ItemIndex(), 7);
  Variable->Items().Items(0)->SetName("z");
  EXPECT_EQ(Variable->ItemIndex(), 2);
  Variable->SetItemIndex(-4);
  EXPECT_EQ(Variable->ItemIndex(), -4);
}

TEST(FuzzyVariable, AssignCopiesFieldsAsTheyAreAndAssignToListsTheSets) {
  auto Source = MakeVariable({"low", "medium", "high"});
  Source->SetName("speed");
  Source->SetUnits("km/h");
  Source->SetComment("c");
  Source->SetThreshold(0.4);
  Source->SetItemIndex(1);
  auto Copy = MakeVariable({"other"});
  Copy->Assign(Source.get());
  EXPECT_EQ(Copy->Name(), "speed");
  EXPECT_EQ(Copy->Units(), "km/h");
  EXPECT_EQ(Copy->Comment(), "c");
  EXPECT_EQ(Copy->Threshold(), 0.4);
  EXPECT_EQ(Copy->Maximum(), 10);
  EXPECT_EQ(Copy->ItemIndex(), 1);
  ASSERT_EQ(Copy->Items().Count(), 3);
  EXPECT_TRUE(SamePoints(Copy->Items().Items(2)->Values(), {{2, 0}, {3, 1}, {4, 0}}));

  auto Lines = MakeOwned<TStringList>();
  Lines->Add("stale");
  Lines->Assign(Source.get());
  EXPECT_EQ(Lines->Text(), "low\nmedium\nhigh\n");
  for (int I = 0; I < 3; ++I) EXPECT_EQ(Lines->Objects(I), Source->Items().Items(I));
}

TEST(FuzzyVariable, CorrelationStrengthAndRules) {
  auto Variable = MakeVariable({"a", "b", "c"});
  const TFuzzySet* A = Variable->Items().Items(0);  // peak at 1
  const TFuzzySet* B = Variable->Items().Items(1);  // peak at 2, crosses A at 0.5
  const TFuzzySet* C = Variable->Items().Items(2);  // peak at 3, meets A at 0
  EXPECT_EQ(Variable->GetCorrelationStrength({}, {}), 1.0);
  const std::array<const TFuzzySet*, 2> Premises{A, A};
  const std::array<const TFuzzySet*, 2> Matchings{A, B};
  EXPECT_DOUBLE_EQ(Variable->GetCorrelationStrength(Premises, Matchings), 0.5);
  EXPECT_THROW(Variable->GetCorrelationStrength(Premises, TFuzzySetSpan(Matchings).first(1)), EListError);

  // A strength equal to the threshold fires; below it nothing is created.
  Variable->SetThreshold(0.31);
  EXPECT_EQ(Variable->AssertRule(0.3, C, nullptr), nullptr);
  EXPECT_EQ(Variable->AssertRule(A, C, C, nullptr), nullptr);
  EXPECT_EQ(Variable->Items().Count(), 3);
  Variable->SetThreshold(0.3);
  TFuzzySet* Fired = Variable->AssertRule(0.3, C, nullptr);
  ASSERT_NE(Fired, nullptr);
  EXPECT_EQ(Fired->Collection(), &Variable->Items());
  EXPECT_DOUBLE_EQ(Fired->Values().GetMaxValue(), 0.3);
  EXPECT_EQ(Variable->Items().Count(), 4);

  // With old evidence the result is the inference, and the correlated clone is gone again.
  TFuzzySet* Accumulated = Variable->AssertRule(Premises, Matchings, C, A);
  EXPECT_EQ(Variable->Items().Count(), 5);
  EXPECT_EQ(Variable->Items().Items(4), Accumulated);
  EXPECT_DOUBLE_EQ(Accumulated->DegreeOfMembership(1), 1.0);
  EXPECT_DOUBLE_EQ(Accumulated->DegreeOfMembership(3), 0.5);
  EXPECT_THROW(Variable->AssertRule(1.0, nullptr, nullptr), EFzyException);

  // A free-standing consequent gives a result that belongs to the caller.
  auto Free = MakeOwned<TFuzzySet>(nullptr);
  AddPoints(Free->Values(), {{0, 1}});
  auto Owned = Adopt(Variable->AssertRule(0.5, Free.get(), nullptr));
  EXPECT_EQ(Owned->Collection(), nullptr);
  EXPECT_EQ(Variable->Items().Count(), 5);
}

}  // namespace
}  // namespace fuzzy
