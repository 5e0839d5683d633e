#!/usr/bin/env bash
# Which source lines the stored fuzz corpora reach: builds the replay programs with clang's
# source-based coverage, replays every corpus and prints llvm-cov's per-file report. By hand:
#   scripts/fuzz-coverage.sh [BUILD_DIR] [FILE...]   (files given: their lines, misses marked 0)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-build-fuzz-coverage}"
shift $(( $# > 0 ? 1 : 0 ))
case "$build" in /*) ;; *) build="$root/$build" ;; esac
targets=(assembler eval disasm_bin disasm_list moduledesc)

flags="-fprofile-instr-generate -fcoverage-mapping"
# ccache would turn source paths relative, and llvm-cov could then not find a file by its name.
unset CCACHE_BASEDIR
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" \
    -DCMAKE_SHARED_LINKER_FLAGS="$flags" > /dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/replay_}" >&2

rm -f "$build"/replay-*.profraw
objects=()
for t in "${targets[@]}"; do
  LLVM_PROFILE_FILE="$build/replay-$t.profraw" QT_QPA_PLATFORM=offscreen \
    "$build/bin/replay_$t" "$root/fuzz/corpus/$t" > /dev/null 2>&1
  objects+=(-object "$build/bin/replay_$t")
done
llvm-profdata merge -o "$build/replay.profdata" "$build"/replay-*.profraw
objects+=(-object "$(ls "$build"/lib/libkrolhost.so.*.*.* | head -n 1)")

# Only the product's sources: not the fuzz harness, generated files or Qt's headers.
ignore='(/fuzz/|_autogen/|^/usr/)'
if [ $# -gt 0 ]; then
  # The coverage data names sources by their full path.
  files=()
  for f in "$@"; do case "$f" in /*) files+=("$f") ;; *) files+=("$root/$f") ;; esac; done
  llvm-cov show "${objects[@]:1}" -instr-profile="$build/replay.profdata" \
      -ignore-filename-regex="$ignore" "${files[@]}"
else
  llvm-cov report "${objects[@]:1}" -instr-profile="$build/replay.profdata" \
      -ignore-filename-regex="$ignore"
fi
