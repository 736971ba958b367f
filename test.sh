#!/usr/bin/env bash
# Builds the test configuration (AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs every test through CTest; exits non-zero on any failure.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
. "$root/scripts/deps.sh"
ludra_need_packages "${LUDRA_BUILD_PACKAGES[@]}" "${LUDRA_TEST_PACKAGES[@]}"
build="$root/build/test"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DLUDRA_SANITIZE=ON -DLUDRA_TESTS=ON >/dev/null
cmake --build "$build" -j"$(nproc)"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/lsan.supp}
cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"
