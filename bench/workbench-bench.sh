#!/usr/bin/env bash
# Workbench page speed, run by hand:  bench/workbench-bench.sh [BUILD_DIR]
# Opens a 100,000-line source in a page (target: under 1 s), shows what one keystroke makes the
# highlighter colour again (target: the edited block only), and compares Assemble... on that page
# with `krol asm` on the same file (target: at most twice the time).
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/bin/gen_kro_source" 100000 "$work/big.kro"

best=1e9
for _ in 1 2 3; do
  s=$(date +%s.%N); "$build/bin/krol" asm --module "$root/modules/virtual.json" -o "$work/cli.bin" "$work/big.kro"; e=$(date +%s.%N)
  best=$(echo "$s $e $best" | awk '{d=($2-$1)*1000; print (d<$3)?d:$3}')
done
echo "krol asm, 100000 lines: ${best} ms"

out=$("$build/bin/bench_workbench" "$work/big.kro")
echo "$out"
wb=$(echo "$out" | awk '/^Assemble/ {print $(NF-1)}')
awk -v a="$wb" -v b="$best" 'BEGIN{printf "Assemble ratio workbench/krol asm: %.2f (target <= 2)\n", a/b}'
