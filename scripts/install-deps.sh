#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with. Safe to run again: packages
# already present are left alone. Needs root (or sudo) only when something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev googletest libbenchmark-dev
  libboost1.81-dev nlohmann-json3-dev libcli11-dev
  clang libclang-rt-14-dev clang-format
  python3 util-linux help2man
  python3-dev pybind11-dev python3-pybind11 python3-pytest python3-dask python3-distributed
  python3-tqdm python3-pandas  # solve_many's progress bar, and results as frames
  chromium fonts-dejavu-core  # the browser tests of the --html page, and their text
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}" >&2
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
