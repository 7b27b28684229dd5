#!/usr/bin/env bash
# Installs, builds and runs every test: the wire decoders' fuzzers briefly, then every ctest
# test (labels unit, ui, e2e), whose summary closes the output.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${YAV_BUILD_DIR:-$root/build}
bash "$root/scripts/build.sh"
bash "$root/scripts/fuzz.sh"
cd "$build"
ctest --output-on-failure --parallel "$(nproc)" --timeout 600 "$@"
