#include "fuzzy/imodel/ifuzzy_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <thread>
#include <vector>

#include "fuzzy/imodel/ifuzzy_variable.h"
#include "fuzzy/testing/points.h"

namespace fuzzy {
namespace {

using testing::PointsOf;
using testing::TPoints;

TPoints PointsOf(const IPtr<IFuzzySet>& Set) {
  TPoints Result;
  for (int I = 0; I < Set->GetCount(); ++I) Result.emplace_back(Set->XValues(I), Set->YValues(I));
  return Result;
}

IPtr<IFuzzySet> Triangle(const IPtr<IFuzzyVariable>& Variable, const std::string& Name, double L, double M,
                         double R) {
  IPtr<IFuzzySet> Set = Variable ? Variable->Add(Name) : TIFuzzySet::Create(nullptr, Name);
  Set->CreateTriangleFunctionValues(L, M, R);
  return Set;
}

// Derived names: a stored term that an operator renames moves to its new key at once; a result that
// no table holds keeps its name as a recipe, and its variable hears of its points once.
TEST(TIFuzzySet, DerivedNamesKeepTheTableKeyedAndResultsReportOnce) {
  IPtr<IFuzzyVariable> Temperature = TIFuzzyVariable::Create("temperature");
  Temperature->SetMaximum(10);
  IPtr<IFuzzySet> Warm = Triangle(Temperature, "warm", 2, 5, 8);
  IPtr<IFuzzySet> Cold = Triangle(Temperature, "cold", 0, 0, 4);
  Warm->Hedge(bfhMultiply, 0.5, true);
  EXPECT_EQ(Temperature->ContainsFuzzySet("warm * 0.5000"), Warm);
  EXPECT_FALSE(Temperature->ContainsFuzzySet("warm"));

  int Changes = 0;
  Temperature->SetOnFuzzySetChange([&](const IPtr<IFuzzyVariable>&, const IPtr<IFuzzySet>&) { ++Changes; });
  IPtr<IFuzzySet> Either = Cold->Union(Warm)->Hedge(bfhCutGreater, 0.25, true);
  EXPECT_EQ(Changes, 2);  // the union's points, then the cut's
  EXPECT_EQ(Either->Name(), "[cold or [warm * 0.5000]] > 0.2500");
  EXPECT_EQ(Either->Expression(), "> ");
  EXPECT_EQ(Temperature->GetCount(), 2);
  // A set of no variable combines the same way.
  IPtr<IFuzzySet> Free = Triangle(nullptr, "far off", 6, 9, 10);
  EXPECT_EQ(Cold->Intersection(Free, foProduct)->Name(), "cold and-product [far off]");
}

TEST(TIFuzzySet, UnionMatchesTheClassModelAndStaysOutOfTheTable) {
  IPtr<IFuzzyVariable> Temperature = TIFuzzyVariable::Create("temperature");
  Temperature->SetMaximum(10);
  IPtr<IFuzzySet> Low = Triangle(Temperature, "low", 0, 2, 6);
  IPtr<IFuzzySet> High = Triangle(Temperature, "high", 4, 8, 10);

  IPtr<IFuzzySet> Either = Low->Union(High);
  EXPECT_EQ(Either->Name(), "low or high");
  EXPECT_EQ(Either->Expression(), "low or high");
  EXPECT_EQ(Either->Variable(), Temperature);
  EXPECT_FALSE(Temperature->ContainsFuzzySet("low or high"));
  EXPECT_EQ(Temperature->GetCount(), 2);

  TOwned<TFuzzySet> ClassLow = MakeOwned<TFuzzySet>(nullptr);
  TOwned<TFuzzySet> ClassHigh = MakeOwned<TFuzzySet>(nullptr);
  ClassLow->CreateTriangleFunctionValues(0, 2, 6);
  ClassHigh->CreateTriangleFunctionValues(4, 8, 10);
  TOwned<TFuzzySet> ClassEither = Adopt(ClassLow->Union(ClassHigh.get()));
  EXPECT_EQ(PointsOf(Either), PointsOf(ClassEither->Values()));

  TOwned<TFuzzySet> ClassBoth = Adopt(ClassLow->Intersection(ClassHigh.get(), foProduct));
  EXPECT_EQ(PointsOf(Low->Intersection(High, foProduct)), PointsOf(ClassBoth->Values()));
  EXPECT_EQ(Low->GetCorrelationStrength(High), ClassLow->GetCorrelationStrength(ClassHigh.get()));
  EXPECT_EQ(Low->Intersects(High), ClassLow->Intersects(ClassHigh.get()));

  try {
    Low->Intersection(High, foSum);
    FAIL() << "an intersection with foSum must raise";
  } catch (const EFzyException& E) {
    EXPECT_STREQ(E.what(), "Invalid fuzzy operation: \"foSum:");
  }
}

TEST(TIFuzzySet, OperatorHandsTheResultToTheCallback) {
  IPtr<IFuzzySet> A = Triangle(nullptr, "a", 0, 1, 2);
  IPtr<IFuzzySet> B = Triangle(nullptr, "b", 1, 2, 3);
  std::vector<double> Seen;
  IPtr<IFuzzySet> Result =
      A->Operator(B, "with", [&](const IPtr<IFuzzySet>& Target, double X1, double Y1, double, double Y2) {
        Seen.push_back(X1);
        Target->Add(X1, std::max(Y1, Y2) / 2);
        return false;
      });
  EXPECT_EQ(Result->Name(), "a with b");

  TOwned<TFuzzySet> ClassA = MakeOwned<TFuzzySet>(nullptr);
  TOwned<TFuzzySet> ClassB = MakeOwned<TFuzzySet>(nullptr);
  ClassA->CreateTriangleFunctionValues(0, 1, 2);
  ClassB->CreateTriangleFunctionValues(1, 2, 3);
  std::vector<double> ClassSeen;
  TOwned<TFuzzySet> ClassResult = Adopt(ClassA->Operator(
      ClassB.get(), "with", [&](TFuzzySetValues& Target, double X1, double Y1, double, double Y2) {
        ClassSeen.push_back(X1);
        Target.Add(X1, std::max(Y1, Y2) / 2);
        return false;
      }));
  EXPECT_EQ(Seen, ClassSeen);
  EXPECT_EQ(PointsOf(Result), PointsOf(ClassResult->Values()));
  EXPECT_EQ(PointsOf(Result), (TPoints{{0, 0}, {1, 0.5}, {1.5, 0.25}, {2, 0.5}, {3, 0}}));
  EXPECT_THROW(A->Union(nullptr), EFzyException);
}

TEST(TIFuzzySet, RangeWithAndWithoutVariable) {
  IPtr<IFuzzySet> Free = TIFuzzySet::Create(nullptr, "free");
  EXPECT_EQ(Free->GetXMaximum(), 2147483647.0);
  Free->Add(2, 0);
  Free->Add(5, 1);
  EXPECT_EQ(Free->GetXMaximum(), 5);
  EXPECT_EQ(Free->GetXMinimum(), 2);
  EXPECT_EQ(TIFuzzySet::Implementation(Free).GetXRange(0), 2147483647.0);

  IPtr<IFuzzyVariable> Variable = TIFuzzyVariable::Create("v");
  Variable->SetMaximum(4);
  Free->SetVariable(Variable);
  EXPECT_EQ(Free->GetXMaximum(), 4);
  EXPECT_EQ(Free->Add(7, 0.5), 2);  // appended last, clamped into the range, then sorted
  EXPECT_EQ(Free->XValues(1), 4);
  try {
    TIFuzzySet::Implementation(Free).GetXRange(2);
    FAIL();
  } catch (const EFzyException& E) {
    EXPECT_STREQ(E.what(), "Invalid index argument to GetXRange.  Index = 2");
  }
}

TEST(TIFuzzySet, AlphaCutNamesCarryTheCutAsPassed) {
  IPtr<IFuzzyVariable> Variable = TIFuzzyVariable::Create("t");
  IPtr<IFuzzySet> Warm = Triangle(Variable, "warm", 0, 0.5, 1);
  IPtr<IFuzzySet> Cut = Warm->AlphaCutoff(0.25, false);
  EXPECT_EQ(Cut->Name(), "warm (alpha=0.2500)");
  EXPECT_EQ(Cut->Variable(), Variable);
  EXPECT_EQ(Warm->AlphaCutoff(1.5, false)->Name(), "warm (alpha=1.5000)");
  EXPECT_FALSE(Warm->Cutoff(0.5, true)->Variable());
  EXPECT_EQ(Variable->GetCount(), 1);
}

TEST(TIFuzzySet, ComparisonsWithSomethingElse) {
  IPtr<IFuzzySet> Set = Triangle(nullptr, "s", 0, 1, 2);
  IPtr<IFuzzyVariable> NotASet = TIFuzzyVariable::Create("v");
  EXPECT_FALSE(Set->Equals(IPtr<IInterface>(NotASet)));
  EXPECT_EQ(Set->FuzzyEquals(IPtr<IInterface>(NotASet)), 0);
  EXPECT_TRUE(Set->Equals(IPtr<IInterface>(Triangle(nullptr, "t", 0, 1, 2))));
  EXPECT_FALSE(Set->Equals(IPtr<IInterface>(Triangle(nullptr, "t", 5, 6, 7))));
}

TEST(TIFuzzySet, NamesKeepTheVariableTableInStep) {
  IPtr<IFuzzyVariable> Variable = TIFuzzyVariable::Create("t");
  IPtr<IFuzzySet> Warm = Variable->Add("warm");
  Warm->SetName("hot");
  EXPECT_EQ(Variable->ContainsFuzzySet("hot"), Warm);
  EXPECT_FALSE(Variable->ContainsFuzzySet("warm"));

  EXPECT_THROW(Warm->SetName("very"), EFzyException);
  EXPECT_EQ(Warm->Name(), "hot");
  EXPECT_EQ(Variable->ContainsFuzzySet("hot"), Warm);

  Warm->SetComment("a comment");
  EXPECT_EQ(Warm->Comment(), "a comment");

  IPtr<IFuzzyVariable> Other = TIFuzzyVariable::Create("o");
  Warm->SetDefined(false);
  Warm->SetVariable(Other);
  EXPECT_FALSE(Warm->Defined());
  EXPECT_EQ(Other->GetCount(), 0);
  EXPECT_EQ(Variable->GetCount(), 0);
}

TEST(TIFuzzySet, PointListAdditions) {
  IPtr<IFuzzySet> A = TIFuzzySet::Create(nullptr, "a");
  A->Add(0, 0);
  A->Add(1, 1);
  IPtr<IFuzzySet> B = TIFuzzySet::Create(nullptr, "b");
  B->Add(0, 0.00005);
  EXPECT_EQ(B->Add(1, 1), 1);
  EXPECT_TRUE(TIFuzzySet::Implementation(A).Values().EqualsValues(B));
  B->Add(2, 0);
  EXPECT_FALSE(TIFuzzySet::Implementation(A).Values().EqualsValues(B));

  IPtr<IFuzzySet> Empty = TIFuzzySet::Create(nullptr, "e");
  A->Append(Empty);
  A->Append(B, 5, 3);  // pulled back to the last point of B
  EXPECT_EQ(PointsOf(A), (TPoints{{0, 0}, {1, 1}, {2, 0}}));
  A->AssignValues(A);
  EXPECT_EQ(A->GetCount(), 3);
  Empty->AssignValues(A);
  EXPECT_EQ(PointsOf(Empty), PointsOf(A));

  IPtr<IFuzzySet> Copy = QueryIntf<IFuzzySet>(A->Clone());
  EXPECT_EQ(Copy->Name(), "a");
  EXPECT_EQ(PointsOf(Copy), PointsOf(A));
}

TEST(GetUniqueID, NoRepeatsAcrossThreads) {
  const int First = GetUniqueID();
  EXPECT_EQ(GetUniqueID(), First + 1);
  std::vector<std::vector<int>> PerThread(4);
  std::vector<std::thread> Threads;
  for (auto& Ids : PerThread)
    Threads.emplace_back([&Ids] {
      for (int I = 0; I < 1000; ++I) Ids.push_back(GetUniqueID());
    });
  for (auto& Thread : Threads) Thread.join();
  std::set<int> All;
  for (const auto& Ids : PerThread) All.insert(Ids.begin(), Ids.end());
  EXPECT_EQ(All.size(), 4000u);
  EXPECT_EQ(*All.begin(), First + 2);
  EXPECT_EQ(*All.rbegin(), First + 4001);
}

}  // namespace
}  // namespace fuzzy
