// The tipping problem fired through both models: the same exact tips, and the centroid of the
// Mamdani min-max conclusion computed by hand for a few inputs.

#include <gtest/gtest.h>

#include "examples/tipping.h"

namespace fuzzy {
namespace {

TEST(Tipping, BothModelsGiveTheExactMinMaxCentroid) {
  examples::TTipper Classes;
  examples::TITipper Interfaces;
  // service 0, food 7.5: cheap at full strength (area 5 around 5) and generous cut at 0.5 (area 3.75
  // around 25).
  EXPECT_NEAR(Classes.Tip(0, 7.5), (5 * 5 + 3.75 * 25) / 8.75, 1e-12);
  EXPECT_NEAR(Classes.Tip(5, 5), 15, 1e-12);
  EXPECT_NEAR(Classes.Tip(10, 10), 25, 1e-12);
  for (double Service = 0; Service <= 10; Service += 1.25)
    for (double Food = 0; Food <= 10; Food += 1.25)
      EXPECT_NEAR(Interfaces.Tip(Service, Food), Classes.Tip(Service, Food), 1e-12) << Service << " " << Food;
}

TEST(Tipping, NothingAccumulatesAcrossCycles) {
  examples::TTipper Classes;
  const int Terms = Classes.TipVariable().Items().Count();
  for (int I = 0; I < 20; ++I) Classes.Tip(I % 11, (I * 3) % 11);
  EXPECT_EQ(Classes.TipVariable().Items().Count(), Terms);
}

}  // namespace
}  // namespace fuzzy
