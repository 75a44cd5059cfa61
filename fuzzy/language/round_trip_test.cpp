// The printer's round trip on random models of both models: print, read, print again.

#include <gtest/gtest.h>

#include "fuzzy/language/aq_fuzzy_logic_parser.h"
#include "fuzzy/testing/random_models.h"

namespace fuzzy {
namespace {

template <typename TLogic>
void ExpectRoundTrips(std::uint32_t FirstSeed, int Cases) {
  int Skipped = 0;
  for (int I = 0; I < Cases; ++I) {
    bool Skip = false;
    const std::string Failure = testing::CheckRoundTrip<TLogic, TAQFuzzyLogicParser>(FirstSeed + I, Skip);
    ASSERT_EQ(Failure, "") << "seed " << FirstSeed + I;
    Skipped += Skip;
  }
  // The random texts read nearly always: the property is tested, not skipped.
  EXPECT_LT(Skipped, Cases / 10);
}

TEST(RoundTrip, PrintReadPrintGivesTheSameTextAndSetsInTheClassModel) { ExpectRoundTrips<TFuzzyLogic>(1, 1500); }

TEST(RoundTrip, PrintReadPrintGivesTheSameTextAndSetsInTheInterfaceModel) {
  ExpectRoundTrips<TIFuzzyLogic>(1, 1500);
}

}  // namespace
}  // namespace fuzzy
