#!/usr/bin/env bash
# Builds the libFuzzer targets with clang-14 (address + undefined sanitizers, leak detection) in
# build-fuzz and runs each for a bounded time from a copy of its seed corpus, in an empty working
# directory (so that include directives in generated texts find no files). Prints executions and
# coverage per fuzzer; exits non-zero on any crash, leak, timeout, memory blow-up or failed check.
#
# Usage: tools/fuzz.sh [fuzzer...]      (default: all eight)
# Environment: FUZZ_TIME seconds per fuzzer (12), FUZZ_SEED (random), FUZZ_BUILD (build-fuzz).
# A failing input is kept in BUILD/fuzz-findings/; replay it with BUILD/fuzz/fuzz_NAME FILE.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$top/${FUZZ_BUILD:-build-fuzz}
seconds=${FUZZ_TIME:-12}
fuzzers=("$@")
[ ${#fuzzers[@]} -gt 0 ] || fuzzers=(parse address expression userdata roundtrip tiled format import lsp)

for compiler in clang-14 clang++-14; do
  command -v "$compiler" >/dev/null || { echo "fuzz: $compiler is missing (apt-get install clang-14 libclang-rt-14-dev)" >&2; exit 2; }
done

CC=clang-14 CXX=clang++-14 cmake -S "$top" -B "$build" -DVELMORA_FUZZ=ON -DVELMORA_TOOLS=OFF \
  -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF >/dev/null
targets=()
for name in "${fuzzers[@]}"; do targets+=("fuzz_$name"); done
cmake --build "$build" -j2 --target "${targets[@]}" >/dev/null

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
findings=$build/fuzz-findings
mkdir -p "$findings"
scratch=$(mktemp -d /tmp/velmora-fuzz-XXXXXX)
trap 'rm -rf "$scratch"' EXIT

status=0
summary=()
for name in "${fuzzers[@]}"; do
  corpus=$scratch/corpus-$name
  work=$scratch/work-$name
  mkdir -p "$corpus" "$work"
  cp "$top/fuzz/corpus/$name/"* "$corpus/"
  log=$scratch/$name.log
  dict=$top/fuzz/$name.dict
  [ -f "$dict" ] || dict=$top/fuzz/tavric.dict
  args=(-max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -max_len=8192 -detect_leaks=1
        -close_fd_mask=3 -print_final_stats=1 -dict="$dict"
        -artifact_prefix="$findings/$name-")
  [ -z "${FUZZ_SEED:-}" ] || args+=(-seed="$FUZZ_SEED")
  echo "== fuzz_$name: ${seconds}s from $(ls "$corpus" | wc -l) seeds"
  result=0
  (cd "$work" && "$build/fuzz/fuzz_$name" "${args[@]}" "$corpus") >"$log" 2>&1 || result=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$( (grep -o 'cov: [0-9]*' "$log" || true) | tail -1 | cut -d' ' -f2)
  ft=$( (grep -o 'ft: [0-9]*' "$log" || true) | tail -1 | cut -d' ' -f2)
  line="fuzz_$name: ${runs:-?} runs, cov ${cov:-?}, ft ${ft:-?}"
  if [ "$result" -ne 0 ]; then
    status=1
    line="$line: FAILED (exit $result)"
    # The finding, the sanitizer's report and the input that caused it.
    (grep -E -A40 'FUZZ FINDING|ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error' "$log" || true) |
      grep -v -E '^ +#[0-9]+ 0x[0-9a-f]+ in (fuzzer::|__sanitizer|__libc|_start|main |abort|raise|__pthread)' | head -60 || true
    grep -E 'Test unit written to' "$log" || true
  fi
  echo "$line"
  summary+=("$line")
done

echo "== fuzzing summary"
printf '%s\n' "${summary[@]}"
exit $status
