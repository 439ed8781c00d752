#!/usr/bin/env bash
# Sets up a fresh machine (Debian packages, as root), builds stacks_batch in the release
# flavour (that program and what it needs, nothing else) and runs it on its built-in yard.
# Arguments are passed on to stacks_batch.
set -euo pipefail
cd "$(dirname "$0")/.."
say() { echo "run.sh: $*" >&2; }
say "checking the Debian packages the build needs (installing any that are missing)"
bash scripts/install-deps.sh
say "building stacks_batch and what it needs in build/release (a few minutes the first time)"
dir=$(bash scripts/build.sh release stacks_batch)
say "running $dir/programs/stacks_batch: it solves its built-in yard, then replays best play"
exec "$dir/programs/stacks_batch" "$@"
