#!/usr/bin/env bash
# Installs what is missing, builds, starts yavserver with its demo conference on loopback and
# runs the client against it. Arguments go to the client, e.g. the direct-join form:
#   ./scripts/run.sh 127.0.0.1 alice alice 900001
# Without arguments the client opens its login window (account alice, password alice).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${YAV_BUILD_DIR:-$root/build}
bash "$root/scripts/build.sh"
bin="$build/bin"
for program in yavserver YavClient; do
  if [ ! -x "$bin/$program" ]; then
    echo "run: $program is not built" >&2
    exit 1
  fi
done

state=$(mktemp -d)
"$bin/yavserver" --port-file "$state/ports" &
server=$!
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; rm -rf "$state"' EXIT
for _ in $(seq 1 100); do
  [ -s "$state/ports" ] && break
  if ! kill -0 "$server" 2>/dev/null; then
    echo "run: yavserver did not start (is port 8875 or 8876 in use?)" >&2
    exit 1
  fi
  sleep 0.1
done
read -r ds cs probe media < "$state/ports"
echo "run: yavserver on 127.0.0.1 (data server $ds, conference server $cs, probe $probe, media relay $media)"
echo "run: demo conference 900001 \"Demo\"; accounts demo, alice, bob (password = name);"
echo "run: chair password of the demo conference: chair"

status=0
"$bin/YavClient" "$@" || status=$?
data="${XDG_DATA_HOME:-$HOME/.local/share}/MarnexData"
echo "run: YavClient ended with status $status; its log: $data/loglog/YavClient.log"
exit "$status"
