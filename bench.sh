#!/usr/bin/env bash
# Release build of the benchmarks; runs them and prints the figures.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
. "$root/scripts/deps.sh"
ludra_need_packages "${LUDRA_BUILD_PACKAGES[@]}" "${LUDRA_BENCH_PACKAGES[@]}"
build="$root/build/bench"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DLUDRA_TESTS=OFF -DLUDRA_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)"
for b in "$build"/bench/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" "$@"
done
