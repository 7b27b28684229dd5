#!/usr/bin/env bash
# Installs, builds and runs the client (against the bundled yavserver on loopback once both exist).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${YAV_BUILD_DIR:-$root/build}
bash "$root/scripts/build.sh"
bin="$build/bin"
if [ -x "$bin/yavserver" ]; then
  "$bin/yavserver" &
  server=$!
  trap 'kill $server 2>/dev/null || true' EXIT
fi
if [ -x "$bin/YavClient" ]; then
  "$bin/YavClient" "$@"
else
  echo "run: the client is not built yet" >&2
  exit 1
fi
