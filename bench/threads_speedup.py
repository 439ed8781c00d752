#!/usr/bin/env python3
"""Wall-clock time of stacks_solve on a set of yards with 1 thread and with N, runs alternated
so that a shared machine's noise falls on both alike; prints each run and the medians.

    python3 bench/threads_speedup.py build/release/programs/stacks_solve YARDS [N] [RUNS]

YARDS is a --batch file (bench/edge_yards.txt, or a part of it). The values must agree."""
import statistics
import subprocess
import sys
import time


def run(solver, yards, threads):
    start = time.monotonic()
    out = subprocess.run([solver, "--batch", yards, "--csv", "--threads", str(threads)],
                         check=True, capture_output=True, text=True).stdout
    values = [row.split(",")[3] for row in out.splitlines()[1:]]
    return time.monotonic() - start, values


def main():
    solver, yards = sys.argv[1], sys.argv[2]
    threads = int(sys.argv[3]) if len(sys.argv) > 3 else 2
    runs = int(sys.argv[4]) if len(sys.argv) > 4 else 3
    times = {1: [], threads: []}
    answers = {}
    for _ in range(runs):
        for t in (1, threads):
            seconds, values = run(solver, yards, t)
            times[t].append(seconds)
            answers.setdefault(t, values)
            print(f"threads {t}: {seconds:.2f} s", flush=True)
    if answers[1] != answers[threads]:
        sys.exit("the values differ between 1 and %d threads" % threads)
    one, many = statistics.median(times[1]), statistics.median(times[threads])
    print(f"median: 1 thread {one:.2f} s, {threads} threads {many:.2f} s, speed-up {one / many:.2f}")


if __name__ == "__main__":
    main()
