#!/usr/bin/env bash
# Installs, builds and runs every test (labels unit, ui, e2e).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${YAV_BUILD_DIR:-$root/build}
bash "$root/scripts/build.sh"
cd "$build"
ctest --output-on-failure --parallel "$(nproc)" --timeout 600 "$@"
bash "$root/scripts/fuzz.sh"
