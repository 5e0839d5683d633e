#!/usr/bin/env bash
# Assembler and disassembler speed, run by hand:  bench/asm-bench.sh [BUILD_DIR] [ROUNDS]
# Compares `krol asm` with GNU as on sources of the same shape (110,000 lines and one line) and
# `krol disasm` with objdump -d, checks that ten times the lines take at most eleven times the
# time, and reports the peak memory. The machine may be shared: each pair runs in turn, ROUNDS
# times (default 7), and the best time of each side counts.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
rounds=${2:-7}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

once() {   # wall-clock seconds of one run of a command
  local s e
  s=$(date +%s.%N); "$@" >/dev/null; e=$(date +%s.%N)
  echo "$s $e" | awk '{print $2-$1}'
}

# pair NAME_A NAME_B -- COMMAND_A -- COMMAND_B: best of ROUNDS alternating runs, into $best_a $best_b
pair() {
  local -a a=() b=()
  shift 2; shift
  while [ "$1" != "--" ]; do a+=("$1"); shift; done
  shift; b=("$@")
  best_a=1e9; best_b=1e9
  for _ in $(seq "$rounds"); do
    best_a=$(awk -v x="$(once "${a[@]}")" -v y="$best_a" 'BEGIN{print (x<y)?x:y}')
    best_b=$(awk -v x="$(once "${b[@]}")" -v y="$best_b" 'BEGIN{print (x<y)?x:y}')
  done
}

ratio() { awk -v a="$1" -v b="$2" -v what="$3" -v target="$4" 'BEGIN{printf "%s: %.2f (target <= %s)\n", what, a/b, target}'; }

peak() {   # peak resident memory of one run, in MB (needs GNU time)
  if [ -x /usr/bin/time ]; then
    /usr/bin/time -f "%M" "$@" 2>&1 >/dev/null | tail -1 | awk '{printf "%.1f MB", $1/1024}'
  else
    echo "unknown (no /usr/bin/time)"
  fi
}

module="$root/modules/virtual.json"
"$build/bin/gen_kro_source" 110000 "$work/big.kro"
"$build/bin/gen_kro_source" 11000 "$work/small.kro"
"$build/bin/gen_x86_source" 110000 "$work/big.s"
printf 'STOP\n' > "$work/one.kro"
printf '\tnop\n' > "$work/one.s"

pair krol as -- "$build/bin/krol" asm --module "$module" -o "$work/big.bin" "$work/big.kro" \
  -- as -o "$work/big.o" "$work/big.s"
t_krol=$best_a; t_as=$best_b
echo "krol asm, 110000 lines:  ${t_krol} s, peak $(peak "$build/bin/krol" asm --module "$module" -o "$work/big.bin" "$work/big.kro")"
echo "GNU as,   110000 lines:  ${t_as} s, peak $(peak as -o "$work/big.o" "$work/big.s")"
ratio "$t_krol" "$t_as" "asm ratio krol/as" 1

pair krol as -- "$build/bin/krol" asm --module "$module" -o "$work/one.bin" "$work/one.kro" \
  -- as -o "$work/one.o" "$work/one.s"
echo "krol asm, one line:  ${best_a} s;  GNU as, one line:  ${best_b} s"
ratio "$best_a" "$best_b" "one-line ratio krol/as" 2

pair krol krol -- "$build/bin/krol" asm --module "$module" -o "$work/small.bin" "$work/small.kro" \
  -- "$build/bin/krol" asm --module "$module" -o "$work/big.bin" "$work/big.kro"
ratio "$best_b" "$best_a" "asm growth 10x lines, x time" 11

pair krol objdump -- "$build/bin/krol" disasm -o "$work/big.dis.kro" "$work/big.bin" \
  -- objdump -d "$work/big.o"
t_dis=$best_a
echo "krol disasm: ${t_dis} s, peak $(peak "$build/bin/krol" disasm -o "$work/big.dis.kro" "$work/big.bin"); objdump -d: ${best_b} s"
ratio "$t_dis" "$best_b" "disasm ratio krol/objdump" 1
pair krol krol -- "$build/bin/krol" disasm -o "$work/small.dis.kro" "$work/small.bin" \
  -- "$build/bin/krol" disasm -o "$work/big.dis.kro" "$work/big.bin"
ratio "$best_b" "$best_a" "disasm growth 10x program, x time" 11
