#!/usr/bin/env bash
# Installs the dependencies (when missing) and builds everything into build/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "$(id -u)" -eq 0 ]; then
  bash "$root/scripts/setup.sh"
else
  sudo bash "$root/scripts/setup.sh"
fi
build=${YAV_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --parallel "${YAV_JOBS:-$(nproc)}"
