#!/usr/bin/env python3
"""Writes a set of known-order instances in the literature's plain-text format: S stacks of t
items each, capacity t + 2, the S x t priorities 1 .. S t shuffled (seeded, so the set is
always the same). 85 files: every S from 3 to 10 and t from 3 to 6 twice, then the larger
yards once or twice more.

usage: known_order_set.py FOLDER               the 85 instances
       known_order_set.py FOLDER S t COUNT     COUNT instances of S stacks of t items
then:  stacks_solve --instance FOLDER/*.txt --within best --csv
"""
import argparse
import os
import random


def instance(stacks, tiers, seed):
    rng = random.Random(f"{stacks}x{tiers}-{seed}")
    priorities = list(range(1, stacks * tiers + 1))
    rng.shuffle(priorities)
    lines = [f"{stacks} {tiers + 2} {stacks * tiers}"]
    for s in range(stacks):
        column = priorities[s * tiers:(s + 1) * tiers]
        lines.append(" ".join(str(v) for v in [tiers] + column))
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("folder")
    parser.add_argument("shape", nargs="*", type=int, metavar="S t COUNT")
    args = parser.parse_args()
    if len(args.shape) not in (0, 3):
        parser.error("give S, t and COUNT together, or none of them")
    folder = args.folder
    os.makedirs(folder, exist_ok=True)
    if args.shape:
        stacks, tiers, count = args.shape
        runs = [(stacks, tiers, seed) for seed in range(1, count + 1)]
    else:
        runs = [(s, t, seed) for seed in (1, 2) for t in range(3, 7) for s in range(3, 11)]
        runs += [(s, t, 3) for t in (5, 6) for s in range(3, 11)]
        runs += [(s, 6, 4) for s in range(6, 11)]
    for stacks, tiers, seed in runs:
        name = os.path.join(folder, f"known_{stacks:02d}x{tiers}_{seed}.txt")
        with open(name, "w") as out:
            out.write(instance(stacks, tiers, seed))
    print(len(runs), "instances in", folder)


if __name__ == "__main__":
    main()
