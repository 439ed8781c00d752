#!/usr/bin/env python3
"""Writes yards of retrieval groups in the literature's plain-text format: S stacks of t items,
capacity t + 2, the S x t items spread evenly over G groups (group g holds the items whose
shuffled index i has i mod G = g - 1), shuffled by seed, so the same arguments always give the
same files.

usage: grouped_set.py FOLDER S t G [COUNT [FIRST_SEED]]
       writes COUNT yards (default 10) named grouped_SxT_gG_SEED.txt
then:  stacks_solve --instance FOLDER/*.txt --within worst --csv
"""
import os
import random
import sys


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
    if len(sys.argv) < 5:
        sys.exit(__doc__)
    folder = sys.argv[1]
    stacks, tiers, groups = (int(a) for a in sys.argv[2:5])
    count = int(sys.argv[5]) if len(sys.argv) > 5 else 10
    first = int(sys.argv[6]) if len(sys.argv) > 6 else 1
    os.makedirs(folder, exist_ok=True)
    for seed in range(first, first + count):
        name = os.path.join(folder, f"grouped_{stacks:02d}x{tiers}_g{groups}_{seed}.txt")
        with open(name, "w") as out:
            out.write(instance(stacks, tiers, groups, seed))
    print(count, "yards in", folder)


if __name__ == "__main__":
    main()
