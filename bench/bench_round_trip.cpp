// The printer's round trip as a soak: each call checks Arg seeded random models in both models
// (print, read, print again: the same text, the same points within the "%.4f" resolution), the
// seeds going on from call to call, starting past those of the tests (or at FUZZY_ROUND_TRIP_SEED).
// Reports the models checked ("cases") and the texts that did not read ("skipped"); a failing
// case stops the program with its seed and texts.
//
//   build/bench/bench/bench_round_trip --benchmark_min_time=60

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/allocation_counter.h"
#include "bench/fixtures.h"
#include "fuzzy/language/aq_fuzzy_logic_parser.h"
#include "fuzzy/testing/random_models.h"

namespace {

using namespace fuzzy;
using namespace fuzzy::bench;

std::uint32_t FirstSeed() {
  const char* Seed = std::getenv("FUZZY_ROUND_TRIP_SEED");
  return Seed ? static_cast<std::uint32_t>(std::strtoul(Seed, nullptr, 10)) : 1000000;
}

template <typename TLogic>
bool Check(std::uint32_t Seed, double& Skipped) {
  bool Skip = false;
  const std::string Failure = testing::CheckRoundTrip<TLogic, TAQFuzzyLogicParser>(Seed, Skip);
  Skipped += Skip;
  if (Failure.empty()) return true;
  std::fprintf(stderr, "seed %u (%s model): %s\n", Seed, std::is_same_v<TLogic, TFuzzyLogic> ? "class" : "interface",
               Failure.c_str());
  return false;
}

void RoundTrip(benchmark::State& State) {
  static std::uint32_t Seed = FirstSeed();
  double Cases = 0, Skipped = 0;
  for (auto _ : State) {
    for (int I = 0; I < State.range(0); ++I, ++Seed, Cases += 2)
      if (!Check<TFuzzyLogic>(Seed, Skipped) || !Check<TIFuzzyLogic>(Seed, Skipped)) std::exit(1);
  }
  State.counters["cases"] = Cases;
  State.counters["skipped"] = Skipped;
}
BENCHMARK(RoundTrip)->Arg(10)->Apply(IterationCount);

}  // namespace

BENCHMARK_MAIN();
