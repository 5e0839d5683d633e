#!/usr/bin/env bash
# The serial link's speed, run by hand:  bench/serial-bench.sh [BUILD_DIR] [BAUD]
# Downloads a program of 2,000 words with `krol download` to `krol sim --pty` paced at BAUD
# (default 115200), best of three, and compares the time with what the line itself needs:
# every request and every reply is 9 bytes of 10 bits. Target: within 1.2 times that.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
baud=${2:-115200}
work=$(mktemp -d)
server=""
cleanup() { [ -n "$server" ] && kill "$server" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

# 1,999 instructions and the STOP the assembler adds: 2,000 words.
for i in $(seq 1 1999); do echo "SAP 4, 0, $i"; done > "$work/words.kro"
"$build/bin/krol" asm "$work/words.kro" -o "$work/words.bin"
words=$(( $(stat -c %s "$work/words.bin") / 8 ))

${KROL_NICE:-} "$build/bin/krol" sim --pty --baud "$baud" > "$work/path" 2>/dev/null &
server=$!
for _ in $(seq 1 100); do [ -s "$work/path" ] && break; sleep 0.05; done
port=$(head -1 "$work/path")

# DownloadStart, the words, the end marker and DownloadEnd: one request and one reply each.
requests=$(( words + 3 ))
limit=$(awk -v r="$requests" -v b="$baud" 'BEGIN{printf "%.3f", r * 2 * 9 * 10 / b}')
best=""
for _ in 1 2 3; do
  start=$(date +%s.%N)
  ${KROL_NICE:-} "$build/bin/krol" download "$work/words.bin" --port "$port" > /dev/null 2>&1
  end=$(date +%s.%N)
  t=$(awk -v s="$start" -v e="$end" 'BEGIN{printf "%.3f", e - s}')
  if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN{exit !(a < b)}'; then best=$t; fi
done
echo "download of $words words ($requests requests) at $baud baud: ${best} s"
echo "line limit: ${limit} s; ratio: $(awk -v a="$best" -v b="$limit" 'BEGIN{printf "%.3f", a / b}') (target 1.2)"
