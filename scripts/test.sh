#!/usr/bin/env bash
# Builds the project and runs every test through ctest.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/build.sh" "$@"
ctest --test-dir "${ORVEX_BUILD_DIR:-$root/build}" --output-on-failure --parallel "$(nproc)"
