#!/usr/bin/env bash
# Sets up a fresh machine (Debian packages, as root), then builds and runs every test twice:
# in the release build and in the sanitizer build. Fails when any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
for flavour in release sanitize; do
  dir=$(bash scripts/build.sh "$flavour")
  echo "== tests: $flavour" >&2
  ctest --test-dir "$dir" --output-on-failure -j 2
done
