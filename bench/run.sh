#!/usr/bin/env bash
# Builds the benchmarks in Release (the bench preset) and prints one Markdown table: for each
# benchmark the median time, instructions and allocations per call, the same for the peer library
# (fuzzylite) when it is installed, and the ratio of the peer's time to ours.
#
# Time: every program runs with 5 repetitions; the table shows the median of the real time.
#
# Instructions per call (when valgrind is installed): each benchmark runs twice under callgrind
# with a fixed iteration count (FUZZY_BENCH_ITERATIONS, see fixtures.h), N and 2N. The difference
# of the two programs' total instruction counts is the cost of N calls with everything warm:
# program start, building the sets, first-call work, reporting and teardown are the same in both
# runs and cancel. N is picked from the median time so that N calls take about 0.1 ms (1 to 1000),
# and it includes the few instructions of the benchmark loop itself. Callgrind is some 50 times
# slower than the machine, so a benchmark whose 2N-iteration run takes more than a second natively
# is left out (— in the table).
#
# Benchmarks timed by the wall clock (a name ending in /real_time) run threads of their own, which
# callgrind would run one after another; they are left out of the instruction count.
#
# Allocations per call come from the counting operator new linked into every program.
#
# Usage: bench/run.sh   (results stay in build/bench/results)
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null

Programs=(membership combination cuts defuzzify rule_cycle point_list chains parse rule_base expression print)
Bin=build/bench/bench
Results=build/bench/results
rm -rf "$Results"
mkdir -p "$Results"

for Program in "${Programs[@]}"; do
  echo "timing bench_$Program" >&2
  "$Bin/bench_$Program" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_out="$Results/$Program.json" --benchmark_out_format=json >/dev/null
done

# Total instructions of one run of Benchmark with Iterations iterations, under callgrind.
instructions() {
  local Program=$1 Benchmark=$2 Iterations=$3 Out="$Results/callgrind.out"
  FUZZY_BENCH_ITERATIONS=$Iterations valgrind --tool=callgrind --callgrind-out-file="$Out" \
    "$Bin/bench_$Program" --benchmark_filter="^$Benchmark(/iterations:[0-9]+)?\$" >/dev/null 2>&1
  awk '/^summary:/ { print $2 }' "$Out"
}

# Whether one native run of Benchmark with Iterations iterations takes more than a second.
too_slow() {
  local Program=$1 Benchmark=$2 Iterations=$3 Start
  Start=$(date +%s%N)
  FUZZY_BENCH_ITERATIONS=$Iterations "$Bin/bench_$Program" --benchmark_filter="^$Benchmark(/iterations:[0-9]+)?\$" >/dev/null
  (($(date +%s%N) - Start > 1000000000))
}

if command -v valgrind >/dev/null; then
  for Program in "${Programs[@]}"; do
    # Each benchmark with its iteration count N.
    python3 -c '
import json, sys
for entry in json.load(open(sys.argv[1]))["benchmarks"]:
    if entry.get("aggregate_name") == "median":
        print(entry["run_name"], max(1, min(1000, round(1e5 / entry["real_time"]))))
' "$Results/$Program.json" | while read -r Benchmark N; do
      if [[ $Benchmark == */real_time ]]; then
        continue
      fi
      if too_slow "$Program" "$Benchmark" $((2 * N)); then
        echo "callgrind skips $Benchmark (too slow)" >&2
        continue
      fi
      echo "callgrind $Benchmark ($N and $((2 * N)) iterations)" >&2
      Once=$(instructions "$Program" "$Benchmark" "$N")
      Twice=$(instructions "$Program" "$Benchmark" $((2 * N)))
      printf '%s\t%s\n' "$Benchmark" $(((Twice - Once) / N)) >>"$Results/instructions.tsv"
    done
  done
  rm -f "$Results/callgrind.out"
fi

python3 bench/table.py "$Results"
echo
echo "Tipping answers, ours (exact) against the peer's (centroid of 100 samples):"
"$Bin/bench_rule_cycle" --compare
echo
echo "Tipping system with the peer's shapes: object path, compiled evaluator and the peer (centroid of 100 samples):"
"$Bin/bench_rule_base" --compare
