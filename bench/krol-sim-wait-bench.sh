#!/usr/bin/env bash
# Wall time of `krol sim` on programs that mostly wait, run by hand:
#   bench/krol-sim-wait-bench.sh [BUILD_DIR]
# The clock jumps from event to event, so wall time follows what happens, not module time.
# Targets: under 0.1 s for 10^8 ms, under 1 s for 10^12 ms (the largest --time), best of three.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# An axis turning right and left for a second each, for ever.
cat > "$work/swing.kro" <<'KRO'
L:      ROR 0, 1000
        WAIT TICKS, 0, 100
        ROL 0, 1000
        WAIT TICKS, 0, 100
        JA L
KRO
# An axis runs into the limit switch, then a WAIT POS that never holds.
cat > "$work/limit.kro" <<'KRO'
        ROR 0, 100000
        WAIT LIMSW, 0, 0
        WAIT POS, 0, 0
KRO

for program in swing limit; do
  for ms in 100000000 1000000000000; do
    best=1e9
    for _ in 1 2 3; do
      status=0
      "$build/bin/krol" sim --stats --json --time "$ms" "$work/$program.kro" > "$work/out.json" 2>/dev/null || status=$?
      [ "$status" -eq 3 ] || { echo "krol sim ended with status $status" >&2; exit 1; }
      wall=$(grep -m1 '"wall_time_s"' "$work/out.json" | sed 's/.*: *//; s/,$//')
      best=$(awk -v a="$wall" -v b="$best" 'BEGIN{print (a<b)?a:b}')
    done
    reached=$(grep -m1 '"module_time_ms"' "$work/out.json" | sed 's/.*: *//; s/,$//')
    steps=$(grep -m1 '"instructions"' "$work/out.json" | sed 's/.*: *//; s/,$//')
    printf "%-6s --time %-14s %10.6f s wall (module time reached %s ms, %s instructions)\n" \
      "$program" "$ms" "$best" "$reached" "$steps"
  done
done
