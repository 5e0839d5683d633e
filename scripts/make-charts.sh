#!/bin/sh
# Draws the charts the documentation shows with the krol built in BUILD_DIR (default build).
# tst_krol_sim fails while a chart no longer matches what the virtual module does.
set -e
cd "$(dirname "$0")/.."
build=${1:-build}
"$build/bin/krol" sim examples/moves.kro --plot docs/moves.svg > /dev/null
echo "docs/moves.svg"
