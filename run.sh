#!/usr/bin/env bash
# Builds a release build, lays out the program directory under build/ and
# starts Ludra: ./run.sh [script.pwn]
# With --install PREFIX it lays out the program folder in PREFIX instead and
# does not start it: ./run.sh --install ~/ludra
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
prefix="$root/build/program"
start=1
if [ "${1:-}" = "--install" ]; then
  [ -n "${2:-}" ] || { echo "usage: ./run.sh --install PREFIX" >&2; exit 2; }
  prefix=$(realpath -m -- "$2")
  start=0
fi
. "$root/scripts/deps.sh"
ludra_need_packages "${LUDRA_BUILD_PACKAGES[@]}"
cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=Release -DLUDRA_TESTS=OFF >/dev/null
cmake --build "$root/build/release" -j"$(nproc)"
cmake --install "$root/build/release" --prefix "$prefix" >/dev/null
if [ "$start" = 0 ]; then
  echo "Ludra installed in $prefix"
  exit 0
fi
exec "$prefix/ludra" "$@"
