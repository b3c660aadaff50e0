#!/usr/bin/env bash
# Builds the API reference into ./build/docs/html (or $ORVEX_BUILD_DIR/docs/html), installing
# Doxygen first when it is missing; extra arguments go to CMake's configure step.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${ORVEX_BUILD_DIR:-$root/build}"
ORVEX_EXTRA_PACKAGES="doxygen ${ORVEX_EXTRA_PACKAGES:-}" "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -DORVEX_BUILD_DOCS=ON "$@" >/dev/null
cmake --build "$build" --target orvex_docs
echo "$build/docs/html/index.html"
