#!/usr/bin/env bash
# `krol sim` speed, run by hand:  bench/krol-sim-bench.sh [BUILD_DIR] [INSTRUCTIONS]
# Runs a tight loop (CALC, COMP, JC, DJNZ) under `krol sim --stats` and under bench_switch, a
# plain switch interpreter of the same loop, best of three each; then the cost of `--trace`
# written to /dev/null per instruction. Targets: 50 million instructions per second, within 2
# times the switch, trace at most 1 microsecond per instruction.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
count=${2:-200000000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat > "$work/loop.kro" <<'KRO'
L:      CALC ADD, 1
        COMP 0
        JC LT, L
        DJNZ 0, L
KRO
# 40 instructions per module millisecond: give the clock room, the step limit ends the run.
ms=$(( count / 40 + 1 ))

# No comparison inside a print statement: there awk can read '>' as a redirection and write
# the value to a file named after the rest of the line (a file "0" once appeared that way).
larger() { awk -v a="$1" -v b="$2" 'BEGIN{m = (a > b) ? a : b; print m}'; }

field() {   # field NAME FILE: the number after "NAME" in a "NAME value" or JSON line
  grep -m1 "\"\?$1\"\?[: ]" "$2" | sed 's/.*[: ] *//; s/,$//'
}

best_sim=0; best_sim_cpu=0; best_switch=0; best_switch_cpu=0
for _ in 1 2 3; do
  status=0
  "$build/bin/krol" sim --stats --json --time "$ms" --max-steps "$count" "$work/loop.kro" \
    > "$work/sim.json" 2> "$work/sim.err" || status=$?
  [ "$status" -eq 3 ] || { echo "krol sim ended with status $status" >&2; exit 1; }
  ips=$(field instructions_per_second "$work/sim.json")
  cpu=$(field cpu_time_s "$work/sim.json")
  cps=$(awk -v c="$count" -v t="$cpu" 'BEGIN{r = (t > 0) ? c / t : 0; printf "%.0f", r}')
  best_sim=$(larger "$ips" "$best_sim")
  best_sim_cpu=$(larger "$cps" "$best_sim_cpu")

  "$build/bin/bench_switch" "$count" > "$work/switch.txt"
  ips=$(field instructions_per_second "$work/switch.txt")
  cps=$(field instructions_per_cpu_second "$work/switch.txt")
  best_switch=$(larger "$ips" "$best_switch")
  best_switch_cpu=$(larger "$cps" "$best_switch_cpu")
done
awk -v s="$best_sim" -v sc="$best_sim_cpu" -v w="$best_switch" -v wc="$best_switch_cpu" -v n="$count" 'BEGIN{
  printf "loop of %d instructions, best of three\n", n
  printf "krol sim --stats:  %6.1f million instructions/s wall, %6.1f million/s CPU (target >= 50)\n", s/1e6, sc/1e6
  printf "plain switch:      %6.1f million instructions/s wall, %6.1f million/s CPU\n", w/1e6, wc/1e6
  printf "switch / krol sim: %6.2f wall, %6.2f CPU (target <= 2)\n", w/s, wc/sc }'

# Trace cost: the same loop with and without --trace to /dev/null, timed from outside (the
# process's user+system time and wall time), the difference per instruction.
tcount=$(( count / 10 ))
tms=$(( tcount / 40 + 1 ))
measure() {   # measure ARGS...: prints "wall cpu" of one krol sim run, best of three
  local best_w=1e9 best_c=1e9
  for _ in 1 2 3; do
    local out
    out=$( { /usr/bin/env TIMEFORMAT='%R %U %S' bash -c 'time "$@" > /dev/null 2>&1' _ "$@"; } 2>&1 | tail -n1)
    best_w=$(echo "$out $best_w" | awk '{print ($1<$4)?$1:$4}')
    best_c=$(echo "$out $best_c" | awk '{c=$2+$3; print (c<$4)?c:$4}')
  done
  echo "$best_w $best_c"
}
plain=$(measure "$build/bin/krol" sim --time "$tms" --max-steps "$tcount" "$work/loop.kro")
traced=$(measure "$build/bin/krol" sim --trace --time "$tms" --max-steps "$tcount" "$work/loop.kro")
echo "$plain $traced" | awk -v n="$tcount" '{
  printf "--trace > /dev/null, %d instructions: %.3f s wall (%.3f s without), %.3f s CPU (%.3f s without)\n", n, $3, $1, $4, $2
  printf "trace cost: %.0f ns per instruction wall, %.0f ns CPU (target <= 1000)\n", ($3-$1)/n*1e9, ($4-$2)/n*1e9 }'
