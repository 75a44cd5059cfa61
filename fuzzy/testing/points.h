#pragma once
// Test helpers for point lists: reading a list as coordinate pairs and comparing within a tolerance.

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "fuzzy/engine/fuzzy_set_values.h"

namespace fuzzy::testing {

using TPoints = std::vector<std::pair<double, double>>;

inline TPoints PointsOf(const TFuzzySetValues& Values) {
  TPoints Result;
  for (const TFuzzySetValue* P : Values) Result.emplace_back(P->X(), P->Y());
  return Result;
}

inline std::string Describe(const TPoints& Points) {
  std::ostringstream Out;
  for (const auto& [X, Y] : Points) Out << "(" << X << "," << Y << ") ";
  return Out.str();
}

// Passes when Values holds exactly Expected, each coordinate within Tolerance.
inline ::testing::AssertionResult SamePoints(const TFuzzySetValues& Values, const TPoints& Expected,
                                             double Tolerance = 1e-9) {
  const TPoints Actual = PointsOf(Values);
  bool Same = Actual.size() == Expected.size();
  for (std::size_t I = 0; Same && I < Actual.size(); ++I)
    Same = std::fabs(Actual[I].first - Expected[I].first) <= Tolerance &&
           std::fabs(Actual[I].second - Expected[I].second) <= Tolerance;
  if (Same) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "points are " << Describe(Actual) << "; expected " << Describe(Expected);
}

// Adds Points one by one with Add(X, Y).
inline void AddPoints(TFuzzySetValues& Values, const TPoints& Points) {
  for (const auto& [X, Y] : Points) Values.Add(X, Y);
}

}  // namespace fuzzy::testing
