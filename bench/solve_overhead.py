#!/usr/bin/env python3
"""What stacks.solve costs over the engine alone: the value and line of best play of the yard
of stacks_batch, and of a tiny board where the engine has next to nothing to do.

Each round times the engine's own queries and stacks::solve in C++ (solve_cost_bench, the
median of its repetitions), then stacks.solve from Python (the median of as many calls), so
that the machine's load is alike for the three. Prints each round and the medians over rounds.

usage: solve_overhead.py BUILD_DIR [ROUNDS [CALLS]]      (BUILD_DIR: a release build)
"""
import json
import statistics
import subprocess
import sys
import time

BOARDS = {"batch_5x8": "12221000/12120000/11100000/12100000/12200000", "tiny_2x2": "12/10"}
BUDGET = 1 << 30  # as solve_cost_bench gives the engine; the work does not depend on it


def cpp_medians(build, calls):
    """{benchmark name: median milliseconds a call} of solve_cost_bench."""
    done = subprocess.run(
        [f"{build}/bench/solve_cost_bench", f"--benchmark_repetitions={calls}",
         "--benchmark_report_aggregates_only=true", "--benchmark_min_time=0.05",
         "--benchmark_format=json"],
        capture_output=True, text=True, check=True)
    rows = json.loads(done.stdout)["benchmarks"]
    return {row["run_name"]: row["real_time"] / 1000 for row in rows
            if row["aggregate_name"] == "median"}


def python_median(stacks, board, calls):
    times = []
    for _ in range(calls):
        start = time.perf_counter()
        stacks.solve(board, max_memory=BUDGET)
        times.append((time.perf_counter() - start) * 1000)
    return statistics.median(times)


def main():
    build = sys.argv[1]
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    calls = int(sys.argv[3]) if len(sys.argv) > 3 else 30
    sys.path.insert(0, f"{build}/python")
    import stacks

    overheads = {name: [] for name in BOARDS}
    print("round board      engine ms  library ms  python ms  python - engine ms")
    for round_number in range(1, rounds + 1):
        cpp = cpp_medians(build, calls)
        for name, board in BOARDS.items():
            engine, library = cpp[f"Engine/{name}"], cpp[f"Library/{name}"]
            python = python_median(stacks, board, calls)
            overheads[name].append(python - engine)
            print(f"{round_number:5} {name:10} {engine:9.3f} {library:11.3f} {python:10.3f} "
                  f"{python - engine:19.3f}")
    for name, values in overheads.items():
        print(f"{name}: median of the rounds' overheads {statistics.median(values):.3f} ms "
              f"(from {min(values):.3f} to {max(values):.3f})")


if __name__ == "__main__":
    main()
