#!/usr/bin/env python3
"""Writes yards of retrieval groups in the literature's plain-text format: S stacks of t items,
capacity t + 2, the S x t items spread evenly over G groups (group g holds the items whose
shuffled index i has i mod G = g - 1), shuffled by seed, so the same arguments always give the
same files.

usage: grouped_set.py FOLDER S t G [COUNT [FIRST_SEED]]
       writes COUNT yards (default 10) named grouped_SxT_gG_SEED.txt
then:  stacks_solve --instance FOLDER/*.txt --within worst --csv
"""
import argparse
import os
import random


def instance(stacks, tiers, groups, seed):
    rng = random.Random(f"{stacks}x{tiers}g{groups}-{seed}")
    items = [1 + i % groups for i in range(stacks * tiers)]
    rng.shuffle(items)
    lines = [f"{stacks} {tiers + 2} {stacks * tiers}"]
    for s in range(stacks):
        column = items[s * tiers:(s + 1) * tiers]
        lines.append(" ".join(str(v) for v in [tiers] + column))
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("folder")
    for name in ("stacks", "tiers", "groups"):
        parser.add_argument(name, type=int)
    parser.add_argument("count", type=int, nargs="?", default=10)
    parser.add_argument("first_seed", type=int, nargs="?", default=1)
    args = parser.parse_args()
    folder, stacks, tiers, groups = args.folder, args.stacks, args.tiers, args.groups
    count, first = args.count, args.first_seed
    os.makedirs(folder, exist_ok=True)
    for seed in range(first, first + count):
        name = os.path.join(folder, f"grouped_{stacks:02d}x{tiers}_g{groups}_{seed}.txt")
        with open(name, "w") as out:
            out.write(instance(stacks, tiers, groups, seed))
    print(count, "yards in", folder)


if __name__ == "__main__":
    main()
