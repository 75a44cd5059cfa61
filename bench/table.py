#!/usr/bin/env python3
"""Prints the benchmark results of bench/run.sh as Markdown.

Usage: table.py RESULTS_DIR

RESULTS_DIR holds one Google Benchmark JSON file per program (repetitions with aggregates) and,
optionally, instructions.tsv with lines "benchmark<TAB>instructions per call". A benchmark named
"PeerX/n" is the peer library's counterpart of "X/n" and shares its row.
"""

import json
import pathlib
import re
import sys

PEER = "Peer"


def load_medians(directory):
    """Median aggregates by run name, in the order the programs reported them."""
    medians = {}
    for path in sorted(directory.glob("*.json")):
        for entry in json.loads(path.read_text())["benchmarks"]:
            if entry.get("aggregate_name") == "median":
                medians[entry["run_name"]] = entry
    return medians


def load_instructions(directory):
    path = directory / "instructions.tsv"
    if not path.exists():
        return {}
    rows = (line.split("\t") for line in path.read_text().splitlines() if line)
    return {name: float(count) for name, count in rows}


def number(value, digits=0):
    return "—" if value is None else f"{value:,.{digits}f}"


def main():
    directory = pathlib.Path(sys.argv[1])
    medians = load_medians(directory)
    instructions = load_instructions(directory)
    ns = lambda name: medians[name]["real_time"] if name in medians else None

    print("| benchmark | our median ns | our instructions/call | our allocations/call "
          "| peer median ns | peer instructions/call | ratio (peer/ours) |")
    print("|---|---:|---:|---:|---:|---:|---:|")
    for name, entry in medians.items():
        if name.startswith(PEER):
            continue
        peer = PEER + name
        ratio = ns(peer) / ns(name) if peer in medians else None
        print(f"| {name} | {number(ns(name), 1)} | {number(instructions.get(name))} "
              f"| {number(entry.get('allocs'), 2)} | {number(ns(peer), 1)} "
              f"| {number(instructions.get(peer))} | {number(ratio, 2)} |")

    answers = [(name, entry["answer"]) for name, entry in medians.items()
               if "answer" in entry and not name.startswith(PEER)]
    for name, ours in answers:
        line = f"\n{name}: ours {ours:.10g}"
        if PEER + name in medians:
            peer = medians[PEER + name]["answer"]
            line += f", peer {peer:.10g}, peer error {abs(peer - ours):.3g}"
        print(line)

    points = [f"{name} {entry['points']:.0f}" for name, entry in medians.items() if "points" in entry]
    if points:
        print("\nPoints in the result: " + ", ".join(points))

    # A family is the runs X/n of one benchmark. A run that reports the counter "units" (points,
    # rules) is measured per unit; the others per n, for n of 10 and more.
    families = {}
    for name, entry in medians.items():
        match = re.fullmatch(r"(.+)/(\d+)", name)
        if not match or name.startswith(PEER):
            continue
        units = entry.get("units") or (int(match[2]) if int(match[2]) >= 10 else None)
        if units:
            families.setdefault(match[1], []).append((name, int(match[2]), units))
    growing = {family: runs for family, runs in families.items() if len(runs) > 1}
    if growing:
        print("\nGrowth per unit of work (a point), flat when the cost is linear:\n")
        print("| benchmark | n | units | ns/unit | instructions/unit | allocations/unit |")
        print("|---|---:|---:|---:|---:|---:|")
        for family, runs in growing.items():
            for name, n, units in runs:
                count = instructions.get(name)
                allocs = medians[name].get("allocs")
                print(f"| {family} | {n:,} | {units:,.0f} | {number(ns(name) / units, 1)} "
                      f"| {number(None if count is None else count / units, 1)} "
                      f"| {number(None if allocs is None else allocs / units, 2)} |")


if __name__ == "__main__":
    main()
