#!/usr/bin/env bash
# Workbench page speed, run by hand:  bench/workbench-bench.sh [BUILD_DIR] [ROUNDS]
# Opens a 100,000-line source in a page (target: under 1 s), shows what one keystroke makes the
# highlighter colour again (target: the edited block only), and compares Assemble... on that page
# with `krol asm` on the same file (target: at most twice the time). The machine may be shared:
# the two run in turn, ROUNDS times (default 3), and the best of each counts.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
rounds=${2:-3}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/bin/gen_kro_source" 100000 "$work/big.kro"

best=1e9
wb=1e9
for _ in $(seq "$rounds"); do
  s=$(date +%s.%N); "$build/bin/krol" asm --module "$root/modules/virtual.json" -o "$work/cli.bin" "$work/big.kro"; e=$(date +%s.%N)
  best=$(echo "$s $e $best" | awk '{d=($2-$1)*1000; print (d<$3)?d:$3}')
  out=$("$build/bin/bench_workbench" "$work/big.kro")
  echo "$out"
  wb=$(echo "$out" | awk -v b="$wb" '/^Assemble/ {d=$(NF-1); print (d<b)?d:b}')
done
echo "krol asm, 100000 lines: ${best} ms (best of $rounds)"
echo "Assemble... through the workbench: ${wb} ms (best of $rounds)"
awk -v a="$wb" -v b="$best" 'BEGIN{printf "Assemble ratio workbench/krol asm: %.2f (target <= 2)\n", a/b}'
