#!/usr/bin/env bash
# Assembler and disassembler speed, run by hand:  bench/asm-bench.sh [BUILD_DIR]
# Compares `krol asm` with GNU as and `krol disasm` with objdump -d on sources of the same
# shape, and checks that ten times the lines take at most eleven times the time.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

seconds() {   # best of three wall-clock runs of a command, in seconds
  local best=""
  for _ in 1 2 3; do
    local s e
    s=$(date +%s.%N); "$@" >/dev/null; e=$(date +%s.%N)
    best=$(echo "$s $e ${best:-1e9}" | awk '{d=$2-$1; print (d<$3)?d:$3}')
  done
  echo "$best"
}

"$build/bin/gen_kro_source" 110000 "$work/big.kro"
"$build/bin/gen_kro_source" 11000 "$work/small.kro"
"$build/bin/gen_x86_source" 110000 "$work/big.s"

t_krol=$(seconds "$build/bin/krol" asm --module "$root/modules/virtual.json" -o "$work/big.bin" "$work/big.kro")
t_small=$(seconds "$build/bin/krol" asm --module "$root/modules/virtual.json" -o "$work/small.bin" "$work/small.kro")
t_as=$(seconds as -o "$work/big.o" "$work/big.s")
echo "krol asm, 110000 lines:  ${t_krol} s"
echo "GNU as,   110000 lines:  ${t_as} s"
awk -v a="$t_krol" -v b="$t_as" 'BEGIN{printf "asm ratio krol/as: %.2f (target <= 1)\n", a/b}'
awk -v a="$t_krol" -v b="$t_small" 'BEGIN{printf "asm growth 10x lines: %.2fx time (target <= 11)\n", a/b}'

if "$build/bin/krol" --help | grep -q disasm; then
  t_dis=$(seconds "$build/bin/krol" disasm -o "$work/big.dis.kro" "$work/big.bin")
  t_dis_small=$(seconds "$build/bin/krol" disasm -o "$work/small.dis.kro" "$work/small.bin")
  t_objdump=$(seconds objdump -d "$work/big.o")
  echo "krol disasm: ${t_dis} s, objdump -d: ${t_objdump} s"
  awk -v a="$t_dis" -v b="$t_objdump" 'BEGIN{printf "disasm ratio krol/objdump: %.2f (target <= 1)\n", a/b}'
  awk -v a="$t_dis" -v b="$t_dis_small" 'BEGIN{printf "disasm growth 10x program: %.2fx time (target <= 11)\n", a/b}'
fi
