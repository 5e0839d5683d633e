#!/usr/bin/env bash
# Starts krol-ide on the virtual module. Without a display it says so and shows what the
# command-line tool does instead.
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display: krol-ide needs one (or QT_QPA_PLATFORM=offscreen). The command-line tool instead:" >&2
  echo "\$ krol sim examples/moves.kro"
  exec "$build/bin/krol" sim examples/moves.kro
fi
exec "$build/bin/krol-ide"
