#!/usr/bin/env bash
# Installs, builds and runs every test, in three builds of the same sources:
#   build/       the plain build, which is the program;
#   build-asan/  everything under AddressSanitizer and UndefinedBehaviorSanitizer;
#   build-tsan/  the test programs marked TSAN (threads sharing our own state) under
#                ThreadSanitizer.
# Then the wire decoders' fuzzers run briefly, the whole suite runs under ASan+UBSan, the
# tsan-labelled tests under TSan, and the whole suite in the plain build last, so that ctest's
# summary of that run closes the output. The first step that fails ends the script with its
# status. Arguments go to every ctest run (e.g. -R Link). YAV_JOBS sets the parallelism
# (default: every core).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${YAV_BUILD_DIR:-$root/build}
asan=${YAV_ASAN_BUILD_DIR:-$root/build-asan}
tsan=${YAV_TSAN_BUILD_DIR:-$root/build-tsan}
export YAV_JOBS=${YAV_JOBS:-$(nproc)}

# Runs a step and says how long it took.
timed() {
  local name=$1 start=$SECONDS
  shift
  "$@"
  echo "test.sh: $name took $((SECONDS - start)) s"
}

sanitizer_build() {
  local dir=$1 sanitizer=$2
  shift 2
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DYAV_SANITIZE="$sanitizer" >/dev/null
  cmake --build "$dir" --parallel "$YAV_JOBS" "$@"
}

run_tests() {
  local dir=$1
  shift
  # The build's GStreamer plugin registry, made once before the tests read it in parallel.
  GST_REGISTRY="$dir/gstreamer-registry.bin" gst-inspect-1.0 >/dev/null 2>&1 || true
  (cd "$dir" && ctest --output-on-failure --parallel "$YAV_JOBS" --timeout 600 "$@")
}

timed "setup and plain build" bash "$root/scripts/build.sh"
timed "ASan+UBSan build" sanitizer_build "$asan" address
timed "TSan build" sanitizer_build "$tsan" thread --target yav_tsan_tests
timed "fuzzers" bash "$root/scripts/fuzz.sh"
timed "ASan+UBSan tests" run_tests "$asan" "$@"
timed "TSan tests" run_tests "$tsan" -L tsan "$@"
run_tests "$build" "$@"
