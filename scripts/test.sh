#!/usr/bin/env bash
# Sets up a fresh machine (Debian packages, as root), then builds and runs every test twice
# (the C++ suites and the Python module's): in the release build and in the sanitizer build;
# installs the release build to a scratch prefix and builds and runs examples/consumer against
# it; and runs each fuzzer of the board parsers briefly on its seed corpus. Fails when any test
# fails or a fuzzer finds a fault.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

# The fuzzers first, so that the test summary stays the last thing printed.
dir=$(bash scripts/build.sh fuzz)
for fuzzer in fuzz_compact_form fuzz_drawing_form fuzz_batch_reader fuzz_instance_form \
    fuzz_move_list; do
  echo "== fuzz: $fuzzer" >&2
  # Inputs it makes go to a scratch folder, so the seed corpus in the repository stays as it is.
  scratch=$(mktemp -d)
  if ! "$dir/fuzz/$fuzzer" -max_total_time="${FUZZ_SECONDS:-10}" -artifact_prefix="$dir/" \
      "$scratch" "fuzz/corpus/$fuzzer" >"$scratch/log" 2>&1; then
    tail -n 40 "$scratch/log" >&2
    exit 1
  fi
  tail -n 1 "$scratch/log" >&2
  rm -rf "$scratch"
done

for flavour in release sanitize; do
  dir=$(bash scripts/build.sh "$flavour")
  echo "== tests: $flavour" >&2
  ctest --test-dir "$dir" --output-on-failure -j 2
  # What the release build installs, used by a project of its own and from Python.
  if [ "$flavour" = release ]; then bash scripts/check-install.sh "$dir"; fi
done
