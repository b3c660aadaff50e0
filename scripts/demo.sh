#!/usr/bin/env bash
# Builds the project and runs the orvex tool on its embedded default.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/build.sh"
"${ORVEX_BUILD_DIR:-$root/build}/bin/orvex" "$@"
