#include "fuzzy/rules/flat_sets.h"

#include <gtest/gtest.h>

#include <vector>

namespace fuzzy::flat {
namespace {

struct TSet {
  std::vector<TFzyFloat> X, Y;
  TSet(std::initializer_list<std::pair<TFzyFloat, TFzyFloat>> Points) {
    for (const auto& [PX, PY] : Points) {
      X.push_back(PX);
      Y.push_back(PY);
    }
  }
  TPointsView View() const { return {X.data(), Y.data(), static_cast<int>(X.size())}; }
};

std::vector<std::pair<TFzyFloat, TFzyFloat>> Points(const TPointBuffer& Buffer) {
  std::vector<std::pair<TFzyFloat, TFzyFloat>> Result;
  for (int I = 0; I < Buffer.Count(); ++I) Result.emplace_back(Buffer.X(I), Buffer.Y(I));
  return Result;
}

TEST(FlatSets, MembershipAndCorrelationFollowTheSetOperations) {
  // At a step the degree is the highest of the points on that X, also those within 0.0001.
  const TSet Step{{0, 0}, {5, 0.2}, {5.00005, 0.9}, {10, 1}};
  EXPECT_EQ(DegreeOfMembership(Step.View(), 5), 0.9);
  EXPECT_EQ(DegreeOfMembership(Step.View(), -1), 0);
  EXPECT_EQ(DegreeOfMembership(Step.View(), 12), 1);
  EXPECT_DOUBLE_EQ(DegreeOfMembership(Step.View(), 2.5), 0.1);

  // A cut adds the crossings of the level; the cut of a vertical edge keeps one point there.
  const TSet Poor{{0, 0}, {0, 1}, {5, 0}};
  TPointBuffer Result;
  CorrelateMinimum(Poor.View(), 0.4, Result);
  EXPECT_EQ(Points(Result),
            (std::vector<std::pair<TFzyFloat, TFzyFloat>>{{0, 0}, {0, 0.4}, {3, 0.4}, {5, 0}}));
  CorrelateProduct(Poor.View(), 0.5, Result);
  EXPECT_EQ(Points(Result), (std::vector<std::pair<TFzyFloat, TFzyFloat>>{{0, 0}, {0, 0.5}, {5, 0}}));
}

TEST(FlatSets, UnionsVisitEveryBreakpointAndCrossing) {
  // The crossing at 1.5 between two triangles; the leading and trailing runs at 0 shrink.
  const TSet A{{0, 0}, {1, 1}, {2, 0}};
  const TSet B{{1, 0}, {2, 1}, {3, 0}};
  TPointBuffer Result;
  Result.Reserve(UnionCapacity(3, 3));
  Union(A.View(), B.View(), foZadeh, Result);
  EXPECT_EQ(Points(Result),
            (std::vector<std::pair<TFzyFloat, TFzyFloat>>{{0, 0}, {1, 1}, {1.5, 0.5}, {2, 1}, {3, 0}}));
  // The sum visits the same places; the crossing counts both degrees, so the level of 1 from 1 to 2
  // keeps only its ends.
  Union(A.View(), B.View(), foSum, Result);
  EXPECT_EQ(Points(Result), (std::vector<std::pair<TFzyFloat, TFzyFloat>>{{0, 0}, {1, 1}, {2, 1}, {3, 0}}));
  // A set without points counts as the other one: the sum doubles it.
  const TSet None{};
  Union(A.View(), None.View(), foSum, Result);
  EXPECT_EQ(Points(Result), (std::vector<std::pair<TFzyFloat, TFzyFloat>>{{0, 0}, {1, 2}, {2, 0}}));
  // A constant continuation is crossed too: B rises through A's 0.5 beyond A's last point.
  const TSet Early{{0, 0}, {1, 0.5}};
  const TSet Late{{0, 0}, {4, 1}};
  Union(Early.View(), Late.View(), foZadeh, Result);
  EXPECT_EQ(Points(Result),
            (std::vector<std::pair<TFzyFloat, TFzyFloat>>{{0, 0}, {1, 0.5}, {2, 0.5}, {4, 1}}));

  // Sets that only touch at degree 0 follow one another; a step at the place where they touch
  // meets the other set's degree there.
  const TSet Right{{2, 0}, {3, 1}, {4, 0}};
  Union(Right.View(), A.View(), foZadeh, Result);
  EXPECT_EQ(Points(Result),
            (std::vector<std::pair<TFzyFloat, TFzyFloat>>{{0, 0}, {1, 1}, {2, 0}, {3, 1}, {4, 0}}));
  const TSet Falls{{0, 0}, {1, 0.5}, {2, 0.5}, {2, 0}};
  const TSet Rises{{2, 0}, {2, 1}, {3, 0}};
  Union(Falls.View(), Rises.View(), foZadeh, Result);
  EXPECT_EQ(Points(Result),
            (std::vector<std::pair<TFzyFloat, TFzyFloat>>{{0, 0}, {1, 0.5}, {2, 0.5}, {2, 1}, {3, 0}}));

  // Level runs: the leading shrinks to its last point, an inner to its ends, the trailing to its
  // first; a repeated point goes.
  const TSet Runs{{0, 0.5}, {1, 0.5}, {2, 1}, {3, 1}, {3, 1}, {4, 1}, {5, 0}, {6, 0}};
  RemoveLevelRuns(Runs.View(), Result);
  EXPECT_EQ(Points(Result), (std::vector<std::pair<TFzyFloat, TFzyFloat>>{{1, 0.5}, {2, 1}, {4, 1}, {5, 0}}));
}

TEST(FlatSets, DefuzzifyExactly) {
  // The shoulders count the end degrees out to the range: areas 2, 2 and 6 around 1, 3 and 7.
  const TSet Plateau{{2, 1}, {4, 1}};
  EXPECT_DOUBLE_EQ(CenterOfGravity(Plateau.View(), 0, 10), 5);
  // A sliver narrower than 0.0001 still counts: a rectangle of width 0.00005 at height 1 beside
  // a triangle of area 1 around 4/3... the centroid moves by it.
  const TSet Sliver{{0, 0}, {2, 1}, {2.00005, 1}, {3, 0}};
  const double Area = 1 + 0.00005 + 0.499975;
  const double Moment = 1 * (4.0 / 3) + 0.00005 * 2.000025 + 0.499975 * (2.00005 + 0.99995 / 3);
  EXPECT_NEAR(CenterOfGravity(Sliver.View(), 0, 3), Moment / Area, 1e-15);
  const TSet Spike{{3, 0}, {3, 1}, {3, 0}};
  EXPECT_EQ(CenterOfGravity(Spike.View(), 0, 10), 5);
  // The top level is anchored at its first point, within 0.0001 of it.
  const TSet Tops{{0, 0.99995}, {1, 1}, {2, 0}};
  EXPECT_EQ(MeanOfMaxima(Tops.View()), 0.5);
}

}  // namespace
}  // namespace fuzzy::flat
