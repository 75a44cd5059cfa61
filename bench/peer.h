#pragma once
// The peer library's counterpart of a set: a discrete term through the same points. Built only
// when fuzzylite is installed (FUZZY_BENCH_PEER).

#include <fl/Headers.h>

#include "bench/fixtures.h"

namespace fuzzy::bench {

inline fl::Discrete MakePeerTerm(const TShape& Shape) {
  std::vector<fl::Discrete::Pair> Pairs;
  for (const auto& [X, Y] : Shape) Pairs.emplace_back(X, Y);
  return fl::Discrete("term", Pairs);
}

}  // namespace fuzzy::bench
