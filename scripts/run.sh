#!/usr/bin/env bash
# Sets up a fresh machine (Debian packages, as root), builds the release flavour and runs
# stacks_batch on its built-in yard. Arguments are passed on to stacks_batch.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
dir=$(bash scripts/build.sh release)
exec "$dir/programs/stacks_batch" "$@"
