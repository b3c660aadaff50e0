#!/usr/bin/env bash
# Builds the whole project with AddressSanitizer and UndefinedBehaviorSanitizer in
# ./build-asan (or $ORVEX_ASAN_BUILD_DIR) and runs every test there; any report fails the run.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${ORVEX_ASAN_BUILD_DIR:-$root/build-asan}"
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
ORVEX_BUILD_DIR="$build" "$root/scripts/build.sh" -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"
