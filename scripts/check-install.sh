#!/usr/bin/env bash
# Proves that what a build installs is usable by others: installs the build folder given (a
# release build) to a scratch prefix, builds examples/consumer against the installed CMake
# package and runs it (it must print 20), then solves the same yard through the installed
# Python module and looks for the installed programs and manual page.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: check-install.sh BUILD_DIR}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null
cmake -S examples/consumer -B "$scratch/consumer" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$scratch/consumer" >/dev/null
value=$("$scratch/consumer/consumer")
[ "$value" = 20 ] || { echo "check-install: the consumer printed '$value', not 20" >&2; exit 1; }

python_dir=$(find "$prefix" -path '*-packages/stacks/__init__.py' -printf '%h\n' | head -n 1)
[ -n "$python_dir" ] || { echo "check-install: no Python package stacks installed" >&2; exit 1; }
value=$(cd "$scratch" && PYTHONPATH=$(dirname "$python_dir") /usr/bin/python3 -c \
  'import stacks; print(stacks.solve("12221000/12120000/11100000/12100000/12200000").value)')
[ "$value" = 20 ] || { echo "check-install: the Python module gave '$value', not 20" >&2; exit 1; }

for file in bin/stacks_solve bin/stacks_batch bin/stacks_interactive share/man/man1/stacks_solve.1 \
    share/man/man1/stacks_batch.1 share/man/man1/stacks_interactive.1; do
  [ -e "$prefix/$file" ] || { echo "check-install: $file was not installed" >&2; exit 1; }
done
echo "install check: the consumer and the Python module print 20" >&2
