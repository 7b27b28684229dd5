#!/usr/bin/env bash
# Installs what is missing, builds, and runs the client (with the bundled yavserver on loopback
# when it is built).
#
# What runs today: the client's foundation start-up. It finds or creates its data folder
# ($XDG_DATA_HOME/MarnexData, default ~/.local/share/MarnexData), seeds the default INI and
# logging files, configures logging (loglog/YavClient.log there), takes the single-instance
# lock, installs the crash handler, reads a direct-join command line, logs what it found and
# exits. The start-up window and the conference road come with the conference core.
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
if [ ! -x "$bin/YavClient" ]; then
  echo "run: the client is not built" >&2
  exit 1
fi
status=0
"$bin/YavClient" "$@" || status=$?
data="${XDG_DATA_HOME:-$HOME/.local/share}/MarnexData"
echo "run: YavClient ended with status $status; its log: $data/loglog/YavClient.log"
exit "$status"
