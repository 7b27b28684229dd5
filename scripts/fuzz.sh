#!/usr/bin/env bash
# Builds the wire decoders' libFuzzer targets with clang (address and undefined-behaviour
# sanitizers) into build-fuzz and runs each one briefly: FUZZ_SECONDS each (default 20, seven
# targets, about two and a half minutes in all). A crash, leak or failed round-trip check
# fails the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${YAV_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-20}
cmake -S "$root/tests/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --parallel "${YAV_JOBS:-$(nproc)}"
corpus="$build/corpus"
"$build/fuzz_seeds" "$corpus"
for family in stream records data_server conference_requests conference_events media_relay chat; do
  mkdir -p "$corpus/$family" "$build/crashes/$family"
  echo "fuzz_$family: ${seconds}s"
  "$build/fuzz_$family" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
    -artifact_prefix="$build/crashes/$family/" -print_final_stats=1 "$corpus/$family" \
    2>"$build/fuzz_$family.log" || { tail -40 "$build/fuzz_$family.log"; exit 1; }
  grep -E "stat::number_of_executed_units" "$build/fuzz_$family.log" || true
done
echo "fuzz: all targets ran clean"
