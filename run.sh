#!/usr/bin/env bash
# Builds a release build, lays out the program directory under build/ and
# starts Ludra: ./run.sh [script.pwn]
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
. "$root/scripts/deps.sh"
ludra_need_packages "${LUDRA_BUILD_PACKAGES[@]}"
cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=Release -DLUDRA_TESTS=OFF >/dev/null
cmake --build "$root/build/release" -j"$(nproc)"
cmake --install "$root/build/release" --prefix "$root/build/program" >/dev/null
exec "$root/build/program/ludra" "$@"
