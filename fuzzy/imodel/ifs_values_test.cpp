#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "fuzzy/imodel/ifuzzy_set.h"
#include "fuzzy/testing/points.h"

namespace fuzzy {
namespace {

// The interface's Add(X, Y) and Insert(I, X, Y) refuse a coordinate that is not a finite number,
// and Insert a bad index, before the point is made: the list keeps its points and order.
TEST(IFSValues, RefusedPointsChangeNothing) {
  IPtr<IFuzzySet> Set = TIFuzzySet::Create(nullptr, "a");
  Set->Add(0, 1);
  Set->Add(1, 0);
  const double NaN = std::numeric_limits<double>::quiet_NaN();
  EXPECT_THROW(Set->Add(NaN, 0.5), EFzyException);
  EXPECT_THROW(Set->Add(0.5, std::numeric_limits<double>::infinity()), EFzyException);
  EXPECT_THROW(Set->Insert(1, 0.5, NaN), EFzyException);
  EXPECT_THROW(Set->Insert(5, 0.5, 0.5), EListError);
  const TIFSValues& Values = TIFuzzySet::Implementation(Set).Values();
  EXPECT_TRUE(testing::SamePoints(Values, {{0, 1}, {1, 0}}));
  EXPECT_TRUE(Values.Sorted());
  EXPECT_DOUBLE_EQ(Set->DegreeOfMembership(0.5), 0.5);
  // A point that is accepted is put in place when the bracket closes.
  EXPECT_EQ(Set->Insert(0, 0.5, 0.25), 0);  // the index it was given, before the clean-up
  EXPECT_TRUE(testing::SamePoints(Values, {{0, 1}, {0.5, 0.25}, {1, 0}}));
}

}  // namespace
}  // namespace fuzzy
