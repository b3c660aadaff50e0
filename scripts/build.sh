#!/usr/bin/env bash
# Configures and builds the project in ./build (or $ORVEX_BUILD_DIR); extra arguments go
# to CMake's configure step.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${ORVEX_BUILD_DIR:-$root/build}"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
