#!/usr/bin/env bash
# Installs what is missing, builds the normal and the sanitizer trees, runs the fuzzers briefly and
# runs the whole suite in both trees, under Xvfb when no display is set. CTest's summary is the
# last thing printed.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
cd "$top"
tools/setup.sh
tools/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
tools/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON -DVELMORA_BENCH=OFF

export ALSOFT_DRIVERS=null
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS="suppressions=$top/cmake/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

. tools/xvfb.sh
start_xvfb
if [ -n "$xvfb_pid" ]; then trap 'kill $xvfb_pid 2>/dev/null || true' EXIT; fi

status=0
# Fuzzing with a fixed seed: the same inputs on every run, so a pass here is a pass in CI.
echo "== fuzzers (address + undefined) =="
FUZZ_SEED=1 tools/fuzz.sh || status=1
echo "== sanitizer build (address + undefined) =="
(cd build-asan && ctest --output-on-failure -j2 --timeout 600) || status=1
echo "== normal build =="
(cd build && ctest --output-on-failure -j2 --timeout 600) || status=1
exit $status
