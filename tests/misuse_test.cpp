// What a host can get wrong, from the README alone: deleting a library object, adopting an object
// that something else owns, firing a rule that does not fire, and writing values the model refuses.
// Each either does not compile, fails loudly, or leaves the object as it was.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <type_traits>

#include "fuzzy/companion/aq_string_stream.h"
#include "fuzzy/companion/glists.h"
#include "fuzzy/companion/interface_collections.h"
#include "fuzzy/companion/stream_tokens.h"
#include "fuzzy/companion/text_stream.h"
#include "fuzzy/fuzzy.h"
#include "fuzzy/rules/fuzzy_system.h"
#include "fuzzy/runtime/interface_list.h"

namespace fuzzy {
namespace {

// `delete Set;` must not compile: no library class has a public destructor.
template <typename... T>
constexpr bool NoneDestructible = (!std::is_destructible_v<T> && ...);
static_assert(NoneDestructible<TObject, TPersistent, TCollectionItem, TCollection, TOwnedCollection, TComponent,
                               TStrings, TStringList, TStream, TMemoryStream, TStringStream, TEncoding,
                               TInterfacedObject, TInterfaceList>);
static_assert(NoneDestructible<TGCollectionItem, TGCollection, TGStack, TIStack, TIStringHashTable, TIStringList,
                               TBaseStreamToken, TBaseStreamTokenList, TAQStringStream, TGTextStream>);
static_assert(NoneDestructible<TFuzzySetValuesOwner, TFuzzySetValue, TFuzzySetValues, TFuzzySet>);
static_assert(NoneDestructible<TFuzzySets, TFuzzyVariable, TFuzzyVariables, TCustomFuzzyLogic, TFuzzyLogic,
                               TCustomFuzzyLogicParser>);
static_assert(NoneDestructible<TIFSValues, TIFuzzySet, TIFuzzySets, TIFuzzyVariable, TFuzzyVariableTable,
                               TFuzzyVariableStrings, TIFuzzyLogic, TFuzzyStreamToken, TFuzzyStreamTokenList>);
static_assert(NoneDestructible<TFuzzyLogicTokenStream, TAQFuzzyLogicParser>);
static_assert(NoneDestructible<TFuzzyRule, TFuzzyRuleBlock, TFuzzySystem>);

template <typename TCall>
std::string RefusalOf(TCall&& Call) {
  try {
    Call();
  } catch (const EInvalidOperation& Error) {
    return Error.what();
  }
  return "not refused";
}

TEST(Misuse, AdoptRefusesWhatSomethingElseOwnsAndTakesWhatIsTheCallers) {
  TOwned<TFuzzyLogic> Logic = MakeOwned<TFuzzyLogic>(nullptr);
  Logic->SetAutoTerms(false);
  TFuzzyVariable* Tip = Logic->Items().Add("tip");
  TFuzzySet* Cheap = Tip->Items().Add("cheap");
  Cheap->CreateTriangleFunctionValues(0, 0.5, 1);
  EXPECT_EQ(RefusalOf([&] { Adopt(Cheap); }), "Cannot adopt a TFuzzySet: it belongs to a TFuzzySets");
  EXPECT_EQ(RefusalOf([&] { Adopt(Tip); }), "Cannot adopt a TFuzzyVariable: it belongs to a TFuzzyVariables");
  // The README's old mistake: a rule's conclusion joins the variable, which frees it.
  const int Sets = Tip->Items().Count();
  EXPECT_EQ(RefusalOf([&] { Adopt(Tip->AssertRule(0.5, Cheap, nullptr)); }),
            "Cannot adopt a TFuzzySet: it belongs to a TFuzzySets");
  EXPECT_EQ(Tip->Items().Count(), Sets + 1);  // the refused conclusion is still the variable's

  TOwned<TFuzzyLogic> Owner = MakeOwned<TFuzzyLogic>(nullptr);
  TFuzzyLogic* Owned = New<TFuzzyLogic>(Owner.get());
  EXPECT_EQ(RefusalOf([&] { Adopt(Owned); }), "Cannot adopt a TFuzzyLogic: it belongs to a TFuzzyLogic");

  const IPtr<IFuzzySet> Counted = TIFuzzySet::Create(nullptr, "warm");
  EXPECT_EQ(RefusalOf([&] { Adopt(&TIFuzzySet::Implementation(Counted)); }),
            "Cannot adopt a TIFuzzySet: it belongs to its counted references");

  // A free-standing set's results are the caller's; null is an empty TOwned and freeing it is nothing.
  TOwned<TFuzzySet> Free = MakeOwned<TFuzzySet>(nullptr);
  Free->CreateTriangleFunctionValues(0, 1, 2);
  EXPECT_NE(Adopt(Free->Union(Free.get())), nullptr);
  EXPECT_EQ(Adopt(static_cast<TFuzzySet*>(nullptr)), nullptr);
  FreeObject(nullptr);
}

TEST(Misuse, ARuleBelowTheThresholdMakesNothingInEitherModel) {
  TOwned<TFuzzyLogic> Logic = MakeOwned<TFuzzyLogic>(nullptr);
  TFuzzyVariable* Tip = Logic->Items().Add("tip");  // with the automatic terms and threshold 0.01
  const int Sets = Tip->Items().Count();
  EXPECT_EQ(Tip->AssertRule(0.005, Tip->Items().Items(0), nullptr), nullptr);
  EXPECT_EQ(Tip->Items().Count(), Sets);
  FreeObject(Tip->AssertRule(0.005, Tip->Items().Items(0), nullptr));  // the README's pattern is safe

  const IPtr<IFuzzyVariable> Interfaced = TIFuzzyVariable::Create("tip");
  Interfaced->SetThreshold(0.01);
  const IPtr<IFuzzySet> Low = Interfaced->Add("low");
  EXPECT_EQ(Interfaced->AssertRule(0.005, Low, nullptr), nullptr);
}

// A refused range, threshold or strength raises before anything changes or is reported.
TEST(Misuse, RefusedNumbersLeaveBothVariablesAsTheyWere) {
  constexpr TFzyFloat Infinity = std::numeric_limits<TFzyFloat>::infinity();
  constexpr TFzyFloat NaN = std::numeric_limits<TFzyFloat>::quiet_NaN();
  TOwned<TFuzzyLogic> Logic = MakeOwned<TFuzzyLogic>(nullptr);
  TFuzzyVariable* Tip = Logic->Items().Add("tip");
  Tip->SetMaximum(30);
  int Changes = 0;
  Logic->SetOnVariableChange([&](TObject*, TFuzzyVariable*) { ++Changes; });
  const IPtr<IFuzzyVariable> Interfaced = TIFuzzyVariable::Create("tip");
  Interfaced->SetMaximum(30);
  Interfaced->SetOnChange([&](TObject*) { ++Changes; });

  auto MessageOf = [](auto&& Call) -> std::string {
    try {
      Call();
    } catch (const EFzyException& Error) {
      return Error.what();
    }
    return "accepted";
  };
  EXPECT_EQ(MessageOf([&] { Tip->SetMaximum(Infinity); }), "Invalid Maximum value: INF");
  EXPECT_EQ(MessageOf([&] { Tip->SetMinimum(-Infinity); }), "Invalid Minimum value: -INF");
  EXPECT_EQ(MessageOf([&] { Tip->SetMinimum(NaN); }), "Invalid Minimum value: NAN");
  EXPECT_EQ(MessageOf([&] { Tip->SetThreshold(NaN); }), "Invalid Threshold value: NAN");
  EXPECT_EQ(MessageOf([&] { Interfaced->SetMaximum(NaN); }), "Invalid Maximum value: NAN");
  EXPECT_EQ(MessageOf([&] { Interfaced->SetMinimum(Infinity); }), "Invalid Minimum value: INF");
  EXPECT_EQ(Tip->Minimum(), 0);
  EXPECT_EQ(Tip->Maximum(), 30);
  EXPECT_EQ(Tip->Threshold(), 0.01);
  EXPECT_EQ(Interfaced->Minimum(), 0);
  EXPECT_EQ(Interfaced->Maximum(), 30);
  EXPECT_EQ(Changes, 0);

  // An infinite strength would store infinite degrees under product correlation.
  const int Sets = Tip->Items().Count();
  EXPECT_EQ(MessageOf([&] { Tip->AssertRule(Infinity, Tip->Items().Items(0), nullptr); }),
            "Invalid CorrelationStrength value: INF");
  EXPECT_EQ(MessageOf([&] { Interfaced->AssertRule(NaN, Interfaced->Add("low"), nullptr); }),
            "Invalid CorrelationStrength value: NAN");
  EXPECT_EQ(Tip->Items().Count(), Sets);
}

}  // namespace
}  // namespace fuzzy
