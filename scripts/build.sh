#!/usr/bin/env bash
# Configures and builds one flavour of the project: `release` (default) or `sanitize`
# (AddressSanitizer and UndefinedBehaviorSanitizer, assertions on). Prints the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
flavour=${1:-release}
case "$flavour" in
  release)  args=(-DCMAKE_BUILD_TYPE=Release) ;;
  sanitize) args=(-DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-g -O1" -DSTACKS_SANITIZE=ON
                  -DSTACKS_BENCH=OFF) ;;
  *) echo "build.sh: unknown flavour '$flavour' (release or sanitize)" >&2; exit 2 ;;
esac
dir=build/$flavour
cmake -S . -B "$dir" -G Ninja "${args[@]}" >/dev/null
cmake --build "$dir" >&2
echo "$dir"
