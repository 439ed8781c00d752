#!/usr/bin/env python3
"""How late stacks_solve stops: for each time L given, one run with --time-limit L and one
ended by SIGTERM L seconds after its start; prints how long each ran past L, and the largest.

    python3 bench/stop_latency.py SOLVER YARD WITHIN [--threads N] L...

YARD is an instance file (bench/grouped_set.py, bench/known_order_set.py). A stop can only be
late when it falls in a step that does not look at the limits, so spread the Ls over the whole
of a long query (e.g. 6 6.2 6.4 ... 12): one L rarely meets such a step. The lateness includes
the short grace in which a stopped search gives its bounds and line."""
import argparse
import signal
import subprocess
import time


def limited(args, limit):
    start = time.monotonic()
    subprocess.run(command(args) + ["--time-limit", str(limit)], capture_output=True)
    return time.monotonic() - start - limit


def terminated(args, after):
    run = subprocess.Popen(command(args), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        run.wait(timeout=after)
        return None  # finished before the signal
    except subprocess.TimeoutExpired:
        pass
    sent = time.monotonic()
    run.send_signal(signal.SIGTERM)
    run.wait()
    return time.monotonic() - sent


def command(args):
    return [args.solver, "--instance", args.yard, "--within", args.within, "--csv", "--threads",
            str(args.threads)]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("solver")
    parser.add_argument("yard")
    parser.add_argument("within", choices=["best", "worst", "random"])
    parser.add_argument("--threads", type=int, default=2)
    parser.add_argument("times", type=float, nargs="+")
    args = parser.parse_args()
    worst = {"limit": 0.0, "SIGTERM": 0.0}
    for t in args.times:
        late = {"limit": limited(args, t), "SIGTERM": terminated(args, t)}
        shown = []
        for how, seconds in late.items():
            if seconds is None:
                shown.append(f"{how}: done before")
                continue
            worst[how] = max(worst[how], seconds)
            shown.append(f"{how}: {seconds:+.2f} s")
        print(f"L = {t:g} s   " + "   ".join(shown), flush=True)
    print("latest:   " + "   ".join(f"{how}: {s:+.2f} s" for how, s in worst.items()))


if __name__ == "__main__":
    main()
