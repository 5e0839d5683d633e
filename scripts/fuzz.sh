#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into a build folder of their own and runs each for a
# while, one after another. By hand, not in CI: `make fuzz FUZZ_SECONDS=600`.
#   scripts/fuzz.sh [BUILD_DIR] [SECONDS] [TARGET...]
# Leak checks after every run that does not free what it allocated cost a scan of the heap each
# (Qt's own lazy allocations make that most runs): FUZZ_LEAKS=1 turns them on. The corpus replay
# under `make test-sanitize` checks for leaks either way.
# ASan keeps every distinct allocation stack it sees, so a fuzzer's memory creeps up by about
# 30 MB per million runs; for runs over an hour, FUZZ_ASAN_OPTIONS=malloc_context_size=0 holds it
# flat (reports then lack allocation stacks: replay the saved input under `make test-sanitize`'s
# build for those).
# Each target grows a working corpus in BUILD_DIR/corpus/TARGET from the stored one in
# fuzz/corpus/TARGET; crashes, hangs and leaks land in BUILD_DIR/findings/TARGET/.
# To store new coverage, minimize into a fresh folder and copy it over the stored corpus:
#   BUILD_DIR/bin/fuzz_T -merge=1 NEW fuzz/corpus/T BUILD_DIR/corpus/T
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-build-fuzz}"
seconds="${2:-180}"
shift $(( $# > 2 ? 2 : $# ))
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(assembler eval disasm_bin disasm_list moduledesc)
case "$build" in /*) ;; *) build="$root/$build" ;; esac

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DKROL_FUZZ=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

status=0
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t"
  findings="$build/findings/$t"
  mkdir -p "$corpus" "$findings"
  extra=()
  # Whole sources: keep each run short so the fuzzer tries many.
  [ "$t" = assembler ] && extra+=(-max_len=4096)
  echo "== fuzz_$t for ${seconds}s"
  if ! QT_QPA_PLATFORM=offscreen \
       ASAN_OPTIONS="detect_leaks=1${FUZZ_ASAN_OPTIONS:+:$FUZZ_ASAN_OPTIONS}" \
       LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0" \
       UBSAN_OPTIONS=print_stacktrace=1 \
       "$build/bin/fuzz_$t" "$corpus" "$root/fuzz/corpus/$t" \
         -dict="$root/fuzz/krol.dict" -max_total_time="$seconds" -timeout=10 \
         -rss_limit_mb=2048 -detect_leaks="${FUZZ_LEAKS:-0}" -print_final_stats=1 -artifact_prefix="$findings/" "${extra[@]}" \
         > "$findings/log" 2>&1; then
    echo "fuzz_$t found a fault: see $findings/"
    status=1
  fi
  grep -E '^(#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units|stat::peak_rss)' "$findings/log" || true
done
exit $status
