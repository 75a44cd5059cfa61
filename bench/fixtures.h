#pragma once
// Shapes shared by the benchmark programs, the free-standing sets built from them, and the switch
// that gives every benchmark a fixed iteration count for the instruction-count pass of run.sh.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <utility>
#include <vector>

#include "fuzzy/engine/fuzzy_set.h"
#include "fuzzy/runtime/update_bracket.h"

namespace fuzzy::bench {

using TShape = std::vector<std::pair<TFzyFloat, TFzyFloat>>;

// The range every triangle lives on.
inline constexpr TFzyFloat RangeMinimum = 0;
inline constexpr TFzyFloat RangeMaximum = 30;

// Points evenly spaced over the range on a triangle rising from 0 at 0 to 1 at 10 and falling back
// to 0 at 30, moved right by Shift. Seven points fall every 5 and keep the apex; the centre of
// gravity of the seven-point shape is 40 / 3.
inline TShape Triangle(int Points, TFzyFloat Shift = 0) {
  TShape Shape;
  for (int I = 0; I < Points; ++I) {
    const TFzyFloat X = RangeMinimum + (RangeMaximum - RangeMinimum) * I / (Points - 1);
    Shape.emplace_back(X + Shift, X <= 10 ? X / 10 : (30 - X) / 20);
  }
  return Shape;
}

// Points one apart starting at Shift, alternating between 0 and 1 (starting at 0, or at 1 when
// Inverted). A zigzag and the inverted one shifted by half a step cross once every two steps.
inline TShape Zigzag(int Points, TFzyFloat Shift = 0, bool Inverted = false) {
  TShape Shape;
  for (int I = 0; I < Points; ++I) Shape.emplace_back(Shift + I, (I % 2 == 0) != Inverted ? 0 : 1);
  return Shape;
}

// A free-standing set holding Shape.
inline TOwned<TFuzzySet> MakeSet(const TShape& Shape) {
  TOwned<TFuzzySet> Set = MakeOwned<TFuzzySet>(nullptr);
  TUpdateBracket Bracket(Set->Values());
  for (const auto& [X, Y] : Shape) Set->Values().Add(X, Y);
  return Set;
}

// Sixteen places spread over the range, none of them a breakpoint of the 7- or 50-point triangle,
// visited in turn by the membership benchmarks of both libraries.
inline std::array<TFzyFloat, 16> MembershipQueries() {
  std::array<TFzyFloat, 16> Queries{};
  for (std::size_t I = 0; I < Queries.size(); ++I)
    Queries[I] = RangeMinimum + (RangeMaximum - RangeMinimum) * (2 * I + 1) / 32;
  return Queries;
}

// Point counts of the growth benchmarks.
inline void GrowthSizes(benchmark::internal::Benchmark* Benchmark) {
  for (int Points : {10, 1000, 100000}) Benchmark->Arg(Points);
}

// With FUZZY_BENCH_ITERATIONS set, a benchmark runs exactly that many iterations, so two runs of
// different counts differ by a known number of calls.
inline void IterationCount(benchmark::internal::Benchmark* Benchmark) {
  if (const char* Count = std::getenv("FUZZY_BENCH_ITERATIONS")) Benchmark->Iterations(std::atoll(Count));
}

}  // namespace fuzzy::bench
