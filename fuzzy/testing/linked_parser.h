#pragma once
// A logic component of either model linked with a definition parser, for the language tests.

#include <gtest/gtest.h>

#include <string>

#include "fuzzy/imodel/ifuzzy_logic.h"
#include "fuzzy/language/aq_fuzzy_logic_parser.h"
#include "fuzzy/model/fuzzy_logic.h"
#include "fuzzy/testing/points.h"

namespace fuzzy::testing {

template <typename TLogic, typename TParser = TAQFuzzyLogicParser>
struct TLinked {
  TOwned<TLogic> Logic = MakeOwned<TLogic>(nullptr);
  TOwned<TParser> Parser = MakeOwned<TParser>(nullptr);

  explicit TLinked(bool AutoTerms = false) {
    Logic->SetAutoTerms(AutoTerms);
    Logic->SetParser(Parser.get());
    Parser->SetFuzzyLogic(Logic.get());
  }
  // Reads Text through the logic component's Strings.
  void Read(const std::string& Text) {
    TOwned<TStringList> Lines = MakeOwned<TStringList>();
    Lines->SetText(Text);
    Logic->SetStrings(Lines.get());
  }
  // The message of the parse error that reading Text raises, or "" when it raises none.
  std::string ErrorOf(const std::string& Text) {
    try {
      Parser->Parse(Text, nullptr);
    } catch (const EFzyParseException& E) {
      return E.Message();
    }
    return "";
  }
};

using TClassModel = TLinked<TFuzzyLogic>;
using TInterfaceModel = TLinked<TIFuzzyLogic>;

inline TPoints PointsOf(const IFuzzySet& Set) {
  TPoints Result;
  for (int I = 0; I < Set.GetCount(); ++I) Result.emplace_back(Set.XValues(I), Set.YValues(I));
  return Result;
}

// Passes when both point lists have the same length and agree within Tolerance.
inline ::testing::AssertionResult SamePointsAs(const TPoints& Actual, const TPoints& Expected,
                                               double Tolerance = 1e-9) {
  bool Same = Actual.size() == Expected.size();
  for (std::size_t I = 0; Same && I < Actual.size(); ++I)
    Same = std::fabs(Actual[I].first - Expected[I].first) <= Tolerance &&
           std::fabs(Actual[I].second - Expected[I].second) <= Tolerance;
  if (Same) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "points are " << Describe(Actual) << "; expected " << Describe(Expected);
}

}  // namespace fuzzy::testing
