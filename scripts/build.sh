#!/usr/bin/env bash
# Configures and builds one flavour of the project: `release` (default), `sanitize`
# (AddressSanitizer and UndefinedBehaviorSanitizer, assertions on) or `fuzz` (the libFuzzer
# targets of the board parsers, built with clang). Targets named after the flavour are built
# alone (`build.sh release stacks_batch`); otherwise everything is. Prints the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
flavour=${1:-release}
shift || true
target=()
[ $# -eq 0 ] || target=(--target "$@")
case "$flavour" in
  release)  args=(-DCMAKE_BUILD_TYPE=Release) ;;
  sanitize) args=(-DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-g -O1" -DSTACKS_SANITIZE=ON
                  -DSTACKS_BENCH=OFF) ;;
  fuzz)     args=(-DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-g -O1" -DSTACKS_FUZZ=ON
                  -DSTACKS_TESTS=OFF -DSTACKS_BENCH=OFF -DSTACKS_PYTHON=OFF
                  -DCMAKE_CXX_COMPILER=clang++)
            [ $# -gt 0 ] || target=(--target fuzzers) ;;
  *) echo "build.sh: unknown flavour '$flavour' (release, sanitize or fuzz)" >&2; exit 2 ;;
esac
dir=build/$flavour
cmake -S . -B "$dir" -G Ninja "${args[@]}" >/dev/null
cmake --build "$dir" "${target[@]}" >&2
echo "$dir"
