#!/usr/bin/env bash
# Builds a release build, lays out the program directory under build/ and
# starts Ludra: ./run.sh [script.pwn]
# With --install PREFIX it lays out the program folder in PREFIX instead and
# does not start it: ./run.sh --install ~/ludra
# With --package it builds the Debian package build/release/ludra_<version>_amd64.deb.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
prefix="$root/build/program"
mode=start
if [ "${1:-}" = "--install" ]; then
  [ -n "${2:-}" ] || { echo "usage: ./run.sh --install PREFIX" >&2; exit 2; }
  prefix=$(realpath -m -- "$2")
  mode=install
elif [ "${1:-}" = "--package" ]; then
  mode=package
fi
. "$root/scripts/deps.sh"
ludra_need_packages "${LUDRA_BUILD_PACKAGES[@]}"
if [ "$mode" = package ]; then ludra_need_packages "${LUDRA_PACKAGE_PACKAGES[@]}"; fi
cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=Release -DLUDRA_TESTS=OFF >/dev/null
cmake --build "$root/build/release" -j"$(nproc)"
if [ "$mode" = package ]; then
  cd "$root/build/release"
  cpack -G DEB >/dev/null
  ls "$root"/build/release/ludra_*.deb
  exit 0
fi
cmake --install "$root/build/release" --prefix "$prefix" >/dev/null
if [ "$mode" = install ]; then
  echo "Ludra installed in $prefix"
  exit 0
fi
exec "$prefix/ludra" "$@"
