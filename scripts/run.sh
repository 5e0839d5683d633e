#!/usr/bin/env bash
# Starts the most useful program built so far. Today that is the `krol` command-line tool
# assembling the example programs and running one on the virtual module; once krol-ide exists
# it starts the IDE on the virtual module.
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."
if [ -x "$build/bin/krol-ide" ]; then
  exec "$build/bin/krol-ide"
fi
if [ -x "$build/bin/krol" ]; then
  if ls examples/*.kro >/dev/null 2>&1; then
    for f in examples/*.kro; do
      echo "\$ krol asm --module modules/virtual.json -o $build/examples/$(basename "${f%%.*}").bin $f"
      mkdir -p "$build/examples"
      "$build/bin/krol" asm --module modules/virtual.json -o "$build/examples/$(basename "${f%%.*}").bin" "$f"
    done
  fi
  if [ -f examples/moves.kro ]; then
    echo "\$ krol sim examples/moves.kro"
    "$build/bin/krol" sim examples/moves.kro
  fi
  exec "$build/bin/krol" --help
fi
echo "Nothing to run yet: the build produced no program." >&2
exit 1
