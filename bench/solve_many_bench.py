#!/usr/bin/env python3
"""stacks.solve_many on a Dask cluster of 1 worker and of 2 (one process and thread each, on this
machine): 200 random yards of 6 stacks of 8 slots with 24 items, 12 of them targets (seeded,
so they stay the same), the value of each, as stacks_solve --batch --csv gives it.

The runs alternate, 1 worker then 2, so that both see alike load; the clusters are started
before the clock starts. Prints each run with the machine's load average after it (other work
on a shared machine takes cores from the workers), the medians and their ratio.

usage: solve_many_bench.py BUILD_DIR [RUNS [YARDS]]      (BUILD_DIR: a release build)
"""
import os
import random
import statistics
import sys
import time


def random_yard(rng, stacks=6, height=8, items=24, targets=12):
    cells = [[] for _ in range(stacks)]
    kinds = [1] * targets + [2] * (items - targets)
    rng.shuffle(kinds)
    for kind in kinds:
        rng.choice([stack for stack in cells if len(stack) < height]).append(kind)
    return "/".join("".join(map(str, stack)).ljust(height, "0") for stack in cells)


def timed_run(stacks, client, yards):
    start = time.perf_counter()
    results = stacks.solve_many(yards, client=client, line=False)
    seconds = time.perf_counter() - start
    assert all(result.error is None for result in results)
    return seconds, [result.value for result in results]


def main():
    build = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 200
    sys.path.insert(0, f"{build}/python")
    import stacks
    from dask.distributed import Client, LocalCluster

    rng = random.Random("6x8-24")
    yards = [random_yard(rng) for _ in range(count)]
    clusters = {}
    for workers in (1, 2):
        cluster = LocalCluster(n_workers=workers, threads_per_worker=1, processes=True,
                               host="127.0.0.1", dashboard_address=None)
        clusters[workers] = (cluster, Client(cluster))
    times = {1: [], 2: []}
    values = {}
    for run in range(1, runs + 1):
        for workers, (_, client) in clusters.items():
            seconds, values[workers] = timed_run(stacks, client, yards)
            times[workers].append(seconds)
            load = os.getloadavg()[0]
            print(f"run {run}: {workers} worker(s) {seconds:.2f} s, load {load:.1f}", flush=True)
    assert values[1] == values[2]
    one, two = statistics.median(times[1]), statistics.median(times[2])
    print(f"{count} yards, medians of {runs} runs: 1 worker {one:.2f} s, 2 workers {two:.2f} s, "
          f"ratio {two / one:.2f}")
    for cluster, client in clusters.values():
        client.close()
        cluster.close()


if __name__ == "__main__":
    main()
